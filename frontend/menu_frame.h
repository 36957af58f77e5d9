#pragma once
// The frame pattern every menu screen shares: clear and step the palette, draw,
// present and honour a close request (the splash presents the same way); plus the
// Up/Down navigation of selection lists.

class Game;

// Clears the back buffer and advances the palette by one step.
void beginMenuFrame(Game& game);
// Presents the frame (paced to 60 Hz), with a notice after a match over it while that
// lasts, and ends the program on a close request.
void presentFrame();
// One frame of Up/Down navigation over entries 1..count: Up is read first, Down
// second, and only then does the selection wrap around the ends.
int navigateMenu(int selection, int count);
