#pragma once
// One row of the high-score table and the table's ordering rule.

#include <cstdint>
#include <string>
#include <vector>

struct ScoreEntry {
    int64_t score = 0;
    std::string name;

    // +1 if this score is greater, -1 otherwise: never 0, so equal scores always swap
    // when they meet in a sort.
    int compare(const ScoreEntry& other) const { return score > other.score ? 1 : -1; }
    bool operator==(const ScoreEntry& other) const = default;
};

using ScoreTable = std::vector<ScoreEntry>;

// Adjacent-swap passes with a shrinking boundary; the exact order it gives to equal
// scores is part of how the table behaves.
void sortDescending(ScoreTable& table);

// The one-character string of a typed character, or "nope" for one names may not hold.
std::string charForKey(int c);
