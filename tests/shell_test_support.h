#pragma once
// A fixture for the shell and front-end tests: a fresh temporary working folder (where
// "prefs.tbt" and "scores.txt" land), the headless backend with its display open, and
// helpers to script keys, bound a screen's run and read recorded texts and files.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "game/Game.h"
#include "platform/headless.h"

namespace shelltest {

namespace fs = std::filesystem;

// Thrown by the frame guard when a screen runs longer than a test allows.
struct FrameLimit {
    int frames = 0;
};

inline std::string readBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
}

// Lines joined with CR LF, each line ended by CR LF.
inline std::string crlfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

inline fs::path makeTempFolder(const std::string& tag) {
    static std::atomic<int> counter{0};
    const fs::path folder = fs::temp_directory_path() /
                            ("tumblebout-" + tag + "-" + std::to_string(getpid()) + "-" +
                             std::to_string(counter++));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        startFolder_ = fs::current_path();
        folder_ = makeTempFolder("shell");
        fs::current_path(folder_);
        headless::start();
        ASSERT_TRUE(Graphics(1024, 768, 0, 60, 0));
    }

    void TearDown() override {
        headless::setFrameHook(nullptr);
        headless::stop();
        fs::current_path(startFolder_);
        std::error_code error;
        fs::remove_all(folder_, error);
    }

    const fs::path& folder() const { return folder_; }

    // Stops the screen under test (FrameLimit) once `frames` frames were presented in
    // all, and records what each presented frame left in the Game.
    void limitFrames(int frames, std::function<void(int)> afterFrame = nullptr) {
        headless::setFrameHook([frames, afterFrame](int presented) {
            if (afterFrame) afterFrame(presented);
            if (presented >= frames) throw FrameLimit{presented};
        });
    }

    // Key down at `frame`, up one frame later; frame 0 is before the first present.
    static void tap(int frame, int key) {
        headless::schedule({frame, headless::EventKind::Down, key, ""});
        headless::schedule({frame + 1, headless::EventKind::Up, key, ""});
    }
    static void hold(int frame, int key) { headless::schedule({frame, headless::EventKind::Down, key, ""}); }
    static void typeAt(int frame, const std::string& text) {
        headless::schedule({frame, headless::EventKind::Type, 0, text});
    }

    // The text calls of the frame being drawn (since the last present).
    static std::vector<headless::DrawCall> textsDrawn() { return texts(headless::currentFrame()); }
    static std::vector<headless::DrawCall> textsPresented() { return texts(headless::lastFrame()); }

    static const headless::DrawCall* findText(const std::vector<headless::DrawCall>& calls,
                                              const std::string& text) {
        for (const auto& call : calls) {
            if (call.text == text) return &call;
        }
        return nullptr;
    }

private:
    static std::vector<headless::DrawCall> texts(const std::vector<headless::DrawCall>& calls) {
        std::vector<headless::DrawCall> found;
        for (const auto& call : calls) {
            if (call.op == headless::DrawOp::Text) found.push_back(call);
        }
        return found;
    }

    fs::path startFolder_;
    fs::path folder_;
};

}  // namespace shelltest
