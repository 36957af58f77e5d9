// Every fixed text of the game fits the 1024-pixel screen at its scale with 8 pixels
// to spare on each side, in the bundled font as the game's own loader rasterises it:
// the splash, menus, options, controls and score table as the game draws them, the
// tally of level 20 and the game-over screen with seven-digit figures, and every
// banner. A change of font can never cut a title again.
#include "shell_test_support.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <set>
#include <tuple>

#include "game/keys.h"
#include "platform/font.h"
#include "platform/image.h"

using shelltest::crlfLines;
using shelltest::FrameLimit;
using shelltest::writeBytes;

namespace {

const std::string DataFolder = TUMBLEBOUT_BUILD_DIR;
constexpr int Spare = 8;

struct Ink {
    int left = INT_MAX, right = INT_MIN;
};

// Where DrawText puts the glyphs' pixels: each picture starts at the pen plus its
// scaled offset, truncated, and the pen moves on by the scaled advance.
Ink inkOf(const FontRef& font, const headless::DrawCall& call) {
    Ink ink;
    float pen = call.x;
    for (const unsigned char c : call.text) {
        const Glyph* glyph = fontGlyph(font, c);
        if (!glyph) continue;
        if (glyph->image) {
            const int left = static_cast<int>(pen + glyph->offsetX * call.scaleX);
            ink.left = std::min(ink.left, left);
            ink.right = std::max(ink.right, left + static_cast<int>(std::ceil(glyph->image->width * call.scaleX)));
        }
        pen += static_cast<float>(glyph->advance) * call.scaleX;
    }
    return ink;
}

// The digit of the largest advance, among those given.
char widestDigit(const FontRef& font, char from) {
    char widest = from;
    for (char d = from; d <= '9'; ++d)
        if (fontGlyph(font, d)->advance > fontGlyph(font, widest)->advance) widest = d;
    return widest;
}

}  // namespace

class FrontendTextFit : public shelltest::ShellTest {
protected:
    void collect(const std::vector<headless::DrawCall>& calls) {
        for (const headless::DrawCall& call : calls)
            if (call.op == headless::DrawOp::Text) texts.push_back(call);
    }
    std::vector<headless::DrawCall> texts;
};

TEST_F(FrontendTextFit, EveryFixedTextFitsTheScreenWithRoomToSpare) {
    const FontRef font = LoadImageFont(DataFolder + "/images/font.ttf", 200, 4);
    ASSERT_TRUE(font);
    const std::string sevenDigits = widestDigit(font, '1') + std::string(6, widestDigit(font, '0'));
    // The options at their widest values and a table of seven-digit scores.
    writeBytes("prefs.tbt", crlfLines({"1", "10", "20", "7", "10", "1", "10", "0", "10", "10", "10", "10", "30"}));
    std::vector<std::string> table;
    for (int i = 0; i < 20; ++i) table.insert(table.end(), {"NOBODY", sevenDigits});
    writeBytes("scores.txt", crlfLines(table));

    // Start-up with its splash, then OPTIONS, CONTROLS, SCORES and PLAY's mode screen.
    Game game;
    game.dataFolder = DataFolder;
    const std::pair<int, int> keys[] = {
        {130, key::Down}, {133, key::Enter}, {140, key::Esc},                       // OPTIONS
        {145, key::Down}, {147, key::Down}, {150, key::Enter}, {156, key::Esc},    // CONTROLS
        {160, key::Down}, {162, key::Down}, {164, key::Down}, {167, key::Enter}, {290, key::Esc},  // SCORES
        {295, key::Enter}, {300, key::Esc},                                          // PLAY, back
    };
    for (const auto& [frame, code] : keys) tap(frame, code);
    std::set<std::string> screens;
    limitFrames(305, [&](int) {
        screens.insert(game.screen);
        collect(headless::lastFrame());
    });
    EXPECT_THROW(game.run(), FrameLimit);
    EXPECT_EQ(screens, (std::set<std::string>{"splash", "menu", "options", "controls", "scores", "modes"}));

    // Level 20's tally counting, then counted; game over with a name to enter.
    game.fighters[1] = man{};
    game.fighters[1].energy = game.fighters[1].maxEnergy = 20;
    game.level = 20;
    game.maxCombo = 99;
    game.comboScore = game.totalScore = std::stoll(sevenDigits);
    game.levelStartScore = std::stoi(sevenDigits);
    using Kind = EndScreen::Kind;
    game.drawLevelComplete(EndScreen{Kind::Tally, 280});
    game.drawLevelComplete(EndScreen{Kind::Tally, 430});
    game.highScores.assign(20, ScoreEntry{0, "NOBODY"});
    game.drawGameOver(EndScreen{Kind::GameOver, 200, {}, true});
    for (const char* banner : {"   LEVEL 20   ", "  10 - 10  ", "FIGHT!", "  YOU WIN!  ", "  YOU LOSE!  ",
                               "PLAYER 1 WINS!", "PLAYER 2 WINS!", "BODY BLOW!", "HEAD BLOW!", "DOUBLE BLOW!",
                               "99 HIT COMBO!"}) {
        FramePicture picture;
        picture.bannerText = banner;
        picture.bannerTimer = 80;
        game.drawBanner(picture);
    }
    collect(headless::currentFrame());

    std::set<std::string> measured;
    std::set<std::tuple<std::string, float, float>> placements;
    for (const headless::DrawCall& call : texts) {
        if (!placements.emplace(call.text, call.x, call.scaleX).second) continue;  // drawn on many frames
        const Ink ink = inkOf(font, call);
        if (ink.left > ink.right) continue;  // nothing visible
        EXPECT_GE(ink.left, Spare) << "'" << call.text << "' at scale " << call.scaleX;
        EXPECT_LE(ink.right, 1024 - Spare) << "'" << call.text << "' at scale " << call.scaleX;
        measured.insert(call.text);
    }
    for (const std::string& title : {std::string("LEVEL 20 COMPLETED"), std::string("GAME OVER"),
                                     "SCORE: " + sevenDigits, sevenDigits, std::string("HIGH SCORES"),
                                     std::string("FULLSCREEN  0  [AT RESTART]"), std::string("FIGHT!")})
        EXPECT_TRUE(measured.count(title)) << title << " was not drawn";
}
