// The run's write-behind thread: made once, kept to the end of the run.
#include "archive/read/ReadContext.h"

#include <system_error>

namespace archive {

TWriteBehind* TReadContext::WriteBehind() {
    if (!FWriteBehind) {
        try {
            FWriteBehind = std::make_unique<TWriteBehind>();
        } catch (const std::system_error&) {
            return nullptr;  // no thread to be had: written on the caller's thread
        }
    }
    return FWriteBehind.get();
}

}  // namespace archive
