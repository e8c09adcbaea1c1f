// The outcome of a class-file operation: success, or a short static English reason.
#pragma once

namespace classfile {

struct TStatus {
    const char* Reason = nullptr;  // null on success; otherwise a static text, never freed

    bool Ok() const { return Reason == nullptr; }
    static TStatus Fail(const char* reason) { return TStatus{reason}; }
};

}  // namespace classfile
