// Loading pictures, fonts and sounds: exact pixels, mask processing, glyph metrics
// against FreeType's own numbers, sample values, and bad files of every kind.

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

#include "platform/font.h"
#include "platform/image.h"
#include "platform/platform.h"
#include "platform/sound.h"
#include "tests/loader_test_files.h"

namespace fs = std::filesystem;
using namespace testfiles;

namespace {

const char* const dejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

const uint8_t* pixel(const Image& image, int x, int y) { return &image.rgba[(y * image.width + x) * 4]; }

// The bad versions every loader must survive: missing, empty, cut short, scrambled.
struct BadFiles {
    fs::path missing, empty, truncated, corrupt;
};
BadFiles makeBadFiles(const fs::path& folder, const fs::path& good, const std::string& extension) {
    BadFiles bad{folder / ("missing" + extension), folder / ("empty" + extension),
                 folder / ("truncated" + extension), folder / ("corrupt" + extension)};
    writeBytes(bad.empty, {});
    std::vector<uint8_t> bytes = readBytes(good);
    writeBytes(bad.truncated, std::vector<uint8_t>(bytes.begin(), bytes.begin() + bytes.size() / 3));
    for (size_t i = 8; i < bytes.size(); i += 3) bytes[i] = static_cast<uint8_t>(bytes[i] * 31 + 7);
    writeBytes(bad.corrupt, bytes);
    return bad;
}

}  // namespace

TEST(PlatformLoaders, PngWithAlphaKeepsEveryByteAndItsAlpha) {
    const fs::path folder = freshFolder("png-alpha");
    const std::vector<uint8_t> rgba = {0, 0, 0, 0,   255, 0, 0, 128, 10, 20, 30, 255,
                                       0, 0, 0, 255, 1, 2, 3, 4,     200, 100, 50, 0};
    writePng(folder / "a.png", 3, 2, true, rgba);
    // Masked, but the picture brings its own alpha: nothing is replaced.
    ImageRef image = LoadImage((folder / "a.png").string(), MASKEDIMAGE);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->rgba, rgba);
    EXPECT_EQ(image->flags, MASKEDIMAGE);
    EXPECT_EQ(ImageWidth(image), 3);
    EXPECT_EQ(ImageHeight(image), 2);
}

TEST(PlatformLoaders, MaskedPngWithoutAlphaClearsBlackAndTakesNeighbourColours) {
    const fs::path folder = freshFolder("png-mask");
    // 3 x 3: black centre and corner among colours.
    const std::vector<uint8_t> rgb = {0,  0,  0,  100, 0,   0,   0,  0, 0,
                                      30, 60, 90, 0,   0,   0,   10, 0, 0,
                                      0,  0,  0,  0,   0,   200, 0,  0, 0};
    writePng(folder / "m.png", 3, 3, false, rgb);
    ImageRef image = LoadImage((folder / "m.png").string(), MASKEDIMAGE | FILTEREDIMAGE);
    ASSERT_TRUE(image);
    // Centre: neighbours (100,0,0), (30,60,90), (10,0,0), (0,0,200) average to (35,15,72).
    EXPECT_EQ(pixel(*image, 1, 1)[0], 35);
    EXPECT_EQ(pixel(*image, 1, 1)[1], 15);
    EXPECT_EQ(pixel(*image, 1, 1)[2], 72);
    EXPECT_EQ(pixel(*image, 1, 1)[3], 0);
    // Top-left corner: neighbours (100,0,0) and (30,60,90) -> (65,30,45).
    EXPECT_EQ(pixel(*image, 0, 0)[0], 65);
    EXPECT_EQ(pixel(*image, 0, 0)[1], 30);
    EXPECT_EQ(pixel(*image, 0, 0)[2], 45);
    EXPECT_EQ(pixel(*image, 0, 0)[3], 0);
    // Colours stay as they were and become opaque.
    EXPECT_EQ(pixel(*image, 1, 0)[0], 100);
    EXPECT_EQ(pixel(*image, 1, 0)[3], 255);
    EXPECT_EQ(pixel(*image, 2, 1)[3], 255);

    // Not masked: black stays opaque black.
    ImageRef plain = LoadImage((folder / "m.png").string(), 0);
    ASSERT_TRUE(plain);
    EXPECT_EQ(pixel(*plain, 1, 1)[0], 0);
    EXPECT_EQ(pixel(*plain, 1, 1)[3], 255);
}

