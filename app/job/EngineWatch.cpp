// Why the job stops, in the report's terms: the archive engine's error events and the platform's codes.
#include <string>

#include "app/job/PatchJob.h"
#include "archive/Messages.h"
#include "platform/Platform.h"
#include "platform/Utf8Names.h"

namespace app {

TJobFailure FailureOfSystemError(uint32_t code) {
    switch (code) {
        case platform::kErrorFileNotFound:
        case platform::kErrorPathNotFound:
            return TJobFailure::jfNotFound;
        case platform::kErrorAccessDenied:
        case platform::kErrorSharingViolation:
            return TJobFailure::jfAccessDenied;
        case platform::kErrorWriteProtect:
            return TJobFailure::jfReadOnlyFolder;
        case platform::kErrorDiskFull:
        case 101:  // the run-time library's "Disk full"
            return TJobFailure::jfDiskFull;
        default:
            return TJobFailure::jfOther;
    }
}

// The job watches the engine's reports so a failed unpacking or packing never costs the user's archive.
void TPatchJob::WatchComponents() {
    const auto noteError = [this](fw::TObject*, const std::string& file, const std::string&, const std::string&,
                                  int32_t code) { NoteEngineError(file, code); };
    FParts.Reader.OnError = noteError;
    FParts.Reader.OnEnd = [this](fw::TObject*, const std::string& file, bool crcPass) {
        if (!crcPass)
            NoteEngineError(file, archive::kMsgCrcCheckFailed);
    };
    FParts.Reader.OnBegin = [this](fw::TObject*, const std::string& path, int32_t, bool&) {
        StopUnpackingIfRequested();
        FFilesBegun.push_back(path);
    };
    FParts.Writer.OnError = noteError;
    // The writer gets no progress handler: with one it would deflate on one thread. Packing ends at a safe
    // point of the job's own, which a stop request then meets.
}

// The engine's first error event says what went wrong with which entry.
void TPatchJob::ClassifyEngineFailure(TText message) {
    const std::string& entry = FFirstEngineErrorFile;
    switch (FFirstEngineError) {
        case archive::kMsgUserCanceled:
            Fail(TJobFailure::jfInterrupted, TText::Interrupted);
        case archive::kMsgUnsupportedMethod:
            Fail(TJobFailure::jfUnsupportedMethod, message, 0, entry);
        case archive::kMsgInvalidPassword:
            Fail(TJobFailure::jfEncrypted, message, 0, entry);
        case archive::kMsgErrorOpeningFile:
            // The reader refuses a UTF-8 name the system cannot hold by this code; the same test tells it apart.
            if (!platform::Utf8ToAnsi(entry))
                Fail(TJobFailure::jfNameNotRepresentable, message, 0, entry);
            break;
        case archive::kMsgDiskFull:
        case archive::kMsgErrorWritingFile:  // a write that fails in a folder just made is a full disk
            Fail(TJobFailure::jfDiskFull, message, platform::kErrorDiskFull, entry);
        case archive::kMsgDiskWriteProtected:
            Fail(TJobFailure::jfReadOnlyFolder, message, platform::kErrorWriteProtect, entry);
        case archive::kMsgUnsupportedArchiveType:
            Fail(TJobFailure::jfNotArchive, message);
        default:
            break;
    }
    if (message == TText::ExtractFailed)
        Fail(TJobFailure::jfDamaged, message, 0, entry);
    Fail(TJobFailure::jfOther, message, 0, entry);
}

void TPatchJob::NoteEngineError(const std::string& fileName, int32_t code) {
    if (FEngineErrors++ > 0)
        return;
    FFirstEngineError = code;
    FFirstEngineErrorFile = fileName;
}

}  // namespace app
