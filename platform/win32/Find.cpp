// Find-first/next over FindFirstFileW and FindNextFileW, names in UTF-8.
#include "platform/win32/Wide.h"

namespace platform {

namespace {
void Convert(const WIN32_FIND_DATAW& in, TFindData& out) {
    out.Attr = in.dwFileAttributes;
    out.CreationTime = win32::FromFiletime(in.ftCreationTime);
    out.LastAccessTime = win32::FromFiletime(in.ftLastAccessTime);
    out.LastWriteTime = win32::FromFiletime(in.ftLastWriteTime);
    out.Size = static_cast<uint64_t>(in.nFileSizeHigh) << 32 | in.nFileSizeLow;
    out.Name = win32::Narrow(in.cFileName);
}
}  // namespace

struct TFindHandle::TImpl {
    HANDLE Handle = INVALID_HANDLE_VALUE;
    ~TImpl() {
        if (Handle != INVALID_HANDLE_VALUE)
            ::FindClose(Handle);
    }
};

TFindHandle::TFindHandle() = default;
TFindHandle::TFindHandle(TFindHandle&& other) noexcept = default;
TFindHandle& TFindHandle::operator=(TFindHandle&& other) noexcept = default;
TFindHandle::~TFindHandle() = default;

bool TFindHandle::First(const std::string& pattern, TFindData& data) {
    Close();
    WIN32_FIND_DATAW found;
    HANDLE h = ::FindFirstFileW(win32::Widen(pattern).c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FImpl = std::make_unique<TImpl>();
    FImpl->Handle = h;
    Convert(found, data);
    return true;
}

bool TFindHandle::Next(TFindData& data) {
    if (!FImpl) {
        ::SetLastError(kErrorInvalidHandle);
        return false;
    }
    WIN32_FIND_DATAW found;
    if (!::FindNextFileW(FImpl->Handle, &found))
        return false;
    Convert(found, data);
    return true;
}

void TFindHandle::Close() {
    FImpl.reset();
}

bool TFindHandle::IsOpen() const {
    return FImpl != nullptr;
}

}  // namespace platform
