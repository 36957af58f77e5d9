#pragma once
// How an online game is asked for, on the game's command line and the headless
// runner's: host or join, where, and what the host decides for both sides.

#include <cstdint>
#include <optional>
#include <string>

#include "lobby/invite_code.h"

constexpr uint16_t DefaultOnlinePort = 27615;
// Two frames give a key 33 ms to reach the other side before it acts: on a link of up
// to about 60 ms round trip most corrections are then too short to see. It is the
// delay wherever the round trip is not known before play (net/input_delay_rule.h).
constexpr int DefaultInputDelay = 2;

enum class OnlineRole { None, Host, Join };

struct OnlineOptions {
    OnlineRole role = OnlineRole::None;
    std::string address;                 // Join: the host's name or number; Host: the interface ("" every one)
    uint16_t port = DefaultOnlinePort;   // Host: where to listen (0: any free port); Join: the host's
    std::optional<InviteCode> inviteCode;  // Join: by the host's invite code instead of its address
    bool lan = false;                    // Join: the first game a LAN search finds; Host: answer LAN searches
    std::string lobby;                   // the invite service, "HOST[:PORT]"; "" for none
    bool coop = false;                   // Host: the co-operative campaign instead of the versus series
    int inputDelay = DefaultInputDelay;  // Host: frames before a key acts, for both sides
    bool inputDelayGiven = false;        // Host: the delay stays, whatever the round trip
};

// A port number 0 to 65535.
std::optional<uint16_t> parsePort(const std::string& text);
// A join: "lan", an invite code ("HXK4-MW7P", any case, the dash optional), or
// "ADDRESS" or "ADDRESS:PORT" (a port of 1 or more); false when it is none of them.
bool parseJoinTarget(const std::string& text, OnlineOptions& options);
// An input delay of 0 to the most frames the network allows.
std::optional<int> parseInputDelay(const std::string& text);
// The options as the game (not the headless runner) plays them: the invite service
// given (--lobby), else the TUMBLEBOUT_LOBBY environment variable, else the build's
// default; and a host answers LAN searches.
OnlineOptions withGameDefaults(OnlineOptions options);
// What a join was asked for, as the player would type it again: the code, "lan", or
// the address and port.
std::string joinTargetText(const OnlineOptions& options);
