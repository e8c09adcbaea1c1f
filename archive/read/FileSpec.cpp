// Matching entry names against FileSpec masks.
#include "archive/read/FileSpec.h"

#include <algorithm>

#include "archive/names/EntryNames.h"
#include "archive/names/InternalMask.h"
#include "platform/Platform.h"

namespace archive {

namespace {
std::string WithPlatformDelims(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '/' || c == '\\'; }, platform::PathDelim);
    return text;
}

bool HasDot(const std::string& text) {
    return text.find('.') != std::string::npos;
}
}  // namespace

bool MaskSelects(std::string& mask, const std::string& name, bool recurseDirs) {
    const std::string pattern = WithPlatformDelims(mask);
    if (SameAsciiText(pattern, name))
        return true;
    const std::string maskFolder = FolderPart(pattern);
    if (!recurseDirs && !SameAsciiText(maskFolder, FolderPart(name)))
        return false;
    std::string text = recurseDirs && maskFolder.empty() ? NamePart(name) : name;
    if (TInternalMask(pattern).Matches(text))
        return true;
    if (!HasDot(text))
        text += '.';
    if (!HasDot(mask))
        mask += '.';
    return TInternalMask(WithPlatformDelims(mask)).Matches(text);
}

}  // namespace archive
