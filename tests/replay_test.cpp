// Snapshots and replays: a snapshot restored mid-fight steps on bit for bit as the
// uninterrupted match did; whole matches played through the headless runner replay
// from the files the game wrote to the same state; files of another build, cut short,
// corrupt or hostile are refused; the replay folder keeps the newest 50.

#include <sys/resource.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

#include "game/Game.h"
#include "game/fingerprint.h"
#include "game/snapshot.h"
#include "platform/headless.h"
#include "replay/replay_file.h"
#include "replay/replay_folder.h"
#include "replay/replay_name.h"
#include "tests/e2e_support.h"
#include "tests/fifo_with_writer.h"
#include "tests/file_size_limit.h"
#include "tools/headless/state_dump.h"
#include "tools/fuzz/fuzz_seeds.h"

namespace {

using e2e::jsonNumber;
using e2e::jsonValue;
using e2e::scriptMarker;
using e2e::scriptText;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

int activeBursts(const Game& game) {
    int active = 0;
    for (int i = 1; i <= BurstSlots; ++i) active += game.bursts[i].active;
    return active;
}

TEST(Snapshot, RestoredMidFightAMatchStepsOnBitForBitAsThePlayedOneDid) {
    headless::start();
    Game played;
    setUpCanonicalFight(played);
    FrameEvents events;
    constexpr int Middle = 30, End = 150;  // the heap has burst: bursts everywhere, slow motion
    for (int frame = 0; frame < Middle; ++frame) played.stepMatch(canonicalInput(frame), events);
    EXPECT_GT(activeBursts(played), 50);
    EXPECT_GT(played.slowMotionTimer, 0);
    const Bytes middle = saveSnapshot(played);
    std::vector<Bytes> expected;
    for (int frame = Middle; frame < End; ++frame) {
        played.stepMatch(canonicalInput(frame), events);
        expected.push_back(saveSnapshot(played));
    }

    SeedRnd(1);  // the snapshot brings the generator back
    MatchState restored;
    ASSERT_TRUE(restoreSnapshot(restored, middle.data(), middle.size()));
    EXPECT_EQ(saveSnapshot(restored), middle);
    for (int frame = Middle; frame < End; ++frame) {
        restored.stepMatch(canonicalInput(frame), events);
        ASSERT_EQ(saveSnapshot(restored), expected[static_cast<std::size_t>(frame - Middle)]) << "frame " << frame;
    }
    headless::stop();
}

// Restored into a game that never played, every frame of the heavy fight and a versus
// series with wins on both sides dump exactly as the game that played them: no field is
// left out of both the saving and the restoring, and no value a match reaches is refused.
TEST(Snapshot, EveryStateRestoresIntoAFreshGameAsItWasDumped) {
    headless::start();
    Game played;
    setUpCanonicalFight(played);
    const auto restoresAlike = [&](const std::string& when) {
        const Bytes bytes = saveSnapshot(played);
        Game fresh;
        fresh.setDefaultOptions();
        fresh.musicTrack = played.musicTrack;
        ASSERT_TRUE(restoreSnapshot(fresh, bytes.data(), bytes.size())) << when;
        ASSERT_EQ(stateJson(fresh, 0), stateJson(played, 0)) << when;
    };
    FrameEvents events;
    for (int frame = 0; frame < 150; ++frame) {
        played.stepMatch(canonicalInput(frame), events);
        restoresAlike("frame " + std::to_string(frame));
    }
    played.gameMode = "2vs";
    played.wins = {0, 3, 5};
    played.setupMatch();
    restoresAlike("versus");
    headless::stop();
}

TEST(Snapshot, ASnapshotNoMatchCanHoldIsRefused) {
    headless::start();
    Game game;
    setUpCanonicalFight(game);
    const Bytes good = saveSnapshot(game);
    Game target;
    ASSERT_TRUE(restoreSnapshot(target, good.data(), good.size()));

    Bytes otherVersion = good;
    otherVersion[0] += 1;
    Bytes longer = good;
    longer.push_back(0);
    for (const Bytes& bad : {otherVersion, Bytes(good.begin(), good.end() - 1), longer, Bytes{}})
        EXPECT_FALSE(restoreSnapshot(target, bad.data(), bad.size())) << bad.size() << " bytes";

    // Values that would index past an array or overflow a counter.
    const std::vector<std::function<void(Game&)>> hostile = {
        [](Game& g) { g.nextBurst = BurstSlots + 1; },
        [](Game& g) { g.nameCursor = 31; },
        [](Game& g) { g.frameCounter = -5; },
        [](Game& g) { g.gameMode = "goback"; },
        [](Game& g) { g.fighters[2].nodes[4].hitTimer = 1 << 30; },
        [](Game& g) { g.fighters[1].lastContact = 9; },
        [](Game& g) { g.bursts[7].colourStep[1] = 1 << 30; },
        [](Game& g) { g.playersSpeed = 1 << 30; },
        [](Game& g) { g.arenaRight = 1e30f; },
        [](Game& g) { g.combo = 5000; },
        // One past what a match reaches.
        [](Game& g) { g.fighters[2].nodes[4].hitTimer = 61; },
        [](Game& g) { g.bursts[7] = g.bursts[1], g.bursts[7].active = 1, g.bursts[7].count = MaxParticles + 1; },
        [](Game& g) { g.nameCursor = 17; },
        [](Game& g) { g.level = 21; },
        [](Game& g) { g.fighterCount = 7; },
        [](Game& g) { g.nextBurst = 0; },
    };
    for (std::size_t i = 0; i < hostile.size(); ++i) {
        Game planted;
        setUpCanonicalFight(planted);
        hostile[i](planted);
        const Bytes bytes = saveSnapshot(planted);
        EXPECT_FALSE(restoreSnapshot(target, bytes.data(), bytes.size())) << "hostile value " << i;
    }
    headless::stop();
}

// ---- Replay files -------------------------------------------------------------------------------

class ReplayFiles : public e2e::RunnerTest {
protected:
    static Bytes seedReplay() { return makeFuzzSeeds("replay").front().bytes; }

