// TSelButton on the recording canvas: the looks, caption positions, frames and the mouse rules.
#include <gtest/gtest.h>

#include "controls/ButtonComps.h"
#include "framework/Forms.h"
#include "framework/console/Recorder.h"

namespace {

using controls::TSelButton;
using fw::console::TDrawCall;

constexpr fw::TColor kPanel = 16052200, kDark = 10179597;

// One drawing of the button, read back from the log.
struct TLookSeen {
    fw::TColor Fill = -1;
    fw::TRect FillRect;
    fw::TPoint TextAt;
    fw::TColor TextColor = -1;
    std::vector<fw::TRect> Frames;
};

std::vector<TLookSeen> Drawings(const fw::TControl& control) {
    std::vector<TLookSeen> seen;
    for (const TDrawCall& call : fw::console::DrawLog()) {
        if (call.Control != &control)
            continue;
        if (call.Kind == TDrawCall::dcFillRect)
            seen.push_back({call.Color, call.Rect, {}, -1, {}});
        if (seen.empty())
            continue;
        if (call.Kind == TDrawCall::dcTextOut) {
            seen.back().TextAt = call.At;
            seen.back().TextColor = call.Color;
        }
        if (call.Kind == TDrawCall::dcFrameRect) {
            EXPECT_EQ(call.Color, kDark);
            seen.back().Frames.push_back(call.Rect);
        }
    }
    return seen;
}

fw::TMouseInput Mouse(fw::TMouseInput::TKind kind, int x, int y, fw::TMouseButton button = fw::mbLeft) {
    return {kind, button, 0, {x, y}};
}

struct SelButton : testing::Test {
    fw::TForm form{nullptr};
    TSelButton button{nullptr};
    std::vector<std::string> events;

    void SetUp() override {
        button.SetName("btnJar");
        button.BeginLoading();
        button.SetParent(&form);
        button.SetBounds(14, 14, 141, 20);
        button.SetCaption("abc");
        button.SetColor(kPanel);
        button.SetColorBorder(kDark);
        button.SetColorOver(kDark);
        button.SetColorDown(kDark);
        button.SetColorOverCaption(fw::clWhite);
        button.Font().SetHeight(-11);
        button.Font().SetColor(kDark);
        button.EndLoading();
        button.OnClick = [this](fw::TObject*) { events.push_back("click"); };
        button.OnMouseDown = [this](fw::TObject*, fw::TMouseButton, fw::TShiftState, int x, int y) {
            events.push_back("down " + std::to_string(x) + "," + std::to_string(y));
        };
        button.OnMouseUp = [this](fw::TObject*, fw::TMouseButton, fw::TShiftState, int, int) {
            events.push_back("up");
        };
        fw::console::ClearDrawLog();
    }
    void Send(fw::TMouseInput::TKind kind, int x, int y, fw::TMouseButton b = fw::mbLeft) {
        form.MouseInput(Mouse(kind, x, y, b));
    }
};

// Caption "abc" in Arial 11 px: 15 x 13 on the console metrics, so y = 20 div 2 - 13 div 2 = 4.
TEST_F(SelButton, PaintDrawsTheNormalLookWhateverThePointerDoes) {
    Send(fw::TMouseInput::miMove, 20, 20);
    fw::console::ClearDrawLog();
    button.Repaint();
    auto seen = Drawings(button);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Fill, kPanel);
    EXPECT_EQ(seen[0].FillRect, (fw::TRect{1, 1, 140, 19}));
    EXPECT_EQ(seen[0].TextAt, (fw::TPoint{5, 4}));
    EXPECT_EQ(seen[0].TextColor, kDark);
    EXPECT_EQ(seen[0].Frames, std::vector<fw::TRect>{(fw::TRect{0, 0, 141, 20})});
}

TEST_F(SelButton, LooksFollowEnterPressAndRelease) {
    Send(fw::TMouseInput::miMove, 20, 20);
    Send(fw::TMouseInput::miDown, 20, 20);
    Send(fw::TMouseInput::miUp, 21, 21);
    auto seen = Drawings(button);
    ASSERT_EQ(seen.size(), 4u);
    // hover, pressed (caption colour kept, shifted one pixel), normal for the click, hover after it
    EXPECT_EQ(seen[0].Fill, kDark);
    EXPECT_EQ(seen[0].TextColor, fw::clWhite);
    EXPECT_EQ(seen[0].TextAt, (fw::TPoint{5, 4}));
    EXPECT_EQ(seen[1].Fill, kDark);
    EXPECT_EQ(seen[1].TextColor, fw::clWhite);
    EXPECT_EQ(seen[1].TextAt, (fw::TPoint{6, 5}));
    EXPECT_EQ(seen[2].Fill, kPanel);
    EXPECT_EQ(seen[2].TextColor, kDark);
    EXPECT_EQ(seen[3].Fill, kDark);
    EXPECT_EQ(events, (std::vector<std::string>{"down 6,6", "click", "up"}));
}

TEST_F(SelButton, ClickHandlerRunsWhileTheNormalLookShows) {
    size_t drawingsAtClick = 0;
    button.OnClick = [&](fw::TObject*) { drawingsAtClick = Drawings(button).size(); };
    Send(fw::TMouseInput::miDown, 20, 20);
    Send(fw::TMouseInput::miUp, 20, 20);
    auto seen = Drawings(button);
    ASSERT_EQ(drawingsAtClick, 3u);  // hover on entering, pressed, normal
    EXPECT_EQ(seen[drawingsAtClick - 1].Fill, kPanel);
    EXPECT_EQ(seen.back().Fill, kDark);
}

