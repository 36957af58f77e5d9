// Headless runs that also render offscreen: the presented frame can be read back
// pixel by pixel and saved as a PNG.

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/headless.h"
#include "platform/platform.h"

namespace {

class PlatformOffscreen : public ::testing::Test {
protected:
    void SetUp() override {
        headless::start({.offscreenGL = true});
        ASSERT_TRUE(Graphics(1024, 768));
        unsigned char rgba[4];
        Cls();
        Flip();
        if (!headless::readPixel(0, 0, rgba)) GTEST_SKIP() << "no offscreen OpenGL here";
    }
    void TearDown() override { headless::start(); }
};

std::vector<unsigned char> pixel(int x, int y) {
    std::vector<unsigned char> rgba(4);
    EXPECT_TRUE(headless::readPixel(x, y, rgba.data()));
    return rgba;
}

using RGBA = std::vector<unsigned char>;

}  // namespace

TEST_F(PlatformOffscreen, PresentedFrameReadsBack) {
    Cls();
    SetColor(255, 0, 0);
    DrawRect(10, 20, 30, 40);
    Flip();
    EXPECT_EQ(pixel(15, 25), (RGBA{255, 0, 0, 255}));
    EXPECT_EQ(pixel(5, 5)[0], 0);
    EXPECT_EQ(pixel(45, 25)[0], 0);  // right of the rectangle
    // Drawing the next frame does not change what was presented.
    Cls();
    SetColor(0, 0, 255);
    DrawRect(0, 0, 1024, 768);
    EXPECT_EQ(pixel(15, 25), (RGBA{255, 0, 0, 255}));
    unsigned char rgba[4];
    EXPECT_FALSE(headless::readPixel(1024, 0, rgba));
    EXPECT_FALSE(headless::readPixel(0, -1, rgba));
}

TEST_F(PlatformOffscreen, SavedFrameIsA1024By768Png) {
    Cls();
    SetColor(0, 255, 0);
    DrawRect(0, 0, 2, 1);
    Flip();
    std::string path = (std::filesystem::temp_directory_path() /
                        ("tumblebout_shot_" + std::to_string(getpid()) + ".png")).string();
    ASSERT_TRUE(headless::saveLastFrame(path));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    EXPECT_EQ(image.width, 1024u);
    EXPECT_EQ(image.height, 768u);
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
    EXPECT_EQ(RGBA(pixels.begin(), pixels.begin() + 4), (RGBA{0, 255, 0, 255}));
    EXPECT_EQ(RGBA(pixels.begin() + 8, pixels.begin() + 11), (RGBA{0, 0, 0}));
    std::remove(path.c_str());
    EXPECT_FALSE(headless::saveLastFrame("/no/such/folder/shot.png"));
}
