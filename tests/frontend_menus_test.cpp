// The main menu, the mode selection and the controls screen: drawing, navigation,
// wrapping, the drain on entry and every way out.
#include "shell_test_support.h"

#include "frontend/after_match_notice.h"
#include "game/keys.h"

using shelltest::FrameLimit;
using shelltest::ShellTest;

namespace {

// The selection after each presented frame.
struct SelectionLog {
    std::vector<int> afterFrame;
};

}  // namespace

class FrontendMenus : public ShellTest {
protected:
    void logSelections(Game& game, int maxFrames) {
        log.afterFrame.clear();
        limitFrames(maxFrames, [&](int) { log.afterFrame.push_back(game.selection); });
    }
    SelectionLog log;
};

TEST_F(FrontendMenus, MainMenuDrawsTitleAndFiveEntries) {
    Game game;
    game.palette[2] = {0, 90, 80, 70};
    game.paletteStep[2] = {0, 0, 0, 0};
    logSelections(game, 1);
    EXPECT_THROW(game.mainMenu(), FrameLimit);
    const auto texts = textsPresented();
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[0].text, "TUMBLEBOUT");
    EXPECT_EQ(texts[0].y, 20);
    EXPECT_FLOAT_EQ(texts[0].scaleX, 0.6075f);
    EXPECT_EQ(texts[0].r, game.palette[1][1]);
    const std::vector<std::string> labels = {"PLAY", "OPTIONS", "CONTROLS", "SCORES", "QUIT"};
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(texts[k].text, labels[k - 1]);
        EXPECT_EQ(texts[k].y, 20 + 80 * (k + 1));
        EXPECT_FLOAT_EQ(texts[k].scaleX, 0.45f);
        EXPECT_EQ(texts[k].x, (1024 - static_cast<float>(TextWidth(labels[k - 1])) * 0.45f) / 2);
        EXPECT_EQ(texts[k].r, k == 1 ? 90 : 100);
        EXPECT_EQ(texts[k].b, k == 1 ? 70 : 100);
    }
    EXPECT_EQ(game.screen, "menu");
    EXPECT_EQ(headless::lastFrame().front().op, headless::DrawOp::Cls);
}

TEST_F(FrontendMenus, MainMenuWrapsAndIgnoresUpWithDown) {
    Game game;
    tap(1, key::Up);    // PLAY -> QUIT
    tap(3, key::Down);  // QUIT -> PLAY
    tap(5, key::Down);
    headless::schedule({7, headless::EventKind::Down, key::Up, ""});
    headless::schedule({7, headless::EventKind::Down, key::Down, ""});
    logSelections(game, 10);
    EXPECT_THROW(game.mainMenu(), FrameLimit);
    EXPECT_EQ(log.afterFrame[0], 1);
    EXPECT_EQ(log.afterFrame[1], 5);
    EXPECT_EQ(log.afterFrame[3], 1);
    EXPECT_EQ(log.afterFrame[5], 2);
    EXPECT_EQ(log.afterFrame[7], 2);
}

TEST_F(FrontendMenus, MainMenuReturnsTheEntryOnEnterOrSpace) {
    Game game;
    tap(1, key::Down);
    tap(3, key::Down);
    tap(5, key::Enter);
    logSelections(game, 50);
    EXPECT_EQ(game.mainMenu(), MenuChoice::Controls);
    EXPECT_EQ(log.afterFrame.size(), 5u);

    const int start = headless::presentedFrames();
    tap(start + 2, key::Space);
    logSelections(game, start + 50);
    EXPECT_EQ(game.mainMenu(), MenuChoice::Play);  // starts on PLAY again
}

TEST_F(FrontendMenus, PressesMadeBeforeTheMenuAreDrained) {
    Game game;
    headless::pressKey(key::Enter);
    headless::releaseKey(key::Enter);
    headless::pressKey(key::Down);
    headless::releaseKey(key::Down);
    headless::typeText("abc");
    logSelections(game, 4);
    EXPECT_THROW(game.mainMenu(), FrameLimit);
    EXPECT_EQ(log.afterFrame.back(), 1);
    EXPECT_EQ(GetChar(), 0);
}

TEST_F(FrontendMenus, EscOnTheMainMenuEndsTheProgram) {
    Game game;
    tap(3, key::Esc);
    logSelections(game, 20);
    try {
        game.mainMenu();
        FAIL() << "the main menu returned";
    } catch (const ProgramEnd& end) {
        EXPECT_EQ(end.exitCode, 0);
    }
    EXPECT_EQ(log.afterFrame.size(), 3u);
}

TEST_F(FrontendMenus, CloseRequestEndsTheProgramFromAMenu) {
    Game game;
    headless::schedule({2, headless::EventKind::Close, 0, ""});
    logSelections(game, 20);
    EXPECT_THROW(game.controlsScreen(), ProgramEnd);
    EXPECT_EQ(log.afterFrame.size(), 2u);  // noticed right after that frame
}

TEST_F(FrontendMenus, ModeSelectionHasNoTitleAndSmallerEntries) {
    Game game;
    logSelections(game, 1);
    EXPECT_THROW(game.modeSelect(), FrameLimit);
    const auto texts = textsPresented();
    ASSERT_EQ(texts.size(), 4u);
    const std::vector<std::string> labels = {"1 PLAYER", "2 PLAYERS VS", "2 PLAYERS CO-OP", "2 PLAYERS ONLINE"};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(texts[k].text, labels[k]);
        EXPECT_EQ(texts[k].y, 260 + 80 * k);
        EXPECT_FLOAT_EQ(texts[k].scaleX, 0.3f);
    }
    EXPECT_EQ(game.screen, "modes");
}

