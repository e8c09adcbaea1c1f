// Win32 backend: the message loop, message boxes, the open-file dialog, cursors and the window peers.
#include <vector>

#include "framework/Application.h"
#include "framework/Backend.h"
#include "framework/Dialogs.h"
#include "framework/Peer.h"
#include "framework/StdCtrls.h"
#include "framework/win32/Gdi.h"
#include "framework/win32/Peers.h"

#include "framework/win32/Win.h"

namespace fw::backend {

namespace {
// Room for the path the open dialog returns.
constexpr size_t kPathBuffer = 32768;

DWORD OpenFlags(TOpenOptions options) {
    DWORD flags = OFN_EXPLORER;
    if (options & ofReadOnly)
        flags |= OFN_READONLY;
    if (options & ofOverwritePrompt)
        flags |= OFN_OVERWRITEPROMPT;
    if (options & ofHideReadOnly)
        flags |= OFN_HIDEREADONLY;
    if (options & ofNoChangeDir)
        flags |= OFN_NOCHANGEDIR;
    if (options & ofAllowMultiSelect)
        flags |= OFN_ALLOWMULTISELECT;
    if (options & ofPathMustExist)
        flags |= OFN_PATHMUSTEXIST;
    if (options & ofFileMustExist)
        flags |= OFN_FILEMUSTEXIST;
    if (options & ofNoReadOnlyReturn)
        flags |= OFN_NOREADONLYRETURN;
    if (options & ofEnableSizing)
        flags |= OFN_ENABLESIZING;
    return flags;
}
}  // namespace

void Initialize() {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
}

namespace {
// Tab and the arrow keys move between a window's controls; everything else goes to its window.
void Dispatch(MSG& msg) {
    HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (top && IsDialogMessageW(top, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}
}  // namespace

void ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            Application().Terminate();
            return;
        }
        Dispatch(msg);
    }
}

bool HandleMessage() {
    MSG msg;
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
        Application().Terminate();
        return false;
    }
    Dispatch(msg);
    return true;
}

int MessageBox(const std::string& text, const std::string& caption, uint32_t flags) {
    return MessageBoxW(GetActiveWindow(), win32::Wide(text).c_str(), win32::Wide(caption).c_str(), flags);
}

bool ExecuteOpenDialog(TOpenDialog& dialog, std::string& fileName) {
    // "Name|*.x|Name|*.y" becomes the double-NUL list the dialog reads.
    std::wstring filter = win32::Wide(dialog.Filter);
    for (wchar_t& c : filter)
        if (c == L'|')
            c = L'\0';
    filter.append(2, L'\0');
    std::wstring title = win32::Wide(dialog.Title), folder = win32::Wide(dialog.InitialDir);
    std::vector<wchar_t> path(kPathBuffer, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(dialog.FilterIndex);
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.Flags = OpenFlags(dialog.Options);
    if (!GetOpenFileNameW(&ofn))
        return false;
    dialog.FilterIndex = static_cast<int>(ofn.nFilterIndex);
    fileName = win32::Narrow(path.data());
    return true;
}

uintptr_t LoadCursorResource(const std::string& name) {
    return reinterpret_cast<uintptr_t>(LoadCursorA(GetModuleHandleW(nullptr), name.c_str()));
}

std::unique_ptr<TWindowPeer> CreatePeer(TWinControl& control) {
    return control.Kind() == wkForm ? win32::CreateFormPeer(control) : win32::CreateChildPeer(control);
}

std::unique_ptr<TCanvasDevice> ControlDevice(TGraphicControl& control) {
    HWND window = win32::WindowOf(control.Parent());
    if (!window)
        return nullptr;
    return std::make_unique<win32::TWindowDevice>(window, control.BoundsRect());
}

}  // namespace fw::backend
