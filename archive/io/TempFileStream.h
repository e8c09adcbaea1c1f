// The writer's temporary output: a unique "kxa" file that becomes the archive at the end, or goes away.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "archive/io/Streams32.h"

namespace archive {

class TTempFileStream : public THandleStream32 {
public:
    // Prefix of the unique temporary name the system makes ("kxa" + hex number + ".tmp").
    static constexpr const char* kPrefix = "kxa";

    // Makes the unique file in `folder` (created when missing) and opens it with create-and-truncate
    // access. Valid() tells whether that worked.
    explicit TTempFileStream(const std::string& folder);
    // Closes the file and deletes it unless it has been moved or kept.
    ~TTempFileStream() override;

    const std::string& FileName() const { return FFileName; }

    // Puts the content at `target`: renamed over it when both are on the same drive, else copied into a
    // new `target` (progress reported as bytes done / total). On failure the temporary file is kept
    // whole, nothing is left at a half-written `target`, and `errorCode` holds the system's error.
    using TProgress = std::function<void(int64_t done, int64_t total)>;
    bool MoveTo(const std::string& target, uint32_t& errorCode, const TProgress& progress = {});

private:
    void CloseHandle();
    bool CopyTo(const std::string& target, const TProgress& progress);

    platform::TFileHandle FFile;  // the handle the stream works on
    std::string FFileName;
    bool FGone = false;  // moved away or deliberately kept: nothing to delete
};

}  // namespace archive
