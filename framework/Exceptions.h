// The framework's exception classes: the base Exception, the run-time I/O error and the stream errors.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace fw {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    const std::string& Message() const { return FMessage; }
    void SetMessage(std::string message) { FMessage = std::move(message); }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

// The run-time library's I/O error: the message follows the platform error code.
class EInOutError : public Exception {
public:
    explicit EInOutError(uint32_t errorCode);
    uint32_t ErrorCode() const { return FErrorCode; }

private:
    uint32_t FErrorCode;
};

// "File not found", "File access denied", ... or "I/O error %d" for codes without a text of their own.
std::string InOutErrorText(uint32_t errorCode);
// Raises EInOutError with the platform's last error code when `ok` is false.
void InOutCheck(bool ok);

class EStreamError : public Exception {
    using Exception::Exception;
};
class EReadError : public EStreamError {
public:
    EReadError() : EStreamError("Stream read error") {}
};
class EWriteError : public EStreamError {
public:
    EWriteError() : EStreamError("Stream write error") {}
};
class EFCreateError : public EStreamError {
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
    using EStreamError::EStreamError;
};

}  // namespace fw