TEST_F(FrontendMenus, ModeSelectionStoresTheChosenMode) {
    // Up and Down wrap over the four entries.
    const std::vector<std::pair<int, std::string>> cases = {{0, "1"},      {1, "2vs"}, {2, "2coop"}, {3, "online"},
                                                            {4, "1"},      {-1, "online"}, {-2, "2coop"}};
    for (const auto& [downs, mode] : cases) {
        Game game;
        game.gameMode = "none";
        int frame = headless::presentedFrames() + 1;
        for (int i = 0; i < std::abs(downs); ++i, frame += 2) tap(frame, downs > 0 ? key::Down : key::Up);
        tap(frame, key::Space);
        logSelections(game, frame + 10);
        game.modeSelect();
        EXPECT_EQ(game.gameMode, mode) << downs;
    }
}

TEST_F(FrontendMenus, EscGoesBackAndWinsOverEnter) {
    Game game;
    tap(2, key::Esc);
    logSelections(game, 20);
    game.modeSelect();
    EXPECT_EQ(game.gameMode, "goback");

    const int start = headless::presentedFrames();
    headless::schedule({start + 2, headless::EventKind::Down, key::Enter, ""});
    headless::schedule({start + 2, headless::EventKind::Down, key::Esc, ""});
    game.gameMode = "1";
    logSelections(game, start + 20);
    game.modeSelect();
    EXPECT_EQ(game.gameMode, "goback");
    EXPECT_EQ(log.afterFrame.size(), 2u);
}

TEST_F(FrontendMenus, ModeSelectionFlushesHeldKeysAndPresses) {
    Game game;
    headless::pressKey(key::Enter);  // still held when the screen opens
    logSelections(game, 5);
    EXPECT_THROW(game.modeSelect(), FrameLimit);
    EXPECT_EQ(KeyDown(key::Enter), 0);
}

TEST_F(FrontendMenus, ControlsScreenTexts) {
    Game game;
    logSelections(game, 1);
    EXPECT_THROW(game.controlsScreen(), FrameLimit);
    const auto texts = textsPresented();
    ASSERT_EQ(texts.size(), 15u);
    EXPECT_EQ(texts[0].text, "TUMBLEBOUT");
    EXPECT_EQ(texts[1].text, "PLAYER 1: ARROW KEYS   PLAYER 2: W,A,S,D");
    EXPECT_EQ(texts[1].y, 175);
    EXPECT_FLOAT_EQ(texts[1].scaleX, 0.225f);
    EXPECT_EQ(texts[2].text, "PAUSE: P          QUIT: ESC");
    EXPECT_EQ(texts[3].y, 320);
    EXPECT_FLOAT_EQ(texts[3].scaleX, 0.15f);
    for (int i = 4; i < 15; ++i) {
        EXPECT_EQ(texts[i].y, 400 + 30 * (i - 4));
        EXPECT_FLOAT_EQ(texts[i].scaleX, 0.105f);
        EXPECT_EQ(texts[i].x, (1024 - static_cast<float>(TextWidth(texts[i].text)) * 0.105f) / 2);
        EXPECT_EQ(texts[i].r, texts[0].r);
    }
    EXPECT_EQ(texts[14].text, "IT IS A GOOD IDEA TO TRY TO HIT YOUR OPPONENT'S HEAD WITH YOUR LEGS");
    EXPECT_EQ(game.screen, "controls");
}

TEST_F(FrontendMenus, ControlsScreenLeavesOnEnterSpaceOrEsc) {
    for (int code : {key::Enter, key::Space, key::Esc}) {
        Game game;
        const int start = headless::presentedFrames();
        headless::pressKey(code);  // before the screen: drained
        headless::releaseKey(code);
        tap(start + 4, code);
        logSelections(game, start + 30);
        game.controlsScreen();
        EXPECT_EQ(log.afterFrame.size(), 4u) << code;
    }
}

TEST_F(FrontendMenus, ANoticeAfterAMatchShowsAtTheFootOfTheNextScreensForAFewSeconds) {
    Game game;
    const std::string notice = "CANNOT SAVE THE REPLAY IN REPLAYS: NO SPACE LEFT ON DEVICE";
    showAfterMatchNotice(game, notice);
    int lastFrameShowing = -1, framesAfter = 0;
    limitFrames(AfterMatchNoticeMs / 16 + 20, [&](int frame) {
        const auto texts = textsPresented();
        const headless::DrawCall* line = findText(texts, notice);
        ASSERT_EQ(texts.front().text, "TUMBLEBOUT");  // over the screen, not instead of it
        if (line == nullptr) {
            framesAfter += 1;
            return;
        }
        EXPECT_EQ(framesAfter, 0) << "back at frame " << frame;
        lastFrameShowing = frame;
        EXPECT_EQ(line->r, texts.front().r);  // the title's colour as the palette walks
        EXPECT_EQ(line->g, texts.front().g);
        EXPECT_GT(line->y, 700);
        EXPECT_GE(line->x, 0);  // centred, and narrowed to fit across
    });
    EXPECT_THROW(game.mainMenu(), FrameLimit);
    EXPECT_NEAR(lastFrameShowing, AfterMatchNoticeMs * 60 / 1000, 1);  // a frame is 1/60 s on the headless clock
    EXPECT_GT(framesAfter, 0);
}
