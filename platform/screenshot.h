#pragma once
// F12 saves the presented frame (the 1024 x 768 surface as drawn) as a PNG in a
// screenshots folder, named by local date and time. The key is the backend's own:
// the game never sees it.

#include <SDL_events.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <thread>

class Renderer;

// "tumblebout-YYYYMMDD-HHMMSS.png", and "-2", "-3" ... before ".png" for later shots
// in the same second (copy 1 has no number).
std::string screenshotName(const std::tm& localTime, int copy);

class Screenshots {
public:
    // The folder is made on the first shot. The game runs in its per-user folder, so
    // the default lands there.
    explicit Screenshots(std::filesystem::path folder = "screenshots");
    ~Screenshots();  // waits for a file still being written
    Screenshots(const Screenshots&) = delete;
    Screenshots& operator=(const Screenshots&) = delete;

    // True for F12's key events, which go no further; a press asks for a shot.
    bool handleEvent(const SDL_Event& event);
    // Called with the finished frame just before it is shown: if a shot was asked
    // for, reads the frame now and leaves the encoding and writing to a worker thread,
    // so the game loses at most the read-back.
    void capture(Renderer& renderer);
    // Waits for the file being written; its path, or empty if it could not be written.
    std::filesystem::path finish();

private:
    std::filesystem::path folder_;
    bool requested_ = false;
    std::thread writer_;
    std::filesystem::path written_;  // set by the writer, read after joining it
};
