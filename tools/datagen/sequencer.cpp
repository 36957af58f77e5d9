#include "tools/datagen/sequencer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <sstream>

#include "tools/datagen/reverb.h"

namespace datagen {

// ---- Parsing ---------------------------------------------------------------------

int parseNoteName(const std::string& name) {
    static constexpr std::array<int, 7> kPitchOfLetter = {9, 11, 0, 2, 4, 5, 7};  // a..g
    if (name.size() < 2 || name[0] < 'a' || name[0] > 'g') return -1;
    int pitch = kPitchOfLetter[name[0] - 'a'];
    size_t at = 1;
    if (name[at] == '#') {
        ++pitch;
        ++at;
    } else if (name[at] == 'b' && at + 1 < name.size()) {
        --pitch;
        ++at;
    }
    if (at + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[at]))) return -1;
    return (name[at] - '0' + 1) * 12 + pitch;
}

std::vector<Chord> parseChords(const std::string& text) {
    static constexpr std::array<int, 7> kPitchOfLetter = {9, 11, 0, 2, 4, 5, 7};  // A..G
    std::vector<Chord> chords;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        if (word[0] < 'A' || word[0] > 'G') continue;
        Chord chord;
        std::string name = word;
        if (size_t colon = word.find(':'); colon != std::string::npos) {
            name = word.substr(0, colon);
            chord.bars = std::stof(word.substr(colon + 1));
        }
        chord.root = kPitchOfLetter[name[0] - 'A'];
        size_t at = 1;
        if (at < name.size() && (name[at] == '#' || name[at] == 'b')) {
            chord.root += name[at] == '#' ? 1 : 11;
            ++at;
        }
        chord.root %= 12;
        const std::string quality = name.substr(at);
        if (quality == "m") chord.intervals = {0, 3, 7};
        else if (quality == "m7") chord.intervals = {0, 3, 7, 10};
        else if (quality == "7") chord.intervals = {0, 4, 7, 10};
        else if (quality == "maj7") chord.intervals = {0, 4, 7, 11};
        else if (quality == "sus4") chord.intervals = {0, 5, 7};
        else if (quality == "sus2") chord.intervals = {0, 2, 7};
        else if (quality == "5") chord.intervals = {0, 7};
        else chord.intervals = {0, 4, 7};
        chords.push_back(chord);
    }
    return chords;
}

std::vector<MelodyNote> parseMelody(const std::string& text, int& totalSteps) {
    std::vector<MelodyNote> notes;
    std::istringstream words(text);
    std::string word;
    int step = 0;
    while (words >> word) {
        MelodyNote note;
        std::string name = word;
        if (size_t colon = word.find(':'); colon != std::string::npos) {
            name = word.substr(0, colon);
            note.length = std::stoi(word.substr(colon + 1));
        }
        note.step = step;
        note.midiNote = name == "r" ? -1 : parseNoteName(name);
        step += note.length;
        if (note.midiNote >= 0) notes.push_back(note);
    }
    totalSteps = step;
    return notes;
}

// ---- Rendering ---------------------------------------------------------------------

