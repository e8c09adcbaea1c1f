// Console backend: no windows and no message loop; message boxes go to stderr, memos print their lines.
#include "framework/Backend.h"

#include <cstdio>
#include <utility>

#include "framework/Controls.h"
#include "framework/Dialogs.h"
#include "framework/Peer.h"
#include "framework/console/Recorder.h"

namespace fw::backend {

namespace {

std::function<void(const std::string&)> gMemoOutput;

// Windowed controls have no window here: a memo prints each added line, windowless children paint
// straight onto the recording canvas.
class TConsolePeer : public TWindowPeer {
public:
    explicit TConsolePeer(TWinControl& control) : FControl(control) {}
    void Changed() override {}
    void Repaint(const TRect& rect) override {
        FControl.PaintControls(rect, [](TGraphicControl& c) { return ControlDevice(c); });
    }
    void Invalidate(const TRect&) override {}
    void SetMouseCapture(bool) override {}
    std::optional<TPoint> PointerPos(TPoint messagePoint) override { return messagePoint; }
    void Show(bool) override {}
    void LineAdded(const std::string& line) override {
        if (FControl.Kind() != wkMemo)
            return;
        const std::string text = console::ToConsole(line);
        if (gMemoOutput) {
            gMemoOutput(text);
            return;
        }
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }
    void LinesCleared() override {}

private:
    TWinControl& FControl;
};

}  // namespace

void Initialize() {}

void ProcessMessages() {}

int MessageBox(const std::string& text, const std::string& caption, uint32_t /*flags*/) {
    std::fprintf(stderr, "%s: %s\n", console::ToConsole(caption).c_str(), console::ToConsole(text).c_str());
    std::fflush(stderr);
    return IDOK;
}

std::unique_ptr<TWindowPeer> CreatePeer(TWinControl& control) {
    return std::make_unique<TConsolePeer>(control);
}

bool HandleMessage() {
    return false;
}

bool ExecuteOpenDialog(TOpenDialog& /*dialog*/, std::string& /*fileName*/) {
    return false;
}

uintptr_t LoadCursorResource(const std::string& /*name*/) {
    return 0;
}

TColor SystemColor(int index) {
    // The classic scheme's values for the few system colours the controls use by default.
    switch (index) {
        case 5:  // window
            return clWhite;
        case 8:  // window text
            return clBlack;
        case 15:  // button face
            return 0xF0F0F0;
        default:
            return clBlack;
    }
}

}  // namespace fw::backend

namespace fw::console {

void SetMemoOutput(std::function<void(const std::string& line)> output) {
    backend::gMemoOutput = std::move(output);
}

}  // namespace fw::console
