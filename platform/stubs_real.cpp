// PLACEHOLDER: temporary link stubs, replaced by the resource loaders and real backend.
#include "platform/platform.h"
#include "platform/headless.h"
void AppIcon(const ImageRef&) {}
ImageRef LoadImage(const std::string&, int) { return nullptr; }
void MidHandleImage(const ImageRef&) {}
int ImageWidth(const ImageRef&) { return 0; }
int ImageHeight(const ImageRef&) { return 0; }
FontRef LoadImageFont(const std::string&, int, int) { return nullptr; }
SoundRef LoadSound(const std::string&, int) { return nullptr; }
Channel CueSound(const SoundRef&) { return 0; }
void SetChannelVolume(Channel, float) {}
void ResumeChannel(Channel) {}
void StopChannel(Channel) {}
int ChannelPlaying(Channel) { return 0; }
#include "platform/font.h"
#include "platform/sdl_backend.h"
const Glyph* fontGlyph(const FontRef&, unsigned char) { return nullptr; }
int fontHeight(const FontRef&) { return 0; }
const FontRef& builtinFont() { static FontRef none; return none; }
bool installSdlBackend() { return false; }
std::unique_ptr<Renderer> createOffscreenRenderer() { return nullptr; }
