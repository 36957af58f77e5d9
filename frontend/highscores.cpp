// The high-score table: its ordering rule, the file "scores.txt" (name and score per
// entry, CR LF lines), name entry, and the two displays of the table.
#include <algorithm>
#include <utility>

#include "frontend/menu_drawing.h"
#include "frontend/menu_frame.h"
#include "game/Game.h"
#include "game/keys.h"

namespace {

const char* const ScoresFile = "scores.txt";
constexpr int TableSize = 20;
constexpr int MaxNameLength = 15;
// Names read from the file are cut here: a hand-made name of 100 MB would otherwise
// be drawn, glyph by glyph, on every frame of the score table.
constexpr std::size_t MaxLoadedNameLength = 64;

// The table for frame t of a display: the title from t = 1, then place i once t
// exceeds 5 * i, so the rows come up one by one, five frames apart.
void drawScoreTable(const ScoreTable& table, const PaletteRow& titleColour, int t) {
    usePaletteColour(titleColour);
    if (t > 0) drawCentredWhole("HIGH SCORES", 20, 0.525f);

    SetScale(0.15f, 0.15f);
    int y = 100;
    int place = 0;
    for (const ScoreEntry& entry : table) {
        place += 1;
        if (t <= 5 * place) continue;
        y += 30;
        // Places 1..9 carry a space before the colon so the names line up.
        DrawText(String(place) + (place < 10 ? " " : "") + ": " + entry.name, 270,
                 static_cast<float>(y));
        const std::string score = String(entry.score);
        const int width = static_cast<int>(static_cast<float>(TextWidth(score)) * 0.15f);
        DrawText(score, static_cast<float>(754 - width), static_cast<float>(y));
    }
    SetScale(1, 1);
}

// Fills the entries of `table` in order from the file: a short file leaves the rest
// as they are. False when the file cannot be opened.
bool readScoreFile(ScoreTable& table) {
    StreamRef stream = ReadFile(ScoresFile);
    if (!stream) return false;
    // Entries stay in the file's order; the next sort puts them in place.
    for (ScoreEntry& entry : table) {
        if (!Eof(*stream)) entry.name = ReadLine(*stream, MaxLoadedNameLength);
        if (!Eof(*stream)) entry.score = StringToLong(ReadLine(*stream));
    }
    CloseStream(stream);
    return true;
}

// Another copy of the game may have saved since this one last read or wrote the file:
// its new entries join the table and the best 20 of both stay.
void mergeScoresSavedMeanwhile(ScoreTable& table, const ScoreTable& lastSeen) {
    ScoreTable unseen = lastSeen;
    if (!readScoreFile(unseen)) return;
    for (const ScoreEntry& seen : lastSeen) {
        const auto same = std::find(unseen.begin(), unseen.end(), seen);
        if (same != unseen.end()) unseen.erase(same);
    }
    if (unseen.empty()) return;  // nothing new: the table is written exactly as it is
    table.insert(table.end(), unseen.begin(), unseen.end());
    sortDescending(table);
    if (table.size() > TableSize) table.resize(TableSize);
}

}  // namespace

void sortDescending(ScoreTable& table) {
    // Bubble passes with a shrinking boundary; compare() never reports equality, so
    // equal neighbours swap whenever they meet.
    std::size_t boundary = table.size();
    while (boundary > 1) {
        bool swapped = false;
        std::size_t q = 0;
        while (q + 1 < boundary) {
            if (table[q].compare(table[q + 1]) < 0) {
                std::swap(table[q], table[q + 1]);
                swapped = true;
            }
            q += 1;  // either the same entry one place on, or its successor
        }
        if (!swapped) return;
        boundary = q;  // the entry the pass ended on is in its final place
    }
}

std::string charForKey(int c) {
    const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                               (c >= '0' && c <= '9');
    const std::string marks = " !@#$%^&*()-_+=[]{}<>,.?/\\|:;'";
    const bool mark = c > 0 && c < 127 && marks.find(static_cast<char>(c)) != std::string::npos;
    if (!letterOrDigit && !mark) return "nope";
    return std::string(1, static_cast<char>(c));
}

void Game::defaultHighScores() { highScores.assign(TableSize, ScoreEntry{0, "NOBODY"}); }

void Game::loadHighScores() {
    // Only a missing file is made anew: one that exists but cannot be read keeps the
    // player's table for when it can.
    if (!readScoreFile(highScores) && FileMissing(ScoresFile)) {
        saveHighScores(highScores);
        readScoreFile(highScores);
    }
    scoresOnDisk = highScores;
}

bool Game::saveHighScores(const ScoreTable& table) {
    ScoreTable merged = table;
    mergeScoresSavedMeanwhile(merged, scoresOnDisk);
    std::string content;
    for (const ScoreEntry& entry : merged) {
        content += entry.name + "\r\n";
        content += String(entry.score) + "\r\n";
    }
    // Whole or not at all: a crash mid-write must not cost the table.
    if (!ReplaceFileAtomically(ScoresFile, content)) return false;
    scoresOnDisk = merged;
    return true;
}

int64_t MatchState::lowestHighScore() {
    sortDescending(highScores);
    if (highScores.size() < TableSize) return 0;
    return highScores[TableSize - 1].score;
}

void MatchState::addHighScore(const std::string& name, int64_t score) {
    highScores.insert(highScores.begin(), ScoreEntry{score, name});
    sortDescending(highScores);
    highScores.pop_back();
}

void MatchState::nameEntryStep(int frame) {
    // Keys still pending from the match must not type into the name.
    if (frame >= 0 && frame <= 2) drainMatchInput();
    const int c = nextTypedChar();
    if (c == key::Backspace || c == key::Delete) {
        if (nameCursor > 1) nameCursor -= 1;
    } else if (nameCursor <= MaxNameLength && charForKey(c) != "nope") {
        nameChars[nameCursor] = charForKey(c);
        nameCursor += 1;
    }
    std::string name;
    for (int i = 1; i < nameCursor; ++i) name += nameChars[i];
    playerName = Upper(name);
}

void Game::showHighScores() {
    drainInput();
    screen = "scores";
    selection = 0;
    int t = 0;
    while (true) {
        beginMenuFrame(*this);
        t += 1;
        drawScoreTable(highScores, palette[TitleRow], t);
        presentFrame();
        if (KeyHit(key::Enter) || KeyHit(key::Esc) || KeyHit(key::Space)) return;
    }
}

void MatchState::highScoresScreen(int t, FrameEvents& events) {
    animatePalette();
    events.picture.endScreens.push_back({EndScreen::Kind::HighScores, t, palette[1], false});
}

void Game::drawHighScores(const EndScreen& shown) const { drawScoreTable(highScores, shown.titleColour, shown.frame); }
