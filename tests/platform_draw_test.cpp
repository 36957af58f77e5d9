// The drawing state and the shapes handed to the renderer: clamps, the rotation and
// scale matrix, image corners about the handle, rectangles, lines, Cls and Flip order,
// through a test renderer installed in a test backend.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/image.h"
#include "platform/platform.h"

namespace {

struct Shape {
    std::string kind;  // "clear", "quad", "line", "finish"
    const Image* image = nullptr;
    Vertex corners[4]{};
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool lastPixel = false;
    DrawState state{};
};

Shape event(const std::string& kind) {
    Shape s;
    s.kind = kind;
    return s;
}

class TestRenderer final : public Renderer {
public:
    explicit TestRenderer(std::vector<Shape>& log) : log_(log) {}
    void clear() override { log_.push_back(event("clear")); }
    void quad(const Image* image, const Vertex (&corners)[4], const DrawState& state) override {
        Shape s = event("quad");
        s.image = image;
        s.state = state;
        for (int i = 0; i < 4; ++i) s.corners[i] = corners[i];
        log_.push_back(s);
    }
    void line(float x1, float y1, float x2, float y2, bool last, const DrawState& state) override {
        Shape s = event("line");
        s.x1 = x1, s.y1 = y1, s.x2 = x2, s.y2 = y2;
        s.lastPixel = last;
        s.state = state;
        log_.push_back(s);
    }
    void finishFrame() override { log_.push_back(event("finish")); }
    bool readPixels(unsigned char*) override { return false; }

private:
    std::vector<Shape>& log_;
};

class TestBackend final : public Backend {
public:
    TestBackend(std::vector<Shape>& log, std::vector<std::string>& calls)
        : renderer_(log), calls_(calls) {}
    bool openDisplay(int w, int h, bool fullscreen, int hertz) override {
        calls_.push_back("open " + std::to_string(w) + "x" + std::to_string(h) +
                         (fullscreen ? " full " : " window ") + std::to_string(hertz));
        return true;
    }
    void setTitle(const std::string& title) override { calls_.push_back("title " + title); }
    void setIcon(const Image&) override { calls_.push_back("icon"); }
    void hideMouse() override { calls_.push_back("hide mouse"); }
    void pollEvents() override {}
    void present() override { calls_.push_back("present"); }
    double milliseconds() override { return 0; }
    void sleep(int) override {}
    Renderer* renderer() override { return &renderer_; }

private:
    TestRenderer renderer_;
    std::vector<std::string>& calls_;
};

class PlatformDraw : public ::testing::Test {
protected:
    void SetUp() override {
        headless::start();
        installBackend(std::make_unique<TestBackend>(shapes, calls));
        ASSERT_TRUE(Graphics(1024, 768));
        shapes.clear();
        calls.clear();
    }
    void TearDown() override { headless::start(); }

    static std::shared_ptr<Image> picture(int w, int h) {
        auto image = std::make_shared<Image>();
        image->width = w;
        image->height = h;
        image->rgba.assign(static_cast<size_t>(w) * h * 4, 255);
        return image;
    }

    std::vector<Shape> shapes;
    std::vector<std::string> calls;
};

void expectCorner(const Vertex& v, float x, float y, float u, float vv) {
    EXPECT_NEAR(v.x, x, 1e-3f);
    EXPECT_NEAR(v.y, y, 1e-3f);
    EXPECT_EQ(v.u, u);
    EXPECT_EQ(v.v, vv);
}

}  // namespace

TEST_F(PlatformDraw, ColourAndAlphaAreClamped) {
    SetColor(300, -5, 128);
    SetAlpha(1.5f);
    DrawRect(0, 0, 1, 1);
    SetAlpha(-3);
    SetBlend(9);
    DrawRect(0, 0, 1, 1);
    SetBlend(0);
    DrawRect(0, 0, 1, 1);
    ASSERT_EQ(shapes.size(), 3u);
    EXPECT_EQ(shapes[0].state.r, 255);
    EXPECT_EQ(shapes[0].state.g, 0);
    EXPECT_EQ(shapes[0].state.b, 128);
    EXPECT_EQ(shapes[0].state.alpha, 1.0f);
    EXPECT_EQ(shapes[1].state.alpha, 0.0f);
    EXPECT_EQ(shapes[1].state.blend, 5);
    EXPECT_EQ(shapes[2].state.blend, 1);
}

TEST_F(PlatformDraw, MatrixFromRotationAndScale) {
    SetRotation(30);
    SetScale(2, 3);
    DrawRect(0, 0, 1, 1);
    const DrawState& s = shapes.at(0).state;
    float c = static_cast<float>(std::cos(M_PI / 6)), sn = 0.5f;
    EXPECT_FLOAT_EQ(s.ix, c * 2);
    EXPECT_FLOAT_EQ(s.iy, -sn * 3);
    EXPECT_FLOAT_EQ(s.jx, sn * 2);
    EXPECT_FLOAT_EQ(s.jy, c * 3);
    EXPECT_EQ(s.rotation, 30.0f);
    EXPECT_EQ(s.scaleX, 2.0f);
    EXPECT_EQ(s.scaleY, 3.0f);
}

