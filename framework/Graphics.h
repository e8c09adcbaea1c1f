// Colours, geometry, fonts, brushes, pens and the canvas that controls draw on.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace fw {

// A colour as the form descriptions store it: 0x00BBGGRR; a top byte of 0xFF names a system colour.
using TColor = int32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGray = 0x808080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor kSystemColorFlag = static_cast<TColor>(0xFF000000);
constexpr TColor clBtnFace = kSystemColorFlag | 15;    // COLOR_BTNFACE
constexpr TColor clWindow = kSystemColorFlag | 5;      // COLOR_WINDOW
constexpr TColor clWindowText = kSystemColorFlag | 8;  // COLOR_WINDOWTEXT

// The RGB value of a colour, system colours resolved by the backend.
TColor ColorToRGB(TColor color);

struct TPoint {
    int X = 0, Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0, cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

// Right and bottom are exclusive.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;  // a set of TFontStyle bits

// Character sets, Windows numbering.
constexpr uint8_t kDefaultCharset = 1;
constexpr uint8_t kRussianCharset = 204;

// Logical pixels per inch the sizes in points refer to.
constexpr int kPixelsPerInch = 96;

// A font; Height is in pixels (negative: the character height without internal leading, as the
// form descriptions store it). Every change calls OnChange.
class TFont {
public:
    const std::string& Name() const { return FName; }
    void SetName(const std::string& name);
    int Height() const { return FHeight; }
    void SetHeight(int height);
    int Size() const;  // points
    void SetSize(int points);
    uint8_t Charset() const { return FCharset; }
    void SetCharset(uint8_t charset);
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles style);
    void Assign(const TFont& source);

    std::function<void()> OnChange;

    friend bool operator==(const TFont& a, const TFont& b) {
        return a.FName == b.FName && a.FHeight == b.FHeight && a.FCharset == b.FCharset && a.FColor == b.FColor &&
               a.FStyle == b.FStyle;
    }

private:
    void Changed();

    std::string FName = "Tahoma";  // the framework's default font: Tahoma 8 points
    int FHeight = -11;
    uint8_t FCharset = kDefaultCharset;
    TColor FColor = clWindowText;
    TFontStyles FStyle = 0;
};

enum TBrushStyle { bsSolid, bsClear };

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
};

// What a backend draws with: coordinates are the control's own, the device maps and clips them.
class TCanvasDevice {
public:
    virtual ~TCanvasDevice() = default;
    virtual void FillRect(const TRect& rect, TColor color) = 0;
    // A one-pixel outline just inside the rectangle.
    virtual void FrameRect(const TRect& rect, TColor color) = 0;
    // Text with its top-left corner at (x, y) and no background.
    virtual void TextOut(int x, int y, const std::string& text, const TFont& font) = 0;
};

// Drawing with a font, a brush and a pen. A canvas draws on the device attached to it (while its
// owner paints) or, outside painting, on a device it asks its source for, one operation at a time.
class TCanvas {
public:
    using TDeviceSource = std::function<std::unique_ptr<TCanvasDevice>()>;
    explicit TCanvas(TDeviceSource source) : FSource(std::move(source)) {}
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TFont& Font() { return FFont; }
    TBrush& Brush() { return FBrush; }
    TPen& Pen() { return FPen; }

    void FillRect(const TRect& rect);                     // with the brush
    void FrameRect(const TRect& rect);                    // with the brush colour, one pixel wide
    void Rectangle(const TRect& rect);                    // pen outline, brush inside
    void TextOut(int x, int y, const std::string& text);  // font colour, background left alone
    int TextWidth(const std::string& text) const;         // measured with the canvas font
    int TextHeight(const std::string& text) const;

    // Painting: the owner attaches the paint device for the duration of its Paint.
    void Attach(TCanvasDevice* device) { FAttached = device; }
    void Detach() { FAttached = nullptr; }

private:
    template <class F>
    void WithDevice(F&& draw);

    TDeviceSource FSource;
    TCanvasDevice* FAttached = nullptr;
    TFont FFont;
    TBrush FBrush;
    TPen FPen;
};

}  // namespace fw
