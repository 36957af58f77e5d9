// The shell: the input drain and close check, the data path, the palette walk, the
// music rotation, and the whole start-up, splash and main loop on the headless backend.
#include "shell_test_support.h"

#include <set>

#include "game/keys.h"
#include "platform/backend.h"

using shelltest::crlfLines;
using shelltest::FrameLimit;
using shelltest::readBytes;
using shelltest::ShellTest;
using shelltest::writeBytes;

namespace {

const std::string DataFolder = TUMBLEBOUT_BUILD_DIR;
const std::string SplashLine = "PUSH THE HEAD. SWING THE LIMBS.";

// A backend that only notes what start-up asks of it, in order.
class RecordingBackend final : public Backend {
public:
    explicit RecordingBackend(std::vector<std::string>& log, bool displayOpens)
        : log_(log), displayOpens_(displayOpens) {}
    bool openDisplay(int width, int height, bool fullscreen, int hertz) override {
        log_.push_back("display " + std::to_string(width) + "x" + std::to_string(height) +
                       (fullscreen ? " full screen " : " window ") + std::to_string(hertz) +
                       (std::filesystem::exists("prefs.tbt") ? " after prefs" : "") +
                       (std::filesystem::exists("scores.txt") ? " after scores" : ""));
        return displayOpens_;
    }
    void setTitle(const std::string& title) override { log_.push_back("title " + title); }
    void setIcon(const Image&) override { log_.push_back("icon"); }
    void hideMouse() override { log_.push_back("hide mouse"); }
    void pollEvents() override {}
    void present() override {
        log_.push_back("present");
        if (++presents_ == 2) throw FrameLimit{presents_};
    }
    double milliseconds() override { return 0; }
    void sleep(int) override {}
    Renderer* renderer() override { return nullptr; }

private:
    std::vector<std::string>& log_;
    bool displayOpens_;
    int presents_ = 0;
};

}  // namespace

// ---- Input drain and close check ----------------------------------------------------------------

using ShellInput = ShellTest;

TEST_F(ShellInput, DrainClearsTypedCharactersAndTheMenuKeys) {
    const std::vector<int> drained = {key::P, key::Enter, key::Esc, key::Space, key::Left, key::Right, key::Up, key::Down};
    for (int code : drained) {
        headless::pressKey(code);
        headless::releaseKey(code);
    }
    headless::pressKey('A');
    headless::typeText("typed");
    drainInput();
    for (int code : drained) EXPECT_EQ(KeyHit(code), 0) << code;
    EXPECT_EQ(GetChar(), 0);
    EXPECT_EQ(KeyHit('A'), 1);  // not one of the drained keys
    EXPECT_EQ(KeyDown('A'), 1);
}

TEST_F(ShellInput, CloseRequestEndsTheProgramOnce) {
    EXPECT_NO_THROW(checkWindowClose());
    headless::requestClose();
    try {
        checkWindowClose();
        FAIL() << "no end after a close request";
    } catch (const ProgramEnd& end) {
        EXPECT_EQ(end.exitCode, 0);
    }
    EXPECT_NO_THROW(checkWindowClose());
}

TEST(ShellGame, DataPathJoinsTheDataFolder) {
    Game game;
    EXPECT_EQ(game.dataPath("images/quad280.png"), "images/quad280.png");
    game.dataFolder = "/opt/tb/share";
    EXPECT_EQ(game.dataPath("music/tt1.ogg"), "/opt/tb/share/music/tt1.ogg");
}

// ---- Palette -----------------------------------------------------------------------------------

using ShellPalette = ShellTest;

TEST_F(ShellPalette, StartsBlackAndBrightensByTwo) {
    Game game;
    for (auto& row : game.paletteStep) row.fill(2.0f);
    SeedRnd(321);
    game.animatePalette();
    for (int r = 1; r <= 11; ++r) {
        for (int c = 1; c <= 3; ++c) EXPECT_EQ(game.palette[r][c], 2) << r << "," << c;
        EXPECT_EQ(game.palette[r][0], 0);
    }
    EXPECT_EQ(game.palette[0], (PaletteRow{0, 0, 0, 0}));
}

TEST_F(ShellPalette, OneDrawPerComponentInRowOrder) {
    Game game;
    SeedRnd(77);
    game.animatePalette();
    const float afterWalk = RndFloat();
    SeedRnd(77);
    for (int i = 0; i < 33; ++i) Rnd(0, 1000);
    EXPECT_EQ(afterWalk, RndFloat());
}

