#include "platform/sdl_events.h"

#include "platform/input_state.h"
#include "platform/sdl_keymap.h"

namespace {

// Keys that type a character of their own, repeats included, as they do in a text box.
int typedCodeFor(SDL_Scancode scancode) {
    switch (scancode) {
    case SDL_SCANCODE_BACKSPACE: return 8;
    case SDL_SCANCODE_DELETE: return 127;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER: return 13;
    case SDL_SCANCODE_ESCAPE: return 27;
    default: return 0;
    }
}

// The text a key down types follows it as its own event: a repeat whose characters are
// not wanted marks the text that comes next.
bool textOfIgnoredRepeat = false;

}  // namespace

void feedSdlEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN: {
        const SDL_Scancode scancode = event.key.keysym.scancode;
        const int key = virtualKeyFor(scancode);
        textOfIgnoredRepeat = event.key.repeat && input::repeatIgnored(key);
        if (const int typed = typedCodeFor(scancode); typed && !textOfIgnoredRepeat) input::typeChar(typed);
        if (event.key.repeat) break;
        if (key) input::press(key);
        break;
    }
    case SDL_KEYUP:
        textOfIgnoredRepeat = false;
        if (const int key = virtualKeyFor(event.key.keysym.scancode)) input::release(key);
        break;
    case SDL_TEXTINPUT:
        // Only plain ASCII reaches the game's text; bytes of other characters are left out.
        for (const char* c = event.text.text; *c && !textOfIgnoredRepeat; ++c)
            if (*c >= 32 && *c <= 126) input::typeChar(*c);
        textOfIgnoredRepeat = false;
        break;
    case SDL_WINDOWEVENT:
        // Keys pressed while the focus is elsewhere belong to another window. Losing the
        // focus forgets every key and press; coming back lets go of every key again but
        // keeps the unread presses, among them the P that going away made (the window's
        // presence, platform/window_presence.h), so the pause it asked for still comes.
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            input::flush();
        else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
            input::releaseAll(input::AllSources);
        else if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            input::requestClose();
        break;
    case SDL_QUIT:
        input::requestClose();
        break;
    default:
        break;
    }
}

bool isFullscreenKey(const SDL_Event& event) {
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) return false;
    const SDL_Scancode scancode = event.key.keysym.scancode;
    return scancode == SDL_SCANCODE_F11 ||
           (scancode == SDL_SCANCODE_RETURN && (event.key.keysym.mod & KMOD_ALT) != 0);
}
