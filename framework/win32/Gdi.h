// GDI drawing for canvases: texts shown through the wide API, fonts made from framework fonts.
#pragma once

#include "framework/win32/Win.h"

#include <string>

#include "framework/Graphics.h"
#include "framework/win32/Handles.h"
#include "platform/win32/Wide.h"

namespace fw::win32 {

// A text to show as UTF-16 for the wide API: UTF-8 where it is well-formed UTF-8 (a path, a name, a text
// composed with one), else Windows-1251 bytes (the program's own texts).
std::wstring Wide(const std::string& text);
// A path from the system as the program's file functions take it (UTF-8).
using platform::win32::Narrow;
TFontHandle CreateFontFor(const TFont& font);
COLORREF ToColorRef(TColor color);

// Draws on a device context in a control's coordinates: shifted by the control's position and
// clipped to its rectangle.
class TGdiDevice : public TCanvasDevice {
public:
    TGdiDevice(HDC dc, const TRect& bounds);
    TGdiDevice(const TGdiDevice&) = delete;
    TGdiDevice& operator=(const TGdiDevice&) = delete;
    ~TGdiDevice() override;
    void FillRect(const TRect& rect, TColor color) override;
    void FrameRect(const TRect& rect, TColor color) override;
    void TextOut(int x, int y, const std::string& text, const TFont& font) override;

private:
    RECT Shifted(const TRect& rect) const;
    HDC FDc;
    TRect FBounds;
    int FSaved;
};

// A TGdiDevice on a window's own device context, for drawing outside painting.
class TWindowDevice : public TCanvasDevice {
public:
    TWindowDevice(HWND window, const TRect& bounds) : FDc(window), FDevice(FDc.Get(), bounds) {}
    void FillRect(const TRect& rect, TColor color) override { FDevice.FillRect(rect, color); }
    void FrameRect(const TRect& rect, TColor color) override { FDevice.FrameRect(rect, color); }
    void TextOut(int x, int y, const std::string& text, const TFont& font) override {
        FDevice.TextOut(x, y, text, font);
    }

private:
    TWindowDc FDc;
    TGdiDevice FDevice;
};

}  // namespace fw::win32
