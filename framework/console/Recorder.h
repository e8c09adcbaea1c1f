// The console backend's canvas: every drawing call is recorded, in the control's coordinates.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Graphics.h"

namespace fw::console {

struct TDrawCall {
    enum TKind { dcFillRect, dcFrameRect, dcTextOut };
    const TControl* Control = nullptr;
    TKind Kind = dcFillRect;
    TRect Rect;  // fill and frame
    TPoint At;   // text
    std::string Text;
    TColor Color = 0;  // RGB: the fill, the frame or the text colour
    TFontStyles Style = 0;
};

// Every call recorded since the last ClearDrawLog(), in order.
std::vector<TDrawCall>& DrawLog();
void ClearDrawLog();

// Metrics the console measures text with: every character is a fixed width so positions are predictable.
int CharWidth(const TFont& font);
int LineHeight(const TFont& font);

// Texts for the terminal: UTF-8 stays as it is, anything else is read as Windows-1251.
std::string ToConsole(const std::string& text);

// Where memo lines go, already in UTF-8; unset, each is printed on stdout. The command line routes
// them through its own output (quiet runs, progress line).
void SetMemoOutput(std::function<void(const std::string& line)> output);

}  // namespace fw::console
