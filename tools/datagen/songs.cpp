#include "tools/datagen/songs.h"

#include <array>

namespace datagen {

namespace {

using Shape = Oscillator::Shape;

// ---- Track 1: "Neon Rush", 140 BPM, A minor: supersaw lead, saw bass, pulse arpeggio,
// warm saw pad, four-on-the-floor kick with claps and open hats.
Song neonRush() {
    Song song;
    song.title = "Neon Rush";
    song.tempo = 140;
    song.kit = DrumKit{.kickPitch = 47, .kickSweep = 120, .kickDecay = 0.36f, .kickClick = 0.45f, .kickDrive = 0.35f,
                       .snareTone = 190, .snareNoise = 0.8f, .snareDecay = 0.16f, .snareSnap = 4500,
                       .chipNoise = false, .hatBright = 8500, .hatDecay = 0.04f, .tomPitch = 110};
    song.drumGain = 0.9f;
    song.drumPatterns = {
        {{Drum::Kick, "X...X...X...X..."}, {Drum::Clap, "....X.......X..."},
         {Drum::ClosedHat, "oo.ooo.ooo.ooo.o"}, {Drum::OpenHat, "..x...x...x...x."}},
        {{Drum::Kick, "X...X...X...X..."}, {Drum::ClosedHat, "..x...x...x...x."}},
        {{Drum::ClosedHat, "x.o.x.o.x.o.x.o."}, {Drum::Clap, "............o..."}},
    };
    song.fill = {{Drum::Kick, "X...X...X...X..."}, {Drum::Snare, "....x.o.x.x.XxXX"}, {Drum::ClosedHat, "x.x.x.x........."}};
    song.bassPatterns = {"R-R-O-R-R-R-O-F-", "R-------R-------"};
    song.arpPatterns = {"0123432101234321"};
    song.melodies = {
        "a4:2 c5:2 e5:3 a5:3 g5:2 e5:4  f5:3 e5:3 c5:2 a4:4 c5:2 d5:2  "
        "e5:3 g5:3 c6:2 b5:2 g5:2 e5:4  d5:3 g5:3 b5:2 a5:4 g5:4  "
        "a5:2 g5:2 e5:3 a5:3 b5:2 c6:4  c6:3 a5:3 f5:2 a5:2 c6:2 d6:4  "
        "e6:3 d6:3 c6:2 g5:4 e5:4  d5:4 b4:4 d5:2 g5:6",
        "a5:6 g5:2 f5:4 e5:4  d5:6 e5:2 g5:4 b5:4  b5:6 a5:2 g5:4 e5:4  a5:8 c6:4 b5:4  "
        "c6:6 b5:2 a5:4 f5:4  g5:6 a5:2 b5:4 d6:4  e6:6 d6:2 b5:4 g5:4  a5:12 r:4",
    };
    song.lead = {.patch = {.shape = Shape::Saw, .unison = 7, .detuneCents = 28, .stereoWidth = 0.8f,
                           .cutoff = 3800, .resonance = 0.15f, .filterSweepOctaves = 1.2f, .keyTracking = 0.5f,
                           .filterEnvelope = {0.002f, 0.35f, 0.2f, 0.3f},
                           .amp = {0.006f, 0.3f, 0.8f, 0.22f}, .vibratoCents = 12, .vibratoRate = 5.5f},
                 .gain = 0.53f, .pan = 0, .reverbSend = 0.25f, .echoSend = 0.22f, .duck = 0.15f, .lowNote = 57};
    song.bass = {.patch = {.shape = Shape::Saw, .subLevel = 0.6f, .cutoff = 260, .resonance = 0.35f,
                           .filterSweepOctaves = 2.6f, .keyTracking = 0.3f, .filterEnvelope = {0.001f, 0.12f, 0.1f, 0.1f},
                           .amp = {0.002f, 0.2f, 0.85f, 0.04f}, .drive = 0.3f},
                 .gain = 0.9f, .reverbSend = 0.0f, .duck = 0.35f, .lowNote = 33};
    song.pad = {.patch = {.shape = Shape::Saw, .unison = 5, .detuneCents = 18, .stereoWidth = 1.0f,
                          .cutoff = 1500, .resonance = 0.1f, .amp = {0.25f, 0.5f, 0.8f, 0.6f}},
                .gain = 0.28f, .reverbSend = 0.35f, .duck = 0.6f, .lowNote = 57};
    song.arp = {.patch = {.shape = Shape::Square, .pulseWidth = 0.3f, .cutoff = 2200, .resonance = 0.2f,
                          .filterSweepOctaves = 1.8f, .filterEnvelope = {0.001f, 0.07f, 0.0f, 0.05f},
                          .amp = {0.001f, 0.12f, 0.1f, 0.05f}},
                .gain = 0.27f, .pan = 0.25f, .reverbSend = 0.2f, .echoSend = 0.25f, .duck = 0.4f, .lowNote = 69};
    song.echoBeats = 0.75f;
    song.sections = {
        {.bars = 4, .chords = "Am F C G", .drums = 1, .arp = 0, .pad = true, .riser = true},
        {.bars = 8, .chords = "Am F C G", .drums = 0, .bass = 0, .arp = 0, .pad = true, .lead = 0, .crash = true, .fill = true},
        {.bars = 8, .chords = "F G Em Am", .drums = 0, .bass = 0, .arp = 0, .pad = true, .lead = 1, .crash = true, .fill = true},
        {.bars = 8, .chords = "Am F C G", .drums = 2, .bass = 1, .arp = 0, .pad = true, .riser = true},
        {.bars = 8, .chords = "Am F C G", .drums = 0, .bass = 0, .arp = 0, .pad = true, .lead = 0, .crash = true, .fill = true},
        {.bars = 8, .chords = "F G Em Am", .drums = 0, .bass = 0, .arp = 0, .pad = true, .lead = 1, .crash = true, .fill = true},
        {.bars = 4, .chords = "Am F C G", .drums = 0, .bass = 0, .arp = 0, .pad = true, .crash = true},
    };
    song.finalChord = "Am";
    return song;
}

// ---- Track 2: "Pixel Brawl", 160 BPM, E minor: a chip-tune band of pulse-wave lead with
// vibrato, triangle bass, thin pulse arpeggios and grainy noise drums over a breakbeat.
Song pixelBrawl() {
    Song song;
    song.title = "Pixel Brawl";
    song.tempo = 160;
    song.kit = DrumKit{.kickPitch = 55, .kickSweep = 200, .kickDecay = 0.22f, .kickClick = 0.2f, .kickDrive = 0.5f,
                       .snareTone = 230, .snareNoise = 0.9f, .snareDecay = 0.13f, .snareSnap = 5000,
                       .chipNoise = true, .hatBright = 7000, .hatDecay = 0.03f, .tomPitch = 130};
    song.drumGain = 0.85f;
    song.drumReverb = 0.02f;
    song.drumPatterns = {
        {{Drum::Kick, "X.....X...X....."}, {Drum::Snare, "....X..g.g..X..."}, {Drum::ClosedHat, "x.x.x.x.x.x.x.x."}},
        {{Drum::Kick, "X.......X......."}, {Drum::ClosedHat, "x.o.x.o.x.o.x.o."}},
        {{Drum::Kick, "X.....X...X....."}, {Drum::Snare, "....X..g.g..X..."}, {Drum::ClosedHat, "xoxoxoxoxoxoxoxo"},
         {Drum::OpenHat, "..............x."}},
    };
    song.fill = {{Drum::Kick, "X.......X......."}, {Drum::Snare, "x.x.x.x.xxxxXXXX"}};
    song.bassPatterns = {"R-O-R-O-R-O-R-O-", "R.R.O.R.F.R.O.R."};
    song.arpPatterns = {"0123012301230123", "0.2.1.3.0.2.1.3."};
    song.melodies = {
        "e5:2 g5:2 b5:2 e6:2 d6:2 b5:2 g5:2 b5:2  a5:3 f#5:3 d5:2 f#5:2 a5:2 d6:4  "
        "e6:3 d6:1 c6:2 b5:2 c6:2 g5:2 e5:4  d#5:2 f#5:2 b5:4 a5:2 f#5:2 d#5:4  "
        "e5:2 e5:1 e5:1 g5:2 b5:2 e6:4 g6:4  f#6:3 e6:3 d6:2 a5:4 f#5:4  "
        "g5:2 a5:2 b5:2 c6:2 e6:4 d6:2 c6:2  b5:4 a5:2 f#5:2 d#5:4 b4:4",
        "g5:4 e5:4 c6:4 g5:4  f#5:4 d5:4 a5:4 f#5:4  d6:4 b5:2 f#5:2 b5:4 d6:4  e6:8 b5:4 g5:4  "
        "e6:2 d6:2 c6:2 g5:2 e6:2 d6:2 c6:2 g5:2  f#6:2 e6:2 d6:2 a5:2 f#6:2 e6:2 d6:2 a5:2  "
        "f#6:4 d6:4 b5:4 f#5:4  e6:12 r:4",
    };
    song.lead = {.patch = {.shape = Shape::Square, .pulseWidth = 0.25f, .amp = {0.001f, 0.12f, 0.7f, 0.07f},
                           .vibratoCents = 18, .vibratoRate = 6.5f, .vibratoDelay = 0.15f},
                 .gain = 0.40f, .pan = -0.05f, .reverbSend = 0.12f, .echoSend = 0.2f, .lowNote = 52};
    song.bass = {.patch = {.shape = Shape::Triangle, .amp = {0.001f, 0.1f, 0.9f, 0.03f}},
                 .gain = 0.85f, .reverbSend = 0.0f, .duck = 0.1f, .lowNote = 36};
    song.pad = {.patch = {.shape = Shape::Square, .pulseWidth = 0.5f, .unison = 2, .detuneCents = 10,
                          .stereoWidth = 0.7f, .cutoff = 2200, .amp = {0.04f, 0.3f, 0.6f, 0.25f}},
                .gain = 0.19f, .reverbSend = 0.2f, .duck = 0.3f, .lowNote = 55};
    song.arp = {.patch = {.shape = Shape::Square, .pulseWidth = 0.125f, .amp = {0.001f, 0.06f, 0.35f, 0.03f}},
                .gain = 0.32f, .pan = 0.35f, .reverbSend = 0.1f, .echoSend = 0.12f, .lowNote = 64};
    song.echoBeats = 0.5f;
    song.echoFeedback = 0.3f;
    song.roomSize = 0.4f;
    song.sections = {
        {.bars = 4, .chords = "Em D C B", .drums = 1, .bass = 1, .arp = 0, .pad = false, .riser = true},
        {.bars = 8, .chords = "Em D C B", .drums = 0, .bass = 0, .arp = 0, .pad = true, .lead = 0, .crash = true, .fill = true},
        {.bars = 8, .chords = "C D Bm Em", .drums = 2, .bass = 1, .arp = 1, .pad = true, .lead = 1, .crash = true, .fill = true},
        {.bars = 4, .chords = "Em D C B", .drums = 1, .arp = 0, .pad = true, .riser = true},
        {.bars = 8, .chords = "Em D C B", .drums = 0, .bass = 0, .arp = 0, .pad = true, .lead = 0, .crash = true, .fill = true},
        {.bars = 8, .chords = "C D Bm Em", .drums = 2, .bass = 1, .arp = 1, .pad = true, .lead = 1, .crash = true, .fill = true},
        {.bars = 4, .chords = "Em D C B", .drums = 0, .bass = 0, .arp = 0, .pad = true, .crash = true},
    };
    song.finalChord = "Em";
    return song;
}

// ---- Track 3: "Iron Fists", 124 BPM, D minor (Dorian), shuffled: FM bell lead,
// FM electric-piano stabs, squelchy resonant bass, clavinet-like pluck, tight funk drums.
Song ironFists() {
    Song song;
    song.title = "Iron Fists";
    song.tempo = 124;
    song.swing = 0.14f;
    song.kit = DrumKit{.kickPitch = 52, .kickSweep = 90, .kickDecay = 0.26f, .kickClick = 0.6f, .kickDrive = 0.25f,
                       .snareTone = 200, .snareNoise = 0.7f, .snareDecay = 0.14f, .snareSnap = 5200,
                       .chipNoise = false, .hatBright = 9500, .hatDecay = 0.028f, .tomPitch = 120};
    song.drumGain = 0.95f;
    song.drumPatterns = {
        {{Drum::Kick, "X..x..X...X..x.."}, {Drum::Snare, "....X.......X..."}, {Drum::Clap, "....o.......o..."},
         {Drum::ClosedHat, "xoxoxoxoxoxoxoxo"}, {Drum::OpenHat, "..............x."}},
        {{Drum::Kick, "X.........X....."}, {Drum::ClosedHat, "xoxoxoxoxoxoxoxo"}},
        {{Drum::Shaker, "xoxoxoxoxoxoxoxo"}},
    };
    song.fill = {{Drum::Kick, "X..x..X........."}, {Drum::Snare, "....X..gX.g.XxXx"}, {Drum::HighTom, "........x......."},
                 {Drum::LowTom, "..........x....."}};
    song.bassPatterns = {"R-.R..O.R-.RF.O.", "R-------R---O---"};
    song.arpPatterns = {"0.2.1.3.0.2.1.3."};
    song.padRhythm = "x-..x-.x-..x-...";
    song.melodies = {
        "r:2 d5:1 f5:1 a5:2 c6:2 a5:1 g5:1 f5:2 d5:4  r:2 b5:2 a5:1 g5:1 f5:2 g5:4 d5:4  "
        "r:2 a5:2 c6:2 d6:2 c6:1 a5:1 g5:2 a5:4  f5:2 g5:2 b5:2 d6:4 c6:2 b5:2 g5:2  "
        "d6:3 c6:1 a5:2 f5:2 a5:2 c6:2 d6:4  f6:3 e6:1 d6:2 b5:2 d6:4 r:4  "
        "a5:2 g5:2 f5:2 d5:2 f5:2 g5:2 a5:4  b5:4 a5:2 g5:2 f5:4 e5:4",
        "d6:6 c6:2 a5:4 f5:4  e5:6 g5:2 c6:4 e6:4  e6:4 c6:2 a5:2 g5:4 e5:4  f5:8 a5:4 d6:4  "
        "f6:4 d6:2 bb5:2 a5:4 f5:4  g5:4 c6:2 e6:2 g6:4 e6:4  c6:4 a5:2 e5:2 g5:4 a5:4  d6:12 r:4",
    };
    song.lead = {.patch = {.fmRatio = 3.5f, .fmIndex = 3.2f, .fmIndexDecay = 0.18f, .fmSustainIndex = 0.4f,
                           .amp = {0.001f, 0.5f, 0.35f, 0.35f}},
                 .gain = 0.32f, .pan = 0.1f, .reverbSend = 0.3f, .echoSend = 0.2f, .lowNote = 50};
    song.bass = {.patch = {.shape = Shape::Saw, .subLevel = 0.5f, .cutoff = 220, .resonance = 0.7f,
                           .filterSweepOctaves = 3.2f, .filterEnvelope = {0.001f, 0.09f, 0.0f, 0.06f},
                           .amp = {0.001f, 0.25f, 0.6f, 0.05f}, .drive = 0.2f},
                 .gain = 1.1f, .reverbSend = 0.0f, .duck = 0.2f, .lowNote = 31};
    song.pad = {.patch = {.fmRatio = 1.0f, .fmIndex = 2.4f, .fmIndexDecay = 0.12f, .fmSustainIndex = 0.35f,
                          .amp = {0.002f, 0.6f, 0.35f, 0.2f}, .vibratoCents = 4, .vibratoRate = 4.5f, .vibratoDelay = 0.0f},
                .gain = 0.21f, .pan = -0.15f, .reverbSend = 0.25f, .duck = 0.25f, .lowNote = 57};
    song.arp = {.patch = {.shape = Shape::Square, .pulseWidth = 0.2f, .cutoff = 1800, .resonance = 0.3f,
                          .filterSweepOctaves = 2.0f, .filterEnvelope = {0.001f, 0.05f, 0.0f, 0.04f},
                          .amp = {0.001f, 0.09f, 0.0f, 0.04f}},
                .gain = 0.5f, .pan = 0.35f, .reverbSend = 0.15f, .echoSend = 0.15f, .lowNote = 62};
    song.echoBeats = 0.75f;
    song.roomSize = 0.55f;
    song.sections = {
        {.bars = 4, .chords = "Dm7 G7", .drums = 1, .bass = 1, .pad = true, .riser = true},
        {.bars = 8, .chords = "Dm7 G7", .drums = 0, .bass = 0, .arp = 0, .pad = true, .lead = 0, .crash = true, .fill = true},
        {.bars = 8, .chords = "Bbmaj7 C Am7 Dm7", .drums = 0, .bass = 0, .arp = 0, .pad = true, .lead = 1, .crash = true, .fill = true},
        {.bars = 4, .chords = "Dm7 G7", .drums = 2, .bass = 1, .arp = 0, .pad = true, .riser = true},
        {.bars = 8, .chords = "Dm7 G7", .drums = 0, .bass = 0, .arp = 0, .pad = true, .lead = 0, .crash = true, .fill = true},
        {.bars = 8, .chords = "Bbmaj7 C Am7 Dm7", .drums = 0, .bass = 0, .arp = 0, .pad = true, .lead = 1, .crash = true, .fill = true},
        {.bars = 4, .chords = "Dm7 G7", .drums = 0, .bass = 0, .arp = 0, .pad = true, .crash = true},
    };
    song.finalChord = "Dm7";
    return song;
}

// ---- Track 4: "Last Round", 150 BPM, C minor: distorted power-chord guitar, brassy
// scooped lead, chugging bass, rock kit with toms, ride and crashes.
Song lastRound() {
    Song song;
    song.title = "Last Round";
    song.tempo = 150;
    song.kit = DrumKit{.kickPitch = 56, .kickSweep = 80, .kickDecay = 0.24f, .kickClick = 0.85f, .kickDrive = 0.4f,
                       .snareTone = 180, .snareNoise = 1.0f, .snareDecay = 0.2f, .snareSnap = 4000,
                       .chipNoise = false, .hatBright = 7500, .hatDecay = 0.05f, .tomPitch = 95};
    song.drumGain = 0.8f;
    song.drumReverb = 0.12f;
    song.drumPatterns = {
        {{Drum::Kick, "X.....X.X.....x."}, {Drum::Snare, "....X.......X..."}, {Drum::ClosedHat, "x.x.x.x.x.x.x.x."}},
        {{Drum::Kick, "X.x.X.x.X.x.X.x."}, {Drum::Snare, "....X.......X..."}, {Drum::Ride, "x.x.x.x.x.x.x.x."}},
        {{Drum::Ride, "x...x...x...x..."}, {Drum::LowTom, "X.........x....."}},
    };
    song.fill = {{Drum::Kick, "X.......X...X..."}, {Drum::HighTom, "XxXx............"}, {Drum::LowTom, "....XxXx........"},
                 {Drum::Snare, "........XxXxXXXX"}};
    song.bassPatterns = {"R-RRR-RRR-RRR-RO", "R-------R-------"};
    song.arpPatterns = {"0...1...2...3..."};
    song.padRhythm = "x-x-x-xxx-x-x-xx";
    song.melodies = {
        "c5:4 eb5:4 g5:6 f5:2  eb5:4 c5:4 ab4:8  bb4:4 d5:4 f5:4 bb5:4  g5:8 f5:4 d5:4  "
        "c6:4 bb5:2 g5:2 eb5:4 g5:4  ab5:6 g5:2 f5:4 eb5:4  f5:4 g5:4 bb5:4 d6:4  b5:8 d6:4 g5:4",
        "g5:6 bb5:2 eb6:8  d6:6 c6:2 bb5:8  c6:6 bb5:2 ab5:4 c6:4  b5:8 g5:8  "
        "eb6:4 d6:2 c6:2 bb5:4 g5:4  f5:4 bb5:4 d6:4 f6:4  eb6:6 d6:2 c6:4 ab5:4  b5:4 d6:4 g6:8",
    };
    song.lead = {.patch = {.shape = Shape::Saw, .unison = 3, .detuneCents = 12, .stereoWidth = 0.5f,
                           .secondShape = Shape::Saw, .secondLevel = 0.4f, .secondSemitones = 12,
                           .cutoff = 900, .resonance = 0.15f, .filterSweepOctaves = 2.2f, .keyTracking = 0.6f,
                           .filterEnvelope = {0.07f, 0.4f, 0.55f, 0.2f}, .amp = {0.02f, 0.3f, 0.85f, 0.15f},
                           .vibratoCents = 14, .vibratoRate = 5.8f, .vibratoDelay = 0.2f, .glideFromSemitones = -1.0f,
                           .glideTime = 0.04f},
                 .gain = 0.6f, .reverbSend = 0.22f, .echoSend = 0.15f, .lowNote = 48};
    song.bass = {.patch = {.shape = Shape::Saw, .subLevel = 0.7f, .cutoff = 500, .resonance = 0.2f,
                           .filterSweepOctaves = 1.5f, .filterEnvelope = {0.001f, 0.08f, 0.2f, 0.05f},
                           .amp = {0.002f, 0.1f, 0.8f, 0.03f}, .drive = 0.4f},
                 .gain = 1.1f, .reverbSend = 0.0f, .duck = 0.15f, .lowNote = 31};
    song.pad = {.patch = {.shape = Shape::Saw, .unison = 2, .detuneCents = 14, .stereoWidth = 0.9f,
                          .secondShape = Shape::Square, .secondLevel = 0.5f, .secondSemitones = -12,
                          .cutoff = 2600, .resonance = 0.1f, .amp = {0.003f, 0.25f, 0.75f, 0.06f}, .drive = 0.8f},
                .gain = 0.9f, .reverbSend = 0.1f, .duck = 0.1f, .lowNote = 43};
    song.arp = {.patch = {.fmRatio = 2.0f, .fmIndex = 1.5f, .fmIndexDecay = 0.3f, .amp = {0.001f, 0.8f, 0.0f, 0.6f}},
                .gain = 0.16f, .pan = 0.3f, .reverbSend = 0.35f, .echoSend = 0.3f, .lowNote = 72};
    song.echoBeats = 0.75f;
    song.roomSize = 0.7f;
    song.sections = {
        {.bars = 4, .chords = "C5 Ab5 Bb5 G5", .drums = 0, .bass = 0, .pad = true, .crash = true, .fill = true},
        {.bars = 8, .chords = "C5 Ab5 Bb5 G5", .drums = 0, .bass = 0, .pad = true, .lead = 0, .crash = true, .fill = true},
        {.bars = 8, .chords = "Eb5 Bb5 Ab5 G5", .drums = 1, .bass = 0, .pad = true, .lead = 1, .crash = true, .fill = true},
        {.bars = 4, .chords = "C5 Ab5 Bb5 G5", .drums = 2, .bass = 1, .arp = 0, .riser = true},
        {.bars = 8, .chords = "C5 Ab5 Bb5 G5", .drums = 0, .bass = 0, .pad = true, .lead = 0, .crash = true, .fill = true},
        {.bars = 8, .chords = "Eb5 Bb5 Ab5 G5", .drums = 1, .bass = 0, .pad = true, .lead = 1, .crash = true, .fill = true},
        {.bars = 4, .chords = "C5 Ab5 Bb5 G5", .drums = 1, .bass = 0, .pad = true, .crash = true},
    };
    song.finalChord = "C5";
    return song;
}

}  // namespace

const Song& songByNumber(int number) {
    static const std::array<Song, kSongCount> songs = {neonRush(), pixelBrawl(), ironFists(), lastRound()};
    return songs.at(size_t(number - 1));
}

}  // namespace datagen