namespace {

constexpr int kStepsPerBar = 16;

struct Timeline {
    float stepSeconds;
    float swing;
    // Start of a sixteenth step in samples, off-beat steps pushed late by the swing.
    size_t at(int step) const {
        float seconds = step * stepSeconds + (step % 2 == 1 ? swing * stepSeconds : 0.0f);
        return size_t(seconds * kSampleRate);
    }
};

// A chord laid out on the song's step grid.
struct TimedChord {
    Chord chord;
    int startStep, endStep;
};

int placeInRegister(int pitchClass, int lowNote) {
    int note = lowNote + ((pitchClass - lowNote) % 12 + 12) % 12;
    return note;
}

void addInto(StereoBuffer& bus, const StereoBuffer& sound, size_t at, float gain, float pan) {
    const float left = std::cos((pan + 1) * kPi * 0.25f) * 1.4142f, right = std::sin((pan + 1) * kPi * 0.25f) * 1.4142f;
    const size_t n = std::min(sound.size(), bus.size() > at ? bus.size() - at : 0);
    for (size_t i = 0; i < n; ++i) {
        bus.left[at + i] += sound.left[i] * gain * left;
        bus.right[at + i] += sound.right[i] * gain * right;
    }
}

void addMono(StereoBuffer& bus, const std::vector<float>& sound, size_t at, float gain, float pan) {
    const float left = std::cos((pan + 1) * kPi * 0.25f) * 1.4142f, right = std::sin((pan + 1) * kPi * 0.25f) * 1.4142f;
    const size_t n = std::min(sound.size(), bus.size() > at ? bus.size() - at : 0);
    for (size_t i = 0; i < n; ++i) {
        bus.left[at + i] += sound[i] * gain * left;
        bus.right[at + i] += sound[i] * gain * right;
    }
}

float drumVelocity(char c) {
    switch (c) {
        case 'X': return 1.0f;
        case 'x': return 0.75f;
        case 'o': return 0.45f;
        case 'g': return 0.22f;
        default: return 0.0f;
    }
}

float drumPan(Drum drum) {
    switch (drum) {
        case Drum::ClosedHat: return 0.25f;
        case Drum::OpenHat: return 0.3f;
        case Drum::Ride: return -0.3f;
        case Drum::Shaker: return -0.35f;
        case Drum::HighTom: return -0.3f;
        case Drum::LowTom: return 0.3f;
        default: return 0.0f;
    }
}

class SongRenderer {
public:
    explicit SongRenderer(const Song& song)
        : song_(song), time_{60.0f / song.tempo / 4.0f, song.swing} {
        for (const Section& section : song.sections) totalSteps_ += section.bars * kStepsPerBar;
        endingSteps_ = 2 * kStepsPerBar;
        const size_t frames = time_.at(totalSteps_ + endingSteps_) + size_t(2.5f * kSampleRate);
        for (StereoBuffer* bus : {&drums_, &bass_, &pad_, &arp_, &lead_, &effects_}) bus->resize(frames);
        for (int d = 0; d < int(Drum::Count); ++d)
            for (int v = 0; v < kDrumVariants; ++v) drumSounds_[d][v] = renderDrum(Drum(d), song.kit, v);
    }

    StereoAudio render() {
        int step = 0;
        for (const Section& section : song_.sections) {
            renderSection(section, step);
            step += section.bars * kStepsPerBar;
        }
        renderEnding(step);
        return mix();
    }

private:
    static constexpr int kDrumVariants = 4;

    void hit(Drum drum, int step, float velocity) {
        const int variant = (hits_++ * 7 + step) % kDrumVariants;
        addMono(drums_, drumSounds_[int(drum)][variant], time_.at(step), velocity, drumPan(drum));
        if (drum == Drum::Kick) kickSteps_.push_back(step);
    }

    void note(const Part& part, StereoBuffer& bus, int midiNote, int step, float lengthSteps, float velocity) {
        const float seconds = lengthSteps * time_.stepSeconds;
        StereoBuffer sound = renderNote(part.patch, float(midiNote), velocity, seconds, uint32_t(notes_++));
        addInto(bus, sound, time_.at(step), part.gain, part.pan);
    }

    std::vector<TimedChord> layChords(const Section& section, int firstStep) const {
        std::vector<Chord> chords = parseChords(section.chords);
        std::vector<TimedChord> out;
        if (chords.empty()) return out;
        const int endStep = firstStep + section.bars * kStepsPerBar;
        for (int step = firstStep, k = 0; step < endStep; ++k) {
            const Chord& chord = chords[k % chords.size()];
            int length = std::max(1, int(std::lround(chord.bars * kStepsPerBar)));
            out.push_back({chord, step, std::min(endStep, step + length)});
            step += length;
        }
        return out;
    }

    static const TimedChord& chordAt(const std::vector<TimedChord>& chords, int step) {
        for (const TimedChord& c : chords)
            if (step >= c.startStep && step < c.endStep) return c;
        return chords.back();
    }

    void renderSection(const Section& section, int firstStep) {
        const int steps = section.bars * kStepsPerBar;
        const std::vector<TimedChord> chords = layChords(section, firstStep);
        if (section.drums >= 0) renderDrums(section, firstStep, steps);
        if (section.crash) hit(Drum::Crash, firstStep, 0.6f);
        if (!chords.empty()) {
            if (section.pad) renderPad(chords, firstStep, steps);
            if (section.bass >= 0) renderBass(song_.bassPatterns[section.bass], chords, firstStep, steps);
            if (section.arp >= 0) renderArp(song_.arpPatterns[section.arp], chords, firstStep, steps);
        }
        if (section.lead >= 0) renderMelody(song_.melodies[section.lead], firstStep, steps);
        if (section.riser) renderRiser(firstStep + steps - 2 * kStepsPerBar, 2 * kStepsPerBar);
    }

    void renderDrums(const Section& section, int firstStep, int steps) {
        const DrumPattern& pattern = song_.drumPatterns[section.drums];
        for (int s = 0; s < steps; ++s) {
            const bool inFill = section.fill && s >= steps - kStepsPerBar && !song_.fill.empty();
            const DrumPattern& source = inFill ? song_.fill : pattern;
            const int index = inFill ? s - (steps - kStepsPerBar) : s;
            for (const DrumLine& line : source) {
                if (line.steps.empty()) continue;
                float velocity = drumVelocity(line.steps[index % line.steps.size()]);
                if (velocity > 0) hit(line.drum, firstStep + s, velocity);
            }
        }
    }

