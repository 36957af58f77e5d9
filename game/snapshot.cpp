// Saving and restoring the simulated state. One field list, `transfer`, serves both
// directions, so the two can never disagree on the order; the reader also checks each
// value against what a match can reach, so a hostile file cannot plant an index past an
// array or a counter about to overflow.
#include "game/snapshot.h"

#include <bit>
#include <cstring>
#include <initializer_list>
#include <string>

#include "frontend/option_table.h"
#include "game/match_state.h"

static_assert(std::endian::native == std::endian::little, "snapshots are stored little-endian");

// Every field of the match state is in `transfer` below, but for what it rebuilds or
// never changes: a fighter's number, skeleton tables and node count, a node's numbers,
// the palette's last row, and the record of the frame being stepped (each step takes
// its own). A field added to any of these changes its size and stops the build here
// until it is placed in the list (or named above), and the sizes are updated.
static_assert(sizeof(void*) != 8 || sizeof(MatchState) == 17552, "a match state field the snapshot may not carry");
static_assert(sizeof(void*) != 8 || sizeof(man) == 2084, "a fighter field the snapshot may not carry");
static_assert(sizeof(ball) == 48, "a node field the snapshot may not carry");
static_assert(sizeof(void*) != 8 || sizeof(dotburst) == 4868, "a burst field the snapshot may not carry");

namespace {

// Bounds of the counters a match can reach; far beyond any real match, well short of
// overflowing the arithmetic done on them.
constexpr int MaxFrames = 1 << 30;
constexpr int MaxCount = 1 << 24;
// A streak scores combo * combo * 1000 points in int: well past any real streak (the
// enemies' energy runs out after a few dozen blows), short of that product overflowing.
constexpr int MaxCombo = 1000;
constexpr int64_t MaxScore = int64_t{1} << 50;
constexpr std::size_t MaxNameBytes = 64;
constexpr std::size_t MaxBannerBytes = 64;
constexpr int MaxGate = 100;
constexpr int MinColour = -16, MaxColour = 272;  // colour walks bounce just outside 0..255
constexpr float MaxWall = 4096;  // world units; the widest arena reaches about 1850

const std::initializer_list<const char*> MatchStates = {"game", "tell result", "level completed",
                                                        "game over", "highscores", "end"};
const std::initializer_list<const char*> GameModes = {"1", "2vs", "2coop"};

class Writer {
public:
    static constexpr bool reading = false;
    explicit Writer(std::vector<uint8_t>& out) : out_(out) {}

    void integer(int& v, int, int) { raw(&v, sizeof v); }
    void wide(int64_t& v, int64_t, int64_t) { raw(&v, sizeof v); }
    void number(float& v) { raw(&v, sizeof v); }
    void number(float& v, float, float) { number(v); }
    void numbers(float* v, int count) { raw(v, sizeof(float) * static_cast<std::size_t>(count)); }
    void text(std::string& s, std::size_t) {
        int length = static_cast<int>(s.size());
        integer(length, 0, 0);
        raw(s.data(), s.size());
    }
    void choice(std::string& s, std::initializer_list<const char*>) { text(s, 0); }

private:
    void raw(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        out_.insert(out_.end(), bytes, bytes + size);
    }
    std::vector<uint8_t>& out_;
};

class Reader {
public:
    static constexpr bool reading = true;
    Reader(const uint8_t* data, std::size_t size) : at_(data), end_(data + size) {}

