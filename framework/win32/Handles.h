// Move-only owners of Win32 handles: windows, GDI objects and window device contexts.
#pragma once

#include "framework/win32/Win.h"

#include <utility>

namespace fw::win32 {

template <class H, class Traits>
class TUniqueHandle {
public:
    TUniqueHandle() = default;
    explicit TUniqueHandle(H handle) : FHandle(handle) {}
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;
    TUniqueHandle(TUniqueHandle&& other) noexcept : FHandle(std::exchange(other.FHandle, H{})) {}
    TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.FHandle, H{}));
        return *this;
    }
    ~TUniqueHandle() { Reset(); }

    H Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != H{}; }
    void Reset(H handle = H{}) {
        if (FHandle)
            Traits::Close(FHandle);
        FHandle = handle;
    }

private:
    H FHandle{};
};

struct TWindowTraits {
    static void Close(HWND window) { DestroyWindow(window); }
};
struct TGdiTraits {
    static void Close(HGDIOBJ object) { DeleteObject(object); }
};

using TWindowHandle = TUniqueHandle<HWND, TWindowTraits>;
using TFontHandle = TUniqueHandle<HFONT, TGdiTraits>;
using TBrushHandle = TUniqueHandle<HBRUSH, TGdiTraits>;

// A window's device context from GetDC, released on destruction.
class TWindowDc {
public:
    explicit TWindowDc(HWND window) : FWindow(window), FDc(GetDC(window)) {}
    TWindowDc(const TWindowDc&) = delete;
    TWindowDc& operator=(const TWindowDc&) = delete;
    ~TWindowDc() {
        if (FDc)
            ReleaseDC(FWindow, FDc);
    }
    HDC Get() const { return FDc; }

private:
    HWND FWindow;
    HDC FDc;
};

// A paint pass from BeginPaint, ended on destruction.
class TPaintDc {
public:
    explicit TPaintDc(HWND window) : FWindow(window) { BeginPaint(window, &FPaint); }
    TPaintDc(const TPaintDc&) = delete;
    TPaintDc& operator=(const TPaintDc&) = delete;
    ~TPaintDc() { EndPaint(FWindow, &FPaint); }
    HDC Get() const { return FPaint.hdc; }
    const RECT& Area() const { return FPaint.rcPaint; }

private:
    HWND FWindow;
    PAINTSTRUCT FPaint{};
};

}  // namespace fw::win32
