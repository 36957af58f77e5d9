#include "frontend/after_match_notice.h"

#include <algorithm>

#include "frontend/menu_drawing.h"
#include "game/Game.h"
#include "game/elapsed.h"

namespace {

constexpr float NoticeScale = 0.12f;  // letters about 24 pixels high
constexpr float MaxWidth = 984;       // pixels the line may take across
constexpr float BottomMargin = 12;

struct Notice {
    const Game* game = nullptr;  // null: nothing to show
    std::string text;
    int since = 0;  // MilliSecs when it was shown
};
Notice notice;

}  // namespace

void showAfterMatchNotice(const Game& game, const std::string& text) { notice = {&game, text, MilliSecs()}; }

void drawAfterMatchNotice() {
    if (notice.game == nullptr) return;
    if (millisecondsSince(notice.since) >= AfterMatchNoticeMs) {
        notice = {};
        return;
    }
    const int width = TextWidth(notice.text);
    const float scale = width > 0 ? std::min(NoticeScale, MaxWidth / static_cast<float>(width)) : NoticeScale;
    SetAlpha(1);
    useTitleColour(*notice.game);
    drawCentred(notice.text, 768 - BottomMargin - static_cast<float>(TextHeight()) * scale, scale);
    // The next frame starts as a match frame ends: white at scale 1.
    SetColor(255, 255, 255);
    SetScale(1, 1);
}
