// Forms: showing, modal showing, close requests; the screen's cursor slots; the message loop.
#include "framework/Forms.h"

#include "framework/Peer.h"

namespace fw {

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    SetVisible(false);
    SetBounds(0, 0, 320, 240);
}

void TForm::SetBorderStyle(TBorderStyle style) {
    FBorderStyle = style;
    Changed();
}

void TForm::SetBorderIcons(TBorderIcons icons) {
    FBorderIcons = icons;
    Changed();
}

void TForm::DoCreate() {
    GuardedCall([&] { Fire(OnCreate, this); });
}

void TForm::Show() {
    FShowing = true;
    SetVisible(true);
    Peer().Show(true);
}

void TForm::Hide() {
    FShowing = false;
    SetVisible(false);
    Peer().Show(false);
}

TModalResult TForm::ShowModal() {
    FModal = true;
    FModalResult = mrNone;
    Show();
    while (FModalResult == mrNone && !Application().Terminated()) {
        if (!backend::HandleMessage())
            FModalResult = mrCancel;
    }
    TModalResult result = FModalResult;
    Hide();
    FModal = false;
    return result;
}

bool TForm::CloseQuery() {
    bool canClose = true;
    Fire(OnCloseQuery, this, canClose);
    return canClose;
}

void TForm::Close() {
    if (!CloseQuery())
        return;
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    Hide();
    if (Application().MainForm() == this)
        Application().Terminate();
}

TCursorHandle TScreen::Cursors(TCursor slot) const {
    auto it = FCursors.find(slot);
    return it == FCursors.end() ? 0 : it->second;
}

TScreen& Screen() {
    static TScreen screen;
    return screen;
}

TCursorHandle LoadCursorResource(const std::string& name) {
    return backend::LoadCursorResource(name);
}

void TApplication::Initialize() {
    backend::Initialize();
}

void TApplication::Run() {
    if (!FMainForm)
        return;
    FMainForm->Show();
    while (!FTerminated && backend::HandleMessage()) {
    }
}

}  // namespace fw