TEST(PlatformLoaders, AutoFlagsApplyOnlyWhenAskedForAndMidHandleCentres) {
    const fs::path folder = freshFolder("png-flags");
    writePng(folder / "f.png", 5, 3, false, std::vector<uint8_t>(5 * 3 * 3, 80));
    AutoImageFlags(MASKEDIMAGE | FILTEREDIMAGE | MIPMAPPEDIMAGE);
    ImageRef automatic = LoadImage((folder / "f.png").string());
    ImageRef given = LoadImage((folder / "f.png").string(), FILTEREDIMAGE);
    AutoImageFlags(0);
    ASSERT_TRUE(automatic && given);
    EXPECT_EQ(automatic->flags, 7);
    EXPECT_EQ(given->flags, FILTEREDIMAGE);

    EXPECT_EQ(automatic->handleX, 0.0f);
    EXPECT_EQ(automatic->handleY, 0.0f);
    MidHandleImage(automatic);
    EXPECT_EQ(automatic->handleX, 2.5f);
    EXPECT_EQ(automatic->handleY, 1.5f);

    // Null images are harmless.
    MidHandleImage(nullptr);
    EXPECT_EQ(ImageWidth(nullptr), 0);
    EXPECT_EQ(ImageHeight(nullptr), 0);
}

TEST(PlatformLoaders, BadPngsLoadAsNull) {
    const fs::path folder = freshFolder("png-bad");
    std::vector<uint8_t> noise(64 * 64 * 3);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>(i * 7919 % 251);
    writePng(folder / "good.png", 64, 64, false, noise);
    const BadFiles bad = makeBadFiles(folder, folder / "good.png", ".png");
    ASSERT_TRUE(LoadImage((folder / "good.png").string(), 0));
    EXPECT_FALSE(LoadImage(bad.missing.string(), 0));
    EXPECT_FALSE(LoadImage(bad.empty.string(), 0));
    EXPECT_FALSE(LoadImage(bad.truncated.string(), 0));
    EXPECT_FALSE(LoadImage(bad.corrupt.string(), 0));
    // A header claiming an absurd size is refused before anything is allocated.
    std::vector<uint8_t> huge = readBytes(folder / "good.png");
    huge[16] = 0x7F;  // width's top byte in IHDR
    writeBytes(folder / "huge.png", huge);
    EXPECT_FALSE(LoadImage((folder / "huge.png").string(), 0));
}

TEST(PlatformLoaders, PicturesOver4096PixelsASideAreRefused) {
    const fs::path folder = freshFolder("png-large");
    writePng(folder / "wide.png", 4097, 1, false, std::vector<uint8_t>(4097 * 3, 90));
    writePng(folder / "widest.png", 4096, 1, false, std::vector<uint8_t>(4096 * 3, 90));
    EXPECT_FALSE(LoadImage((folder / "wide.png").string(), 0));
    EXPECT_TRUE(LoadImage((folder / "widest.png").string(), 0));
}

TEST(PlatformLoaders, WavSamplesOfEveryDepthAndLayout) {
    const fs::path folder = freshFolder("wav");
    // 8-bit is unsigned around 128.
    writeBytes(folder / "m8.wav", wavBytes({1, 1, 8, 11025}, {128, 255, 0, 129}));
    SoundRef m8 = LoadSound((folder / "m8.wav").string());
    ASSERT_TRUE(m8);
    EXPECT_EQ(m8->rate, 11025);
    EXPECT_EQ(m8->channels, 1);
    EXPECT_EQ(m8->samples, (std::vector<int16_t>{0, 127 * 256, -32768, 256}));
    EXPECT_FALSE(m8->loop);

    writeBytes(folder / "s8.wav", wavBytes({1, 2, 8, 8000}, {0, 255, 128, 64}));
    SoundRef s8 = LoadSound((folder / "s8.wav").string());
    ASSERT_TRUE(s8);
    EXPECT_EQ(s8->channels, 2);
    EXPECT_EQ(s8->frames(), 2);
    EXPECT_EQ(s8->samples, (std::vector<int16_t>{-32768, 32512, 0, -16384}));

    const std::vector<int16_t> values = {0, 32767, -32768, 1234, -5, 77};
    writeBytes(folder / "m16.wav", wavBytes({1, 1, 16, 44100}, pcm16(values)));
    SoundRef m16 = LoadSound((folder / "m16.wav").string());
    ASSERT_TRUE(m16);
    EXPECT_EQ(m16->frames(), 6);
    EXPECT_EQ(m16->samples, values);

    writeBytes(folder / "s16.wav", wavBytes({1, 2, 16, 48000}, pcm16(values)));
    SoundRef s16 = LoadSound((folder / "s16.wav").string(), 1);
    ASSERT_TRUE(s16);
    EXPECT_EQ(s16->rate, 48000);
    EXPECT_EQ(s16->frames(), 3);
    EXPECT_EQ(s16->samples, values);
    EXPECT_TRUE(s16->loop);  // flag 1 loops
}

