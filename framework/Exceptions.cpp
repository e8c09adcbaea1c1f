// Texts of the run-time I/O error.
#include "framework/Exceptions.h"

#include "platform/Platform.h"

namespace fw {

std::string InOutErrorText(uint32_t errorCode) {
    switch (errorCode) {
        case 2:
            return "File not found";
        case 3:
            return "Invalid filename";
        case 4:
            return "Too many open files";
        case 5:
            return "File access denied";
        case 100:
            return "Read beyond end of file";
        case 101:
            return "Disk full";
        case 106:
            return "Invalid numeric input";
        default:
            return "I/O error " + std::to_string(errorCode);
    }
}

EInOutError::EInOutError(uint32_t errorCode) : Exception(InOutErrorText(errorCode)), FErrorCode(errorCode) {}

void InOutCheck(bool ok) {
    if (!ok)
        throw EInOutError(platform::LastError());
}

}  // namespace fw
