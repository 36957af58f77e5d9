#pragma once
// A small pattern sequencer: a song is plain data (tempo, kit, patches, patterns,
// chord changes and a list of sections) and renderSong plays it into stereo audio.
//
// Pattern notation, one character or token per sixteenth-note step:
//  - drums: 'X' accent, 'x' normal, 'o' soft, 'g' ghost, '.' nothing;
//  - bass: 'R' chord root, 'O' root an octave up, 'F' fifth, 'T' third, 'S' seventh,
//    'L' fifth below the root, '-' hold the last note, '.' rest;
//  - arpeggio: '0'..'9' chord tones counted upward from the arpeggio's register,
//    '-' hold, '.' rest;
//  - melodies: space-separated tokens "c5" (note, an eighth long), "c5:4" (four
//    steps), "eb5:1", "f#4:6", "r" or "r:4" (rest);
//  - pad rhythm: 'x' strikes the chord, '-' holds it, '.' rests;
//  - chords: space-separated names "Am", "F", "G7", "Em7", "Cmaj7", "Dsus4", "E5"
//    (power chord), one bar each, or "Am:2" for two bars, "F:0.5" for half a bar.

#include <string>
#include <vector>

#include "tools/datagen/drums.h"
#include "tools/datagen/instruments.h"

namespace datagen {

struct DrumLine {
    Drum drum;
    std::string steps;  // 16 per bar; repeats when shorter than the bar count
};
using DrumPattern = std::vector<DrumLine>;

// One instrument's place in the mix.
struct Part {
    SynthPatch patch;
    float gain = 1.0f;
    float pan = 0;           // -1 left .. 1 right
    float reverbSend = 0.1f;
    float echoSend = 0;
    float duck = 0;          // how far the kick pushes it down, 0..1
    int lowNote = 48;        // register: notes are placed from here upward
};

struct Section {
    int bars = 8;
    std::string chords;      // repeats to fill the section
    int drums = -1;          // index into Song::drumPatterns, -1 silent
    int bass = -1;           // index into Song::bassPatterns
    int arp = -1;            // index into Song::arpPatterns
    bool pad = false;
    int lead = -1;           // index into Song::melodies
    bool crash = false;      // crash cymbal on the first beat
    bool fill = false;       // drum fill in the last bar
    bool riser = false;      // noise sweep over the last two bars
};

struct Song {
    std::string title;
    float tempo = 120;
    float swing = 0;         // 0 straight .. 0.33 shuffled sixteenths
    DrumKit kit;
    float drumGain = 1.0f;
    float drumReverb = 0.05f;
    std::vector<DrumPattern> drumPatterns;
    DrumPattern fill;
    std::vector<std::string> bassPatterns, arpPatterns, melodies;
    std::string padRhythm;   // 'x' strikes the chord, '-' holds it; empty: chords held
    Part bass, pad, arp, lead;
    float roomSize = 0.6f, echoBeats = 0.75f, echoFeedback = 0.35f;
    std::vector<Section> sections;
    std::string finalChord;  // held over the last two bars, after the sections
};

struct StereoAudio {
    StereoBuffer buffer;
};

StereoAudio renderSong(const Song& song);

// Parsers, exposed for the tests.
struct Chord {
    int root = 0;                  // pitch class 0..11 (C = 0)
    std::vector<int> intervals;    // semitones above the root, ascending
    float bars = 1;
};
std::vector<Chord> parseChords(const std::string& text);
struct MelodyNote {
    int step = 0, length = 2;      // in sixteenth steps from the melody's start
    int midiNote = -1;             // -1 rest
};
std::vector<MelodyNote> parseMelody(const std::string& text, int& totalSteps);
int parseNoteName(const std::string& name);  // "c4" = 60, "a4" = 69; -1 if not a note

}  // namespace datagen