TEST_F(ShellPalette, WalkFollowsItsFourRules) {
    Game game;
    for (auto& row : game.paletteStep) row.fill(2.0f);
    game.palette[3] = {0, 254, 1, 100};
    game.paletteStep[3] = {0, 2.0f, -2.0f, -0.5f};
    // The rules restated: flip on a draw above 990, turn at the ends, truncate.
    SeedRnd(5);
    auto expectedPalette = game.palette;
    auto expectedSteps = game.paletteStep;
    for (int frame = 0; frame < 400; ++frame) {
        for (int r = 1; r <= 11; ++r) {
            for (int c = 1; c <= 3; ++c) {
                float& step = expectedSteps[r][c];
                if (Rnd(0, 1000) > 990) step = -step;
                if (expectedPalette[r][c] > 253) step = -2.0f;
                if (expectedPalette[r][c] < 2) step = 2.0f;
                expectedPalette[r][c] = static_cast<int>(expectedPalette[r][c] + step);
            }
        }
    }
    SeedRnd(5);
    game.animatePalette();
    EXPECT_EQ(game.palette[3][1], 252);  // above 253: turned down
    EXPECT_EQ(game.palette[3][2], 3);    // below 2: turned up
    EXPECT_EQ(game.palette[3][3], 99);   // 100 - 0.5 truncates to 99
    for (int frame = 1; frame < 400; ++frame) game.animatePalette();
    EXPECT_EQ(game.palette, expectedPalette);
    std::set<int> seen;
    for (int frame = 0; frame < 2000; ++frame) {
        game.animatePalette();
        for (int r = 1; r <= 11; ++r) {
            for (int c = 1; c <= 3; ++c) {
                ASSERT_GE(game.palette[r][c], 0);
                ASSERT_LE(game.palette[r][c], 256);
                seen.insert(game.palette[r][c] / 64);
            }
        }
    }
    EXPECT_EQ(seen.size(), 4u);  // the colours wander over the whole range
}

// ---- Music -------------------------------------------------------------------------------------

using ShellMusic = ShellTest;

TEST_F(ShellMusic, FirstTrackIsTwoThreeOrFour) {
    std::set<int> firstTracks;
    for (int seed = 1; seed < 200; ++seed) {
        SeedRnd(seed * 7919);
        Game game;
        EXPECT_GE(game.musicTrack, 1);
        EXPECT_LE(game.musicTrack, 3);
        game.musicVolume = 6;
        game.startMusic();
        firstTracks.insert(game.musicTrack);
    }
    EXPECT_EQ(firstTracks, (std::set<int>{2, 3, 4}));
}

TEST_F(ShellMusic, TheFirstTrackFollowsTheStartTime) {
    std::set<int> tracks;
    for (int startMs = 1; startMs <= 30; ++startMs) {
        headless::start({.startMs = startMs * 997});
        Game game;
        tracks.insert(game.musicTrack);
    }
    EXPECT_EQ(tracks, (std::set<int>{1, 2, 3}));
}

TEST_F(ShellMusic, NoMusicAtVolumeZero) {
    Game game;
    game.musicVolume = 0;
    const int track = game.musicTrack;
    game.startMusic();
    game.keepMusic();
    game.stopMusic();
    EXPECT_EQ(game.musicTrack, track);
    EXPECT_EQ(game.musicChannel, 0);
}

TEST_F(ShellMusic, TracksFollowOneAnother) {
    Game game;
    const SoundRef sound = LoadSound(DataFolder + "/sounds/block.wav", 0);
    ASSERT_TRUE(sound) << "the generated data is missing";
    for (int track = 1; track <= 4; ++track) game.musicTracks[track] = sound;
    game.musicVolume = 4;
    game.musicTrack = 3;
    game.startMusic();
    EXPECT_EQ(game.musicTrack, 4);
    const Channel first = game.musicChannel;
    ASSERT_NE(first, 0);
    EXPECT_EQ(ChannelPlaying(first), 1);
    game.keepMusic();  // still playing: nothing changes
    EXPECT_EQ(game.musicChannel, first);
    EXPECT_EQ(game.musicTrack, 4);

    Delay(60000);  // long past the end of the effect
    EXPECT_EQ(ChannelPlaying(first), 0);
    game.keepMusic();
    EXPECT_EQ(game.musicTrack, 1);  // 4 wraps to 1
    EXPECT_NE(game.musicChannel, first);
    EXPECT_EQ(ChannelPlaying(game.musicChannel), 1);

    const Channel second = game.musicChannel;
    game.stopMusic();
    EXPECT_EQ(ChannelPlaying(second), 0);
    EXPECT_EQ(game.musicChannel, second);  // kept until the next start
    game.startMusic();
    EXPECT_EQ(game.musicTrack, 2);
}

