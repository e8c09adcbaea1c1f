// Real pointer moves, posted mouse messages and pixels read back for the GUI tests.
#include "GuiDriver.h"

#include <algorithm>
#include <fstream>
#include <vector>

// The shell's drop layout (DROPFILES).
#include <shlobj.h>

#include "framework/Application.h"
#include "framework/win32/Peers.h"
#include "platform/win32/Wide.h"

namespace guitest {

namespace {
// Rounds of message processing; handlers may post further messages.
constexpr int kPumpRounds = 5;
// Bound on waiting for a window to become active: an unmanaged X display may never report it.
constexpr int kActivationRounds = 100;
constexpr int kSettleRounds = 20, kSettleMilliseconds = 10;

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}
}  // namespace

HWND WindowOf(fw::TWinControl& control) {
    return fw::win32::WindowOf(&control);
}

void Pump() {
    for (int i = 0; i < kPumpRounds; ++i) {
        fw::Application().ProcessMessages();
        Sleep(1);
    }
}

void WaitActive(HWND window) {
    SetForegroundWindow(window);
    for (int i = 0; i < kActivationRounds && GetForegroundWindow() != window; ++i)
        Pump();
    // The display confirms the activation with messages of its own; let them arrive before any click.
    for (int i = 0; i < kSettleRounds; ++i) {
        Pump();
        Sleep(kSettleMilliseconds);
    }
}

void MoveTo(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
    PostMessageW(window, WM_MOUSEMOVE, 0, At(x, y));
    Pump();
}

void Press(HWND window, int x, int y, fw::TMouseButton button) {
    const UINT msg = button == fw::mbLeft ? WM_LBUTTONDOWN : button == fw::mbRight ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
    const WPARAM keys = button == fw::mbLeft ? MK_LBUTTON : button == fw::mbRight ? MK_RBUTTON : MK_MBUTTON;
    PostMessageW(window, msg, keys, At(x, y));
    Pump();
}

void Release(HWND window, int x, int y, fw::TMouseButton button) {
    const UINT msg = button == fw::mbLeft ? WM_LBUTTONUP : button == fw::mbRight ? WM_RBUTTONUP : WM_MBUTTONUP;
    PostMessageW(window, msg, 0, At(x, y));
    Pump();
}

void Click(HWND window, int x, int y) {
    MoveTo(window, x, y);
    Press(window, x, y);
    Release(window, x, y);
}

void PostDrop(HWND window, const std::vector<std::string>& files) {
    std::wstring list;
    for (const std::string& file : files)
        list += platform::win32::Widen(file) + L'\0';
    list += L'\0';
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(drop + 1));
    GlobalUnlock(memory);
    PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

void PostClick(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
    PostMessageW(window, WM_MOUSEMOVE, 0, At(x, y));
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, At(x, y));
}

fw::TColor Pixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return static_cast<fw::TColor>(c);
}

fw::TRect FindColor(HWND window, const fw::TRect& area, fw::TColor color) {
    HDC dc = GetDC(window);
    fw::TRect box{area.Right, area.Bottom, area.Left, area.Top};
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            if (static_cast<fw::TColor>(GetPixel(dc, x, y)) == color) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    ReleaseDC(window, dc);
    return box.Left < box.Right ? box : fw::TRect{};
}

}  // namespace guitest

namespace guitest {

void SaveWindow(HWND window, const std::string& path) {
    RECT r{};
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = static_cast<DWORD>((w * 3 + 3) & ~3);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + stride * h),
                          0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(stride) * h);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

}  // namespace guitest
