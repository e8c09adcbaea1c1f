// Matching entry names against FileSpec masks.
#include "archive/UnZipFileSpec.h"

#include <algorithm>
#include <cctype>

#include "archive/InternalMask.h"
#include "archive/UnZipPaths.h"
#include "platform/Platform.h"

namespace archive {

namespace {
bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::toupper(x) == std::toupper(y);
           });
}

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
    if (SameText(pattern, name))
        return true;
    const std::string maskFolder = FolderPart(pattern);
    if (!recurseDirs && !SameText(maskFolder, FolderPart(name)))
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
