// Real windows under the Win32 backend: form placement and size, painting of windowless children,
// the memo's lines and the check box's state.
#include <gtest/gtest.h>

#include "GuiDriver.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace {

constexpr fw::TColor kBack = 15590616, kFill = 16052200, kOutline = 10179597;

struct RealForm : testing::Test {
    fw::TForm form{nullptr};
    fw::TShape shape{nullptr};
    fw::TMemo memo{nullptr};
    fw::TCheckBox box{nullptr};
    void SetUp() override {
        form.SetBorderStyle(fw::bsSingle);
        form.SetBorderIcons(fw::biSystemMenu | fw::biMinimize);
        form.SetClientWidth(617);
        form.SetClientHeight(119);
        form.SetColor(kBack);
        form.Position = fw::poScreenCenter;
        shape.SetParent(&form);
        shape.SetBounds(8, 8, 153, 103);
        shape.Brush().Color = kFill;
        shape.Pen().Color = kOutline;
        memo.SetParent(&form);
        memo.SetBounds(172, 13, 432, 93);
        memo.SetBorderStyle(fw::bsNone);
        memo.SetReadOnly(true);
        memo.SetScrollBars(fw::ssVertical);
        box.SetParent(&form);
        box.SetBounds(14, 90, 142, 17);
        box.SetCaption("backup");
        form.Show();
        guitest::Pump();
    }
};

TEST_F(RealForm, ClientAreaHasTheAskedSizeAndSitsInTheMiddleOfTheDesktop) {
    HWND w = guitest::WindowOf(form);
    RECT client{}, frame{};
    GetClientRect(w, &client);
    GetWindowRect(w, &frame);
    EXPECT_EQ(client.right, 617);
    EXPECT_EQ(client.bottom, 119);
    int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_LE(std::abs((frame.left + frame.right) / 2 - screenW / 2), 1);
    EXPECT_LE(std::abs((frame.top + frame.bottom) / 2 - screenH / 2), 1);
    LONG style = GetWindowLongW(w, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
}

TEST_F(RealForm, BackgroundAndShapeAreReadBackFromThePixels) {
    HWND w = guitest::WindowOf(form);
    EXPECT_EQ(guitest::Pixel(w, 2, 2), kBack);
    EXPECT_EQ(guitest::Pixel(w, 8, 8), kOutline);
    EXPECT_EQ(guitest::Pixel(w, 160, 110), kOutline);
    EXPECT_EQ(guitest::Pixel(w, 9, 9), kFill);
    EXPECT_EQ(guitest::Pixel(w, 161, 111), kBack);
}

TEST_F(RealForm, MemoShowsItsLinesInAReadOnlyScrollingEdit) {
    memo.Lines().Add("first");
    memo.Lines().Add("\xC2\xF2\xEE\xF0\xE0\xFF");  // "Вторая"
    HWND edit = guitest::WindowOf(memo);
    ASSERT_NE(edit, nullptr);
    wchar_t text[64]{};
    GetWindowTextW(edit, text, 64);
    EXPECT_STREQ(text, L"first\r\n\x0412\x0442\x043E\x0440\x0430\x044F");
    LONG style = GetWindowLongW(edit, GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & WS_VSCROLL);
    memo.Lines().Clear();
    EXPECT_EQ(GetWindowTextLengthW(edit), 0);
}

TEST_F(RealForm, CheckBoxFollowsTheUsersClick) {
    HWND button = guitest::WindowOf(box);
    ASSERT_NE(button, nullptr);
    SendMessageW(button, BM_CLICK, 0, 0);
    guitest::Pump();
    EXPECT_TRUE(box.Checked());
    box.SetChecked(false);
    EXPECT_EQ(SendMessageW(button, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(RealForm, CloseFromTheTitleBarAsksFirst) {
    bool allow = false;
    int asked = 0;
    form.OnCloseQuery = [&](fw::TObject*, bool& canClose) {
        ++asked;
        canClose = allow;
    };
    HWND w = guitest::WindowOf(form);
    PostMessageW(w, WM_CLOSE, 0, 0);
    guitest::Pump();
    EXPECT_TRUE(IsWindowVisible(w));
    allow = true;
    PostMessageW(w, WM_CLOSE, 0, 0);
    guitest::Pump();
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_EQ(asked, 2);
}

}  // namespace
