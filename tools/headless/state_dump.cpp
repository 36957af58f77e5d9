// The state dump: one JSON object, keys in a fixed order, so two runs with the same
// arguments write the same bytes.
#include "tools/headless/state_dump.h"

#include <cmath>
#include <cstdio>
#include <fstream>

#include "frontend/option_table.h"
#include "game/Game.h"

namespace {

std::string number(double value) {
    if (std::isnan(value)) return "\"nan\"";
    if (std::isinf(value)) return value > 0 ? "\"inf\"" : "\"-inf\"";
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::string number(float value) { return number(static_cast<double>(value)); }
std::string number(int value) { return std::to_string(value); }
std::string number(int64_t value) { return std::to_string(value); }

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (ch == '"') {
            out += "\\\"";
        } else if (ch == '\\') {
            out += "\\\\";
        } else if (byte < 0x20 || byte > 0x7E) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

// Builds one object of "key": value pairs in the order they are added.
class JsonObject {
public:
    JsonObject& raw(const std::string& key, const std::string& value) {
        text_ += (text_.empty() ? "{" : ",") + quoted(key) + ":" + value;
        return *this;
    }
    template <typename T>
    JsonObject& add(const std::string& key, T value) { return raw(key, number(value)); }
    JsonObject& add(const std::string& key, const std::string& value) { return raw(key, quoted(value)); }
    std::string str() const { return text_.empty() ? "{}" : text_ + "}"; }

private:
    std::string text_;
};

std::string array(const std::string& joined) { return "[" + joined + "]"; }

void join(std::string& list, const std::string& item) {
    if (!list.empty()) list += ",";
    list += item;
}

std::string rgb(int r, int g, int b) {
    return array(number(r) + "," + number(g) + "," + number(b));
}

std::string nodeJson(const ball& node) {
    return JsonObject()
        .add("x", node.x).add("y", node.y).add("vx", node.vx).add("vy", node.vy)
        .add("hitTimer", node.hitTimer).add("size", node.size).add("radius", node.radius)
        .add("mass", node.mass)
        .str();
}

std::string fighterJson(const man& fighter) {
    std::string nodes;
    for (int i = 1; i <= NodeCount; ++i) join(nodes, nodeJson(fighter.nodes[i]));
    return JsonObject()
        .add("fighterNo", fighter.fighterNo).add("team", fighter.team).add("scale", fighter.scale)
        .add("isRobot", fighter.isRobot).add("strength", fighter.strength)
        .add("energy", fighter.energy).add("maxEnergy", fighter.maxEnergy)
        .add("knockedOut", fighter.knockedOut).add("cameraWeight", fighter.cameraWeight)
        .add("lastContact", fighter.lastContact)
        .raw("colour", rgb(fighter.colour[1], fighter.colour[2], fighter.colour[3]))
        .raw("nodes", array(nodes))
        .str();
}

}  // namespace

std::string stateJson(const Game& game, int frame) {
    JsonObject state;
    state.add("frame", frame).add("screen", game.screen).add("selection", game.selection)
        .add("gameMode", game.gameMode).add("level", game.level).add("matchState", game.matchState)
        .add("stateStartFrame", game.stateStartFrame).add("frameCounter", game.frameCounter)
        .add("winner", game.winner).add("matchResult", game.matchResult).add("combo", game.combo)
        .add("maxCombo", game.maxCombo).add("comboScore", game.comboScore)
        .add("totalScore", game.totalScore).add("levelStartScore", game.levelStartScore)
        .raw("wins", array(number(game.wins[1]) + "," + number(game.wins[2])))
        .add("bannerText", game.bannerText).add("bannerTimer", game.bannerTimer)
        .add("slowMotionTimer", game.slowMotionTimer).add("timeStep", game.timeStep)
        .add("cameraX", game.cameraX).add("cameraY", game.cameraY).add("zoom", game.zoom)
        .add("nextBurst", game.nextBurst).add("musicTrack", game.musicTrack)
        .add("fighterCount", game.fighterCount)
        .add("arenaLeft", game.arenaLeft).add("arenaRight", game.arenaRight)
        .add("arenaTop", game.arenaTop).add("arenaFloor", game.arenaFloor);
    for (const StoredOption& option : storedOptions) state.add(option.name, game.*option.field);
    state.add("playerName", game.playerName).add("nameCursor", game.nameCursor);

    std::string palette;
    for (int row = 1; row <= game.lastPaletteRow; ++row) {
        join(palette, rgb(game.palette[row][1], game.palette[row][2], game.palette[row][3]));
    }
    state.raw("palette", array(palette));

    std::string scores;
    for (const ScoreEntry& entry : game.highScores) {
        join(scores, JsonObject().add("name", entry.name).add("score", entry.score).str());
    }
    state.raw("highScores", array(scores));

    std::string fighters;
    // Before the first match no slot holds a fighter (none has its number yet).
    for (int i = 1; i <= game.fighterCount && i < static_cast<int>(game.fighters.size()); ++i) {
        if (game.fighters[i].fighterNo == i) join(fighters, fighterJson(game.fighters[i]));
    }
    state.raw("fighters", array(fighters));
    return state.str() + "\n";
}

bool writeStateJson(const Game& game, int frame, const std::string& path) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file << stateJson(game, frame);
    return static_cast<bool>(file.flush());
}
