// The recording canvas, the fixed text metrics and the terminal text conversion of the console backend.
#include "framework/console/Recorder.h"

#include <cstdlib>
#include <memory>

#include "framework/Peer.h"
#include "platform/Platform.h"

namespace fw::console {

namespace {

class TRecordingDevice : public TCanvasDevice {
public:
    explicit TRecordingDevice(const TControl& control) : FControl(control) {}
    void FillRect(const TRect& rect, TColor color) override { Record(TDrawCall::dcFillRect, rect, {}, "", color, 0); }
    void FrameRect(const TRect& rect, TColor color) override { Record(TDrawCall::dcFrameRect, rect, {}, "", color, 0); }
    void TextOut(int x, int y, const std::string& text, const TFont& font) override {
        Record(TDrawCall::dcTextOut, {}, {x, y}, text, ColorToRGB(font.Color()), font.Style());
    }

private:
    void Record(TDrawCall::TKind kind,
                TRect rect,
                TPoint at,
                const std::string& text,
                TColor color,
                TFontStyles style) {
        DrawLog().push_back({&FControl, kind, rect, at, text, color, style});
    }
    const TControl& FControl;
};

bool IsUtf8(const std::string& text) {
    size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        size_t extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : 4;
        if (extra == 4 || (extra == 1 && c < 0xC2) || i + extra >= text.size() + (extra ? 0 : 1))
            return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += extra + 1;
    }
    return true;
}

}  // namespace

std::vector<TDrawCall>& DrawLog() {
    static std::vector<TDrawCall> log;
    return log;
}

void ClearDrawLog() {
    DrawLog().clear();
}

int CharWidth(const TFont& font) {
    return std::abs(font.Height()) / 2 + ((font.Style() & fsBold) ? 1 : 0);
}

int LineHeight(const TFont& font) {
    return std::abs(font.Height()) + 2;  // room for the accents above and the descenders below
}

std::string ToConsole(const std::string& text) {
    return IsUtf8(text) ? text : platform::Cp1251ToUtf8(text);
}

}  // namespace fw::console

namespace fw::backend {

std::unique_ptr<TCanvasDevice> ControlDevice(TGraphicControl& control) {
    return std::make_unique<console::TRecordingDevice>(control);
}

TSize MeasureText(const std::string& text, const TFont& font) {
    return {static_cast<int>(text.size()) * console::CharWidth(font), console::LineHeight(font)};
}

}  // namespace fw::backend
