// TWebLabel: link prefixes, the shell's open action, and the hand cursor installed at start.
#include "controls/WebLabel.h"

#include <string>

#include "framework/Exceptions.h"
#include "framework/Forms.h"
#include "platform/Platform.h"

namespace controls {

namespace {

constexpr fw::TColor kLinkColor = fw::clNavy;
constexpr intptr_t kShellLastError = 32;  // shell results up to this value are failures
constexpr int kShowNormal = 1;            // SW_SHOWNORMAL

// The module's hand cursor takes the application's hand-pointer slot as soon as the module is loaded.
const bool kHandCursorInstalled = [] {
    if (fw::TCursorHandle hand = fw::LoadCursorResource("WEB_HAND"))
        fw::Screen().SetCursors(fw::crHandPoint, hand);
    return true;
}();

}  // namespace

const char* URLPrefix(TURLType type) {
    switch (type) {
        case lnFile:
            return "file://";
        case lnFtp:
            return "ftp://";
        case lnGopher:
            return "gopher://";
        case lnHttp:
            return "http://";
        case lnHttps:
            return "https://";
        case lnMailto:
            return "mailto:";
        case lnNews:
            return "news:";
        case lnTelnet:
            return "telnet:";
        case lnWais:
            return "wais:";
    }
    return "";
}

TWebLabel::TWebLabel(fw::TComponent* owner) : TBasicLabel(owner), Link(kDefaultHost) {
    SetCaption(kDefaultHost);
    Hint = "Quillmere site";
    ShowHint = true;
    Font().SetColor(kLinkColor);
    Font().SetStyle(Font().Style() | fw::fsUnderline);
    SetCursor(fw::crHandPoint);
}

void TWebLabel::MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) {
    TBasicLabel::MouseDown(button, shift, x, y);
    intptr_t result = platform::ShellExecute("open", Target(), "", "", kShowNormal);
    if (result <= kShellLastError)
        throw fw::Exception("ShellExecute \"" + Link + "\" Failed with Error: " + std::to_string(result));
}

}  // namespace controls
