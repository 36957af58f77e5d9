// The generated game data: every file loads through the game's own loaders with the
// sizes, channels and levels the game relies on, and the generator is reproducible.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/font.h"
#include "platform/headless.h"
#include "platform/image.h"
#include "platform/platform.h"
#include "platform/sound.h"
#include "tools/datagen/generate.h"
#include "tools/datagen/limiter.h"
#include "tools/datagen/loudness.h"
#include "tools/datagen/sequencer.h"
#include "tools/datagen/songs.h"

namespace fs = std::filesystem;

namespace {

// The build writes the data beside the executables, this test's among them.
fs::path dataFolder() { return fs::read_symlink("/proc/self/exe").parent_path(); }

std::string dataPath(const std::string& relative) { return (dataFolder() / relative).string(); }

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int alphaAt(const Image& image, int x, int y) { return image.rgba[(size_t(y) * image.width + x) * 4 + 3]; }
bool whiteAt(const Image& image, int x, int y) {
    const uint8_t* p = &image.rgba[(size_t(y) * image.width + x) * 4];
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

int peakSample(const Sound& sound) {
    int peak = 0;
    for (int16_t s : sound.samples) peak = std::max(peak, std::abs(int(s)));
    return peak;
}
double peakDb(const Sound& sound) { return 20.0 * std::log10(peakSample(sound) / 32768.0); }
double seconds(const Sound& sound) { return double(sound.frames()) / sound.rate; }

class GeneratedData : public ::testing::Test {
protected:
    void SetUp() override {
        headless::start();
        AutoImageFlags(MASKEDIMAGE | FILTEREDIMAGE | MIPMAPPEDIMAGE);
    }
    void TearDown() override { headless::stop(); }

    ImageRef image(const std::string& name) {
        ImageRef loaded = LoadImage(dataPath("images/" + name));
        EXPECT_TRUE(loaded) << name;
        return loaded;
    }
    SoundRef sound(const std::string& name) {
        SoundRef loaded = LoadSound(dataPath(name), 0);
        EXPECT_TRUE(loaded) << name;
        return loaded;
    }
    // The decoded tracks, loaded once for all the tests (decoding takes a while).
    static SoundRef track(int number) {
        static std::vector<SoundRef> tracks(5);
        if (!tracks[size_t(number)]) tracks[size_t(number)] = LoadSound(dataPath("music/tt" + std::to_string(number) + ".ogg"), 0);
        return tracks[size_t(number)];
    }
};

TEST_F(GeneratedData, StickQuadIsAWhiteSquareWithSoftEdges) {
    ImageRef quad = image("quad280.png");
    ASSERT_TRUE(quad);
    EXPECT_EQ(ImageWidth(quad), 280);
    EXPECT_EQ(ImageHeight(quad), 280);
    for (int y = 0; y < 280; y += 7)
        for (int x = 0; x < 280; x += 7) EXPECT_TRUE(whiteAt(*quad, x, y)) << x << "," << y;
    EXPECT_EQ(alphaAt(*quad, 140, 140), 255);
    EXPECT_EQ(alphaAt(*quad, 10, 140), 255);
    // The border is clear and the falloff spans a few pixels, not one.
    EXPECT_EQ(alphaAt(*quad, 0, 140), 0);
    EXPECT_EQ(alphaAt(*quad, 140, 279), 0);
    EXPECT_GT(alphaAt(*quad, 2, 140), 40);
    EXPECT_LT(alphaAt(*quad, 2, 140), 215);
    EXPECT_EQ(alphaAt(*quad, 0, 0), 0);
}

TEST_F(GeneratedData, NodeDiscFillsThePictureAndTintsCleanly) {
    ImageRef disc = image("ballimage280.png");
    ASSERT_TRUE(disc);
    EXPECT_EQ(ImageWidth(disc), 280);
    EXPECT_EQ(ImageHeight(disc), 280);
    EXPECT_EQ(alphaAt(*disc, 140, 140), 255);
    EXPECT_EQ(alphaAt(*disc, 140, 5), 255);  // the disc reaches nearly to the border
    EXPECT_GT(alphaAt(*disc, 140, 1), 0);
    EXPECT_EQ(alphaAt(*disc, 0, 0), 0);
    EXPECT_EQ(alphaAt(*disc, 279, 279), 0);
    EXPECT_EQ(alphaAt(*disc, 40, 40), 0);  // outside the disc, inside the square
    // Grey shading only, never darker than about 75 %, so any tint keeps its hue.
    for (int y = 0; y < 280; y += 5) {
        for (int x = 0; x < 280; x += 5) {
            const uint8_t* p = &disc->rgba[(size_t(y) * 280 + x) * 4];
            EXPECT_EQ(p[0], p[1]);
            EXPECT_EQ(p[1], p[2]);
            if (p[3] > 0) {
                EXPECT_GE(p[0], 190) << x << "," << y;
            }
        }
    }
}

TEST_F(GeneratedData, SparkIsASoftGlowClearAtItsBorder) {
    ImageRef spark = image("spark.png");
    ASSERT_TRUE(spark);
    EXPECT_EQ(ImageWidth(spark), 32);
    EXPECT_EQ(ImageHeight(spark), 32);
    EXPECT_GE(alphaAt(*spark, 16, 16), 230);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(alphaAt(*spark, i, 0), 0);
        EXPECT_EQ(alphaAt(*spark, 0, i), 0);
        EXPECT_EQ(alphaAt(*spark, i, 31), 0);
        EXPECT_EQ(alphaAt(*spark, 31, i), 0);
    }
    // Falls off steadily from the centre.
    for (int x = 17; x < 31; ++x) EXPECT_LE(alphaAt(*spark, x, 16), alphaAt(*spark, x - 1, 16));
    EXPECT_GT(alphaAt(*spark, 22, 16), 20);
}

TEST_F(GeneratedData, LogoAndIconsHaveTheirSizesAndTransparentCorners) {
    struct Expected {
        std::string name;
        int width, height;
    };
    std::vector<Expected> pictures = {{"images/205275.png", 206, 275}, {"images/icon.png", 128, 128}};
    for (int size : datagen::kIconSizes) {
        const std::string side = std::to_string(size);
        pictures.push_back({"icons/hicolor/" + side + "x" + side + "/apps/tumblebout.png", size, size});
    }
    for (const Expected& e : pictures) {
        ImageRef picture = LoadImage(dataPath(e.name));
        ASSERT_TRUE(picture) << e.name;
        EXPECT_EQ(ImageWidth(picture), e.width) << e.name;
        EXPECT_EQ(ImageHeight(picture), e.height) << e.name;
        EXPECT_EQ(alphaAt(*picture, 0, 0), 0) << e.name;
        EXPECT_EQ(alphaAt(*picture, e.width - 1, 0), 0) << e.name;
        EXPECT_EQ(alphaAt(*picture, e.width / 2, e.width / 2), 255) << e.name;  // the emblem's middle
        size_t opaque = 0;
        for (size_t i = 3; i < picture->rgba.size(); i += 4) opaque += picture->rgba[i] == 255;
        EXPECT_GT(opaque, size_t(e.width) * e.height / 3) << e.name;
    }
}

TEST_F(GeneratedData, LogoCarriesTheNameBelowTheEmblem) {
    ImageRef logo = image("205275.png");
    ASSERT_TRUE(logo);
    // Two lines of lettering between the emblem (ends near y = 183) and the bottom.
    auto inkInRows = [&](int from, int to) {
        int ink = 0;
        for (int y = from; y < to; ++y)
            for (int x = 0; x < 206; ++x) ink += alphaAt(*logo, x, y) > 128;
        return ink;
    };
    EXPECT_GT(inkInRows(195, 230), 1500);
    EXPECT_GT(inkInRows(238, 272), 1000);
    EXPECT_EQ(inkInRows(186, 190), 0);  // a clear gap between emblem and name
}

TEST_F(GeneratedData, FontHasAGlyphForEveryCharacterTheGameDraws) {
    FontRef font = LoadImageFont(dataPath("images/font.ttf"), 200, 4);
    ASSERT_TRUE(font);
    EXPECT_GT(fontHeight(font), 150);
    std::string characters = "!@#$%^&*()-_+=[]{}<>,.?/\\|:;'\"";
    for (char c = 'A'; c <= 'Z'; ++c) characters += c;
    for (char c = 'a'; c <= 'z'; ++c) characters += c;
    for (char c = '0'; c <= '9'; ++c) characters += c;
    for (char c : characters) {
        const Glyph* glyph = fontGlyph(font, static_cast<unsigned char>(c));
        ASSERT_NE(glyph, nullptr) << c;
        EXPECT_NE(glyph->image, nullptr) << c;
        EXPECT_GT(glyph->advance, 0) << c;
    }
    const Glyph* space = fontGlyph(font, ' ');
    ASSERT_NE(space, nullptr);
    EXPECT_GT(space->advance, 20);
    EXPECT_TRUE(fs::is_regular_file(dataPath("images/font-licence.txt")));
}

TEST_F(GeneratedData, BlowIsAShortPunchyHitPeakingNearMinusOneDb) {
    SoundRef blow = sound("sounds/blow.wav");
    ASSERT_TRUE(blow);
    EXPECT_EQ(blow->rate, 44100);
    EXPECT_EQ(blow->channels, 1);
    EXPECT_GE(seconds(*blow), 0.15);
    EXPECT_LE(seconds(*blow), 0.30);
    EXPECT_NEAR(peakDb(*blow), -1.0, 0.2);
    EXPECT_LT(peakSample(*blow), 32767);
    EXPECT_LE(std::abs(blow->samples.back()), 8);  // ends in silence: no click
}

TEST_F(GeneratedData, BlockIsShorterAndLighterThanTheBlow) {
    SoundRef block = sound("sounds/block.wav");
    SoundRef blow = sound("sounds/blow.wav");
    ASSERT_TRUE(block && blow);
    EXPECT_EQ(block->rate, 44100);
    EXPECT_EQ(block->channels, 1);
    EXPECT_LT(seconds(*block), 0.15);
    EXPECT_GT(seconds(*block), 0.05);
    EXPECT_LT(seconds(*block), seconds(*blow));
    EXPECT_LT(peakDb(*block), -1.0);
    EXPECT_GT(peakDb(*block), -3.0);
    EXPECT_LE(std::abs(block->samples.back()), 8);
    // Lighter: less energy below 150 Hz, measured with a one-pole low pass.
    auto lowEnergy = [](const Sound& s) {
        double state = 0, energy = 0;
        const double k = 1.0 - std::exp(-2.0 * M_PI * 150.0 / s.rate);
        for (int16_t v : s.samples) {
            state += k * (v / 32768.0 - state);
            energy += state * state;
        }
        return energy;
    };
    EXPECT_LT(lowEnergy(*block) * 4, lowEnergy(*blow));
}

// ---- Music ---------------------------------------------------------------------------

datagen::StereoBuffer toFloat(const Sound& sound) {
    datagen::StereoBuffer out;
    out.resize(size_t(sound.frames()));
    for (size_t i = 0; i < out.size(); ++i) {
        out.left[i] = sound.samples[i * sound.channels] / 32768.0f;
        out.right[i] = sound.samples[i * sound.channels + sound.channels - 1] / 32768.0f;
    }
    return out;
}

// Loudness of each second, a coarse fingerprint of a track's arrangement.
std::vector<double> secondByLoudness(const Sound& sound) {
    std::vector<double> out;
    for (int start = 0; start + sound.rate <= sound.frames(); start += sound.rate) {
        double sum = 0;
        for (int i = start * sound.channels; i < (start + sound.rate) * sound.channels; ++i) {
            double v = sound.samples[size_t(i)] / 32768.0;
            sum += v * v;
        }
        out.push_back(10.0 * std::log10(sum / (sound.rate * sound.channels) + 1e-12));
    }
    return out;
}

TEST_F(GeneratedData, MusicTracksAreLongStereoAndMasteredBelowTheLimit) {
    for (int track = 1; track <= 4; ++track) {
        const std::string name = "music/tt" + std::to_string(track) + ".ogg";
        SoundRef music = GeneratedData::track(track);
        ASSERT_TRUE(music) << name;
        EXPECT_EQ(music->rate, 44100) << name;
        EXPECT_EQ(music->channels, 2) << name;
        EXPECT_GE(seconds(*music), 60.0) << name;
        EXPECT_LE(seconds(*music), 120.0) << name;
        EXPECT_LT(peakDb(*music), -1.0) << name;
        EXPECT_LT(peakSample(*music), 32767) << name;  // nothing clipped
        EXPECT_NEAR(datagen::integratedLoudness(toFloat(*music)), -16.0, 0.7) << name;
        // A clean end: the last twentieth of a second is silent.
        const size_t tail = size_t(music->rate / 20) * music->channels;
        for (size_t i = music->samples.size() - tail; i < music->samples.size(); ++i)
            ASSERT_LE(std::abs(music->samples[i]), 16) << name << " sample " << i;
        // No DC offset.
        double sum = 0;
        for (int16_t v : music->samples) sum += v;
        EXPECT_LT(std::fabs(sum / double(music->samples.size())), 20.0) << name;
    }
}

TEST_F(GeneratedData, MusicPlaysThroughWithoutGaps) {
    for (int track = 1; track <= 4; ++track) {
        SoundRef music = GeneratedData::track(track);
        ASSERT_TRUE(music);
        std::vector<double> perSecond = secondByLoudness(*music);
        // From the first second to the fade, never a silent second.
        for (size_t s = 0; s + 3 < perSecond.size(); ++s) EXPECT_GT(perSecond[s], -45.0) << track << " at " << s << " s";
    }
}

TEST_F(GeneratedData, EffectsSitLouderThanTheMusic) {
    SoundRef blow = sound("sounds/blow.wav");
    ASSERT_TRUE(blow);
    for (int track = 1; track <= 4; ++track) {
        SoundRef music = GeneratedData::track(track);
        ASSERT_TRUE(music);
        EXPECT_GT(peakDb(*blow), peakDb(*music));
    }
}

TEST_F(GeneratedData, TheFourTracksDiffer) {
    std::vector<SoundRef> tracks;
    for (int number = 1; number <= 4; ++number) tracks.push_back(GeneratedData::track(number));
    for (const SoundRef& t : tracks) ASSERT_TRUE(t);
    for (size_t a = 0; a < tracks.size(); ++a) {
        for (size_t b = a + 1; b < tracks.size(); ++b) {
            EXPECT_NE(tracks[a]->frames(), tracks[b]->frames()) << a + 1 << " and " << b + 1;
            // Their loudness contours over time do not follow each other.
            std::vector<double> x = secondByLoudness(*tracks[a]), y = secondByLoudness(*tracks[b]);
            size_t n = std::min(x.size(), y.size());
            double mx = 0, my = 0;
            for (size_t i = 0; i < n; ++i) mx += x[i] / n, my += y[i] / n;
            double sxy = 0, sxx = 0, syy = 0;
            for (size_t i = 0; i < n; ++i) {
                sxy += (x[i] - mx) * (y[i] - my);
                sxx += (x[i] - mx) * (x[i] - mx);
                syy += (y[i] - my) * (y[i] - my);
            }
            EXPECT_LT(sxy / std::sqrt(sxx * syy), 0.95) << a + 1 << " and " << b + 1;
        }
    }
    // Different tempi, keys (tonic of the final chord) and titles.
    for (int a = 1; a <= 4; ++a) {
        for (int b = a + 1; b <= 4; ++b) {
            const datagen::Song& x = datagen::songByNumber(a);
            const datagen::Song& y = datagen::songByNumber(b);
            EXPECT_NE(x.tempo, y.tempo);
            EXPECT_NE(datagen::parseChords(x.finalChord)[0].root, datagen::parseChords(y.finalChord)[0].root);
            EXPECT_NE(x.title, y.title);
        }
    }
}

// ---- The music tools -----------------------------------------------------------------

datagen::StereoBuffer sine(float frequency, float amplitude, float seconds, bool bothChannels) {
    datagen::StereoBuffer out;
    out.resize(size_t(seconds * 44100));
    for (size_t i = 0; i < out.size(); ++i) {
        float v = amplitude * std::sin(2.0f * float(M_PI) * frequency * float(i) / 44100.0f);
        out.left[i] = v;
        out.right[i] = bothChannels ? v : 0.0f;
    }
    return out;
}

TEST(Loudness, MatchesTheReferenceLevelsOfSineTones) {
    // A 997 Hz tone at full scale in one channel reads -3.01 LUFS; in both, 0.
    EXPECT_NEAR(datagen::integratedLoudness(sine(997, 1.0f, 5, false)), -3.01, 0.05);
    EXPECT_NEAR(datagen::integratedLoudness(sine(997, 1.0f, 5, true)), 0.0, 0.05);
    EXPECT_NEAR(datagen::integratedLoudness(sine(997, 0.1f, 5, true)), -20.0, 0.05);
    // The K-weighting lifts the highs and cuts deep bass.
    EXPECT_GT(datagen::integratedLoudness(sine(8000, 0.1f, 5, true)), -20.0 + 3.0);
    EXPECT_LT(datagen::integratedLoudness(sine(30, 0.1f, 5, true)), -20.0 - 3.0);
}

TEST(Loudness, GatesOutSilenceAndQuietPassages) {
    datagen::StereoBuffer tone = sine(997, 0.1f, 5, true);
    // Five seconds of tone make 47 whole blocks; the three blocks that straddle the
    // end hold 3/4, 1/2 and 1/4 of the tone and still pass the gates: the mean of
    // 48.5 / 50 blocks lies 0.13 dB under the tone.
    const double straddled = -20.0 + 10.0 * std::log10(48.5 / 50.0);
    datagen::StereoBuffer withSilence = tone;
    withSilence.resize(tone.size() * 3);  // ten seconds of silence after it
    EXPECT_NEAR(datagen::integratedLoudness(withSilence), straddled, 0.02);
    // A passage 30 dB quieter falls under the relative gate and does not count.
    datagen::StereoBuffer quiet = sine(997, 0.1f * 0.0316f, 5, true);
    datagen::StereoBuffer both = tone;
    both.left.insert(both.left.end(), quiet.left.begin(), quiet.left.end());
    both.right.insert(both.right.end(), quiet.right.begin(), quiet.right.end());
    EXPECT_NEAR(datagen::integratedLoudness(both), straddled, 0.02);
    EXPECT_LE(datagen::integratedLoudness(sine(997, 0.0f, 5, true)), -70.0);
}

TEST(Limiter, HoldsPeaksUnderTheCeilingAndLeavesQuietSignalsAlone) {
    datagen::StereoBuffer loud = sine(220, 1.6f, 1, true);
    datagen::limitPeaks(loud, 0.8f);
    float peak = 0;
    for (size_t i = 0; i < loud.size(); ++i) peak = std::max({peak, std::fabs(loud.left[i]), std::fabs(loud.right[i])});
    EXPECT_LE(peak, 0.8f + 1e-6f);
    EXPECT_GT(peak, 0.75f);

    datagen::StereoBuffer quiet = sine(220, 0.5f, 1, true);
    const datagen::StereoBuffer original = quiet;
    datagen::limitPeaks(quiet, 0.8f);
    EXPECT_EQ(quiet.left, original.left);
}

TEST(Sequencer, ReadsNotesChordsAndMelodies) {
    EXPECT_EQ(datagen::parseNoteName("a4"), 69);
    EXPECT_EQ(datagen::parseNoteName("c4"), 60);
    EXPECT_EQ(datagen::parseNoteName("c#5"), 73);
    EXPECT_EQ(datagen::parseNoteName("bb3"), 58);
    EXPECT_EQ(datagen::parseNoteName("h2"), -1);

    std::vector<datagen::Chord> chords = datagen::parseChords("Am F:2 G7 Bbmaj7:0.5 E5");
    ASSERT_EQ(chords.size(), 5u);
    EXPECT_EQ(chords[0].root, 9);
    EXPECT_EQ(chords[0].intervals, (std::vector<int>{0, 3, 7}));
    EXPECT_EQ(chords[1].bars, 2.0f);
    EXPECT_EQ(chords[2].intervals, (std::vector<int>{0, 4, 7, 10}));
    EXPECT_EQ(chords[3].root, 10);
    EXPECT_EQ(chords[3].bars, 0.5f);
    EXPECT_EQ(chords[4].intervals, (std::vector<int>{0, 7}));

    int steps = 0;
    std::vector<datagen::MelodyNote> melody = datagen::parseMelody("a4 r:3 c5:4 e5:1", steps);
    EXPECT_EQ(steps, 10);
    ASSERT_EQ(melody.size(), 3u);
    EXPECT_EQ(melody[1].step, 5);
    EXPECT_EQ(melody[1].length, 4);
    EXPECT_EQ(melody[2].midiNote, 76);
}

TEST(Sequencer, EveryMelodyBarIsWhole) {
    // A melody that does not fill whole bars would drift against the drums.
    for (int track = 1; track <= datagen::kSongCount; ++track) {
        for (const std::string& melody : datagen::songByNumber(track).melodies) {
            int steps = 0;
            datagen::parseMelody(melody, steps);
            EXPECT_EQ(steps % 16, 0) << "track " << track;
        }
    }
}

class DataGenerator : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("tumblebout-datagen-" + std::to_string(getpid()));
        fs::remove_all(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder;
};

TEST_F(DataGenerator, RegeneratingGivesTheSameBytesAsTheBuild) {
    datagen::GenerateOptions options;
    // One track of the four keeps the test quick; they share all their code.
    ASSERT_TRUE(datagen::parseParts("pictures,font,sounds,track2", options));
    ASSERT_EQ(datagen::generateGameData(folder.string(), options), "");
    for (const char* name : {"images/quad280.png", "images/ballimage280.png", "images/spark.png", "images/205275.png",
                             "images/icon.png", "icons/hicolor/16x16/apps/tumblebout.png", "images/font.ttf", "sounds/blow.wav",
                             "sounds/block.wav", "music/tt2.ogg"}) {
        std::string fresh = fileBytes(folder / name);
        EXPECT_FALSE(fresh.empty()) << name;
        EXPECT_EQ(fresh, fileBytes(dataFolder() / name)) << name;
    }
}

TEST_F(DataGenerator, NamesTheFileItCannotWrite) {
    fs::create_directories(folder);
    std::ofstream(folder / "images") << "a file where a folder should be";
    datagen::GenerateOptions options;
    ASSERT_TRUE(datagen::parseParts("pictures", options));
    std::string error = datagen::generateGameData(folder.string(), options);
    EXPECT_NE(error.find("images"), std::string::npos) << error;
}

TEST_F(DataGenerator, RejectsUnknownParts) {
    datagen::GenerateOptions options;
    EXPECT_FALSE(datagen::parseParts("pictures,posters", options));
    EXPECT_FALSE(datagen::parseParts("track5", options));
    EXPECT_TRUE(datagen::parseParts("sounds,track3", options));
    EXPECT_TRUE(options.sounds);
    EXPECT_FALSE(options.pictures);
    EXPECT_FALSE(options.font);
    EXPECT_EQ(options.tracks, std::vector<int>{3});
}

}  // namespace
