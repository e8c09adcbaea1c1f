// The About dialog in a real window: layout, colours read back, modal showing closed by "Ok", the hand cursor.
#include <gtest/gtest.h>

#include "app/forms/AboutForm.h"
#include "framework/Forms.h"
#include "tests/framework/gui/GuiDriver.h"

namespace {

constexpr fw::TColor kBack = 15590616, kFill = 16052200, kOutline = 10179597;

struct RealAbout : testing::Test {
    fw::TForm owner{nullptr};
    app::TfrmAbout about{nullptr};
    HWND w = nullptr;

    void SetUp() override {
        owner.SetClientWidth(617);
        owner.SetClientHeight(119);
        owner.Position = fw::poScreenCenter;
        fw::Application().SetMainForm(&owner);
        owner.Show();
        // The dialog's window exists from its first showing on.
        about.Show();
        about.Hide();
        w = guitest::WindowOf(about);
    }
    void TearDown() override { fw::Application().SetMainForm(nullptr); }

    // Shows the dialog modally with a click on "Ok" already waiting; a close request waits behind it
    // so a missed click ends the showing instead of hanging.
    fw::TModalResult ShowAndPressOk() {
        guitest::PostClick(w, about.btnOk.Left() + 46, about.btnOk.Top() + 10);
        PostMessageW(w, WM_CLOSE, 0, 0);
        fw::TModalResult result = about.ShowModal();
        guitest::Pump();
        return result;
    }
};

TEST_F(RealAbout, DialogHasItsSizeNoTitleButtonsAndSitsOnTheMainWindowsCentre) {
    about.Show();
    guitest::Pump();
    RECT client{}, frame{}, main{};
    GetClientRect(w, &client);
    GetWindowRect(w, &frame);
    GetWindowRect(guitest::WindowOf(owner), &main);
    EXPECT_EQ(client.right, 297);
    EXPECT_EQ(client.bottom, 113);
    EXPECT_LE(std::abs((frame.left + frame.right) - (main.left + main.right)), 2);
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (main.top + main.bottom)), 2);
    EXPECT_FALSE(GetWindowLongW(w, GWL_STYLE) & WS_SYSMENU);
    EXPECT_EQ(GetWindow(w, GW_OWNER), guitest::WindowOf(owner));
    about.Hide();
}

TEST_F(RealAbout, PanelAndLabelsShowTheirColours) {
    about.Show();
    guitest::Pump();
    EXPECT_EQ(guitest::Pixel(w, 3, 3), kBack);
    EXPECT_EQ(guitest::Pixel(w, 8, 8), kOutline);
    EXPECT_EQ(guitest::Pixel(w, 288, 80), kOutline);
    EXPECT_EQ(guitest::Pixel(w, 280, 20), kFill);
    // The labels let the panel show through: no window colour inside the panel.
    EXPECT_EQ(guitest::FindColor(w, {9, 9, 288, 80}, kBack), fw::TRect{});
    // The link's text is drawn in its colour.
    fw::TRect link = guitest::FindColor(w, about.lblEmail.BoundsRect(), 12946778);
    EXPECT_GT(link.Width(), 20);
    about.Hide();
}

TEST_F(RealAbout, OkClosesTheDialogAndItCanBeShownAgain) {
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ShowAndPressOk(), fw::mrOk);
        EXPECT_FALSE(IsWindowVisible(w));
        EXPECT_TRUE(IsWindowEnabled(guitest::WindowOf(owner)));
    }
}

TEST_F(RealAbout, OnlyTheLinkShowsAHint) {
    HWND tips = nullptr;
    do
        tips = FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr);
    while (tips && GetWindow(tips, GW_OWNER) != w);
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 1);
    wchar_t text[64]{};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = w;
    tool.uId = 1;
    tool.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, L"Quillmere site");
}

TEST(HandCursor, TheModulesHandIsInTheHandPointerSlot) {
    auto hand = reinterpret_cast<HCURSOR>(fw::Screen().Cursors(fw::crHandPoint));
    ASSERT_NE(hand, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 12u);
    EXPECT_EQ(info.yHotspot, 6u);
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(info.hbmColor, nullptr);  // monochrome: the mask holds both halves
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, 64);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
}

TEST_F(RealAbout, PointerOverTheLinkShowsTheHand) {
    about.Show();
    guitest::Pump();
    int x = about.lblEmail.Left() + 5, y = about.lblEmail.Top() + 5;
    guitest::MoveTo(w, x, y);
    SendMessageW(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(GetCursor()), fw::Screen().Cursors(fw::crHandPoint));
    about.Hide();
}

}  // namespace