    ReplayResult readBytesAsReplay(const Bytes& bytes) {
        const std::string file = path("input.tbr").string();
        shelltest::writeBytes(file, std::string(bytes.begin(), bytes.end()));
        return readReplayFile(file, simulationFingerprint());
    }

    std::vector<std::string> replaysSaved() {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(path("replays"), error))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Plays a replay through the runner in the test's folder.
    e2e::RunnerResult replay(const std::string& file, int frames, const std::vector<int>& dumpFrames) {
        return runArgs("--replay '" + file + "' --frames " + std::to_string(frames), dumpFrames);
    }
};

// A zlib stream of `count` zero bytes, made a piece at a time so that they are never
// in memory together.
Bytes deflatedZeros(std::size_t count) {
    z_stream stream{};
    deflateInit(&stream, Z_BEST_COMPRESSION);
    const Bytes zeros(1u << 16, 0);
    Bytes piece(1u << 16), packed;
    for (std::size_t left = count;;) {
        const std::size_t take = std::min(left, zeros.size());
        left -= take;
        stream.next_in = const_cast<Bytef*>(zeros.data());
        stream.avail_in = static_cast<uInt>(take);
        const int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = piece.data();
            stream.avail_out = static_cast<uInt>(piece.size());
            deflate(&stream, flush);
            packed.insert(packed.end(), piece.begin(), piece.end() - stream.avail_out);
        } while (stream.avail_out == 0);
        if (flush == Z_FINISH) break;
    }
    deflateEnd(&stream);
    return packed;
}

// The most memory this process has held so far.
long peakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// This process's local time as the TZ variable `zone` names it; null: the system's.
void inTimeZone(const char* zone) {
    if (zone) setenv("TZ", zone, 1);
    else unsetenv("TZ");
    tzset();
}

// The dump's simulated state: everything but the presented frame, the screen and the
// music that happened to play.
std::string simulated(std::string json) {
    for (const char* key : {"\"frame\":", "\"screen\":", "\"selection\":", "\"musicTrack\":"}) {
        const std::size_t at = json.find(key);
        if (at == std::string::npos) continue;
        json.erase(at, json.find(',', at) + 1 - at);
    }
    return json;
}

