// Fonts and the canvas: drawing state kept here, pixels left to the device.
#include "framework/Graphics.h"

#include <cstdlib>

#include "framework/Peer.h"

namespace fw {

TColor ColorToRGB(TColor color) {
    if ((color & kSystemColorFlag) == kSystemColorFlag)
        return backend::SystemColor(color & 0xFF);
    return color & 0xFFFFFF;
}

void TFont::SetName(const std::string& name) {
    FName = name;
    Changed();
}

void TFont::SetHeight(int height) {
    FHeight = height;
    Changed();
}

int TFont::Size() const {
    return (std::abs(FHeight) * 72 + kPixelsPerInch / 2) / kPixelsPerInch;
}

void TFont::SetSize(int points) {
    SetHeight(-(points * kPixelsPerInch + 36) / 72);
}

void TFont::SetCharset(uint8_t charset) {
    FCharset = charset;
    Changed();
}

void TFont::SetColor(TColor color) {
    FColor = color;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    FStyle = style;
    Changed();
}

void TFont::Assign(const TFont& source) {
    FName = source.FName;
    FHeight = source.FHeight;
    FCharset = source.FCharset;
    FColor = source.FColor;
    FStyle = source.FStyle;
    Changed();
}

void TFont::Changed() {
    if (OnChange)
        OnChange();
}

template <class F>
void TCanvas::WithDevice(F&& draw) {
    if (FAttached)
        return draw(*FAttached);
    std::unique_ptr<TCanvasDevice> device = FSource ? FSource() : nullptr;
    if (device)
        draw(*device);
}

void TCanvas::FillRect(const TRect& rect) {
    if (FBrush.Style == bsClear)
        return;
    WithDevice([&](TCanvasDevice& d) { d.FillRect(rect, ColorToRGB(FBrush.Color)); });
}

void TCanvas::FrameRect(const TRect& rect) {
    WithDevice([&](TCanvasDevice& d) { d.FrameRect(rect, ColorToRGB(FBrush.Color)); });
}

void TCanvas::Rectangle(const TRect& rect) {
    WithDevice([&](TCanvasDevice& d) {
        if (FBrush.Style != bsClear)
            d.FillRect({rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1}, ColorToRGB(FBrush.Color));
        for (int i = 0; i < FPen.Width; ++i)
            d.FrameRect({rect.Left + i, rect.Top + i, rect.Right - i, rect.Bottom - i}, ColorToRGB(FPen.Color));
    });
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    WithDevice([&](TCanvasDevice& d) { d.TextOut(x, y, text, FFont); });
}

int TCanvas::TextWidth(const std::string& text) const {
    return backend::MeasureText(text, FFont).cx;
}

int TCanvas::TextHeight(const std::string& text) const {
    return backend::MeasureText(text, FFont).cy;
}

}  // namespace fw