    void renderPad(const std::vector<TimedChord>& chords, int firstStep, int steps) {
        if (song_.padRhythm.empty()) {
            for (const TimedChord& c : chords) renderPadChord(c.chord, c.startStep, c.endStep - c.startStep);
            return;
        }
        const std::string& rhythm = song_.padRhythm;
        for (int s = 0; s < steps; ++s) {
            if (rhythm[s % rhythm.size()] != 'x') continue;
            int length = 1;
            while (s + length < steps && rhythm[(s + length) % rhythm.size()] == '-') ++length;
            renderPadChord(chordAt(chords, firstStep + s).chord, firstStep + s, length);
        }
    }

    void renderPadChord(const Chord& chord, int step, int length) {
        const int root = placeInRegister(chord.root, song_.pad.lowNote);
        for (int interval : chord.intervals) note(song_.pad, pad_, root + interval, step, float(length), 0.6f);
        // The root doubled an octave up opens the voicing.
        note(song_.pad, pad_, root + 12, step, float(length), 0.35f);
    }

    void renderBass(const std::string& pattern, const std::vector<TimedChord>& chords, int firstStep, int steps) {
        int current = -1, start = 0, length = 0;
        auto flush = [&] {
            if (current >= 0) note(song_.bass, bass_, current, start, length - 0.3f, 0.9f);
            current = -1;
        };
        for (int s = 0; s < steps; ++s) {
            const char c = pattern[s % pattern.size()];
            const int step = firstStep + s;
            if (c == '-') {
                if (current >= 0) ++length;
                continue;
            }
            flush();
            if (c == '.') continue;
            const Chord& chord = chordAt(chords, step).chord;
            const int root = placeInRegister(chord.root, song_.bass.lowNote);
            const int third = chord.intervals.size() > 1 ? chord.intervals[1] : 7;
            switch (c) {
                case 'R': current = root; break;
                case 'O': current = root + 12; break;
                case 'F': current = root + 7; break;
                case 'T': current = root + third; break;
                case 'S': current = root + (chord.intervals.size() > 3 ? chord.intervals[3] : 10); break;
                case 'L': current = root - 5; break;
                default: current = -1; break;
            }
            start = step;
            length = 1;
        }
        flush();
    }

    void renderArp(const std::string& pattern, const std::vector<TimedChord>& chords, int firstStep, int steps) {
        int current = -1, start = 0, length = 0;
        auto flush = [&] {
            if (current >= 0) note(song_.arp, arp_, current, start, float(length) - 0.2f, 0.7f);
            current = -1;
        };
        for (int s = 0; s < steps; ++s) {
            const char c = pattern[s % pattern.size()];
            const int step = firstStep + s;
            if (c == '-') {
                if (current >= 0) ++length;
                continue;
            }
            flush();
            if (!std::isdigit(static_cast<unsigned char>(c))) continue;
            const Chord& chord = chordAt(chords, step).chord;
            const int root = placeInRegister(chord.root, song_.arp.lowNote);
            const int k = c - '0';
            const int tones = int(chord.intervals.size());
            current = root + chord.intervals[k % tones] + 12 * (k / tones);
            start = step;
            length = 1;
        }
        flush();
    }

    void renderMelody(const std::string& melody, int firstStep, int steps) {
        int melodySteps = 0;
        const std::vector<MelodyNote> notes = parseMelody(melody, melodySteps);
        if (melodySteps <= 0) return;
        for (int offset = 0; offset < steps; offset += melodySteps) {
            for (const MelodyNote& n : notes) {
                if (offset + n.step >= steps) break;
                const int length = std::min(n.length, steps - offset - n.step);
                note(song_.lead, lead_, n.midiNote, firstStep + offset + n.step, length - 0.25f, 0.85f);
            }
        }
    }

    // White noise through a band pass that climbs from 300 Hz to 9 kHz, swelling
    // into the next section.
    void renderRiser(int firstStep, int steps) {
        const size_t from = time_.at(firstStep), to = time_.at(firstStep + steps);
        Noise noise(0x5EEDu + uint32_t(firstStep));
        StateVariableFilter band;
        for (size_t i = from; i < to && i < effects_.size(); ++i) {
            const float t = float(i - from) / float(to - from);
            if ((i - from) % 16 == 0) band.set(300.0f * std::pow(30.0f, t), 0.6f);
            const float s = band.process(noise.next()).band * t * t * 0.35f;
            const float pan = std::sin(t * 12.0f) * 0.5f;
            effects_.left[i] += s * (1 - pan);
            effects_.right[i] += s * (1 + pan);
        }
    }

