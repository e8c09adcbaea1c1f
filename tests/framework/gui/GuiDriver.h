// Drives real windows in GUI tests: the real pointer is moved there, mouse messages are posted to the
// window, messages are run, and pixels are read back from the window.
#pragma once

#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/win32/Win.h"

namespace guitest {

HWND WindowOf(fw::TWinControl& control);
// Runs every waiting message, a few rounds so that messages posted by handlers are run too.
void Pump();
// Runs messages until the window is the active one (a new window becomes active a little later).
void WaitActive(HWND window);
void MoveTo(HWND window, int x, int y);
void Press(HWND window, int x, int y, fw::TMouseButton button = fw::mbLeft);
void Release(HWND window, int x, int y, fw::TMouseButton button = fw::mbLeft);
void Click(HWND window, int x, int y);
// Puts the pointer there and posts a whole click without running messages (for a modal loop to run).
void PostClick(HWND window, int x, int y);
// Posts a real shell drop of these files (UTF-8 paths, sent wide in the shell's own layout) to the window.
void PostDrop(HWND window, const std::vector<std::string>& files);
// The colour at a client point, 0x00BBGGRR.
fw::TColor Pixel(HWND window, int x, int y);
// The bounding box of the pixels of one colour inside a client rectangle (empty when there are none).
fw::TRect FindColor(HWND window, const fw::TRect& area, fw::TColor color);

// Saves the window as the screen shows it (frame included) to a 24-bit BMP file.
void SaveWindow(HWND window, const std::string& path);

}  // namespace guitest
