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
            if (p[3] > 0) EXPECT_GE(p[0], 190) << x << "," << y;
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
        const char* name;
        int width, height;
    };
    for (Expected e : {Expected{"205275.png", 206, 275}, Expected{"icon.png", 128, 128}, Expected{"icon256.png", 256, 256}}) {
        ImageRef picture = image(e.name);
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
    ASSERT_TRUE(datagen::parseParts("pictures,font,sounds", options));
    ASSERT_EQ(datagen::generateGameData(folder.string(), options), "");
    for (const char* name : {"images/quad280.png", "images/ballimage280.png", "images/spark.png", "images/205275.png",
                             "images/icon.png", "images/icon256.png", "images/font.ttf", "sounds/blow.wav",
                             "sounds/block.wav"}) {
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
    EXPECT_TRUE(datagen::parseParts("sounds", options));
    EXPECT_TRUE(options.sounds);
    EXPECT_FALSE(options.pictures);
    EXPECT_FALSE(options.font);
}

}  // namespace
