// What each framework backend (console or Win32) provides to the core; an executable links exactly one.
#pragma once

#include <cstdint>
#include <string>

namespace fw::backend {

// Message-box flags and results, Windows numbering.
constexpr uint32_t MB_OK = 0x00;
constexpr uint32_t MB_ICONERROR = 0x10;
constexpr uint32_t MB_ICONWARNING = 0x30;
constexpr uint32_t MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;

// Lets the message loop run once: dispatches every message waiting, then returns.
void ProcessMessages();
// Shows a modal message box (texts in the ANSI code page) and returns the button pressed.
int MessageBox(const std::string& text, const std::string& caption, uint32_t flags);

}  // namespace fw::backend
