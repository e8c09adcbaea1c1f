// Forms, the screen (cursor slots) and the application's forms and message loop.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Controls.h"

namespace fw {

enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;  // a set of TBorderIcon bits
enum TPosition { poDesigned, poScreenCenter, poMainFormCenter };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;

using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;
// The files of one drop on the form from the shell, by their full paths, in the order the shell gives them.
using TDropFilesEvent = std::function<void(TObject* sender, const std::vector<std::string>& paths)>;

// A top-level window. Its bounds are its client area; the backend adds the frame around it.
// A derived form builds its components in its constructor; DoCreate() then runs OnCreate (CreateForm
// calls it).
class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    TWindowKind Kind() const override { return wkForm; }

    int ClientWidth() const { return Width(); }
    int ClientHeight() const { return Height(); }
    void SetClientWidth(int v) { SetWidth(v); }
    void SetClientHeight(int v) { SetHeight(v); }

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle style);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons icons);
    TPosition Position = poDesigned;

    TNotifyEvent OnCreate;
    TCloseQueryEvent OnCloseQuery;
    // When assigned before the form's window is made, the window accepts files dropped on it. Called once
    // a drop, with all its files: a handler sees where one drop ends.
    TDropFilesEvent OnDropFiles;

    void DoCreate();
    void Show();
    void Hide();
    bool Showing() const { return FShowing; }
    // Shows the form and runs messages until ModalResult is set; hides it and returns the result.
    TModalResult ShowModal();
    bool Modal() const { return FModal; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult result) { FModalResult = result; }
    // OnCloseQuery; an exception from it leaves Close() and the form stays.
    bool CloseQuery();
    // A close request (title bar, system menu or program): asks CloseQuery, then hides the form,
    // ends a modal showing, or ends the application for the main form.
    void Close();

private:
    TBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    bool FShowing = false;
    bool FModal = false;
    TModalResult FModalResult = mrNone;
};

// A cursor as the backend knows it (0: none).
using TCursorHandle = uintptr_t;

// The screen: the application's cursor list, by slot.
class TScreen {
public:
    TCursorHandle Cursors(TCursor slot) const;
    void SetCursors(TCursor slot, TCursorHandle cursor) { FCursors[slot] = cursor; }

private:
    std::map<TCursor, TCursorHandle> FCursors;
};

TScreen& Screen();

// A cursor resource of the program's own module (0 when there is none, as on the console).
TCursorHandle LoadCursorResource(const std::string& name);

// Constructs a form owned by the application, runs its OnCreate and makes the first form created
// the main form.
template <class F>
void CreateForm(std::unique_ptr<F>& form) {
    form = std::make_unique<F>(&Application());
    form->DoCreate();
    if (!Application().MainForm())
        Application().SetMainForm(form.get());
}

}  // namespace fw