TEST(PlatformLoaders, WavHeaderSizesAreCheckedAgainstTheFile) {
    const fs::path folder = freshFolder("wav-sizes");
    // A data chunk that claims 4 GB keeps the frames really there (the odd byte dropped).
    std::vector<uint8_t> bytes = wavBytes({1, 1, 16, 22050}, pcm16({10, 20, 30}));
    bytes.push_back(0x55);
    for (int i = 0; i < 4; ++i) bytes[40 + i] = 0xFF;
    writeBytes(folder / "claims.wav", bytes);
    SoundRef claims = LoadSound((folder / "claims.wav").string());
    ASSERT_TRUE(claims);
    EXPECT_EQ(claims->samples, (std::vector<int16_t>{10, 20, 30}));

    // An odd-sized chunk before the format is skipped with its pad byte.
    std::vector<uint8_t> padded = wavBytes({1, 1, 16, 22050}, pcm16({-7, 9}));
    const std::vector<uint8_t> extra = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    padded.insert(padded.begin() + 12, extra.begin(), extra.end());
    writeBytes(folder / "padded.wav", padded);
    SoundRef skipped = LoadSound((folder / "padded.wav").string());
    ASSERT_TRUE(skipped);
    EXPECT_EQ(skipped->samples, (std::vector<int16_t>{-7, 9}));

    // Formats the mixer cannot play.
    const std::vector<uint8_t> data(48, 1);
    writeBytes(folder / "24bit.wav", wavBytes({1, 1, 24, 22050}, data));
    writeBytes(folder / "float.wav", wavBytes({3, 1, 32, 22050}, data));
    writeBytes(folder / "nochannels.wav", wavBytes({1, 0, 16, 22050}, data));
    writeBytes(folder / "sixchannels.wav", wavBytes({1, 6, 16, 22050}, data));
    writeBytes(folder / "norate.wav", wavBytes({1, 1, 16, 0}, data));
    writeBytes(folder / "nodata.wav", wavBytes({1, 1, 16, 22050}, {}));
    for (const char* name : {"24bit.wav", "float.wav", "nochannels.wav", "sixchannels.wav", "norate.wav",
                             "nodata.wav"})
        EXPECT_FALSE(LoadSound((folder / name).string())) << name;

    const BadFiles bad = makeBadFiles(folder, folder / "claims.wav", ".wav");
    EXPECT_FALSE(LoadSound(bad.missing.string()));
    EXPECT_FALSE(LoadSound(bad.empty.string()));
    // Cut inside the format chunk: no format, no sound.
    EXPECT_FALSE(LoadSound(bad.truncated.string()));
    LoadSound(bad.corrupt.string());  // whatever it yields, it must not crash
    writeBytes(folder / "text.wav", {'h', 'e', 'l', 'l', 'o'});
    EXPECT_FALSE(LoadSound((folder / "text.wav").string()));
}