// ---- Start-up, splash and main loop ------------------------------------------------------------------

class ShellRun : public ShellTest {
protected:
    enum class Ended { Returned, ProgramEnd, FrameLimit };

    Ended runGame(Game& game, int maxFrames) {
        screens.clear();
        selections.clear();
        game.dataFolder = DataFolder;
        limitFrames(maxFrames, [&](int) {
            screens.push_back(game.screen);
            selections.push_back(game.selection);
            if (screens.size() == 1) firstFrame = headless::lastFrame();
        });
        try {
            game.run();
        } catch (const FrameLimit&) {
            return Ended::FrameLimit;
        } catch (const ProgramEnd& end) {
            exitCode = end.exitCode;
            return Ended::ProgramEnd;
        }
        return Ended::Returned;
    }

    // Index of the first frame (1-based) that showed `screen` at or after frame `from`.
    int firstFrameOf(const std::string& screen, int from = 1) const {
        for (int i = from; i <= static_cast<int>(screens.size()); ++i) {
            if (screens[i - 1] == screen) return i;
        }
        return -1;
    }

    std::vector<std::string> screens;
    std::vector<int> selections;
    std::vector<headless::DrawCall> firstFrame;
    int exitCode = -1;
};

TEST_F(ShellRun, SplashLastsTwoSecondsThenTheMainMenu) {
    Game game;
    EXPECT_EQ(runGame(game, 130), Ended::FrameLimit);
    // The first frame is drawn without clearing: the logo, then the line under it.
    ASSERT_EQ(firstFrame.size(), 2u);
    EXPECT_EQ(firstFrame[0].op, headless::DrawOp::Image);
    EXPECT_EQ(firstFrame[0].x, 409);
    EXPECT_EQ(firstFrame[0].y, 196);
    EXPECT_FLOAT_EQ(firstFrame[0].scaleX, 1);
    EXPECT_EQ(firstFrame[1].text, SplashLine);
    EXPECT_EQ(firstFrame[1].y, 500);
    EXPECT_FLOAT_EQ(firstFrame[1].scaleX, 0.1875f);
    EXPECT_EQ(firstFrame[1].x, (1024 - static_cast<float>(TextWidth(SplashLine)) * 2.5f * 0.075f) / 2);
    EXPECT_EQ(firstFrame[1].r, 255);
    EXPECT_EQ(firstFrame[1].b, 255);
    // The clock starts after the first frame; the last splash frame is the first that
    // sees more than 2000 ms (at 1000/60 ms per frame, whole milliseconds).
    EXPECT_EQ(screens[122], "splash");
    EXPECT_EQ(firstFrameOf("menu"), 124);
}

TEST_F(ShellRun, SplashLastsTwoSecondsAcrossTheCounterWrap) {
    headless::start({.startMs = 2147483647 - 1000});  // the counter wraps a second in
    ASSERT_TRUE(Graphics(1024, 768, 0, 60, 0));
    Game game;
    EXPECT_EQ(runGame(game, 130), Ended::FrameLimit);
    EXPECT_EQ(firstFrameOf("menu"), 124);
}

TEST_F(ShellRun, StartUpOrderOnTheBackend) {
    // Full screen from the file: the display is opened after both files were read.
    // The full-screen window hides the pointer by itself.
    writeBytes("prefs.tbt", crlfLines({"1", "4", "5", "1", "5", "1", "3", "1"}));
    std::vector<std::string> log;
    installBackend(std::make_unique<RecordingBackend>(log, true));
    Game game;
    game.dataFolder = DataFolder;
    EXPECT_THROW(game.run(), FrameLimit);
    EXPECT_EQ(log, (std::vector<std::string>{"title Tumblebout", "icon",
                                             "display 1024x768 full screen 60 after prefs after scores",
                                             "present", "present"}));
    EXPECT_EQ(game.fullscreen, 1);
    installBackend(nullptr);
}

TEST_F(ShellRun, CommandLineChoosesTheDisplayForThisRunOnly) {
    // FULLSCREEN stored as 1, --windowed given.
    const std::string prefs = crlfLines({"1", "4", "5", "1", "5", "1", "3", "1"});
    writeBytes("prefs.tbt", prefs);
    std::vector<std::string> log;
    installBackend(std::make_unique<RecordingBackend>(log, true));
    Game game;
    game.dataFolder = DataFolder;
    game.fullscreenThisRun = false;
    EXPECT_THROW(game.run(), FrameLimit);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[2], "display 1024x768 window 60 after prefs after scores");
    EXPECT_EQ(game.fullscreen, 1);  // the option itself stays as stored
    EXPECT_EQ(readBytes("prefs.tbt"), prefs);
    installBackend(nullptr);
}

