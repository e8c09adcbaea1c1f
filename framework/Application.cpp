// The application object and its default error display.
#include "framework/Application.h"

#include "framework/Backend.h"

namespace fw {

std::string FormatErrorMessage(const std::string& message) {
    std::string text = message;
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    return text;
}

void TApplication::ProcessMessages() {
    backend::ProcessMessages();
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, uint32_t flags) {
    return backend::MessageBox(text, caption, flags);
}

void TApplication::ShowException(const std::exception& error) {
    MessageBox(FormatErrorMessage(error.what()), FTitle, backend::MB_ICONERROR | backend::MB_OK);
}

void TApplication::HandleException(const std::exception& error) {
    if (OnException)
        OnException(this, error);
    else
        ShowException(error);
}

TApplication& Application() {
    static TApplication app;
    return app;
}

}  // namespace fw
