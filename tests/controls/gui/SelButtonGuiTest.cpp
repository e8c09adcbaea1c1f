// TSelButton in a real window: looks read back from the pixels while the real pointer moves and presses.
#include <gtest/gtest.h>

#include "controls/ButtonComps.h"
#include "framework/Forms.h"
#include "tests/framework/gui/GuiDriver.h"

namespace {

constexpr fw::TColor kBack = 15590616, kFill = 16052200, kOutline = 10179597;
constexpr fw::TColor kOver = 0x00A000, kDown = 0x0000A0;  // distinct so each look can be told apart
constexpr fw::TRect kButton{14, 14, 155, 34};

struct RealSelButton : testing::Test {
    fw::TForm form{nullptr};
    controls::TSelButton button{nullptr};
    int clicks = 0;
    HWND w = nullptr;

    void SetUp() override {
        form.SetClientWidth(300);
        form.SetClientHeight(120);
        form.SetColor(kBack);
        form.Position = fw::poScreenCenter;
        button.BeginLoading();
        button.SetParent(&form);
        button.SetBounds(kButton.Left, kButton.Top, kButton.Width(), kButton.Height());
        button.SetCaption("Caption");
        button.SetColor(kFill);
        button.SetColorBorder(kOutline);
        button.SetColorOver(kOver);
        button.SetColorDown(kDown);
        button.SetColorOverCaption(fw::clWhite);
        button.Font().SetName("Arial");
        button.Font().SetHeight(-11);
        button.Font().SetColor(kOutline);
        button.EndLoading();
        button.OnClick = [this](fw::TObject*) { ++clicks; };
        form.Show();
        guitest::Pump();
        w = guitest::WindowOf(form);
        guitest::MoveTo(w, 250, 100);
    }
    // A fill pixel away from the caption.
    fw::TColor Fill() { return guitest::Pixel(w, kButton.Right - 4, kButton.Top + 10); }
    fw::TRect Caption(fw::TColor color) { return guitest::FindColor(w, kButton, color); }
};

TEST_F(RealSelButton, NormalLookHasTheFillTheFrameAndTheCaptionColour) {
    EXPECT_EQ(Fill(), kFill);
    EXPECT_EQ(guitest::Pixel(w, kButton.Left, kButton.Top), kOutline);
    EXPECT_EQ(guitest::Pixel(w, kButton.Right - 1, kButton.Bottom - 1), kOutline);
    EXPECT_EQ(guitest::Pixel(w, kButton.Left + 1, kButton.Top + 1), kFill);
    EXPECT_EQ(guitest::Pixel(w, kButton.Right, kButton.Bottom), kBack);
}

TEST_F(RealSelButton, HoverShowsColorOverAndAWhiteCaption) {
    guitest::MoveTo(w, 40, 24);
    EXPECT_EQ(Fill(), kOver);
    fw::TRect text = Caption(fw::clWhite);
    EXPECT_GT(text.Width(), 10);
    EXPECT_GE(text.Left, kButton.Left + 5);
    guitest::MoveTo(w, 250, 100);
    EXPECT_EQ(Fill(), kFill);
}

TEST_F(RealSelButton, PressShowsColorDownWithTheCaptionShiftedOnePixel) {
    guitest::MoveTo(w, 40, 24);
    fw::TRect hover = Caption(fw::clWhite);
    guitest::Press(w, 40, 24);
    EXPECT_EQ(Fill(), kDown);
    fw::TRect pressed = Caption(fw::clWhite);
    EXPECT_EQ(pressed.Left, hover.Left + 1);
    EXPECT_EQ(pressed.Top, hover.Top + 1);
    guitest::Release(w, 40, 24);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Fill(), kOver);  // the hover look returns after the click
}

TEST_F(RealSelButton, ReleasingOutsideGivesNoClick) {
    guitest::MoveTo(w, 40, 24);
    guitest::Press(w, 40, 24);
    guitest::MoveTo(w, 250, 100);
    guitest::Release(w, 250, 100);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(Fill(), kFill);
}

TEST_F(RealSelButton, PointerThatMovedOnDuringTheClickLeavesTheNormalLook) {
    // The handler ends with the pointer elsewhere, as after a dialog closed under it; the release
    // message still names the button.
    button.OnClick = [this](fw::TObject*) {
        ++clicks;
        POINT away{250, 100};
        ClientToScreen(w, &away);
        SetCursorPos(away.x, away.y);
    };
    guitest::MoveTo(w, 40, 24);
    guitest::Press(w, 40, 24);
    guitest::Release(w, 40, 24);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Fill(), kFill);
}

TEST_F(RealSelButton, DisabledButtonPaintsNormallyAndIgnoresInput) {
    button.SetEnabled(false);
    button.Repaint();
    EXPECT_EQ(Fill(), kFill);
    guitest::MoveTo(w, 40, 24);
    EXPECT_EQ(Fill(), kFill);
    guitest::Press(w, 40, 24);
    EXPECT_EQ(Fill(), kFill);
    guitest::Release(w, 40, 24);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(Fill(), kFill);
}

TEST_F(RealSelButton, BorderWidthThreeDrawsThreeFrames) {
    button.SetBorderWidth(3);
    guitest::Pump();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(guitest::Pixel(w, kButton.Left + i, kButton.Top + i), kOutline) << i;
        EXPECT_EQ(guitest::Pixel(w, kButton.Right - 1 - i, kButton.Bottom - 1 - i), kOutline) << i;
    }
    EXPECT_EQ(guitest::Pixel(w, kButton.Left + 3, kButton.Top + 3), kFill);
    // A later paint request draws the same.
    InvalidateRect(w, nullptr, FALSE);
    guitest::Pump();
    EXPECT_EQ(guitest::Pixel(w, kButton.Left + 2, kButton.Top + 2), kOutline);
}

}  // namespace
