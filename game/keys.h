#pragma once
// Windows virtual-key codes of the keys the shell and the menus read.

namespace key {

constexpr int Backspace = 8;
constexpr int Enter = 13;
constexpr int Esc = 27;
constexpr int Space = 32;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Control = 17;
constexpr int V = 86;
constexpr int F3 = 114;
constexpr int P = 80;
constexpr int Delete = 127;  // as a typed character

}  // namespace key