TEST(PlatformLoaders, OggToneDecodesBackWhole) {
    const fs::path folder = freshFolder("ogg");
    const int rate = 22050, frames = 5512;
    writeOggTone(folder / "tone.ogg", rate, 1, frames, 441.0f, 0.5f);
    SoundRef tone = LoadSound((folder / "tone.ogg").string());
    ASSERT_TRUE(tone);
    EXPECT_EQ(tone->rate, rate);
    EXPECT_EQ(tone->channels, 1);
    EXPECT_EQ(tone->frames(), frames);
    // A 441 Hz tone crosses zero upward 441 times a second; its peak is near half scale.
    int upward = 0, peak = 0;
    for (int i = 1000; i < 5000; ++i) {
        if (tone->samples[i - 1] < 0 && tone->samples[i] >= 0) ++upward;
        peak = std::max(peak, std::abs(static_cast<int>(tone->samples[i])));
    }
    EXPECT_NEAR(upward, 4000 * 441 / rate, 1);
    EXPECT_NEAR(peak, 16384, 1600);

    writeOggTone(folder / "stereo.ogg", 44100, 2, 4410, 1000.0f, 0.25f);
    SoundRef stereo = LoadSound((folder / "stereo.ogg").string());
    ASSERT_TRUE(stereo);
    EXPECT_EQ(stereo->channels, 2);
    EXPECT_EQ(stereo->frames(), 4410);

    const BadFiles bad = makeBadFiles(folder, folder / "tone.ogg", ".ogg");
    EXPECT_FALSE(LoadSound(bad.missing.string()));
    EXPECT_FALSE(LoadSound(bad.empty.string()));
    SoundRef truncated = LoadSound(bad.truncated.string());
    if (truncated) {
        EXPECT_LT(truncated->frames(), frames);  // at most what was there
    }
    LoadSound(bad.corrupt.string());  // must not crash
}

TEST(PlatformLoaders, TracksOverTenMinutesAreRefused) {
    const fs::path folder = freshFolder("ogg-long");
    writeOggTone(folder / "long.ogg", 8000, 1, 8000 * 601, 0.0f, 0.0f);  // ten minutes and a second
    EXPECT_FALSE(LoadSound((folder / "long.ogg").string()));
}

TEST(PlatformLoaders, TwoAndFourBitGreyGlyphsAreReadPixelByPixel) {
    // Bitmap fonts of 2 and 4 bits a pixel, each with one row of four pixels at
    // 0, 1/3, 2/3 and full coverage, packed four and two to a byte.
    const fs::path folder = freshFolder("bdf");
    for (const auto& [bits, row] : {std::pair{2, "1B"}, std::pair{4, "05AF"}}) {
        const std::string bdf = std::string("STARTFONT 2.1\nFONT -test-grey-medium-r-normal--8-80-75-75-c-50-iso10646-1\n") +
                                "SIZE 8 75 75 " + std::to_string(bits) +
                                "\nFONTBOUNDINGBOX 4 1 0 0\nSTARTPROPERTIES 2\nFONT_ASCENT 7\nFONT_DESCENT 1\n"
                                "ENDPROPERTIES\nCHARS 1\nSTARTCHAR A\nENCODING 65\nSWIDTH 500 0\nDWIDTH 5 0\n"
                                "BBX 4 1 0 0\nBITMAP\n" + row + "\nENDCHAR\nENDFONT\n";
        const fs::path path = folder / ("grey" + std::to_string(bits) + ".bdf");
        writeBytes(path, std::vector<uint8_t>(bdf.begin(), bdf.end()));
        const FontRef font = LoadImageFont(path.string(), 200, 4);  // falls back to its one size, 8
        ASSERT_TRUE(font) << bits;
        const Glyph* glyph = fontGlyph(font, 'A');
        ASSERT_TRUE(glyph && glyph->image) << bits;
        ASSERT_EQ(glyph->image->width, 4);
        ASSERT_EQ(glyph->image->height, 1);
        for (int x = 0; x < 4; ++x) EXPECT_EQ(pixel(*glyph->image, x, 0)[3], 85 * x) << bits << " bits, pixel " << x;
    }
}

