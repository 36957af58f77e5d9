#pragma once
// Small valid inputs for each fuzzed reader, made here rather than kept as files:
// PNGs of several colour types, WAVs of both depths, a short Ogg Vorbis tone, the
// game's font, options and score files.

#include <string>
#include <string_view>
#include <vector>

struct FuzzSeed {
    std::string name;
    std::vector<unsigned char> bytes;
};

// The seeds of the reader of that name (see fuzzReaders); empty for an unknown name.
std::vector<FuzzSeed> makeFuzzSeeds(std::string_view reader);
// An honest joiner's datagrams as the packet reader takes them (fuzz_packets.cpp).
std::vector<FuzzSeed> makePacketSeeds();
// An honest conversation with the invite service (fuzz_lobby.cpp).
std::vector<FuzzSeed> makeLobbySeeds();
