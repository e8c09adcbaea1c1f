// In-place replacement over bounded chunks, with the results of a one-offset-at-a-time scan.
#include "app/job/ReplaceInFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/Exceptions.h"
#include "platform/FileHandle.h"
#include "platform/Platform.h"

namespace app {

namespace {
constexpr uint32_t kReadBeyondEnd = 100;  // the run-time library's code for a short block read
constexpr uint32_t kDiskFull = 101;       // and for a short block write

// The file handle of one call: every operation must succeed, and the handle is closed on every path.
class TPatchedFile {
public:
    explicit TPatchedFile(const std::string& fileName)
        : FFile(platform::FileOpen(fileName, platform::fmOpenReadWrite | platform::fmShareDenyNone)) {
        fw::InOutCheck(FFile.Valid());
    }

    int64_t Size() const {
        const int64_t size = platform::FileSize(FFile.Get());
        fw::InOutCheck(size >= 0);
        return size;
    }
    void ReadAt(int64_t offset, char* buffer, size_t count) {
        Seek(offset);
        const int32_t n = platform::FileRead(FFile.Get(), buffer, static_cast<uint32_t>(count));
        fw::InOutCheck(n >= 0);
        FPosition += n;
        if (static_cast<size_t>(n) != count)
            throw fw::EInOutError(kReadBeyondEnd);
    }
    void WriteAt(int64_t offset, const std::string& bytes) {
        Seek(offset);
        const int32_t n = platform::FileWrite(FFile.Get(), bytes.data(), static_cast<uint32_t>(bytes.size()));
        fw::InOutCheck(n >= 0);
        FPosition += n;
        if (static_cast<size_t>(n) != bytes.size())
            throw fw::EInOutError(kDiskFull);
    }
    void Close() { fw::InOutCheck(FFile.Close()); }

private:
    // A read or write that goes on where the last one ended needs no seek.
    void Seek(int64_t offset) {
        if (offset == FPosition)
            return;
        FPosition = platform::FileSeek(FFile.Get(), offset, platform::kSeekBegin);
        fw::InOutCheck(FPosition >= 0);
    }

    platform::TFileHandle FFile;
    int64_t FPosition = 0;  // a file opened is at its start
};

// The buffer mirrors the file from `start`: every replacement goes to the file and to the buffer, so later
// windows see rewritten bytes, and bytes past the buffer are read from the file only after those writes.
int ScanAndReplace(TPatchedFile& file, int64_t size, const std::string& search, const std::string& replace) {
    const size_t length = search.size();
    // A file smaller than a chunk is read whole into a buffer of its own size.
    const size_t chunk = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(kReplaceChunk), size));
    std::vector<char> buffer(std::max(chunk, 2 * length));
    int found = 0;
    int64_t start = 0;  // file offset of buffer[0]
    size_t held = 0;    // bytes in the buffer
    for (;;) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(buffer.size() - held, size - start - held));
        file.ReadAt(start + static_cast<int64_t>(held), buffer.data() + held, want);
        held += want;
        if (held < length)
            return found;
        const auto end = buffer.begin() + static_cast<std::ptrdiff_t>(held);
        for (auto at = std::search(buffer.begin(), end, search.begin(), search.end()); at != end;
             at = std::search(at + 1, end, search.begin(), search.end())) {
            const size_t pos = static_cast<size_t>(at - buffer.begin());
            file.WriteAt(start + static_cast<int64_t>(pos), replace);
            std::memcpy(buffer.data() + pos, replace.data(), std::min(replace.size(), held - pos));
            ++found;
        }
        if (start + static_cast<int64_t>(held) >= size)
            return found;
        const size_t tested = held - length + 1;  // every window starting before this offset is done
        std::memmove(buffer.data(), buffer.data() + tested, held - tested);
        start += static_cast<int64_t>(tested);
        held -= tested;
    }
}
}  // namespace

int ReplaceInFile(const std::string& fileName, const std::string& search, const std::string& replace) {
    TPatchedFile file(fileName);
    const int64_t size = file.Size();
    const int found = !search.empty() && size >= static_cast<int64_t>(search.size())
                          ? ScanAndReplace(file, size, search, replace)
                          : 0;
    file.Close();
    return found;
}

}  // namespace app