TEST(PlatformLoaders, TrueTypeGlyphsMatchFreeTypesMetrics) {
    FontRef font = LoadImageFont(dejaVu, 40, 4);
    ASSERT_TRUE(font) << "needs fonts-dejavu-core";

    // The same numbers straight from FreeType.
    FT_Library library;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face;
    ASSERT_EQ(FT_New_Face(library, dejaVu, 0, &face), 0);
    FT_Set_Pixel_Sizes(face, 0, 40);
    EXPECT_EQ(fontHeight(font), static_cast<int>(face->size->metrics.height / 64));
    const float ascender = face->size->metrics.ascender / 64.0f;
    for (unsigned char c : {'A', 'g', 'W', '1'}) {
        FT_Load_Char(face, c, FT_LOAD_RENDER);
        const Glyph* glyph = fontGlyph(font, c);
        ASSERT_TRUE(glyph && glyph->image) << c;
        EXPECT_EQ(glyph->advance, static_cast<int>(face->glyph->advance.x / 64)) << c;
        EXPECT_EQ(glyph->offsetX, static_cast<float>(face->glyph->bitmap_left)) << c;
        EXPECT_EQ(glyph->offsetY, ascender - face->glyph->bitmap_top) << c;
        EXPECT_EQ(glyph->image->width, static_cast<int>(face->glyph->bitmap.width)) << c;
        EXPECT_EQ(glyph->image->height, static_cast<int>(face->glyph->bitmap.rows)) << c;
        EXPECT_EQ(glyph->image->flags, FILTEREDIMAGE | MIPMAPPEDIMAGE);
        // White, with the coverage as alpha, anti-aliased edges included.
        bool sawEdge = false;
        for (int i = 0; i < glyph->image->width * glyph->image->height; ++i) {
            const uint8_t* p = &glyph->image->rgba[i * 4];
            ASSERT_EQ(p[0] + p[1] + p[2], 3 * 255);
            EXPECT_EQ(p[3], face->glyph->bitmap.buffer[(i / glyph->image->width) * face->glyph->bitmap.pitch +
                                                       i % glyph->image->width]);
            sawEdge |= p[3] > 0 && p[3] < 255;
        }
        EXPECT_TRUE(sawEdge) << c;
    }
    // The same glyph is made once.
    EXPECT_EQ(fontGlyph(font, 'A'), fontGlyph(font, 'A'));
    // A space has an advance but no picture; a control byte has no glyph at all.
    const Glyph* space = fontGlyph(font, ' ');
    ASSERT_TRUE(space);
    EXPECT_FALSE(space->image);
    EXPECT_GT(space->advance, 0);
    EXPECT_FALSE(fontGlyph(font, 1));
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

TEST(PlatformLoaders, UnsmoothFontsAreOneBitAndBadFontsAreNull) {
    FontRef sharp = LoadImageFont(dejaVu, 24, 0);
    ASSERT_TRUE(sharp);
    const Glyph* a = fontGlyph(sharp, 'a');
    ASSERT_TRUE(a && a->image);
    EXPECT_EQ(a->image->flags, 0);
    for (size_t i = 3; i < a->image->rgba.size(); i += 4)
        ASSERT_TRUE(a->image->rgba[i] == 0 || a->image->rgba[i] == 255);

    const fs::path folder = freshFolder("ttf");
    std::vector<uint8_t> bytes = readBytes(dejaVu);
    writeBytes(folder / "good.ttf", bytes);
    const BadFiles bad = makeBadFiles(folder, folder / "good.ttf", ".ttf");
    EXPECT_FALSE(LoadImageFont(bad.missing.string(), 20));
    EXPECT_FALSE(LoadImageFont(bad.empty.string(), 20));
    // Damaged fonts may open; drawing their glyphs must still not crash.
    for (const fs::path& path : {bad.truncated, bad.corrupt}) {
        FontRef damaged = LoadImageFont(path.string(), 20);
        if (damaged)
            for (int c = 32; c < 127; ++c) fontGlyph(damaged, static_cast<unsigned char>(c));
    }
    EXPECT_FALSE(LoadImageFont(dejaVu, 0));
    EXPECT_FALSE(fontGlyph(nullptr, 'A'));
    EXPECT_EQ(fontHeight(nullptr), 0);
}

TEST(PlatformLoaders, BuiltinFontHasCapitalsDigitsAndSigns) {
    const FontRef& font = builtinFont();
    ASSERT_TRUE(font);
    EXPECT_EQ(fontHeight(font), 9);
    const Glyph* t = fontGlyph(font, 'T');
    ASSERT_TRUE(t && t->image);
    EXPECT_EQ(t->advance, 6);
    EXPECT_EQ(t->image->width, 5);
    EXPECT_EQ(t->image->height, 7);
    // T: a full top bar, then only the middle column.
    for (int x = 0; x < 5; ++x) EXPECT_EQ(pixel(*t->image, x, 0)[3], 255);
    EXPECT_EQ(pixel(*t->image, 2, 4)[3], 255);
    EXPECT_EQ(pixel(*t->image, 1, 4)[3], 0);
    // Lower case borrows the capitals; every printable character exists.
    EXPECT_EQ(fontGlyph(font, 't')->image->rgba, t->image->rgba);
    for (int c = 32; c < 127; ++c) EXPECT_TRUE(fontGlyph(font, static_cast<unsigned char>(c))) << c;
    EXPECT_FALSE(fontGlyph(font, 200));
    EXPECT_FALSE(fontGlyph(font, ' ')->image);
}
