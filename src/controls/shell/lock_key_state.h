#pragma once
// Toggle state of the lock keys. On X11 it is read from the server's XKB
// indicators (libX11 is loaded at run time, so nothing else needs it);
// elsewhere it is followed from the key presses the application sees.

namespace lumeno {

constexpr int VK_CAPITAL = 0x14;
constexpr int VK_NUMLOCK = 0x90;
constexpr int VK_SCROLL = 0x91;

bool LockKeyToggled(int virtualKey);
// A non-repeated press of a lock key seen by the application.
void LockKeyPressed(int virtualKey);
// Forgets the followed state (tests).
void ResetFollowedLockKeys();

} // namespace lumeno
