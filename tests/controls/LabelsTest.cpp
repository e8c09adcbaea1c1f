// TBasicLabel's colour rules and TWebLabel's link: prefixes, the shell's open action and its failure text.
#include <gtest/gtest.h>

#include <cstdlib>

#include "TestUtil.h"
#include "controls/WebLabel.h"
#include "framework/Exceptions.h"
#include "framework/Forms.h"
#include "platform/Platform.h"

namespace {

using controls::TBasicLabel;
using controls::TWebLabel;

struct BasicLabel : testing::Test {
    fw::TForm form{nullptr};
    TBasicLabel label{nullptr};
    std::vector<std::string> events;
    void SetUp() override {
        label.SetParent(&form);
        label.SetCaption("hello");
        label.Font().SetColor(0x123456);
        label.OnMouseEnter = [this](fw::TObject*) {
            events.push_back("enter " + std::to_string(label.Font().Color()));
        };
        label.OnMouseLeave = [this](fw::TObject*) {
            events.push_back("leave " + std::to_string(label.Font().Color()));
        };
    }
    void Move(int x, int y) { form.MouseInput({fw::TMouseInput::miMove, fw::mbLeft, 0, {x, y}}); }
};

TEST_F(BasicLabel, HoverShowsTheFocusColourAndLeavingRestoresTheSavedOne) {
    Move(1, 1);
    Move(500, 500);
    EXPECT_EQ(events, (std::vector<std::string>{"enter 255", "leave " + std::to_string(0x123456)}));
}

TEST_F(BasicLabel, ColourSetWhileHoveredIsRestoredOnLeave) {
    Move(1, 1);
    label.Font().SetColor(0x00FF00);
    Move(500, 500);
    EXPECT_EQ(label.Font().Color(), 0x00FF00);
}

TEST_F(BasicLabel, FocusColourEqualToTheFontColourChangesNothing) {
    label.FocusColor = 0x123456;
    Move(1, 1);
    EXPECT_EQ(label.Font().Color(), 0x123456);
    Move(500, 500);
    EXPECT_EQ(label.Font().Color(), 0x123456);
}

TEST_F(BasicLabel, SavedColourIsTheLoadedFontColour) {
    label.BeginLoading();
    label.FocusColor = 0x5A8DC5;
    label.Font().SetColor(0x5A8DC5);  // stored font colour equal to the stored focus colour
    label.EndLoading();
    EXPECT_EQ(label.SavedColor(), 0x5A8DC5);
}

TEST(WebLabelPrefix, EveryLinkTypeHasItsPrefix) {
    const std::pair<controls::TURLType, const char*> cases[] = {
        {controls::lnFile, "file://x"}, {controls::lnFtp, "ftp://x"},     {controls::lnGopher, "gopher://x"},
        {controls::lnHttp, "http://x"}, {controls::lnHttps, "https://x"}, {controls::lnMailto, "mailto:x"},
        {controls::lnNews, "news:x"},   {controls::lnTelnet, "telnet:x"}, {controls::lnWais, "wais:x"},
    };
    TWebLabel label(nullptr);
    label.Link = "x";
    for (auto [type, target] : cases) {
        label.SetLinkType(type);
        EXPECT_EQ(label.Target(), target);
    }
}

TEST(WebLabelDefaults, LinkAndCaptionNameTheMakersHost) {
    TWebLabel label(nullptr);
    EXPECT_EQ(label.Link, TWebLabel::kDefaultHost);
    EXPECT_EQ(label.Caption(), TWebLabel::kDefaultHost);
    EXPECT_EQ(label.Hint, "Quillmere site");
    EXPECT_TRUE(label.ShowHint);
    EXPECT_EQ(label.Font().Color(), 8388608);
    EXPECT_TRUE(label.Font().Style() & fw::fsUnderline);
    EXPECT_EQ(label.Cursor(), fw::crHandPoint);
    EXPECT_EQ(label.LinkType(), controls::lnHttp);
    EXPECT_EQ(label.FocusColor, 255);
}

#ifndef _WIN32
// The shell's open action runs xdg-open from PATH; a stand-in records what it was handed.
struct WebLabelOpen : testing::Test {
    testutil::TTempDir dir;
    std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    fw::TForm form{nullptr};
    TWebLabel label{nullptr};
    void SetUp() override { label.SetParent(&form); }
    void TearDown() override { setenv("PATH", savedPath.c_str(), 1); }
    void UseOpener(bool present) {
        if (present) {
            testutil::WriteFile(dir / "xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > " + dir.Path() +
                                                      "/opened.tmp\n"
                                                      "mv " +
                                                      dir.Path() + "/opened.tmp " + dir.Path() + "/opened\n");
            testutil::RunHost("chmod +x " + testutil::Quote(dir / "xdg-open"));
        }
        setenv("PATH", (dir.Path() + ":/usr/bin:/bin").c_str(), 1);
    }
    void Press(fw::TMouseButton button) {
        form.MouseInput({fw::TMouseInput::miDown, button, 0, {1, 1}});
        form.MouseInput({fw::TMouseInput::miUp, button, 0, {1, 1}});
    }
    std::string Opened() {
        // The opener runs in the background; wait for its answer file.
        for (int i = 0; i < 500 && !testutil::Exists(dir / "opened"); ++i)
            platform::Sleep(10);
        return testutil::Exists(dir / "opened") ? testutil::ReadText(dir / "opened") : "";
    }
};

TEST_F(WebLabelOpen, RightButtonOpensMailtoLinkWithNothingBetween) {
    UseOpener(true);
    label.SetLinkType(controls::lnMailto);
    label.Link = "someone@quillmere.example";
    Press(fw::mbRight);
    EXPECT_EQ(Opened(), "mailto:someone@quillmere.example");
}

TEST_F(WebLabelOpen, RefusedOpenNamesTheLinkAloneAndTheResult) {
    if (testutil::Exists("/usr/bin/xdg-open") || testutil::Exists("/bin/xdg-open"))
        GTEST_SKIP();
    UseOpener(false);
    label.Link = "";
    int downs = 0;
    label.OnMouseDown = [&](fw::TObject*, fw::TMouseButton, fw::TShiftState, int, int) { ++downs; };
    try {
        Press(fw::mbLeft);
        FAIL() << "no error";
    } catch (const fw::Exception& e) {
        EXPECT_EQ(e.Message(), "ShellExecute \"\" Failed with Error: 31");
    }
    EXPECT_EQ(downs, 1);
}
#endif

}  // namespace
