#pragma once
// The game's only door to the machine: display and drawing state, images, fonts,
// sounds and channels, keyboard, clock, random numbers, degree trigonometry and
// text files. The game calls these free functions and nothing else; a backend
// (SDL/OpenGL for play, headless for tests and tools) sits behind them.
//
// Names follow the classic immediate-mode 2D API the game was designed on:
// UpperCamelCase verbs, one global drawing state, handles owned by the layer.

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

struct Image;      // decoded picture; becomes a texture on first draw
struct ImageFont;  // TrueType face rasterised at one pixel size, glyphs on demand
struct Sound;      // whole decoded sample
struct Stream;     // open text file

using ImageRef = std::shared_ptr<Image>;
using FontRef = std::shared_ptr<ImageFont>;
using SoundRef = std::shared_ptr<Sound>;
using StreamRef = std::shared_ptr<Stream>;
using Channel = int;  // 0 = no channel; stale handles are ignored

// Thrown by End(): the program unwinds to its entry point (or to the test or tool
// that ran it) instead of calling exit() from deep inside a screen.
struct ProgramEnd {
    int exitCode = 0;
};

// ---- Display and frame -----------------------------------------------------
void AppTitle(const std::string& title);
void AppIcon(const ImageRef& image);  // window icon (real backend only); over 512 pixels a side: ignored
// Opens the 1024 x 768 surface: depth 0 = window, 32 = full screen. Returns false
// when no window or GL context could be made.
bool Graphics(int width, int height, int depth = 0, int hertz = 60, int flags = 0);
void Cls();
void Flip(int sync = -1);  // -1: paced to the hertz given to Graphics
void HideMouse();          // the pointer stays hidden over the window until ShowMouse
void ShowMouse();          // shown again, except in full screen, which never shows it
int AppTerminate();        // 1 once after a close request, else 0
int AppSuspended();        // 1 while the window is without the focus or out of sight
// Off (the default): a Flip while the window is out of sight sleeps until it shows
// again, as nobody can see the frames. On: Flip keeps its 60 Hz pace out of sight, for
// a game that must go on (an online match: the other side waits for none of it).
void KeepRunningOutOfSight(bool on);
[[noreturn]] void End();   // throws ProgramEnd{0}

// ---- Drawing state -----------------------------------------------------------
void SetColor(int r, int g, int b);  // each clamped to 0..255
void SetAlpha(float alpha);          // clamped to 0..1
void SetBlend(int mode);             // 1 mask, 2 solid, 3 alpha, 4 light, 5 shade
void SetRotation(float degrees);
void SetScale(float sx, float sy);
void SetImageFont(const FontRef& font);  // null selects the built-in font

// ---- Drawing -----------------------------------------------------------------
void DrawImage(const ImageRef& image, float x, float y, int frame = 0);
void DrawRect(float x, float y, float width, float height);
void DrawLine(float x1, float y1, float x2, float y2, bool drawLastPixel = true);
void DrawText(const std::string& text, float x, float y);
int TextWidth(const std::string& text);
int TextHeight();

// ---- Images and fonts ----------------------------------------------------------
constexpr int MASKEDIMAGE = 1, FILTEREDIMAGE = 2, MIPMAPPEDIMAGE = 4;
void AutoImageFlags(int flags);
ImageRef LoadImage(const std::string& path, int flags = -1);  // null if unreadable
void MidHandleImage(const ImageRef& image);
int ImageWidth(const ImageRef& image);
int ImageHeight(const ImageRef& image);
FontRef LoadImageFont(const std::string& path, int size, int style = 4);

// ---- Sound -------------------------------------------------------------------
SoundRef LoadSound(const std::string& path, int flags = 0);  // WAV or Ogg Vorbis
Channel CueSound(const SoundRef& sound);  // paused at its start; 0 for a null sound
void SetChannelVolume(Channel channel, float volume);
void ResumeChannel(Channel channel);
void StopChannel(Channel channel);
int ChannelPlaying(Channel channel);

// ---- Keyboard (Windows virtual-key codes) ---------------------------------------
int KeyDown(int key);
int KeyHit(int key);
int GetChar();
// From now on the auto-repeat of every key held now types nothing, until the key is
// let go: a key held into a text prompt does not fill it.
void IgnoreHeldKeyRepeats();
// The desktop's clipboard: text put there for other programs, and text taken from it
// ("" when it holds none).
void SetClipboardText(const std::string& text);
std::string ClipboardText();
void FlushKeys();

// ---- Time and random numbers ------------------------------------------------------
int MilliSecs();
void Delay(int ms);
void SeedRnd(int seed);
int RndState();  // the generator's state; SeedRnd(RndState()) puts it back exactly
float RndFloat();
double Rnd(double a, double b);
int Rand(int a, int b);

// ---- Mathematics in degrees -------------------------------------------------------
float Sin(float degrees);
float Cos(float degrees);
float ATan2(float y, float x);  // degrees in -180..180
inline float Sqr(float v) { return std::sqrt(v); }

// ---- Text -----------------------------------------------------------------------
std::string String(int64_t value);
std::string Upper(const std::string& text);  // a..z to A..Z, nothing else
int StringToInt(const std::string& text);
int64_t StringToLong(const std::string& text);

// ---- Text files ---------------------------------------------------------------------
StreamRef ReadFile(const std::string& path);
StreamRef WriteFile(const std::string& path);
int CreateFile(const std::string& path);
// The whole line is read; only its first `keep` bytes are kept.
std::string ReadLine(Stream& stream, std::size_t keep = std::string::npos);
void WriteLine(Stream& stream, const std::string& text);
int Eof(Stream& stream);
void CloseStream(StreamRef& stream);
// True only when nothing at all has this name: a file that exists but cannot be
// read (a FIFO, a file without read permission) is not missing.
bool FileMissing(const std::string& path);
// Writes the whole content to a temporary file beside `path`, then renames it over
// `path`, so a crash or a full disk mid-write leaves the old file whole. Where no
// temporary file can be made (a read-only folder), writes `path` in place instead.
bool ReplaceFileAtomically(const std::string& path, const std::string& content);
