// PLACEHOLDER: temporary link stubs, replaced by the platform core.
#include "platform/platform.h"
#include "platform/headless.h"
void AppTitle(const std::string&) {}
bool Graphics(int, int, int, int, int) { return true; }
void Cls() {}
void Flip(int) {}
void HideMouse() {}
int AppTerminate() { return 0; }
void End() { throw ProgramEnd{0}; }
void SetColor(int, int, int) {}
void SetAlpha(float) {}
void SetBlend(int) {}
void SetRotation(float) {}
void SetScale(float, float) {}
void SetImageFont(const FontRef&) {}
void DrawImage(const ImageRef&, float, float, int) {}
void DrawRect(float, float, float, float) {}
void DrawLine(float, float, float, float, bool) {}
void DrawText(const std::string&, float, float) {}
void AutoImageFlags(int) {}
int KeyDown(int) { return 0; }
int KeyHit(int) { return 0; }
int GetChar() { return 0; }
void FlushKeys() {}
int MilliSecs() { return 0; }
void Delay(int) {}
void SeedRnd(int) {}
float RndFloat() { return 0; }
double Rnd(double a, double) { return a; }
int Rand(int a, int) { return a; }
float Sin(float) { return 0; }
float Cos(float) { return 1; }
float ATan2(float, float) { return 0; }
std::string String(int64_t v) { return std::to_string(v); }
std::string Upper(const std::string& t) { return t; }
int StringToInt(const std::string&) { return 0; }
int64_t StringToLong(const std::string&) { return 0; }
StreamRef ReadFile(const std::string&) { return nullptr; }
StreamRef WriteFile(const std::string&) { return nullptr; }
int CreateFile(const std::string&) { return 0; }
std::string ReadLine(Stream&) { return {}; }
void WriteLine(Stream&, const std::string&) {}
int Eof(Stream&) { return 1; }
void CloseStream(StreamRef& s) { s.reset(); }
bool ReplaceFileAtomically(const std::string&, const std::string&) { return false; }
namespace headless {
void start(const Options&) {}
void stop() {}
void schedule(const ScriptEvent&) {}
void pressKey(int) {}
void releaseKey(int) {}
void typeText(const std::string&) {}
void requestClose() {}
int presentedFrames() { return 0; }
void setFrameHook(std::function<void(int)>) {}
static std::vector<DrawCall> none;
const std::vector<DrawCall>& currentFrame() { return none; }
const std::vector<DrawCall>& lastFrame() { return none; }
bool saveLastFrame(const std::string&) { return false; }
bool readPixel(int, int, unsigned char*) { return false; }
}
int TextWidth(const std::string&) { return 0; }
int TextHeight() { return 0; }
