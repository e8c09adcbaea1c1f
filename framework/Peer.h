// The window side of windowed controls and canvases, provided by each backend.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "framework/Graphics.h"

namespace fw {
class TControl;
class TGraphicControl;
class TWinControl;
class TForm;
class TOpenDialog;
}  // namespace fw

namespace fw::backend {

// The native side of one windowed control; made on first use, destroyed with the control.
class TWindowPeer {
public:
    virtual ~TWindowPeer() = default;
    // Brings the window in line with the control (bounds, caption, colours, font, state).
    virtual void Changed() = 0;
    // Redraws a rectangle of the client area: now, or when messages are next processed.
    virtual void Repaint(const TRect& rect) = 0;
    virtual void Invalidate(const TRect& rect) = 0;
    virtual void SetMouseCapture(bool capture) = 0;
    // Where the pointer is now, in client coordinates; nothing when another window lies under it. A
    // backend without a real pointer answers with the point of the message being handled.
    virtual std::optional<TPoint> PointerPos(TPoint messagePoint) = 0;
    // Shows or hides the window (a form's first showing places it as its Position asks).
    virtual void Show(bool visible) = 0;
    // Memo lines.
    virtual void LineAdded(const std::string& line) = 0;
    virtual void LinesCleared() = 0;
};

// Prepares the backend at process start (the common controls on Windows).
void Initialize();

std::unique_ptr<TWindowPeer> CreatePeer(TWinControl& control);

// A device for drawing on a windowless control outside painting (nothing when the parent has no window).
std::unique_ptr<TCanvasDevice> ControlDevice(TGraphicControl& control);

// The size of a text drawn in a font (no window needed).
TSize MeasureText(const std::string& text, const TFont& font);

// Waits for one message and dispatches it; false when the backend has no message source.
bool HandleMessage();

// The system's open-file dialog; false when cancelled.
bool ExecuteOpenDialog(TOpenDialog& dialog, std::string& fileName);

// A cursor resource of the program's module, as a TCursorHandle value (0 when missing).
uintptr_t LoadCursorResource(const std::string& name);

// RGB of a system colour index (the low byte of a colour with the 0xFF top byte).
TColor SystemColor(int index);

}  // namespace fw::backend