TEST_F(ReplayFiles, AVersusBoutAndACampaignLevelReplayFromTheirFilesToTheSameState) {
    struct Match {
        const char* script;
        int startMs;      // the start time the script was found with
        int tail;         // frames after the decision until the match has surely ended
        const char* end;  // the key that ends it, if the match waits for one
    };
    for (const Match& match : {Match{"e2e_versus_bout.txt", 3000, 420, ""},
                               Match{"e2e_win_level1.txt", 1000, 650, "ENTER"}}) {
        SCOPED_TRACE(match.script);
        fs::remove_all(path("replays"));
        std::string script = scriptText(match.script);
        const int start = scriptMarker(script, "match-start");
        const int decided = scriptMarker(script, "decided");
        ASSERT_GT(decided, start);
        if (*match.end) script += std::to_string(decided + 560) + " down " + match.end + "\n";
        const std::vector<int> liveFrames = {start + 150, decided - 1, decided, decided + 300};
        const e2e::RunnerResult live = run(script, match.startMs, decided + match.tail, liveFrames);
        ASSERT_EQ(live.exitCode, 0) << live.errors;
        const std::vector<std::string> saved = replaysSaved();
        ASSERT_EQ(saved.size(), 1u) << "one match, one replay";

        // The same match frames from the replay: a match frame is its frameCounter.
        std::vector<int> matchFrames;
        for (int frame : liveFrames) matchFrames.push_back(static_cast<int>(jsonNumber(live.dumps.at(frame), "frameCounter")));
        const e2e::RunnerResult replayed = replay("replays/" + saved[0], 100000, matchFrames);
        ASSERT_EQ(replayed.exitCode, 0) << replayed.errors;
        for (std::size_t i = 0; i < liveFrames.size(); ++i) {
            ASSERT_EQ(replayed.dumps.count(matchFrames[i]), 1u) << "match frame " << matchFrames[i];
            EXPECT_EQ(simulated(replayed.dumps.at(matchFrames[i])), simulated(live.dumps.at(liveFrames[i])))
                << "match frame " << matchFrames[i];
        }
        EXPECT_EQ(jsonValue(replayed.dumps.at(matchFrames[2]), "matchState"), "tell result");
        // Watching wrote no replay of its own.
        EXPECT_EQ(replaysSaved(), saved);
    }
}

TEST_F(ReplayFiles, TheViewerFastForwardsEightFramesAtATimeAndPauses) {
    std::string script = scriptText("e2e_versus_bout.txt");
    ASSERT_EQ(run(script, 3000, scriptMarker(script, "decided") + 420, {}).exitCode, 0);
    const std::string file = "replays/" + replaysSaved().at(0);
    const e2e::RunnerResult plain = replay(file, 420, {400, 410, 411});
    ASSERT_EQ(plain.exitCode, 0) << plain.errors;

    // Right held for 50 frames: 400 match frames; then ten at the normal pace; Space
    // stops the match for ten frames, Space again goes on.
    shelltest::writeBytes(path("viewer.txt"), "0 down RIGHT\n50 up RIGHT\n60 tap SPACE\n70 tap SPACE\n");
    const e2e::RunnerResult viewer =
        runArgs("--input viewer.txt --replay '" + file + "' --frames 80", {50, 60, 65, 71});
    ASSERT_EQ(viewer.exitCode, 0) << viewer.errors;
    EXPECT_EQ(simulated(viewer.dumps.at(50)), simulated(plain.dumps.at(400)));
    EXPECT_EQ(simulated(viewer.dumps.at(60)), simulated(plain.dumps.at(410)));
    EXPECT_EQ(simulated(viewer.dumps.at(65)), simulated(plain.dumps.at(410))) << "paused";
    EXPECT_EQ(simulated(viewer.dumps.at(71)), simulated(plain.dumps.at(411)));
}

