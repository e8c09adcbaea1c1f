// The texts of the engine's message table, looked up by id.
#include "archive/Messages.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

namespace archive {

namespace {
constexpr std::array<std::pair<int32_t, std::string_view>, 21> kMessages{{
    {kMsgBadOffsetToLocalHeader, "Bad offset to local header"},
    {kMsgBadBlock, "Bad block"},
    {kMsgErrorWritingFile, "Error writing to file"},
    {kMsgErrorClosingFile, "Error closing file"},
    {kMsgCrcCheckFailed, "File fails CRC check"},
    {kMsgErrorWritingDiskLabel, "Error writing spanned-disk label"},
    {kMsgInvalidDirectory, "Invalid directory"},
    {kMsgDiskFull, "Disk full"},
    {kMsgDriveNotAccessible, "is not accessible"},
    {kMsgDiskWriteProtected, "disk is write protected"},
    {kMsgFileNotFound, "File not found"},
    {kMsgErrorOpeningFile, "Error opening file"},
    {kMsgUnsupportedArchiveType, "Invalid or unsupported archive type for this operation"},
    {kMsgNothingToDo, "Nothing to do"},
    {kMsgRequiredEventNotAssigned, "Required event not assigned"},
    {kMsgRequiredPropertyNotAssigned, "Required property not assigned"},
    {kMsgStackOverflow, "Stack overflow"},
    {kMsgUnsupportedMethod, "Unsupported compression method"},
    {kMsgUserCanceled, "User canceled"},
    {kMsgInvalidPassword, "Invalid password"},
    {kMsgNothingToDoSwitch, "Nothing to do"},
}};
}  // namespace

std::string LoadStr(int32_t id) {
    const auto it = std::find_if(kMessages.begin(), kMessages.end(), [id](const auto& m) { return m.first == id; });
    return it == kMessages.end() ? std::string() : std::string(it->second);
}

}  // namespace archive
