// The form window: one window procedure that routes every message to the form's peer, which decodes
// mouse messages once, paints the windowless children and turns close requests into Close().
#include "framework/win32/Win.h"

#include <optional>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/win32/Gdi.h"
#include "framework/win32/Peers.h"

namespace fw::win32 {

namespace {

const wchar_t kFormClass[] = L"GrandvueForm";
const char kIconName[] = "MAINICON";

std::optional<TMouseInput> DecodeMouse(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    TMouseInput input;
    switch (msg) {
        case WM_MOUSEMOVE:
            input.Kind = TMouseInput::miMove;
            break;
        case WM_LBUTTONDOWN:
            input.Kind = TMouseInput::miDown;
            input.Button = mbLeft;
            break;
        case WM_RBUTTONDOWN:
            input.Kind = TMouseInput::miDown;
            input.Button = mbRight;
            break;
        case WM_MBUTTONDOWN:
            input.Kind = TMouseInput::miDown;
            input.Button = mbMiddle;
            break;
        case WM_LBUTTONUP:
            input.Kind = TMouseInput::miUp;
            input.Button = mbLeft;
            break;
        case WM_RBUTTONUP:
            input.Kind = TMouseInput::miUp;
            input.Button = mbRight;
            break;
        case WM_MBUTTONUP:
            input.Kind = TMouseInput::miUp;
            input.Button = mbMiddle;
            break;
        case WM_MOUSELEAVE:
            input.Kind = TMouseInput::miLeave;
            return input;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lp) == window)
                return std::nullopt;
            input.Kind = TMouseInput::miCaptureLost;
            return input;
        default:
            return std::nullopt;
    }
    if (wp & MK_SHIFT)
        input.Shift |= ssShift;
    if (wp & MK_CONTROL)
        input.Shift |= ssCtrl;
    if (wp & MK_LBUTTON)
        input.Shift |= ssLeft;
    if (wp & MK_RBUTTON)
        input.Shift |= ssRight;
    if (wp & MK_MBUTTON)
        input.Shift |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0)
        input.Shift |= ssAlt;
    input.Pos = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    return input;
}

HCURSOR CursorFor(TCursor slot) {
    if (TCursorHandle installed = Screen().Cursors(slot))
        return reinterpret_cast<HCURSOR>(installed);
    return LoadCursorA(nullptr, slot == crHandPoint ? IDC_HAND : IDC_ARROW);
}

class TFormPeer : public TNativePeer {
public:
    explicit TFormPeer(TWinControl& control) : TNativePeer(control), FForm(dynamic_cast<TForm&>(control)) {}

    ~TFormPeer() override {
        // Stop routing first, so the messages of the destruction find no object, then destroy.
        if (FWindow)
            SetWindowLongPtrW(FWindow.Get(), GWLP_USERDATA, 0);
        FHints.Reset();
        FWindow.Reset();
    }