// A lost campaign whose table holds scores tied under different names: its game-over
// screen sorts the table on every frame, so the order of the ties is the match's own.
// Fast-forwarding past that screen ends in the table watching it gives.
TEST_F(ReplayFiles, FastForwardingPastTheGameOverEndsInTheTableWatchingGives) {
    std::vector<std::string> lines;
    for (int i = 0; i < 20; ++i) {
        lines.push_back(std::string(1, static_cast<char>('B' + i)));
        lines.push_back(std::to_string(100 - 10 * (i / 2)));
    }
    shelltest::writeBytes(path("scores.txt"), shelltest::crlfLines(lines));
    std::string script = scriptText("e2e_lose_level2.txt");
    const int gameOver = scriptMarker(script, "decided") + 100;
    script += std::to_string(gameOver + 8) + " type me\n" + std::to_string(gameOver + 45) + " down ENTER\n" +
              std::to_string(gameOver + 50) + " up ENTER\n" + std::to_string(gameOver + 300) + " tap SPACE\n";
    ASSERT_EQ(run(script, 1000, gameOver + 320, {}).exitCode, 0);
    std::string lostLevel;
    for (const std::string& name : replaysSaved())
        if (name.find("level-2") != std::string::npos) lostLevel = "replays/" + name;
    ASSERT_FALSE(lostLevel.empty());

    // Every 64th frame watched, every 8th shown while Right is held.
    std::vector<int> watchedFrames, fastFrames;
    for (int frame = 64; frame <= 8000; frame += 64) {
        watchedFrames.push_back(frame);
        fastFrames.push_back(frame / 8);
    }
    const e2e::RunnerResult watched = replay(lostLevel, 8000, watchedFrames);
    ASSERT_EQ(watched.exitCode, 0) << watched.errors;
    shelltest::writeBytes(path("viewer.txt"), "0 down RIGHT\n");
    const e2e::RunnerResult fast = runArgs("--input viewer.txt --replay '" + lostLevel + "' --frames 1000", fastFrames);
    ASSERT_EQ(fast.exitCode, 0) << fast.errors;
    int compared = 0;
    std::string last;
    for (std::size_t i = 0; i < watchedFrames.size(); ++i) {
        if (!watched.dumps.count(watchedFrames[i])) break;
        ASSERT_EQ(fast.dumps.count(fastFrames[i]), 1u) << "frame " << fastFrames[i];
        EXPECT_EQ(simulated(fast.dumps.at(fastFrames[i])), simulated(watched.dumps.at(watchedFrames[i])))
            << "match frame " << watchedFrames[i];
        last = watched.dumps.at(watchedFrames[i]);
        compared += 1;
    }
    EXPECT_GT(compared, 20);
    EXPECT_EQ(jsonValue(last, "matchState"), "highscores");
    EXPECT_NE(last.find("{\"name\":\"ME\""), std::string::npos) << "the name went into the table";
}

TEST_F(ReplayFiles, WatchingAReplayLeavesTheOptionsAndScoresAlone) {
    // The quickest whole match: a campaign level left with Esc.
    const std::string script = "0 down SPACE\n4 up SPACE\n8 tap ENTER\n12 tap ENTER\n40 down ESC\n42 up ESC\n";
    const e2e::RunnerResult live = run(script, 1000, 60, {});
    ASSERT_EQ(live.exitCode, 0) << live.errors;
    ASSERT_EQ(replaysSaved().size(), 1u);
    fs::remove(path("scores.txt"));
    shelltest::writeBytes(path("prefs.tbt"), "1\r\n4\r\n5\r\n1\r\n5\r\n1\r\n3\r\n0\r\n0\r\n0\r\n1\r\n1\r\n10\r\n");
    struct stat before{};
    stat(path("prefs.tbt").c_str(), &before);

    const e2e::RunnerResult replayed = replay("replays/" + replaysSaved()[0], 1000, {});
    ASSERT_EQ(replayed.exitCode, 0) << replayed.errors;
    EXPECT_FALSE(fs::exists(path("scores.txt")));
    struct stat after{};
    stat(path("prefs.tbt").c_str(), &after);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(replaysSaved().size(), 1u);
}

TEST_F(ReplayFiles, AReplayThatCannotBeSavedIsSaidInOneLineAndTheGameGoesOn) {
    // `replays` is a plain file: the quickest whole match (a campaign level left with
    // Esc), then the menu again.
    shelltest::writeBytes(path("replays"), "mine");
    const std::string script = "0 down SPACE\n4 up SPACE\n8 tap ENTER\n12 tap ENTER\n40 down ESC\n42 up ESC\n";
    const e2e::RunnerResult live = run(script, 1000, 80, {80});
    EXPECT_EQ(live.exitCode, 0);
    ASSERT_EQ(live.dumps.count(80), 1u);
    EXPECT_EQ(jsonValue(live.dumps.at(80), "screen"), "menu");
    EXPECT_EQ(std::count(live.errors.begin(), live.errors.end(), '\n'), 1) << live.errors;
    EXPECT_NE(live.errors.find("cannot save the replay"), std::string::npos) << live.errors;
    EXPECT_EQ(shelltest::readBytes(path("replays")), "mine");

    // A full disk, as a limit on file sizes makes it: the reason comes back to the game.
    const Replay replay = readBytesAsReplay(seedReplay()).replay;
    const SavedReplay full = underFileSizeLimit(64, [&] { return saveReplayInFolder(path("full").string(), replay); });
    EXPECT_EQ(full.path, "");
    EXPECT_NE(full.error.find("File too large"), std::string::npos) << full.error;
    EXPECT_TRUE(fs::is_empty(path("full"))) << "no part of it is left behind";
}

