// What every native window shares, and the child windows of the memo and the check box.
#include "framework/win32/Peers.h"

#include "framework/StdCtrls.h"
#include "framework/win32/Gdi.h"

namespace fw::win32 {

void TNativePeer::Repaint(const TRect& rect) {
    if (!FWindow)
        return;
    RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    InvalidateRect(FWindow.Get(), &r, FALSE);
    UpdateWindow(FWindow.Get());
}

void TNativePeer::Invalidate(const TRect& rect) {
    if (!FWindow)
        return;
    RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    InvalidateRect(FWindow.Get(), &r, FALSE);
}

void TNativePeer::SetMouseCapture(bool capture) {
    if (!FWindow)
        return;
    if (capture)
        SetCapture(FWindow.Get());
    else if (GetCapture() == FWindow.Get())
        ReleaseCapture();
}

std::optional<TPoint> TNativePeer::PointerPos(TPoint /*messagePoint*/) {
    POINT p{};
    if (!FWindow || !GetCursorPos(&p) || WindowFromPoint(p) != FWindow.Get())
        return std::nullopt;
    ScreenToClient(FWindow.Get(), &p);
    return TPoint{p.x, p.y};
}

HBRUSH TNativePeer::BackgroundBrush() {
    TColor color = ColorToRGB(FControl.Color());
    if (!FBrush || color != FBrushColor) {
        FBrush.Reset(CreateSolidBrush(ToColorRef(color)));
        FBrushColor = color;
    }
    return FBrush.Get();
}

HWND WindowOf(TWinControl* control) {
    if (!control || !control->HasPeer())
        return nullptr;
    return static_cast<TNativePeer&>(control->Peer()).Window();
}

namespace {

// A memo or check box: made once its parent has a window, then kept in line with the control.
class TChildPeer : public TNativePeer {
public:
    using TNativePeer::TNativePeer;

    void Changed() override {
        if (!FWindow && !Create())
            return;
        HWND w = FWindow.Get();
        SetWindowPos(w, nullptr, FControl.Left(), FControl.Top(), FControl.Width(), FControl.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (auto* box = dynamic_cast<TCheckBox*>(&FControl)) {
            SetWindowTextW(w, Wide(box->Caption()).c_str());
            SendMessageW(w, BM_SETCHECK, box->Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        if (auto* memo = dynamic_cast<TMemo*>(&FControl))
            SendMessageW(w, EM_SETREADONLY, memo->ReadOnly(), 0);
        FFont = CreateFontFor(FControl.Font());
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Get()), TRUE);
        ShowWindow(w, FControl.Visible() ? SW_SHOWNA : SW_HIDE);
        InvalidateRect(w, nullptr, TRUE);
    }

    void Show(bool) override {}

    void LineAdded(const std::string& line) override {
        if (!FWindow)
            return;
        auto* memo = dynamic_cast<TMemo*>(&FControl);
        std::wstring text = Wide((memo && memo->Lines().Count() > 1 ? "\r\n" : "") + line);
        int end = GetWindowTextLengthW(FWindow.Get());
        SendMessageW(FWindow.Get(), EM_SETSEL, end, end);
        SendMessageW(FWindow.Get(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    }

    void LinesCleared() override {
        if (FWindow)
            SetWindowTextW(FWindow.Get(), L"");
    }

private:
    bool Create() {
        HWND parent = WindowOf(FControl.Parent());
        if (!parent)
            return false;
        DWORD style = WS_CHILD | WS_TABSTOP, exStyle = 0;
        const wchar_t* windowClass = L"BUTTON";
        std::wstring text;
        if (auto* memo = dynamic_cast<TMemo*>(&FControl)) {
            windowClass = L"EDIT";
            style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
            if (memo->ScrollBars() == ssVertical || memo->ScrollBars() == ssBoth)
                style |= WS_VSCROLL;
            if (memo->ScrollBars() == ssHorizontal || memo->ScrollBars() == ssBoth)
                style |= WS_HSCROLL;
            if (memo->BorderStyle() != bsNone)
                exStyle |= WS_EX_CLIENTEDGE;
            for (int i = 0; i < memo->Lines().Count(); ++i)
                text += Wide((i ? "\r\n" : "") + memo->Lines()[i]);
        } else {
            style |= BS_AUTOCHECKBOX;
        }
        FWindow.Reset(CreateWindowExW(exStyle, windowClass, text.c_str(), style, FControl.Left(), FControl.Top(),
                                      FControl.Width(), FControl.Height(), parent, nullptr, GetModuleHandleW(nullptr),
                                      nullptr));
        return static_cast<bool>(FWindow);
    }

    TFontHandle FFont;
};

}  // namespace

std::unique_ptr<backend::TWindowPeer> CreateChildPeer(TWinControl& control) {
    return std::make_unique<TChildPeer>(control);
}

}  // namespace fw::win32
