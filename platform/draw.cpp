// The drawing state and the shape operations. Every shape is transformed here and
// handed to the backend's renderer in call order; while the headless backend records,
// each call is also kept with the state it used.

#include <algorithm>
#include <limits>

#include "platform/draw_state.h"
#include "platform/headless_backend.h"
#include "platform/image.h"

namespace {

DrawState state;
FontRef imageFont;

Renderer* renderer() { return currentBackend().renderer(); }

// The transform of a point measured from the shape's handle, placed at (x, y).
Vertex place(float x, float y, float px, float py, float u, float v) {
    return {x + px * state.ix + py * state.iy, y + px * state.jx + py * state.jy, u, v};
}

void placeRectangle(Vertex (&corners)[4], float x, float y, float left, float top,
                    float right, float bottom) {
    corners[0] = place(x, y, left, top, 0, 0);
    corners[1] = place(x, y, right, top, 1, 0);
    corners[2] = place(x, y, right, bottom, 1, 1);
    corners[3] = place(x, y, left, bottom, 0, 1);
}

// Bursts call SetScale twice per particle, tens of thousands of times a frame, always
// at the same rotation: the rotation's cosine and sine are kept until it changes.
struct Turn {
    float degrees = std::numeric_limits<float>::quiet_NaN();  // never equal: computed on first use
    float cos = 1, sin = 0;
};
Turn turn;

void updateMatrix() {
    if (!(turn.degrees == state.rotation)) turn = {state.rotation, Cos(state.rotation), Sin(state.rotation)};
    const float c = turn.cos, s = turn.sin;
    state.ix = c * state.scaleX;
    state.iy = -s * state.scaleY;
    state.jx = s * state.scaleX;
    state.jy = c * state.scaleY;
}

void record(headless::DrawOp op, float x, float y, float x2 = 0, float y2 = 0,
            const Image* image = nullptr, const std::string* text = nullptr) {
    std::vector<headless::DrawCall>* calls = headless::recording();
    if (!calls) return;
    headless::DrawCall& call = calls->emplace_back();
    call.op = op;
    call.image = image;
    if (text) call.text = *text;
    call.x = x;
    call.y = y;
    call.x2 = x2;
    call.y2 = y2;
    call.r = state.r;
    call.g = state.g;
    call.b = state.b;
    call.alpha = state.alpha;
    call.blend = state.blend;
    call.rotation = state.rotation;
    call.scaleX = state.scaleX;
    call.scaleY = state.scaleY;
}

}  // namespace

const DrawState& drawState() { return state; }
const FontRef& currentImageFont() { return imageFont; }

void resetDrawState() {
    state = DrawState{};
    imageFont = nullptr;
}

void recordText(const std::string& text, float x, float y) {
    record(headless::DrawOp::Text, x, y, 0, 0, nullptr, &text);
}

void drawTexturedQuad(const Image& image, float x, float y, bool cullOffSurface) {
    Renderer* target = renderer();
    if (!target) return;
    Vertex corners[4];
    placeRectangle(corners, x, y, -image.handleX, -image.handleY,
                   -image.handleX + image.width, -image.handleY + image.height);
    if (cullOffSurface && whollyOffSurface(corners)) return;
    target->quad(&image, corners, state);
}

void SetColor(int r, int g, int b) {
    state.r = std::clamp(r, 0, 255);
    state.g = std::clamp(g, 0, 255);
    state.b = std::clamp(b, 0, 255);
}

void SetAlpha(float alpha) {
    // Written so that NaN ends as 0 instead of passing through both comparisons.
    state.alpha = alpha > 0.0f ? std::min(alpha, 1.0f) : 0.0f;
}

void SetBlend(int mode) { state.blend = std::clamp(mode, 1, 5); }

void SetRotation(float degrees) {
    state.rotation = degrees;
    updateMatrix();
}

void SetScale(float sx, float sy) {
    state.scaleX = sx;
    state.scaleY = sy;
    updateMatrix();
}

void SetImageFont(const FontRef& font) { imageFont = font; }

void Cls() {
    if (Renderer* target = renderer()) target->clear();
    record(headless::DrawOp::Cls, 0, 0);
}

void DrawImage(const ImageRef& image, float x, float y, int /*frame*/) {
    if (!image) return;  // a picture that failed to load draws nothing
    drawTexturedQuad(*image, x, y);
    record(headless::DrawOp::Image, x, y, 0, 0, image.get());
}

void DrawRect(float x, float y, float width, float height) {
    if (Renderer* target = renderer()) {
        Vertex corners[4];
        placeRectangle(corners, x, y, 0, 0, width, height);
        target->quad(nullptr, corners, state);
    }
    record(headless::DrawOp::Rect, x, y, width, height);
}

void DrawLine(float x1, float y1, float x2, float y2, bool drawLastPixel) {
    if (Renderer* target = renderer()) {
        Vertex end = place(x1, y1, x2 - x1, y2 - y1, 0, 0);
        target->line(x1, y1, end.x, end.y, drawLastPixel, state);
    }
    record(headless::DrawOp::Line, x1, y1, x2, y2);
}
