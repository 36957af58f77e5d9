// tumblebout-fightsearch: finds held-key plans that win a fight by landing blows (no
// 4 + 1 keys), and writes them as a headless runner script from start-up.
//
//   tumblebout-fightsearch MODE START-MS OUTPUT [win|lose [PREFIX-SCRIPT]]
//
// MODE is 1 (level 1 against the computer), 2coop (level 1, both players steered) or
// 2vs (a bout; player 2 flails with random keys, player 1 is searched). "lose" looks
// for a plan that loses instead; a prefix script replaces the walk through the menus,
// and the search then starts with the first match frame after its last line. The search is
// greedy: every half second of the fight the running game forks a dozen copies, each
// holding a random key set for a little longer; the set whose copy did best (damage
// dealt and taken, distance to the enemy) is held, and the game goes on. A forked
// copy is the same game in the same state, so the plan replays exactly from start-up.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "game/Game.h"
#include "tools/headless/input_script.h"
#include "tools/soak/scripted_game.h"

namespace {

constexpr int SegmentFrames = 30;   // a plan holds one key set this long
constexpr int LookAhead = 45;       // frames a candidate is played before it is judged
constexpr int Candidates = 12;
constexpr int MaxFightFrames = 7200;  // two minutes

// Bits 0..3: Left, Up, Right, Down of player 1; bits 4..7: A, W, D, S of player 2.
constexpr int KeyCodes[8] = {37, 38, 39, 40, 65, 87, 68, 83};
const char* const KeyNames[8] = {"LEFT", "UP", "RIGHT", "DOWN", "A", "W", "D", "S"};

std::string menuScript(const std::string& mode) {
    std::string script = "0 down SPACE        # ends the splash\n4 up SPACE\n8 tap ENTER         # PLAY\n";
    if (mode == "1") script += "14 tap ENTER        # 1 PLAYER\n";
    if (mode == "2vs") script += "14 tap DOWN\n16 tap ENTER        # 2 PLAYERS VS\n";
    if (mode == "2coop") script += "14 tap DOWN\n16 tap DOWN\n18 tap ENTER        # 2 PLAYERS CO-OP\n";
    return script;
}

struct Outcome {
    int winner = 0;
    float enemyDamage = 0, ownDamage = 0, distance = 0;
};

float centreDistance(const man& a, const man& b) {
    float dx = 0, dy = 0;
    for (int n = 1; n <= NodeCount; ++n) {
        dx += a.nodes[n].x - b.nodes[n].x;
        dy += a.nodes[n].y - b.nodes[n].y;
    }
    return std::hypot(dx, dy) / NodeCount;
}

Outcome judge(const Game& game) {
    Outcome outcome;
    outcome.winner = game.winner;
    outcome.distance = 1e9f;
    for (int i = 1; i <= game.fighterCount; ++i) {
        const man& fighter = game.fighters[i];
        const bool enemy = fighter.team == 0;
        (enemy ? outcome.enemyDamage : outcome.ownDamage) += fighter.maxEnergy - fighter.energy;
        if (!enemy || fighter.knockedOut) continue;
        for (int p = 1; p <= game.fighterCount; ++p)
            if (game.fighters[p].team != 0)
                outcome.distance = std::min(outcome.distance, centreDistance(game.fighters[p], fighter));
    }
    return outcome;
}

double score(const Outcome& o, bool lose) {
    if (o.winner != 0) return (o.winner == 1) != lose ? 1e9 : -1e9;
    const double dealt = lose ? o.ownDamage : o.enemyDamage;
    const double taken = lose ? o.enemyDamage : o.ownDamage;
    return dealt * 100.0 - taken * 40.0 - o.distance * 0.05;
}

int lastLineFrame(const std::string& script) {
    int last = 0;
    for (const headless::ScriptEvent& event : parseInputScript(script).events) last = std::max(last, event.frame);
    return last;
}

void holdKeys(int& held, int keys) {
    for (int bit = 0; bit < 8; ++bit) {
        const bool was = held >> bit & 1, now = keys >> bit & 1;
        if (now && !was) headless::pressKey(KeyCodes[bit]);
        if (was && !now) headless::releaseKey(KeyCodes[bit]);
    }
    held = keys;
}

// The key changes from `held` to `keys` as script lines at `frame`.
std::string changeLines(int frame, int held, int keys) {
    std::string lines;
    for (int bit = 0; bit < 8; ++bit) {
        const bool was = held >> bit & 1, now = keys >> bit & 1;
        if (was != now) lines += std::to_string(frame) + (now ? " down " : " up ") + KeyNames[bit] + "\n";
    }
    return lines;
}

// Plays a candidate in forked copies of the running game; returns each one's outcome.
std::vector<Outcome> tryCandidates(const std::vector<int>& candidates, int& held, int frame,
                                   int& childStop, int& childPipe) {
    std::vector<Outcome> outcomes(candidates.size());
    std::vector<std::pair<pid_t, int>> children;
    for (const int keys : candidates) {
        int fds[2];
        if (pipe(fds) != 0) std::exit(1);
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            childPipe = fds[1];
            childStop = frame + LookAhead;
            holdKeys(held, keys);
            return {};  // the copy plays on; its frame watch reports and exits
        }
        close(fds[1]);
        children.push_back({pid, fds[0]});
    }
    for (std::size_t c = 0; c < children.size(); ++c) {
        const auto [pid, fd] = children[c];
        Outcome outcome;
        outcome.winner = 2;  // a copy that reports nothing counts as lost
        if (read(fd, &outcome, sizeof outcome) != sizeof outcome) outcome = Outcome{2};
        close(fd);
        waitpid(pid, nullptr, 0);
        outcomes[c] = outcome;
    }
    return outcomes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: tumblebout-fightsearch MODE START-MS OUTPUT [win|lose [PREFIX-SCRIPT]]\n");
        return 2;
    }
    const std::string mode = argv[1];
    const int startMs = std::atoi(argv[2]);
    const std::string output = argv[3];
    const bool lose = argc > 4 && std::string(argv[4]) == "lose";
    std::string prefix = menuScript(mode);
    if (argc > 5) {
        // Its whole-line comments (an earlier search's header) are left out.
        std::ifstream file(argv[5], std::ios::binary);
        prefix.clear();
        for (std::string line; std::getline(file, line);)
            if (line.rfind("#", 0) != 0) prefix += line + "\n";
    }
    const int prefixEnd = lastLineFrame(prefix);
    const int goal = lose ? 2 : 1;
    const std::string data = "/nonexistent";  // pictures and sounds draw nothing random

    std::mt19937 random(static_cast<unsigned>(startMs) * 7919u + 17u);
    const int choiceMask = mode == "2coop" ? 0xFF : 0x0F;

    int matchStart = -1, decidedAt = -1, nextDecision = -1, held = 0;
    int childStop = -1, childPipe = -1;  // set in a forked copy
    std::string plan;
    ScriptedGame run{data, startMs, parseInputScript(prefix).events};
    playScripted(run, [&](const Game& game, int frame) {
        if (game.screen != "match" || frame < prefixEnd) return frame < prefixEnd + 400;
        if (childPipe >= 0) {
            if (frame < childStop && game.winner == 0) return true;
            const Outcome outcome = judge(game);
            const ssize_t written = write(childPipe, &outcome, sizeof outcome);
            _exit(written == sizeof outcome ? 0 : 1);
        }
        if (game.gameMode != mode) return false;
        if (matchStart < 0) matchStart = nextDecision = frame;
        if (game.winner != 0) {
            decidedAt = frame;
            return false;
        }
        if (frame - matchStart > MaxFightFrames) return false;
        if (frame != nextDecision) return true;

        const int partner = mode == "2vs" ? static_cast<int>(random() & 0xF0) : 0;  // player 2 flails
        std::vector<int> candidates;
        for (int c = 0; c < Candidates; ++c) candidates.push_back((static_cast<int>(random()) & choiceMask) | partner);
        const std::vector<Outcome> outcomes = tryCandidates(candidates, held, frame, childStop, childPipe);
        if (childPipe >= 0) return true;  // a copy: play the candidate
        std::size_t best = 0;
        for (std::size_t c = 1; c < outcomes.size(); ++c)
            if (score(outcomes[c], lose) > score(outcomes[best], lose)) best = c;
        plan += changeLines(frame, held, candidates[best]);
        holdKeys(held, candidates[best]);
        nextDecision = frame + SegmentFrames;
        std::fprintf(stderr, "frame %5d: enemy damage %5.1f, own damage %5.1f, distance %4.0f\n", frame,
                     outcomes[best].enemyDamage, outcomes[best].ownDamage, outcomes[best].distance);
        return true;
    });
    if (decidedAt < 0) {
        std::fprintf(stderr, "no plan within %d frames of fighting\n", MaxFightFrames);
        return 1;
    }
    plan += changeLines(decidedAt, held, 0);  // the keys let go where the fight was decided

    // The script replayed from start-up, as the runner will read it.
    const std::string script = prefix + plan;
    int replayDecided = -1, replayWinner = 0;
    long long comboScore = 0;
    ScriptedGame replay{data, startMs, parseInputScript(script).events};
    playScripted(replay, [&](const Game& game, int frame) {
        if (game.screen == "match" && frame >= matchStart && game.winner != 0) {
            replayDecided = frame;
            replayWinner = game.winner;
            comboScore = game.comboScore;
            return false;
        }
        return frame < decidedAt + 10;
    });
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    file << "# Held keys found by tumblebout-fightsearch " << mode << " " << startMs << (lose ? " lose" : "")
         << "; replay with --start-ms " << startMs << ".\n"
         << "# match-start " << matchStart << "\n# decided " << replayDecided << " (winner " << replayWinner
         << ", comboScore " << comboScore << ")\n"
         << script;
    std::printf("mode %s: match from frame %d, decided at frame %d (winner %d, comboScore %lld)\n", mode.c_str(),
                matchStart, replayDecided, replayWinner, comboScore);
    return replayWinner == goal && replayDecided == decidedAt ? 0 : 1;
}
