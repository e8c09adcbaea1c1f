// The open-file dialog and the component that carries the application manifest.
#pragma once

#include <string>
#include <vector>

#include "framework/Component.h"

namespace fw {

enum TOpenOption : unsigned {
    ofReadOnly = 0x1,
    ofOverwritePrompt = 0x2,
    ofHideReadOnly = 0x4,
    ofNoChangeDir = 0x8,
    ofAllowMultiSelect = 0x10,
    ofPathMustExist = 0x20,
    ofFileMustExist = 0x40,
    ofNoReadOnlyReturn = 0x80,
    ofEnableSizing = 0x100,
};
using TOpenOptions = unsigned;  // a set of TOpenOption bits

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}

    std::string Filter;  // "Text|*.txt|All|*.*"
    int FilterIndex = 1;
    std::string Title;
    std::string InitialDir;
    TOpenOptions Options = ofHideReadOnly | ofEnableSizing;

    // Asks for a file: a queued answer when there is one, else the backend's dialog (the console
    // has none and answers cancel). True when a file was chosen.
    bool Execute();
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& name) { FFileName = name; }
    const std::vector<std::string>& Files() const { return FFiles; }

    // Answers for the next Execute() calls, in order (scripted runs and tests); an empty one cancels.
    static void QueueAnswer(const std::string& path);
    static void ClearAnswers();

private:
    std::string FFileName;
    std::vector<std::string> FFiles;
};

// Stands for the manifest the executable carries; nothing to do at run time.
class TXPManifest : public TComponent {
public:
    using TComponent::TComponent;
};

}  // namespace fw
