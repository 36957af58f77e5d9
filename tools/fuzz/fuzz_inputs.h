#pragma once
// The file readers under fuzzing, one entry each: the input bytes become the file the
// reader opens (for the packets and the lobby, the datagrams a session or the invite
// service receives), then what it
// produced is checked for consistency. A broken invariant aborts, so the fuzzer keeps
// the input; crashes and leaks it finds on its own. The fuzz targets and the
// regression test share these entries. Each returns whether the reader accepted the
// input (options and scores files are always read somehow).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

struct FuzzReader {
    std::string_view name;  // also the folder of its seeds and regression inputs
    bool (*feed)(const uint8_t* data, size_t size);
};

bool feedOptionsFile(const uint8_t* data, size_t size);  // loadPrefs
bool feedScoresFile(const uint8_t* data, size_t size);   // loadHighScores
bool feedPicture(const uint8_t* data, size_t size);      // LoadImage
bool feedSound(const uint8_t* data, size_t size);        // LoadSound (WAV and Ogg)
bool feedFont(const uint8_t* data, size_t size);         // LoadImageFont and glyphs
bool feedReplay(const uint8_t* data, size_t size);       // readReplayFile, then playback
bool feedPackets(const uint8_t* data, size_t size);      // decodePacket and a session (fuzz_packets.cpp)
bool feedLobbyMessages(const uint8_t* data, size_t size);  // the invite service (fuzz_lobby.cpp)

inline constexpr std::array<FuzzReader, 9> fuzzReaders = {{
    {"options", feedOptionsFile},
    {"scores", feedScoresFile},
    {"png", feedPicture},
    {"wav", feedSound},
    {"ogg", feedSound},
    {"ttf", feedFont},
    {"replay", feedReplay},
    {"packets", feedPackets},
    {"lobby", feedLobbyMessages},
}};

// The reader of that name, or null.
const FuzzReader* findFuzzReader(std::string_view name);
