#pragma once
// How an online game is asked for, on the game's command line and the headless
// runner's: host or join, where, and what the host decides for both sides.

#include <cstdint>
#include <optional>
#include <string>

constexpr uint16_t DefaultOnlinePort = 27615;
// Two frames give a key 33 ms to reach the other side before it acts: on a link of up
// to about 60 ms round trip most corrections are then too short to see.
constexpr int DefaultInputDelay = 2;

enum class OnlineRole { None, Host, Join };

struct OnlineOptions {
    OnlineRole role = OnlineRole::None;
    std::string address;                 // Join: the host's name or number; Host: the interface ("" every one)
    uint16_t port = DefaultOnlinePort;   // Host: where to listen (0: any free port); Join: the host's
    bool coop = false;                   // Host: the co-operative campaign instead of the versus series
    int inputDelay = DefaultInputDelay;  // Host: frames before a key acts, for both sides
};

// A port number 0 to 65535.
std::optional<uint16_t> parsePort(const std::string& text);
// "ADDRESS" or "ADDRESS:PORT" (a port of 1 or more) into a join; false when it is not one.
bool parseJoinTarget(const std::string& text, OnlineOptions& options);
// An input delay of 0 to the most frames the network allows.
std::optional<int> parseInputDelay(const std::string& text);