TEST_F(PlatformDraw, GraphicsOpensTheDisplayAndResetsTheState) {
    SetColor(1, 2, 3);
    SetAlpha(0.5f);
    SetBlend(3);
    SetRotation(10);
    SetScale(4, 4);
    ASSERT_TRUE(Graphics(1024, 768, 32, 60, 0));
    DrawRect(0, 0, 1, 1);
    EXPECT_EQ(calls.at(0), "open 1024x768 full 60");
    ASSERT_EQ(shapes.size(), 3u);  // clear, finish, then the rectangle
    EXPECT_EQ(shapes[0].kind, "clear");
    EXPECT_EQ(shapes[1].kind, "finish");
    const DrawState& s = shapes[2].state;
    EXPECT_EQ(shapes[2].kind, "quad");
    EXPECT_EQ(s.r + s.g + s.b, 765);
    EXPECT_EQ(s.alpha, 1.0f);
    EXPECT_EQ(s.blend, 1);
    EXPECT_EQ(s.rotation, 0.0f);
    EXPECT_EQ(s.ix, 1.0f);
    EXPECT_EQ(s.iy, 0.0f);
    EXPECT_EQ(s.jx, 0.0f);
    EXPECT_EQ(s.jy, 1.0f);
}

TEST_F(PlatformDraw, RotatedScaledMidHandledImageCorners) {
    auto image = picture(40, 20);
    image->handleX = 20;
    image->handleY = 10;
    SetRotation(90);
    SetScale(2, 0.5f);
    DrawImage(image, 100, 200);
    ASSERT_EQ(shapes.size(), 1u);
    const Shape& q = shapes[0];
    EXPECT_EQ(q.image, image.get());
    // ix = 0, iy = -0.5, jx = 2, jy = 0: (px, py) -> (100 - 0.5 py, 200 + 2 px).
    expectCorner(q.corners[0], 105, 160, 0, 0);  // (-20, -10)
    expectCorner(q.corners[1], 105, 240, 1, 0);  // (20, -10)
    expectCorner(q.corners[2], 95, 240, 1, 1);   // (20, 10)
    expectCorner(q.corners[3], 95, 160, 0, 1);   // (-20, 10)
}

TEST_F(PlatformDraw, TopLeftHandledImageAt45Degrees) {
    auto image = picture(10, 10);
    SetRotation(45);
    DrawImage(image, 0, 0);
    const Shape& q = shapes.at(0);
    float h = static_cast<float>(std::sqrt(0.5) * 10);
    expectCorner(q.corners[0], 0, 0, 0, 0);
    expectCorner(q.corners[1], h, h, 1, 0);
    expectCorner(q.corners[2], 0, 2 * h, 1, 1);
    expectCorner(q.corners[3], -h, h, 0, 1);
}

TEST_F(PlatformDraw, RectangleIsUntexturedFromItsTopLeft) {
    SetScale(2, 3);
    DrawRect(10, 20, 5, 4);
    const Shape& q = shapes.at(0);
    EXPECT_EQ(q.image, nullptr);
    expectCorner(q.corners[0], 10, 20, 0, 0);
    expectCorner(q.corners[1], 20, 20, 1, 0);
    expectCorner(q.corners[2], 20, 32, 1, 1);
    expectCorner(q.corners[3], 10, 32, 0, 1);
}

TEST_F(PlatformDraw, LineEndIsTheTransformedDifference) {
    DrawLine(10, 10, 20, 15, false);
    SetScale(2, 2);
    DrawLine(10, 10, 20, 15);
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(shapes[0].x2, 20);
    EXPECT_EQ(shapes[0].y2, 15);
    EXPECT_FALSE(shapes[0].lastPixel);
    EXPECT_EQ(shapes[1].x1, 10);
    EXPECT_EQ(shapes[1].y1, 10);
    EXPECT_EQ(shapes[1].x2, 30);
    EXPECT_EQ(shapes[1].y2, 20);
    EXPECT_TRUE(shapes[1].lastPixel);
}

TEST_F(PlatformDraw, FlipFinishesPresentsThenRunsTheHookOnAnyBackend) {
    std::vector<std::string> order;
    headless::setFrameHook([&](int frame) {
        order.push_back("hook " + std::to_string(frame) + " after " + calls.back() + " " +
                        shapes.back().kind);
    });
    Cls();
    Flip();
    Flip();
    EXPECT_EQ(shapes[0].kind, "clear");
    EXPECT_EQ(shapes[1].kind, "finish");
    EXPECT_EQ(order, (std::vector<std::string>{"hook 1 after present finish",
                                               "hook 2 after present finish"}));
}

TEST_F(PlatformDraw, TitleAndMouseGoToTheBackend) {
    AppTitle("Tumblebout");
    HideMouse();
    EXPECT_EQ(calls, (std::vector<std::string>{"title Tumblebout", "hide mouse"}));
}

TEST_F(PlatformDraw, IconsOver512PixelsASideAreIgnored) {
    AppIcon(picture(513, 16));  // X ends the program over a 2048 x 2048 icon
    AppIcon(picture(16, 513));
    EXPECT_TRUE(calls.empty());
    AppIcon(picture(512, 512));
    EXPECT_EQ(calls, (std::vector<std::string>{"icon"}));
}

TEST_F(PlatformDraw, NoRecordingUnderAnotherBackend) {
    DrawRect(0, 0, 1, 1);
    EXPECT_TRUE(headless::currentFrame().empty());
}
