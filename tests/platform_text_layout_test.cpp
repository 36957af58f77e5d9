// Text layout: glyph images placed at the pen plus the transformed offset (truncated
// to whole pixels), the pen moved by the transformed advance, missing characters
// skipped; TextWidth and TextHeight at scale 1. A hand-made font gives exact numbers.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/image_font.h"
#include "platform/platform.h"

namespace {

// 'A': a 4 x 6 glyph at offset (1.5, 2.25), advance 7. 'B': blank, advance 3.
// 'W': 2 x 2 at (0, 0), advance 9. Every other character is missing.
class TestGlyphs final : public GlyphSource {
public:
    bool render(unsigned char c, GlyphBitmap& out) override {
        switch (c) {
            case 'A': return fill(out, 4, 6, 1.5f, 2.25f, 7);
            case 'B': return fill(out, 0, 0, 0, 0, 3);
            case 'W': return fill(out, 2, 2, 0, 0, 9);
            default: return false;
        }
    }

private:
    static bool fill(GlyphBitmap& out, int w, int h, float ox, float oy, int advance) {
        out.width = w;
        out.height = h;
        out.coverage.assign(static_cast<size_t>(w) * h, 255);
        out.offsetX = ox;
        out.offsetY = oy;
        out.advance = advance;
        return true;
    }
};

struct Placed {
    const Image* image;
    Vertex corners[4];
};

class QuadLog final : public Renderer {
public:
    std::vector<Placed> quads;
    void clear() override {}
    void quad(const Image* image, const Vertex (&corners)[4], const DrawState&) override {
        Placed p{image, {}};
        for (int i = 0; i < 4; ++i) p.corners[i] = corners[i];
        quads.push_back(p);
    }
    void line(float, float, float, float, bool, const DrawState&) override {}
    void finishFrame() override {}
    bool readPixels(unsigned char*) override { return false; }
};

class QuadBackend final : public Backend {
public:
    explicit QuadBackend(QuadLog& log) : log_(log) {}
    bool openDisplay(int, int, bool, int) override { return true; }
    void setTitle(const std::string&) override {}
    void setIcon(const Image&) override {}
    void hideMouse() override {}
    void pollEvents() override {}
    void present() override {}
    double milliseconds() override { return 0; }
    void sleep(int) override {}
    Renderer* renderer() override { return &log_; }

private:
    QuadLog& log_;
};

class PlatformTextLayout : public ::testing::Test {
protected:
    void SetUp() override {
        headless::start();
        installBackend(std::make_unique<QuadBackend>(log));
        font = makeImageFont(std::make_unique<TestGlyphs>(), 11, 0);
        SetImageFont(font);
    }
    void TearDown() override { headless::start(); }

    QuadLog log;
    FontRef font;
};

void expectAt(const Vertex& v, float x, float y) {
    EXPECT_NEAR(v.x, x, 1e-4f);
    EXPECT_NEAR(v.y, y, 1e-4f);
}

}  // namespace

TEST_F(PlatformTextLayout, PenAdvancesAndOffsetsTruncateAtScale) {
    SetScale(2, 2);
    DrawText("AxBA", 10.7f, 20.2f);
    ASSERT_EQ(log.quads.size(), 2u);  // 'x' has no glyph, 'B' has no image
    // First A: (int)(10.7 + 3) = 13, (int)(20.2 + 4.5) = 24; the glyph drawn scaled.
    expectAt(log.quads[0].corners[0], 13, 24);
    expectAt(log.quads[0].corners[2], 21, 36);
    // Pen: 10.7 + 14 (A) + 6 (B) = 30.7; second A at (int)33.7, (int)24.7.
    expectAt(log.quads[1].corners[0], 33, 24);
    EXPECT_EQ(log.quads[0].image, log.quads[1].image);
    EXPECT_NE(log.quads[0].image, nullptr);
}

TEST_F(PlatformTextLayout, TruncationIsTowardZeroLeftOfTheScreen) {
    DrawText("A", -2.5f, -0.5f);
    ASSERT_EQ(log.quads.size(), 1u);
    // (int)(-2.5 + 1.5) = -1, (int)(-0.5 + 2.25) = 1.
    expectAt(log.quads[0].corners[0], -1, 1);
    log.quads.clear();
    DrawText("A", -3.6f, -4.0f);
    // (int)(-2.1) = -2, (int)(-1.75) = -1, not -3 and -2.
    expectAt(log.quads[0].corners[0], -2, -1);
}

TEST_F(PlatformTextLayout, GlyphsWhollyOffTheSurfaceAreNotDrawn) {
    // Pens at 1000, 1007, ...: the glyphs at 1001, 1008, 1015 and 1022 reach the
    // surface, the 996 after them lie past its right edge.
    DrawText(std::string(1000, 'A'), 1000, 10);
    ASSERT_EQ(log.quads.size(), 4u);
    expectAt(log.quads[3].corners[0], 1022, 12);
    log.quads.clear();
    DrawText("AA", 10, -20);  // rows -17 to -11: above the surface
    DrawText("AA", 10, 768);
    EXPECT_TRUE(log.quads.empty());
    EXPECT_EQ(TextWidth(std::string(1000, 'A')), 7000);  // measuring is unchanged
}

TEST_F(PlatformTextLayout, RotatedTextRunsDownward) {
    SetRotation(90);
    DrawText("AA", 100, 100);
    ASSERT_EQ(log.quads.size(), 2u);
    // ix = 0, iy = -1, jx = 1, jy = 0: offset (1.5, 2.25) lands at (-2.25, +1.5).
    expectAt(log.quads[0].corners[0], 97, 101);
    expectAt(log.quads[1].corners[0], 97, 108);  // the pen moved 7 down
    // The glyph's own corners turn with it: its right edge points down.
    expectAt(log.quads[0].corners[1], 97, 105);
}

TEST_F(PlatformTextLayout, WidthSumsAdvancesAtScaleOneAndHeightIsTheFonts) {
    SetScale(0.1875f, 0.1875f);
    EXPECT_EQ(TextWidth("AxBA"), 17);
    EXPECT_EQ(TextWidth(""), 0);
    EXPECT_EQ(TextWidth("WW"), 18);
    EXPECT_EQ(TextHeight(), 11);
}

TEST_F(PlatformTextLayout, NullFontSelectsTheBuiltInOne) {
    SetImageFont(nullptr);
    EXPECT_EQ(TextHeight(), fontHeight(builtinFont()));
    int expected = 0;
    for (char c : std::string("Hi 42")) {
        const Glyph* glyph = fontGlyph(builtinFont(), static_cast<unsigned char>(c));
        ASSERT_NE(glyph, nullptr) << c;
        expected += glyph->advance;
    }
    EXPECT_EQ(TextWidth("Hi 42"), expected);
    EXPECT_GT(expected, 0);
    DrawText("Hi", 0, 0);
    EXPECT_EQ(log.quads.size(), 2u);
}

TEST(PlatformTextRecording, DrawTextIsOneRecordedCall) {
    headless::start();
    SetImageFont(makeImageFont(std::make_unique<TestGlyphs>(), 11, 0));
    SetColor(10, 20, 30);
    SetScale(0.5f, 0.5f);
    DrawText("AAAA", 3, 4);
    ASSERT_EQ(headless::currentFrame().size(), 1u);
    const headless::DrawCall& call = headless::currentFrame()[0];
    EXPECT_EQ(call.op, headless::DrawOp::Text);
    EXPECT_EQ(call.text, "AAAA");
    EXPECT_EQ(call.r, 10);
    EXPECT_EQ(call.scaleX, 0.5f);
    headless::start();
}
