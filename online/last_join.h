#pragma once
// The last code or address this player joined, kept in the per-user folder (the
// working folder once the game has entered it) so the JOIN screen can offer it again.

#include <string>

// "" when nothing was kept, or what was kept is not one short printable line.
std::string lastJoin();
// Keeps `target` (a code, or an address with its port) for next time; quietly
// keeps nothing when the folder cannot be written.
void rememberJoin(const std::string& target);
