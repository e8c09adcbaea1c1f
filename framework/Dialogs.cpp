// The open-file dialog: queued answers first, then the backend's dialog.
#include "framework/Dialogs.h"

#include <deque>

#include "framework/Peer.h"

namespace fw {

namespace {
std::deque<std::string>& Answers() {
    static std::deque<std::string> answers;
    return answers;
}
}  // namespace

bool TOpenDialog::Execute() {
    std::string name;
    bool chosen;
    if (!Answers().empty()) {
        name = Answers().front();
        Answers().pop_front();
        chosen = !name.empty();
    } else {
        chosen = backend::ExecuteOpenDialog(*this, name);
    }
    if (!chosen)
        return false;
    FFileName = name;
    FFiles = {name};
    return true;
}

void TOpenDialog::QueueAnswer(const std::string& path) {
    Answers().push_back(path);
}

void TOpenDialog::ClearAnswers() {
    Answers().clear();
}

}  // namespace fw
