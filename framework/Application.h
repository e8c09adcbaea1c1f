// The application object: title, message processing and the default error display.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "framework/Component.h"

namespace fw {

class TForm;

class TApplication : public TComponent {
public:
    TApplication() : TComponent(nullptr) {}

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& title) { FTitle = title; }

    void ProcessMessages();
    int MessageBox(const std::string& text, const std::string& caption, uint32_t flags);

    // The default error display: a message box with the error icon captioned with the title.
    void ShowException(const std::exception& error);
    // Called by event dispatch for an exception that left a handler: OnException if assigned, else ShowException.
    void HandleException(const std::exception& error);
    std::function<void(TObject* sender, const std::exception& error)> OnException;

    // The main form: the first form created; closing it ends Run().
    TForm* MainForm() const { return FMainForm; }
    void SetMainForm(TForm* form) { FMainForm = form; }
    // Prepares the backend; the first call of a program.
    void Initialize();
    // Shows the main form and runs the message loop until Terminate() (or the backend has no messages).
    void Run();
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }

private:
    std::string FTitle;
    TForm* FMainForm = nullptr;
    bool FTerminated = false;
};

// The message shown for an error: a full stop appended when the last character sorts after ".".
std::string FormatErrorMessage(const std::string& message);

// The one application object of the process.
TApplication& Application();

// Runs an event handler the way the message loop does: an exception that leaves it goes to
// Application().HandleException and the program goes on.
template <class F>
void GuardedCall(F&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        Application().HandleException(e);
    }
}

}  // namespace fw