    void renderEnding(int step) {
        hit(Drum::Kick, step, 1.0f);
        hit(Drum::Crash, step, 0.7f);
        const std::vector<Chord> chords = parseChords(song_.finalChord);
        if (chords.empty()) return;
        const Chord& chord = chords.front();
        renderPadChord(chord, step, endingSteps_);
        note(song_.bass, bass_, placeInRegister(chord.root, song_.bass.lowNote), step, float(endingSteps_), 0.9f);
        note(song_.lead, lead_, placeInRegister(chord.root, song_.lead.lowNote + 12), step, float(endingSteps_) * 0.75f,
             0.8f);
    }

    // Pushes `bus` down after every kick: the pumping that makes a mix breathe.
    void duck(StereoBuffer& bus, float depth) const {
        if (depth <= 0) return;
        std::vector<float> gain(bus.size(), 1.0f);
        const size_t release = size_t(0.16f * kSampleRate);
        for (int step : kickSteps_) {
            const size_t at = time_.at(step);
            for (size_t i = 0; i < release && at + i < gain.size(); ++i) {
                const float t = float(i) / float(release);
                gain[at + i] = std::min(gain[at + i], 1.0f - depth * (1.0f - t) * (1.0f - t));
            }
        }
        for (size_t i = 0; i < bus.size(); ++i) {
            bus.left[i] *= gain[i];
            bus.right[i] *= gain[i];
        }
    }

    StereoAudio mix() {
        duck(bass_, song_.bass.duck);
        duck(pad_, song_.pad.duck);
        duck(arp_, song_.arp.duck);
        duck(lead_, song_.lead.duck);

        StereoAudio out;
        out.buffer.resize(drums_.size());
        StereoBuffer& master = out.buffer;
        auto addBus = [&](const StereoBuffer& bus, float gain) {
            for (size_t i = 0; i < master.size(); ++i) {
                master.left[i] += bus.left[i] * gain;
                master.right[i] += bus.right[i] * gain;
            }
        };
        addBus(drums_, song_.drumGain);
        addBus(bass_, 1.0f);
        addBus(pad_, 1.0f);
        addBus(arp_, 1.0f);
        addBus(lead_, 1.0f);
        addBus(effects_, 1.0f);

        // One shared room and one echo, fed by each part's sends.
        StereoBuffer reverbSend, echoSend;
        reverbSend.resize(master.size());
        echoSend.resize(master.size());
        auto send = [&](StereoBuffer& target, const StereoBuffer& bus, float amount) {
            if (amount <= 0) return;
            for (size_t i = 0; i < target.size(); ++i) {
                target.left[i] += bus.left[i] * amount;
                target.right[i] += bus.right[i] * amount;
            }
        };
        send(reverbSend, drums_, song_.drumReverb * song_.drumGain);
        send(reverbSend, pad_, song_.pad.reverbSend);
        send(reverbSend, arp_, song_.arp.reverbSend);
        send(reverbSend, lead_, song_.lead.reverbSend);
        send(reverbSend, bass_, song_.bass.reverbSend);
        send(reverbSend, effects_, 0.5f);
        send(echoSend, lead_, song_.lead.echoSend);
        send(echoSend, arp_, song_.arp.echoSend);
        addPingPongEcho(echoSend, master, song_.echoBeats * 4 * time_.stepSeconds, song_.echoFeedback, 1.0f);
        addReverb(reverbSend, master, song_.roomSize, 0.4f, 1.0f);

        // Everything below 30 Hz is rumble the speakers cannot play.
        OnePole rumbleL, rumbleR;
        rumbleL.set(30);
        rumbleR.set(30);
        for (size_t i = 0; i < master.size(); ++i) {
            master.left[i] = rumbleL.highpass(master.left[i]);
            master.right[i] = rumbleR.highpass(master.right[i]);
        }
        return out;
    }

    const Song& song_;
    Timeline time_;
    int totalSteps_ = 0, endingSteps_ = 0;
    int hits_ = 0, notes_ = 0;
    std::array<std::array<std::vector<float>, kDrumVariants>, size_t(Drum::Count)> drumSounds_;
    std::vector<int> kickSteps_;
    StereoBuffer drums_, bass_, pad_, arp_, lead_, effects_;
};

}  // namespace

StereoAudio renderSong(const Song& song) { return SongRenderer(song).render(); }

}  // namespace datagen