// Two files gone from a copy of the data, one of them replaced by one that is not a
// WAV: a line for each, naming the file and the folder; the game still starts.
TEST_F(ShellRun, EachMissingOrUnreadableDataFileGetsOneLine) {
    namespace fs = std::filesystem;
    const fs::path data = folder() / "data";
    fs::create_directories(data);
    for (const char* sub : {"images", "sounds", "music"})
        fs::copy(fs::path(DataFolder) / sub, data / sub, fs::copy_options::recursive);
    fs::remove(data / "images/spark.png");
    fs::remove(data / "music/tt3.ogg");
    writeBytes(data / "sounds/blow.wav", "not a sound");
    Game game;
    game.dataFolder = data.string();
    limitFrames(30);
    testing::internal::CaptureStderr();
    EXPECT_THROW(game.run(), FrameLimit);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "tumblebout: cannot read sounds/blow.wav in " + data.string() + "\n" +
              "tumblebout: cannot read images/spark.png in " + data.string() + "\n" +
              "tumblebout: cannot read music/tt3.ogg in " + data.string() + "\n");
    EXPECT_TRUE(game.quadImage);
    EXPECT_FALSE(game.sparkImage);
}

TEST_F(ShellRun, WindowWhenFullScreenIsOff) {
    std::vector<std::string> log;
    installBackend(std::make_unique<RecordingBackend>(log, true));
    Game game;
    game.dataFolder = DataFolder;
    EXPECT_THROW(game.run(), FrameLimit);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[2], "display 1024x768 window 60 after prefs after scores");
    EXPECT_EQ(log[3], "present");  // no hidden pointer in a window
    installBackend(nullptr);
}

TEST_F(ShellRun, DisplayThatCannotOpenEndsWithStatusOne) {
    std::vector<std::string> log;
    installBackend(std::make_unique<RecordingBackend>(log, false));
    Game game;
    game.dataFolder = DataFolder;
    testing::internal::CaptureStderr();
    try {
        game.run();
        FAIL() << "run returned without a display";
    } catch (const ProgramEnd& end) {
        EXPECT_EQ(end.exitCode, 1);
    }
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_EQ(message, "tumblebout: cannot open a 1024 x 768 window with OpenGL\n");
    EXPECT_EQ(log.back(), "display 1024x768 window 60 after prefs after scores");
    installBackend(nullptr);
}

TEST_F(ShellRun, HeldSpaceEnterOrEscEndsTheSplashAtItsFirstLoopFrame) {
    for (int code : {key::Space, key::Enter, key::Esc}) {
        headless::start();
        Game game;
        hold(0, code);
        EXPECT_EQ(runGame(game, 30), Ended::FrameLimit) << code;
        EXPECT_EQ(screens[1], "splash") << code;
        EXPECT_EQ(firstFrameOf("menu"), 3) << code;
        // Still held, the key is no press for the menu.
        EXPECT_EQ(screens.back(), "menu") << code;
        EXPECT_EQ(game.selection, 1) << code;
    }
}

TEST_F(ShellRun, StartUpReadsFilesBeforeSeedingFromTheClock) {
    headless::Options options;
    options.startMs = 98765;
    headless::start(options);
    writeBytes("prefs.tbt", crlfLines({"1", "9", "5", "1", "5", "0", "3", "0", "6", "0"}));
    writeBytes("scores.txt", crlfLines({"ace", "500"}));
    Game game;
    hold(0, key::Space);
    EXPECT_EQ(runGame(game, 3), Ended::FrameLimit);
    EXPECT_EQ(game.playersSpeed, 9);
    EXPECT_EQ(game.musicVolume, 0);
    EXPECT_EQ(game.blood, 10);  // past the end of the short file: the default
    EXPECT_EQ(game.highScores.size(), 20u);
    EXPECT_EQ(game.highScores[0].name, "ace");
    EXPECT_EQ(game.highScores[1].name, "NOBODY");
    EXPECT_EQ(readBytes("prefs.tbt"), crlfLines({"1", "9", "5", "1", "5", "0", "3", "0", "6", "0"}));

    // The menu's first frame is the first palette step after seeding with MilliSecs.
    Game reference;
    for (auto& row : reference.paletteStep) row.fill(2.0f);
    SeedRnd(98765);
    reference.animatePalette();
    EXPECT_EQ(game.palette, reference.palette);
    EXPECT_EQ(game.paletteStep, reference.paletteStep);
}