TEST_F(SelButton, ReleaseOutsideGivesNoClickAndNoHoverRedraw) {
    Send(fw::TMouseInput::miDown, 20, 20);
    Send(fw::TMouseInput::miMove, 300, 20);
    Send(fw::TMouseInput::miUp, 300, 20);
    auto seen = Drawings(button);
    ASSERT_EQ(seen.size(), 3u);  // hover, pressed, normal on leaving
    EXPECT_EQ(seen.back().Fill, kPanel);
    EXPECT_EQ(events, (std::vector<std::string>{"down 6,6", "up"}));
}

TEST_F(SelButton, RightButtonChangesNothing) {
    Send(fw::TMouseInput::miMove, 20, 20);
    fw::console::ClearDrawLog();
    Send(fw::TMouseInput::miDown, 20, 20, fw::mbRight);
    Send(fw::TMouseInput::miUp, 20, 20, fw::mbRight);
    EXPECT_TRUE(Drawings(button).empty());
    EXPECT_TRUE(events.empty());
}

TEST_F(SelButton, DisabledButtonPaintsNormallyAndIgnoresInput) {
    button.SetEnabled(false);
    Send(fw::TMouseInput::miMove, 20, 20);
    Send(fw::TMouseInput::miDown, 20, 20);
    Send(fw::TMouseInput::miUp, 20, 20);
    auto seen = Drawings(button);
    // Only the click's own redraw, which is in the normal look; no event runs.
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Fill, kPanel);
    EXPECT_TRUE(events.empty());
    Send(fw::TMouseInput::miMove, 300, 20);
    EXPECT_EQ(Drawings(button).back().Fill, kPanel);  // leaving redraws even when disabled
    button.Repaint();
    EXPECT_EQ(Drawings(button).back().Fill, kPanel);
}

TEST_F(SelButton, BorderWidthDrawsNestedFramesOverTheFill) {
    button.SetBorderWidth(3);
    auto seen = Drawings(button);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].FillRect, (fw::TRect{1, 1, 140, 19}));
    EXPECT_EQ(seen[0].Frames, (std::vector<fw::TRect>{{0, 0, 141, 20}, {1, 1, 140, 19}, {2, 2, 139, 18}}));
    fw::console::ClearDrawLog();
    button.SetBorderWidth(0);
    EXPECT_TRUE(Drawings(button)[0].Frames.empty());
}

TEST_F(SelButton, HugeBorderWidthStopsAtTheMiddle) {
    button.SetBorderWidth(2000000000);
    EXPECT_EQ(Drawings(button)[0].Frames.size(), 10u);
}

struct TPlacementCase {
    fw::TAlignment Alignment;
    int Width;
    const char* Caption;
    fw::TPoint Normal, Pressed;
};

TEST_F(SelButton, CaptionPlacementFollowsAlignment) {
    const TPlacementCase cases[] = {
        {fw::taLeftJustify, 141, "abc", {5, 4}, {6, 5}},
        {fw::taRightJustify, 141, "abc", {141 - 15 - 6, 4}, {141 - 15 - 7, 5}},
        {fw::taCenter, 141, "abc", {70 - 7, 4}, {70 - 7 + 1, 5}},
        // wider than the button: centred text starts left of it (30 chars = 150 px)
        {fw::taCenter, 92, "012345678901234567890123456789", {46 - 75, 4}, {46 - 75 + 1, 5}},
    };
    for (const TPlacementCase& c : cases) {
        SCOPED_TRACE(c.Caption);
        button.SetWidth(c.Width);
        button.SetCaption(c.Caption);
        button.SetAlignment(c.Alignment);
        fw::console::ClearDrawLog();
        Send(fw::TMouseInput::miDown, 20, 20);
        Send(fw::TMouseInput::miCaptureLost, 0, 0);
        Send(fw::TMouseInput::miLeave, 0, 0);
        button.Repaint();
        auto seen = Drawings(button);
        ASSERT_GE(seen.size(), 2u);
        EXPECT_EQ(seen[1].TextAt, c.Pressed);
        EXPECT_EQ(seen.back().TextAt, c.Normal);
    }
}

TEST(SelButtonCaption, TakesTheNameWhenPlacedOutsideLoading) {
    fw::TForm form(nullptr);
    TSelButton runtime(nullptr), stored(nullptr);
    runtime.SetName("btnRuntime");
    runtime.SetParent(&form);
    EXPECT_EQ(runtime.Caption(), "btnRuntime");
    stored.SetName("btnStored");
    stored.BeginLoading();
    stored.SetParent(&form);
    stored.EndLoading();
    EXPECT_EQ(stored.Caption(), "");
}

TEST(SelButtonDefaults, MatchTheComponentDefaults) {
    TSelButton b(nullptr);
    EXPECT_EQ(b.Width(), 105);
    EXPECT_EQ(b.Height(), 20);
    EXPECT_EQ(b.Color(), fw::clBtnFace);
    EXPECT_EQ(b.ColorBorder(), 8421504);
    EXPECT_EQ(b.ColorOver(), 10795396);
    EXPECT_EQ(b.ColorDown(), 10795396);
    EXPECT_EQ(b.ColorOverCaption(), 0);
    EXPECT_EQ(b.BorderWidth(), 1);
    EXPECT_EQ(b.Alignment(), fw::taLeftJustify);
    EXPECT_TRUE(b.Enabled());
    EXPECT_TRUE(b.ShowHint);
    EXPECT_EQ(b.Font().Name(), "Arial");
    EXPECT_EQ(b.Font().Size(), 8);
    EXPECT_EQ(b.Font().Color(), 8421504);
}

}  // namespace