    void integer(int& v, int lo, int hi) {
        int value = lo;
        if (raw(&value, sizeof value) && (value < lo || value > hi)) ok_ = false;
        v = ok_ ? value : lo;
    }
    void wide(int64_t& v, int64_t lo, int64_t hi) {
        int64_t value = lo;
        if (raw(&value, sizeof value) && (value < lo || value > hi)) ok_ = false;
        v = ok_ ? value : lo;
    }
    void number(float& v) { raw(&v, sizeof v); }
    void number(float& v, float lo, float hi) {
        number(v);
        if (!(v >= lo && v <= hi)) {
            ok_ = false;
            v = lo;
        }
    }
    void numbers(float* v, int count) { raw(v, sizeof(float) * static_cast<std::size_t>(count)); }
    void text(std::string& s, std::size_t maxBytes) {
        int length = 0;
        integer(length, 0, static_cast<int>(maxBytes));
        s.clear();
        if (ok_ && static_cast<std::size_t>(end_ - at_) >= static_cast<std::size_t>(length)) {
            s.assign(reinterpret_cast<const char*>(at_), static_cast<std::size_t>(length));
            at_ += length;
        } else {
            ok_ = false;
        }
    }
    void choice(std::string& s, std::initializer_list<const char*> allowed) {
        std::string value;
        text(value, 16);
        for (const char* candidate : allowed) {
            if (ok_ && value == candidate) {
                s = value;
                return;
            }
        }
        ok_ = false;
        s = *allowed.begin();
    }
    bool good() const { return ok_; }
    bool finished() const { return ok_ && at_ == end_; }

private:
    bool raw(void* data, std::size_t size) {
        if (!ok_ || static_cast<std::size_t>(end_ - at_) < size) {
            ok_ = false;
            return false;
        }
        std::memcpy(data, at_, size);
        at_ += size;
        return true;
    }
    const uint8_t* at_;
    const uint8_t* end_;
    bool ok_ = true;
};

template <typename Archive>
void transferGate(Archive& ar, GateTable& gate) {
    for (auto& row : gate)
        for (int& cell : row) ar.integer(cell, -1, MaxGate);
}

template <typename Archive>
void transferNode(Archive& ar, ball& node) {
    ar.integer(node.hitTimer, 0, 60);
    for (float* v : {&node.x, &node.y, &node.oldX, &node.oldY, &node.vx, &node.vy, &node.radius, &node.mass,
                     &node.size})
        ar.number(*v);
}

template <typename Archive>
void transferFighter(Archive& ar, man& fighter) {
    ar.number(fighter.strength);
    ar.integer(fighter.isRobot, 0, 1);
    ar.number(fighter.cameraWeight);
    ar.integer(fighter.knockedOut, 0, 1);
    ar.integer(fighter.team, 0, 1);
    ar.number(fighter.maxEnergy);
    ar.integer(fighter.nodeMass, 0, 1000);
    for (int c = 1; c <= 3; ++c) ar.integer(fighter.colour[c], 0, 255);
    ar.number(fighter.energy);
    for (float* v : {&fighter.scale, &fighter.stickWidth, &fighter.nodeRadius, &fighter.nodeSize, &fighter.headSize})
        ar.number(*v);
    ar.numbers(fighter.jointStiffness.data(), JointCount);
    ar.integer(fighter.lastContact, 1, 8);
    for (int n = 1; n <= NodeCount; ++n) transferNode(ar, fighter.nodes[n]);
}

template <typename Archive>
void transferBurst(Archive& ar, dotburst& burst) {
    ar.integer(burst.active, 0, 1);
    ar.integer(burst.kind, BurstBlood, BurstPlasma);
    ar.integer(burst.yellow, 0, 1);
    for (int& step : burst.colourStep) ar.integer(step, -2, 2);
    for (int& c : burst.colour) ar.integer(c, MinColour, MaxColour);
    ar.number(burst.size);
    ar.number(burst.alpha);
    ar.integer(burst.count, 0, MaxParticles);
    // A spent burst's particles are never read again: its next start overwrites them.
    if (!burst.active) return;
    for (auto* particles : {&burst.xs, &burst.ys, &burst.vxs, &burst.vys}) ar.numbers(particles->data() + 1, burst.count);
}

template <typename Archive>
void transfer(Archive& ar, MatchState& g) {
    // The match and its state machine.
    ar.choice(g.gameMode, GameModes);
    ar.integer(g.level, 1, 20);
    ar.integer(g.matchResult, 0, 3);
    ar.choice(g.matchState, MatchStates);
    ar.integer(g.stateStartFrame, 0, MaxFrames);
    ar.integer(g.frameCounter, 0, MaxFrames);
    ar.integer(g.winner, 0, 2);
    ar.text(g.bannerText, MaxBannerBytes);
    ar.integer(g.bannerTimer, -1, 1000);

    // Scores, the name being typed and the table it goes into.
    ar.integer(g.maxCombo, 0, MaxCombo);
    ar.integer(g.combo, -MaxCombo, MaxCombo);
    ar.wide(g.comboScore, 0, MaxScore);
    ar.wide(g.totalScore, 0, MaxScore);
    ar.integer(g.levelStartScore, INT32_MIN, INT32_MAX);
    for (int side = 1; side <= 2; ++side) ar.integer(g.wins[side], 0, MaxCount);
    ar.integer(g.nameCursor, 1, 16);
    ar.text(g.playerName, MaxNameBytes);
    for (std::string& c : g.nameChars) ar.text(c, 1);
    int entries = static_cast<int>(g.highScores.size());
    ar.integer(entries, 0, 20);
    if constexpr (Archive::reading) g.highScores.assign(static_cast<std::size_t>(entries), ScoreEntry{});
    for (ScoreEntry& entry : g.highScores) {
        ar.text(entry.name, MaxNameBytes);
        ar.wide(entry.score, INT64_MIN, INT64_MAX);
    }

    // Options that steer play, in their file's order and ranges.
    for (const StoredOption& option : storedOptions) {
        if (option.steersPlay)
            ar.integer(g.*static_cast<int MatchState::*>(option.field), option.minimum, option.maximum);
    }

    // The world: arena, camera, time step, gates, palette. The walls bound how many grid
    // lines the arena draws, so they are held to the sizes levels have.
    for (float* wall : {&g.arenaLeft, &g.arenaRight, &g.arenaTop, &g.arenaFloor}) ar.number(*wall, -MaxWall, MaxWall);
    for (float* v : {&g.cameraX, &g.cameraY, &g.zoom, &g.timeStep, &g.slowMotionTimer}) ar.number(*v);
    transferGate(ar, g.blowGate);
    transferGate(ar, g.contactGate);
    transferGate(ar, g.sparkGate);
    for (auto& row : g.paletteStep) {
        for (float& step : row) {
            ar.number(step);
            if constexpr (Archive::reading) {
                if (step != 2.0f && step != -2.0f && step != 0.0f) step = 0;  // only ever +-2 (0 before run)
            }
        }
    }
    for (PaletteRow& row : g.palette)
        for (int& c : row) ar.integer(c, MinColour, MaxColour);

    // The input waiting from earlier frames.
    ar.text(g.typedQueue, TypedQueueCapacity);
    ar.integer(g.pendingPauseHits, 0, 255);

    // Fighters and bursts. What a fighter is made of (its skeleton, its number, its
    // nodes' numbers) is the same for every match and is not kept.
    ar.integer(g.fighterCount, 2, 6);
    for (int i = 1; i < static_cast<int>(g.fighters.size()); ++i) {
        man& fighter = g.fighters[i];
        if constexpr (Archive::reading) {
            fighter = man{};
            fighter.fighterNo = i;
            for (int n = 1; n <= NodeCount && i <= g.fighterCount; ++n) {
                fighter.nodes[n].index = n;
                fighter.nodes[n].fighterNo = i;
            }
        }
        if (i <= g.fighterCount) transferFighter(ar, fighter);
    }
    ar.integer(g.nextBurst, 1, BurstSlots);
    for (int i = 1; i <= BurstSlots; ++i) transferBurst(ar, g.bursts[static_cast<std::size_t>(i)]);
}

}  // namespace

void saveSnapshot(const MatchState& game, std::vector<uint8_t>& out) {
    out.clear();
    Writer writer(out);
    int version = static_cast<int>(SnapshotVersion);
    writer.integer(version, 0, 0);
    int generator = game.randomState;
    writer.integer(generator, 0, 0);
    // The writer only reads the fields; one field list serves both directions.
    transfer(writer, const_cast<MatchState&>(game));
}

std::vector<uint8_t> saveSnapshot(const MatchState& game) {
    std::vector<uint8_t> out;
    saveSnapshot(game, out);
    return out;
}

bool restoreSnapshot(MatchState& game, const uint8_t* data, std::size_t size) {
    Reader reader(data, size);
    int version = 0;
    reader.integer(version, static_cast<int>(SnapshotVersion), static_cast<int>(SnapshotVersion));
    int generator = 1;
    reader.integer(generator, 1, 0x7FFFFFFE);
    if (!reader.good()) return false;
    transfer(reader, game);
    if (!reader.finished()) return false;
    game.randomState = generator;
    return true;
}

uint64_t hashBytes(const uint8_t* data, std::size_t size) {
    uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= data[i];
        hash *= 1099511628211ull;
    }
    return hash;
}
