// The visual classes on the console backend: painting order, mouse routing, memo output, open dialog answers.
#include <gtest/gtest.h>

#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/console/Recorder.h"

namespace {

using fw::console::DrawLog;
using fw::console::TDrawCall;

class TProbe : public fw::TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    std::vector<std::string> Events;
    void MouseEnter() override { Events.push_back("enter"); }
    void MouseLeave() override { Events.push_back("leave"); }
    void Click() override { Events.push_back("click"); }
    void MouseDown(fw::TMouseButton b, fw::TShiftState, int x, int y) override {
        Events.push_back("down" + std::to_string(b) + "@" + std::to_string(x) + "," + std::to_string(y));
    }
    void MouseUp(fw::TMouseButton b, fw::TShiftState, int, int) override { Events.push_back("up" + std::to_string(b)); }
};

fw::TMouseInput At(fw::TMouseInput::TKind kind, int x, int y, fw::TMouseButton button = fw::mbLeft) {
    return {kind, button, 0, {x, y}};
}

struct MouseRouting : testing::Test {
    fw::TForm form{nullptr};
    TProbe probe{nullptr};
    void SetUp() override {
        probe.SetParent(&form);
        probe.SetBounds(10, 10, 50, 20);
    }
};

TEST_F(MouseRouting, ClickNeedsPressAndReleaseInsideWithTheLeftButton) {
    form.MouseInput(At(fw::TMouseInput::miDown, 15, 15));
    form.MouseInput(At(fw::TMouseInput::miUp, 20, 20));
    EXPECT_EQ(probe.Events, (std::vector<std::string>{"enter", "down0@5,5", "click", "up0"}));
}

TEST_F(MouseRouting, ReleaseOutsideGoesToThePressedControlWithoutClick) {
    form.MouseInput(At(fw::TMouseInput::miDown, 15, 15));
    form.MouseInput(At(fw::TMouseInput::miMove, 100, 100));
    form.MouseInput(At(fw::TMouseInput::miUp, 100, 100));
    EXPECT_EQ(probe.Events, (std::vector<std::string>{"enter", "down0@5,5", "leave", "up0"}));
}

TEST_F(MouseRouting, RightButtonAndLostCaptureGiveNoClick) {
    form.MouseInput(At(fw::TMouseInput::miDown, 15, 15, fw::mbRight));
    form.MouseInput(At(fw::TMouseInput::miUp, 15, 15, fw::mbRight));
    form.MouseInput(At(fw::TMouseInput::miDown, 15, 15));
    form.MouseInput(At(fw::TMouseInput::miCaptureLost, 0, 0));
    form.MouseInput(At(fw::TMouseInput::miUp, 15, 15));
    EXPECT_EQ(probe.Events, (std::vector<std::string>{"enter", "down1@5,5", "up1", "down0@5,5", "up0"}));
}

TEST_F(MouseRouting, LeavingTheWindowEndsTheHover) {
    form.MouseInput(At(fw::TMouseInput::miMove, 12, 12));
    form.MouseInput(At(fw::TMouseInput::miMove, 13, 12));
    form.MouseInput(At(fw::TMouseInput::miLeave, 0, 0));
    EXPECT_EQ(probe.Events, (std::vector<std::string>{"enter", "leave"}));
}

TEST(Painting, ShapesPaintInCreationOrderWithFillInsideTheOutline) {
    fw::TForm form(nullptr);
    fw::TShape back(nullptr), front(nullptr);
    back.SetParent(&form);
    front.SetParent(&form);
    back.SetBounds(0, 0, 30, 20);
    front.SetBounds(5, 5, 10, 10);
    back.Brush().Color = 0xF4EFE8;
    back.Pen().Color = 0x9B540D;
    fw::console::ClearDrawLog();
    form.Repaint();
    ASSERT_EQ(DrawLog().size(), 4u);
    EXPECT_EQ(DrawLog()[0].Control, &back);
    EXPECT_EQ(DrawLog()[0].Kind, TDrawCall::dcFillRect);
    EXPECT_EQ(DrawLog()[0].Rect, (fw::TRect{1, 1, 29, 19}));
    EXPECT_EQ(DrawLog()[0].Color, 0xF4EFE8);
    EXPECT_EQ(DrawLog()[1].Rect, (fw::TRect{0, 0, 30, 20}));
    EXPECT_EQ(DrawLog()[1].Color, 0x9B540D);
    EXPECT_EQ(DrawLog()[2].Control, &front);
}

TEST(Painting, LabelsSizeThemselvesToTheirCaptionAndFollowTheParentFont) {
    fw::TForm form(nullptr);
    form.Font().SetHeight(-13);
    fw::TLabel label(nullptr);
    label.SetParent(&form);
    label.SetCaption("abcd");
    EXPECT_EQ(label.Font().Height(), -13);
    EXPECT_EQ(label.Width(), 4 * fw::console::CharWidth(label.Font()));
    EXPECT_EQ(label.Height(), fw::console::LineHeight(label.Font()));
    label.Font().SetStyle(fw::fsBold);
    EXPECT_FALSE(label.ParentFont());
    form.Font().SetHeight(-20);
    EXPECT_EQ(label.Font().Height(), -13);
}

TEST(Memo, PrintsEveryAddedLineAsUtf8) {
    fw::TForm form(nullptr);
    fw::TMemo memo(nullptr);
    memo.SetParent(&form);
    testing::internal::CaptureStdout();
    memo.Lines().Add("\xC4\xE0");           // "Да"
    memo.Lines().Add("/tmp/\xD0\x94.jar");  // already UTF-8: "/tmp/Д.jar"
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "\xD0\x94\xD0\xB0\n/tmp/\xD0\x94.jar\n");
    EXPECT_EQ(memo.Lines().Count(), 2);
    memo.Lines().Clear();
    EXPECT_EQ(memo.Lines().Count(), 0);
}

TEST(OpenDialog, AnswersFromTheQueueAndCancelsWhenItIsEmpty) {
    fw::TOpenDialog dialog(nullptr);
    fw::TOpenDialog::QueueAnswer("a.jar");
    fw::TOpenDialog::QueueAnswer("");
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "a.jar");
    EXPECT_EQ(dialog.Files(), std::vector<std::string>{"a.jar"});
    EXPECT_FALSE(dialog.Execute());
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "a.jar");
}

TEST(Forms, CloseAsksFirstAndEndsTheApplicationOnlyForTheMainForm) {
    fw::TForm form(nullptr);
    int asked = 0;
    bool allow = false;
    form.OnCloseQuery = [&](fw::TObject*, bool& canClose) {
        ++asked;
        canClose = allow;
    };
    form.Show();
    form.Close();
    EXPECT_TRUE(form.Showing());
    allow = true;
    form.Close();
    EXPECT_FALSE(form.Showing());
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(fw::Application().Terminated());
}

TEST(Forms, ModalShowingWithoutMessagesEndsCancelled) {
    fw::TForm form(nullptr);
    EXPECT_EQ(form.ShowModal(), fw::mrCancel);
    EXPECT_FALSE(form.Showing());
}

}  // namespace
