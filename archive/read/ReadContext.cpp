// The run's helper threads: made once, kept to the end of the run.
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

void TReadContext::InflateAhead(const std::string& archiveFile, std::vector<TInflateAhead::TItem> items) {
    try {
        FInflateAhead = std::make_unique<TInflateAhead>(archiveFile, std::move(items));
    } catch (const std::system_error&) {
        // no thread to be had: every entry is inflated on the caller's thread
    }
}

const std::vector<uint8_t>* TReadContext::InflatedAhead() {
    return FInflateAhead ? FInflateAhead->Take(FListed) : nullptr;
}

}  // namespace archive