TEST_F(ShellRun, FreshStartWritesBothFiles) {
    Game game;
    hold(0, key::Esc);
    EXPECT_EQ(runGame(game, 3), Ended::FrameLimit);
    EXPECT_EQ(readBytes("prefs.tbt"), crlfLines({"1", "4", "5", "1", "5", "1", "3", "0", "6", "6", "1", "1", "10"}));
    EXPECT_EQ(readBytes("scores.txt").size(), 20 * (8 + 3));
}

TEST_F(ShellRun, EscOnTheMainMenuEndsTheProgram) {
    Game game;
    hold(0, key::Space);
    tap(6, key::Esc);
    EXPECT_EQ(runGame(game, 100), Ended::ProgramEnd);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(screens.size(), 6u);
}

TEST_F(ShellRun, QuitReturnsFromRun) {
    Game game;
    hold(0, key::Space);
    tap(5, key::Up);
    tap(7, key::Enter);
    EXPECT_EQ(runGame(game, 100), Ended::Returned);
    EXPECT_EQ(screens.size(), 7u);
}

TEST_F(ShellRun, CloseRequestDuringTheSplashEndsTheProgram) {
    Game game;
    headless::schedule({40, headless::EventKind::Close, 0, ""});
    EXPECT_EQ(runGame(game, 300), Ended::ProgramEnd);
    EXPECT_EQ(screens.size(), 40u);
}

TEST_F(ShellRun, MainLoopDispatchesEveryEntry) {
    Game game;
    hold(0, key::Space);
    tap(4, key::Down);
    tap(6, key::Enter);    // OPTIONS
    tap(10, key::Esc);     // saved, back to the menu
    tap(14, key::Down);
    tap(16, key::Down);
    tap(18, key::Enter);   // CONTROLS (the menu starts on PLAY again)
    tap(22, key::Enter);   // (Space is still held from the splash)
    tap(26, key::Up);
    tap(28, key::Up);
    tap(30, key::Enter);   // SCORES
    tap(34, key::Esc);
    tap(38, key::Enter);   // PLAY
    tap(42, key::Esc);     // back from the mode selection
    EXPECT_EQ(runGame(game, 48), Ended::FrameLimit);
    EXPECT_EQ(screens[6], "options");
    EXPECT_EQ(screens[9], "options");
    EXPECT_EQ(screens[10], "menu");
    EXPECT_EQ(screens[18], "controls");
    EXPECT_EQ(screens[22], "menu");
    EXPECT_EQ(screens[30], "scores");
    EXPECT_EQ(screens[34], "menu");
    EXPECT_EQ(screens[38], "modes");
    EXPECT_EQ(screens[42], "menu");
    EXPECT_EQ(game.gameMode, "goback");
    EXPECT_TRUE(std::filesystem::exists("prefs.tbt"));
}

TEST_F(ShellRun, QuittingACampaignMatchReturnsToTheMenu) {
    Game game;
    hold(0, key::Space);
    tap(4, key::Enter);   // PLAY
    tap(6, key::Enter);   // 1 PLAYER
    headless::schedule({30, headless::EventKind::Down, key::Esc, ""});
    headless::schedule({32, headless::EventKind::Up, key::Esc, ""});
    EXPECT_EQ(runGame(game, 40), Ended::FrameLimit);
    EXPECT_EQ(screens[8], "match");
    EXPECT_EQ(selections[8], 0);
    EXPECT_EQ(screens.back(), "menu");
    EXPECT_EQ(game.gameMode, "1");
    EXPECT_EQ(game.matchResult, 3);
    EXPECT_EQ(game.level, 2);  // the loop counts the quit level too
    EXPECT_EQ(game.totalScore, 0);
}

TEST_F(ShellRun, VersusSeriesStartsWithNoWinsAndEndsOnEsc) {
    Game game;
    game.wins = {0, 5, 7};
    hold(0, key::Space);
    tap(4, key::Enter);   // PLAY
    tap(6, key::Down);
    tap(8, key::Enter);   // 2 PLAYERS VS
    headless::schedule({30, headless::EventKind::Down, key::Esc, ""});
    headless::schedule({32, headless::EventKind::Up, key::Esc, ""});
    EXPECT_EQ(runGame(game, 40), Ended::FrameLimit);
    EXPECT_EQ(screens[10], "match");
    EXPECT_EQ(screens.back(), "menu");
    EXPECT_EQ(game.gameMode, "2vs");
    EXPECT_EQ(game.wins[1], 0);
    EXPECT_EQ(game.wins[2], 0);
    EXPECT_EQ(game.level, 1);
}