TEST_F(ReplayFiles, FilesOfAnotherBuildCutShortCorruptOrHostileAreRefused) {
    const Bytes good = seedReplay();
    ASSERT_TRUE(readBytesAsReplay(good).error.empty()) << readBytesAsReplay(good).error;

    Bytes otherBuild = good;
    otherBuild[15] ^= 0x40;  // inside the fingerprint
    EXPECT_NE(readBytesAsReplay(otherBuild).error.find("another build"), std::string::npos);

    for (std::size_t length : {std::size_t{0}, std::size_t{7}, std::size_t{37}, good.size() / 2, good.size() - 1})
        EXPECT_FALSE(readBytesAsReplay(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length))).error.empty())
            << length << " bytes";
    Bytes corrupt = good;
    corrupt[good.size() - 20] ^= 0x10;
    EXPECT_FALSE(readBytesAsReplay(corrupt).error.empty());
    // A header claiming a vast payload behind a few bytes is refused before inflating.
    Bytes bomb(good.begin(), good.begin() + 38);
    for (int i = 26; i < 34; ++i) bomb[static_cast<std::size_t>(i)] = 0xFF;
    EXPECT_NE(readBytesAsReplay(bomb).error.find("header"), std::string::npos);
    // So is one within the limits that no four bytes inflate to: a snapshot of half a
    // megabyte more.
    Bytes overclaimed(good.begin(), good.begin() + 42);
    overclaimed[28] += 0x08;
    EXPECT_NE(readBytesAsReplay(overclaimed).error.find("header"), std::string::npos);
    Bytes level21 = good;
    level21[21] = 21;
    EXPECT_NE(readBytesAsReplay(level21).error.find("header"), std::string::npos);
    Bytes wrongCrc = good;
    wrongCrc[34] ^= 1;
    EXPECT_NE(readBytesAsReplay(wrongCrc).error.find("corrupt"), std::string::npos);
    // A stream that inflates far past the sizes given is held no longer than they say.
    Bytes endless(good.begin(), good.begin() + 38);
    const Bytes zeros = deflatedZeros(100u << 20);
    endless.insert(endless.end(), zeros.begin(), zeros.end());
    const long peakBefore = peakMemoryKb();
    EXPECT_NE(readBytesAsReplay(endless).error.find("corrupt"), std::string::npos);
    EXPECT_LT(peakMemoryKb() - peakBefore, 32 << 10);
    // Not a file at all.
    EXPECT_FALSE(readReplayFile(path("").string(), simulationFingerprint()).error.empty());
    ASSERT_EQ(mkfifo(path("fifo.tbr").c_str(), 0600), 0);
    EXPECT_FALSE(readReplayFile(path("fifo.tbr").string(), simulationFingerprint()).error.empty());

    // Through the runner: one line on stderr and status 2, for a cut file and for one
    // whose snapshot holds a state no match reaches.
    shelltest::writeBytes(path("cut.tbr"), std::string(good.begin(), good.begin() + 100));
    e2e::RunnerResult cut = replay("cut.tbr", 10, {});
    EXPECT_EQ(cut.exitCode, 2);
    EXPECT_EQ(std::count(cut.errors.begin(), cut.errors.end(), '\n'), 1) << cut.errors;
    Replay hostile = readBytesAsReplay(good).replay;
    hostile.snapshot[4] = 0xFF;  // the generator's state: out of its range
    hostile.snapshot[7] = 0xFF;
    const Bytes planted = encodeReplay(hostile);
    shelltest::writeBytes(path("hostile.tbr"), std::string(planted.begin(), planted.end()));
    e2e::RunnerResult refused = replay("hostile.tbr", 10, {});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(std::count(refused.errors.begin(), refused.errors.end(), '\n'), 1) << refused.errors;
}

TEST(ReplayNames, OnlyTheNamesTheGameGivesCarryANumber) {
    const std::pair<const char*, long> names[] = {
        {"00042_2026-12-08_21-04-33_versus.tbr", 42},
        {"123456_2026-12-08_21-04-33_coop-level-12.tbr", 123456},
        {"2026-12-08_21-04-33_campaign-level-7.tbr", 0},  // earlier versions' names
        {"2026-12-08_21-04-33_versus_002.tbr", 0},
        {"best-match_of_the_year.tbr", -1},
        {"0042_2026-12-08_21-04-33_versus.tbr", -1},
        {"00042_2026-12-08_21-04-33_coop-level-123.tbr", -1},
        {"00042_2026-12-08_21-04-33_versus.tbr.old", -1},
        {"2026-12-08_21-04-33_versus_02.tbr", -1},
        {"2026-12-08_21-04_versus.tbr", -1},
    };
    for (const auto& [name, number] : names) EXPECT_EQ(replayNumberOf(name), number) << name;
    Replay coop;
    coop.mode = "2coop";
    coop.level = 12;
    const std::string given = replayFileName(7, 0, coop);
    EXPECT_EQ(given.substr(0, 6), "00007_");
    EXPECT_EQ(replayNumberOf(given), 7) << given;
}

