// GDI drawing for canvases, text measuring and system colours.
#include "framework/win32/Gdi.h"

#include "framework/Peer.h"

namespace fw::win32 {

// The code page of the program's own texts.
constexpr UINT kTextCodePage = 1251;

// Russian words in 1251 are almost never well-formed UTF-8 (a capital letter is a lead byte, a small one is
// no continuation byte), so the check tells the two apart.
std::wstring Wide(const std::string& text) {
    return platform::win32::ToWide(text, platform::IsUtf8(text) ? CP_UTF8 : kTextCodePage);
}

COLORREF ToColorRef(TColor color) {
    return static_cast<COLORREF>(ColorToRGB(color));  // both are 0x00BBGGRR
}

TFontHandle CreateFontFor(const TFont& font) {
    LOGFONTW lf{};
    lf.lfHeight = font.Height();
    lf.lfWeight = (font.Style() & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (font.Style() & fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (font.Style() & fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (font.Style() & fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = font.Charset();
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    std::wstring face = Wide(font.Name()).substr(0, LF_FACESIZE - 1);
    face.copy(lf.lfFaceName, face.size());
    return TFontHandle(CreateFontIndirectW(&lf));
}

TGdiDevice::TGdiDevice(HDC dc, const TRect& bounds) : FDc(dc), FBounds(bounds), FSaved(SaveDC(dc)) {
    IntersectClipRect(dc, bounds.Left, bounds.Top, bounds.Right, bounds.Bottom);
}

TGdiDevice::~TGdiDevice() {
    RestoreDC(FDc, FSaved);
}

RECT TGdiDevice::Shifted(const TRect& rect) const {
    return {rect.Left + FBounds.Left, rect.Top + FBounds.Top, rect.Right + FBounds.Left, rect.Bottom + FBounds.Top};
}

void TGdiDevice::FillRect(const TRect& rect, TColor color) {
    RECT r = Shifted(rect);
    TBrushHandle brush(CreateSolidBrush(ToColorRef(color)));
    ::FillRect(FDc, &r, brush.Get());
}

void TGdiDevice::FrameRect(const TRect& rect, TColor color) {
    RECT r = Shifted(rect);
    TBrushHandle brush(CreateSolidBrush(ToColorRef(color)));
    ::FrameRect(FDc, &r, brush.Get());
}

void TGdiDevice::TextOut(int x, int y, const std::string& text, const TFont& font) {
    TFontHandle handle = CreateFontFor(font);
    HGDIOBJ old = SelectObject(FDc, handle.Get());
    SetBkMode(FDc, TRANSPARENT);
    SetTextColor(FDc, ToColorRef(font.Color()));
    std::wstring wide = Wide(text);
    TextOutW(FDc, x + FBounds.Left, y + FBounds.Top, wide.c_str(), static_cast<int>(wide.size()));
    SelectObject(FDc, old);
}

}  // namespace fw::win32

namespace fw::backend {

TSize MeasureText(const std::string& text, const TFont& font) {
    win32::TWindowDc screen(nullptr);
    win32::TFontHandle handle = win32::CreateFontFor(font);
    HGDIOBJ old = SelectObject(screen.Get(), handle.Get());
    std::wstring wide = win32::Wide(text);
    SIZE size{};
    GetTextExtentPoint32W(screen.Get(), wide.c_str(), static_cast<int>(wide.size()), &size);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.Get(), &metrics);
    SelectObject(screen.Get(), old);
    return {size.cx, metrics.tmHeight};
}

TColor SystemColor(int index) {
    return static_cast<TColor>(GetSysColor(index));
}

}  // namespace fw::backend