    void Changed() override {
        if (!FWindow)
            return;
        SetWindowTextW(FWindow.Get(), Wide(FForm.Caption()).c_str());
        RECT r = FrameFor(0, 0);
        SetWindowPos(FWindow.Get(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(FWindow.Get(), nullptr, FALSE);
    }

    void Show(bool visible) override {
        HWND mainWindow = MainWindow();
        if (visible) {
            if (!FWindow)
                Create();
            Place();
            if (FForm.Modal() && mainWindow)
                EnableWindow(mainWindow, FALSE);
            ShowWindow(FWindow.Get(), SW_SHOW);
            SetForegroundWindow(FWindow.Get());
            UpdateWindow(FWindow.Get());
        } else if (FWindow) {
            // The owner comes back before the dialog goes, so activation returns to it.
            if (FForm.Modal() && mainWindow)
                EnableWindow(mainWindow, TRUE);
            ShowWindow(FWindow.Get(), SW_HIDE);
        }
    }

    static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* peer = reinterpret_cast<TFormPeer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        return peer ? peer->Handle(window, msg, wp, lp) : DefWindowProcW(window, msg, wp, lp);
    }

private:
    HWND MainWindow() const {
        TForm* main = Application().MainForm();
        return main && main != &FForm ? WindowOf(main) : nullptr;
    }

    DWORD Style() const {
        DWORD style = WS_CAPTION | WS_CLIPCHILDREN;
        switch (FForm.BorderStyle()) {
            case bsNone:
                style = WS_POPUP | WS_CLIPCHILDREN;
                break;
            case bsSingle:
                style |= WS_OVERLAPPED;
                break;
            case bsSizeable:
                style |= WS_OVERLAPPED | WS_THICKFRAME;
                break;
            case bsDialog:
                style |= WS_POPUP;
                break;
        }
        if (FForm.BorderStyle() == bsNone)
            return style;
        if (FForm.BorderIcons() & biSystemMenu)
            style |= WS_SYSMENU;
        if (FForm.BorderStyle() != bsDialog && (FForm.BorderIcons() & biMinimize))
            style |= WS_MINIMIZEBOX;
        if (FForm.BorderStyle() != bsDialog && (FForm.BorderIcons() & biMaximize))
            style |= WS_MAXIMIZEBOX;
        return style;
    }

    DWORD ExStyle() const { return FForm.BorderStyle() == bsDialog ? WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE : 0; }

    // The window rectangle around the form's client area placed at (left, top).
    RECT FrameFor(int left, int top) const {
        RECT r{left, top, left + FForm.ClientWidth(), top + FForm.ClientHeight()};
        AdjustWindowRectEx(&r, Style(), FALSE, ExStyle());
        return r;
    }

    static void Register() {
        static const bool registered = [] {
            // Tooltips and themed controls need the common controls ready, even without Initialize().
            backend::Initialize();
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = &TFormPeer::Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hIcon = LoadIconA(wc.hInstance, kIconName);
            if (!wc.hIcon)
                wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
            wc.lpszClassName = kFormClass;
            return RegisterClassExW(&wc) != 0;
        }();
        static_cast<void>(registered);
    }

    void Create() {
        Register();
        RECT r = FrameFor(FForm.Left(), FForm.Top());
        FWindow.Reset(CreateWindowExW(ExStyle(), kFormClass, Wide(FForm.Caption()).c_str(), Style(), r.left, r.top,
                                      r.right - r.left, r.bottom - r.top, MainWindow(), nullptr,
                                      GetModuleHandleW(nullptr), this));
        if (FForm.OnDropFiles)
            DragAcceptFiles(FWindow.Get(), TRUE);
        for (TControl* child : FForm.Controls())
            if (auto* win = dynamic_cast<TWinControl*>(child))
                win->Peer().Changed();
        AddHints();
    }

    // Tooltips for the windowless children that show a hint, set up once with the window.
    void AddHints() {
        UINT id = 0;
        for (TControl* child : FForm.Controls()) {
            const bool show = child->ParentShowHint ? FForm.ShowHint : child->ShowHint;
            if (!show || child->Hint.empty() || !dynamic_cast<TGraphicControl*>(child))
                continue;
            if (!FHints)
                FHints.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, FWindow.Get(),
                                             nullptr, GetModuleHandleW(nullptr), nullptr));
            std::wstring text = Wide(child->Hint);
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_SUBCLASS;
            tool.hwnd = FWindow.Get();
            tool.uId = ++id;
            tool.rect = {child->Left(), child->Top(), child->Left() + child->Width(), child->Top() + child->Height()};
            tool.lpszText = text.data();
            SendMessageW(FHints.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }

    // Centres the window on the desktop or on the main window, as Position asks.
    void Place() {
        RECT frame = FrameFor(0, 0);
        int w = frame.right - frame.left, h = frame.bottom - frame.top;
        RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (FForm.Position == poMainFormCenter && MainWindow())
            GetWindowRect(MainWindow(), &area);
        if (FForm.Position == poDesigned)
            return;
        int left = area.left + (area.right - area.left - w) / 2, top = area.top + (area.bottom - area.top - h) / 2;
        SetWindowPos(FWindow.Get(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    TNativePeer* ChildPeer(HWND child) const {
        for (TControl* c : FForm.Controls())
            if (auto* win = dynamic_cast<TWinControl*>(c); win && WindowOf(win) == child)
                return &static_cast<TNativePeer&>(win->Peer());
        return nullptr;
    }

    void Paint(HWND window) {
        TPaintDc dc(window);
        const RECT& a = dc.Area();
        TGdiDevice background(dc.Get(), FForm.ClientRect());
        background.FillRect({a.left, a.top, a.right, a.bottom}, ColorToRGB(FForm.Color()));
        GuardedCall([&] {
            FForm.PaintControls({a.left, a.top, a.right, a.bottom}, [&](TGraphicControl& c) {
                return std::make_unique<TGdiDevice>(dc.Get(), c.BoundsRect());
            });
        });
    }

    // The form's background and windowless children where a child window lies, drawn on the child's
    // device context, so the child shows what is behind it.
    void PaintBehind(HWND child, HDC dc) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, FWindow.Get(), reinterpret_cast<POINT*>(&r), 2);
        const TRect area{r.left, r.top, r.right, r.bottom};
        const int saved = SaveDC(dc);
        OffsetViewportOrgEx(dc, -r.left, -r.top, nullptr);
        TGdiDevice(dc, FForm.ClientRect()).FillRect(area, ColorToRGB(FForm.Color()));
        GuardedCall([&] {
            FForm.PaintControls(area,
                                [&](TGraphicControl& c) { return std::make_unique<TGdiDevice>(dc, c.BoundsRect()); });
        });
        RestoreDC(dc, saved);
    }

    LRESULT ChildColor(HWND child, HDC dc) {
        TNativePeer* peer = ChildPeer(child);
        if (!peer)
            return 0;
        SetTextColor(dc, ToColorRef(peer->Control().Font().Color()));
        // A check box is transparent, as a themed one is: the panel under it shows, not a strip of its colour.
        if (dynamic_cast<TCheckBox*>(&peer->Control())) {
            PaintBehind(child, dc);
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        }
        SetBkColor(dc, ToColorRef(peer->Control().Color()));
        return reinterpret_cast<LRESULT>(peer->BackgroundBrush());
    }

    // Takes the dropped paths and lets the shell's drop data go before any handler runs.
    void DropFiles(HDROP drop) {
        std::vector<std::string> paths;
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
            path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
            paths.push_back(Narrow(path));
        }
        DragFinish(drop);
        GuardedCall([&] { Fire(FForm.OnDropFiles, &FForm, paths); });
    }

    LRESULT Handle(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
        if (std::optional<TMouseInput> input = DecodeMouse(window, msg, wp, lp)) {
            if (input->Kind == TMouseInput::miMove && !FTracking) {
                // One leave notice per hover.
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
                FTracking = TrackMouseEvent(&track) != FALSE;
            }
            if (input->Kind == TMouseInput::miLeave)
                FTracking = false;
            GuardedCall([&] { FForm.MouseInput(*input); });
            return 0;
        }
        switch (msg) {
            case WM_PAINT:
                Paint(window);
                return 0;
            case WM_ERASEBKGND:
                return 1;
            case WM_SETCURSOR:
                if (LOWORD(lp) == HTCLIENT && reinterpret_cast<HWND>(wp) == window) {
                    POINT p{};
                    GetCursorPos(&p);
                    ScreenToClient(window, &p);
                    TControl* under = FForm.ControlAtPos({p.x, p.y});
                    SetCursor(CursorFor(under ? under->Cursor() : FForm.Cursor()));
                    return TRUE;
                }
                break;
            case WM_DROPFILES:
                DropFiles(reinterpret_cast<HDROP>(wp));
                return 0;
            case WM_CLOSE:
                GuardedCall([&] { FForm.Close(); });
                return 0;
            case WM_COMMAND:
                if (HIWORD(wp) == BN_CLICKED && lp) {
                    TNativePeer* peer = ChildPeer(reinterpret_cast<HWND>(lp));
                    if (auto* box = peer ? dynamic_cast<TCheckBox*>(&peer->Control()) : nullptr)
                        box->CheckedByUser(SendMessageW(reinterpret_cast<HWND>(lp), BM_GETCHECK, 0, 0) == BST_CHECKED);
                }
                return 0;
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
                if (LRESULT brush = ChildColor(reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp)))
                    return brush;
                break;
        }
        return DefWindowProcW(window, msg, wp, lp);
    }

    TForm& FForm;
    TWindowHandle FHints;  // the tooltip window, made when a child shows a hint
    bool FTracking = false;
};

}  // namespace

std::unique_ptr<backend::TWindowPeer> CreateFormPeer(TWinControl& form) {
    return std::make_unique<TFormPeer>(form);
}

}  // namespace fw::win32