TEST_F(ReplayFiles, OnlyTheGamesOwnReplaysAreKeptRemovedOrPicked) {
    const Bytes bytes = seedReplay();
    const Replay replay = readBytesAsReplay(bytes).replay;
    const std::string folder = path("replays").string();
    fs::create_directories(folder);
    // The player's own files, a replay renamed among them, and a name of the game's
    // holding something else: none of them is a replay the game saved.
    const std::vector<std::string> theirs = {"notes.txt", "best-match_of_the_year.tbr", "2099-12-31_23-59-59_versus.tbr"};
    shelltest::writeBytes(fs::path(folder) / theirs[0], "mine");
    shelltest::writeBytes(fs::path(folder) / theirs[1], std::string(bytes.begin(), bytes.end()));
    shelltest::writeBytes(fs::path(folder) / theirs[2], "mine too");
    // Replays of earlier days, named as earlier versions named them, then new ones.
    for (int day = 10; day < 30; ++day)
        shelltest::writeBytes(fs::path(folder) / ("2020-01-" + std::to_string(day) + "_10-00-00_versus.tbr"),
                              std::string(bytes.begin(), bytes.end()));
    std::string newest;
    for (int i = 0; i < 40; ++i) newest = saveReplayInFolder(folder, replay).path;
    ASSERT_FALSE(newest.empty());
    const std::vector<std::string> names = replaysSaved();
    EXPECT_EQ(names.size(), static_cast<std::size_t>(KeptReplays) + theirs.size());
    for (const std::string& name : theirs)
        EXPECT_TRUE(std::find(names.begin(), names.end(), name) != names.end()) << name;
    EXPECT_TRUE(std::find(names.begin(), names.end(), "2020-01-19_10-00-00_versus.tbr") == names.end());
    EXPECT_TRUE(std::find(names.begin(), names.end(), "2020-01-20_10-00-00_versus.tbr") != names.end());
    EXPECT_EQ(newestReplayIn(folder), newest);
    EXPECT_TRUE(readReplayFile(newest, simulationFingerprint()).error.empty());
    // Nor is a FIFO under the newest name, even with a replay's header in it.
    const FifoWithWriter fifo(folder + "/99999_2099-12-31_23-59-59_versus.tbr",
                              std::string(bytes.begin(), bytes.begin() + 38));
    EXPECT_EQ(newestReplayIn(folder), newest);
}

TEST_F(ReplayFiles, AClockTurnedBackNeitherRemovesNorHidesTheNewestReplay) {
    const Replay replay = readBytesAsReplay(seedReplay()).replay;
    const std::string folder = path("replays").string();
    inTimeZone("<+14>-14");
    for (int i = 0; i < KeptReplays; ++i) ASSERT_FALSE(saveReplayInFolder(folder, replay).path.empty());
    inTimeZone("<-12>+12");  // a day and two hours earlier on the clock
    const std::string newest = saveReplayInFolder(folder, replay).path;
    inTimeZone(nullptr);
    EXPECT_TRUE(fs::exists(newest)) << newest;
    EXPECT_EQ(newestReplayIn(folder), newest);
    EXPECT_EQ(replaysSaved().size(), static_cast<std::size_t>(KeptReplays));
}

TEST_F(ReplayFiles, TwoCopiesSavingAtTheSameMomentKeepBothReplays) {
    const Replay replay = readBytesAsReplay(seedReplay()).replay;
    const std::string folder = path("replays").string();
    constexpr int Pairs = 10;
    for (int pair = 0; pair < Pairs; ++pair) {
        std::atomic<int> ready{0};
        std::array<std::string, 2> saved;
        const auto save = [&](int copy) {
            ready += 1;
            while (ready < 2) {
            }
            saved[static_cast<std::size_t>(copy)] = saveReplayInFolder(folder, replay).path;
        };
        std::thread other(save, 1);
        save(0);
        other.join();
        EXPECT_NE(saved[0], saved[1]);
    }
    EXPECT_EQ(replaysSaved().size(), static_cast<std::size_t>(2 * Pairs));
}

}  // namespace
