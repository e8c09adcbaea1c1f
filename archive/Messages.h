// The engine's numbered message table (ids from 25101) and its exception class E_RAISE.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Exceptions.h"

namespace archive {

// Message ids; an engine error code is one of these.
constexpr int32_t kMsgBadOffsetToLocalHeader = 25115;
constexpr int32_t kMsgBadBlock = 25116;
constexpr int32_t kMsgErrorWritingFile = 25136;
constexpr int32_t kMsgErrorClosingFile = 25138;
constexpr int32_t kMsgCrcCheckFailed = 25151;
constexpr int32_t kMsgErrorWritingDiskLabel = 25154;
constexpr int32_t kMsgInvalidDirectory = 25158;
constexpr int32_t kMsgDiskFull = 25160;
constexpr int32_t kMsgDriveNotAccessible = 25170;
constexpr int32_t kMsgDiskWriteProtected = 25171;
constexpr int32_t kMsgFileNotFound = 25192;
constexpr int32_t kMsgErrorOpeningFile = 25235;
constexpr int32_t kMsgUnsupportedArchiveType = 25244;
constexpr int32_t kMsgNothingToDo = 25268;
constexpr int32_t kMsgRequiredEventNotAssigned = 25270;
constexpr int32_t kMsgRequiredPropertyNotAssigned = 25271;
constexpr int32_t kMsgStackOverflow = 25305;
constexpr int32_t kMsgUnsupportedMethod = 25326;
constexpr int32_t kMsgUserCanceled = 25443;
constexpr int32_t kMsgInvalidPassword = 26517;
constexpr int32_t kMsgNothingToDoSwitch = 26859;

// The text stored under an id; empty for an id the table does not hold.
std::string LoadStr(int32_t id);

// The engine's exception: its message is the text of the code, nothing added.
class E_RAISE : public fw::Exception {
public:
    explicit E_RAISE(int32_t code) : fw::Exception(LoadStr(code)), FCode(code) {}
    int32_t Code() const { return FCode; }

private:
    int32_t FCode;
};

}  // namespace archive
