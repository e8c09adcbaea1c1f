// The native windows behind windowed controls: a form window with our own window procedure, and
// child windows of the system's classes (edit for the memo, button for the check box).
#pragma once

#include "framework/win32/Win.h"

#include <memory>

#include "framework/Controls.h"
#include "framework/Peer.h"
#include "framework/win32/Handles.h"

namespace fw::win32 {

class TNativePeer : public backend::TWindowPeer {
public:
    explicit TNativePeer(TWinControl& control) : FControl(control) {}
    HWND Window() const { return FWindow.Get(); }
    TWinControl& Control() const { return FControl; }

    void Repaint(const TRect& rect) override;
    void Invalidate(const TRect& rect) override;
    void SetMouseCapture(bool capture) override;
    std::optional<TPoint> PointerPos(TPoint messagePoint) override;
    void LineAdded(const std::string&) override {}
    void LinesCleared() override {}

    // The brush the parent paints this window's background with (WM_CTLCOLOR...).
    HBRUSH BackgroundBrush();

protected:
    TWinControl& FControl;
    TWindowHandle FWindow;
    TBrushHandle FBrush;
    TColor FBrushColor = -1;
};

// The native window of a control, or nullptr while it has none.
HWND WindowOf(TWinControl* control);

std::unique_ptr<backend::TWindowPeer> CreateFormPeer(TWinControl& form);
std::unique_ptr<backend::TWindowPeer> CreateChildPeer(TWinControl& control);

}  // namespace fw::win32
