// The arena picture: a flat grey frame outside the walls and ten square grids that
// recede toward the screen centre, giving the black room its depth.
#include <algorithm>
#include <cmath>

#include "game/Game.h"

namespace {

constexpr int GridLayers = 10;
constexpr float GridSpacing = 1000.0f;  // world units between grid lines
// The frame is the fighters' grey darkened twice: Int(Int(175 * 0.8) * 0.8).
constexpr int FrameGrey = 112;
constexpr float LineBrightness = 1.5f;
// Share of the line colour in a line drawn over the frame (the grey takes the rest).
constexpr float TintShare = 1.0f - 0.8f;

// Each layer is this much farther than the next nearer one: ten layers reach 0.05.
const float DepthRatio = static_cast<float>(std::pow(0.05, 1.0 / GridLayers));

// The positions of grid lines along one axis: enough lines to span the arena plus one,
// spread symmetrically about its middle.
struct GridAxis {
    int lines;     // index of the last line (lines + 1 lines in all)
    float first;   // world position of line 0
};

GridAxis gridAxis(float low, float high) {
    const float extent = high - low;
    const int lines = static_cast<int>(std::ceil(extent / GridSpacing) + 1);
    return {lines, low - (lines * GridSpacing - extent) / 2};
}

struct LayerColours {
    int inside[3];    // over the black interior
    int overFrame[3]; // the same line over the grey frame
};

LayerColours layerColours(const PaletteRow& row, float layerZoom) {
    LayerColours colours{};
    for (int c = 0; c < 3; ++c) {
        colours.inside[c] = static_cast<int>(std::min(255.0f, row[c + 1] * LineBrightness * layerZoom));
        colours.overFrame[c] = static_cast<int>(FrameGrey + colours.inside[c] * TintShare);
    }
    return colours;
}

void setColour(const int (&rgb)[3]) { SetColor(rgb[0], rgb[1], rgb[2]); }

}  // namespace

void Game::drawArena(const PaletteRow& gridColour) const {
    SetBlend(1);
    // The arena's rectangle on the screen.
    const int L = nearestInt(projectX(arenaLeft, cameraX, zoom));
    const int T = nearestInt(projectY(arenaTop, cameraY, zoom));
    const int R = nearestInt(projectX(arenaRight, cameraX, zoom));
    const int B = nearestInt(projectY(arenaFloor, cameraY, zoom));

    // Fixed sizes: they cover the whole outside only while the right wall lies right of
    // the screen centre and the floor below it, which the camera keeps so.
    SetColor(FrameGrey, FrameGrey, FrameGrey);
    DrawRect(L, B, R - L, 384);
    DrawRect(R, 0, 512, 768);
    DrawRect(L, 0, R - L, T);
    DrawRect(0, 0, L, 768);

    const GridAxis across = gridAxis(arenaLeft, arenaRight);
    const GridAxis down = gridAxis(arenaTop, arenaFloor);
    for (int n = GridLayers - 1; n >= 0; --n) {
        // Deeper layers look smaller and slide less with the camera.
        const float depth = static_cast<float>(std::pow(DepthRatio, n));
        const float k = 1 / (1 / zoom + 1 / depth);
        const LayerColours colours = layerColours(gridColour, k);

        for (int i = 0; i <= across.lines; ++i) {
            const int X = nearestInt(projectX(across.first + i * GridSpacing, cameraX, k));
            if (!(0 < X && X < 1024)) continue;
            setColour(X > R || X < L ? colours.overFrame : colours.inside);
            DrawLine(X, T, X, B);
            setColour(colours.overFrame);
            DrawLine(X, -1, X, T - 1);
            DrawLine(X, B, X, 768);
        }
        for (int i = 0; i <= down.lines; ++i) {
            const int Y = nearestInt(projectY(down.first + i * GridSpacing, cameraY, k));
            if (!(0 < Y && Y < 768)) continue;
            setColour(Y > B || Y < T ? colours.overFrame : colours.inside);
            DrawLine(L, Y, R, Y);
            setColour(colours.overFrame);
            DrawLine(-1, Y, L - 1, Y);
            DrawLine(R, Y, 1024, Y);
        }
    }
    SetBlend(3);
}
