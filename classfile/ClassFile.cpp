// Constant-pool lookups of a parsed class file.
#include "classfile/ClassFile.h"

namespace classfile {

std::string_view TClassFile::Utf8(uint32_t index) const {
    return Tag(index) == ctUtf8 ? Pool[index].Text : std::string_view();
}

std::string_view TClassFile::ClassName(uint32_t index) const {
    return Tag(index) == ctClass ? Utf8(Pool[index].First) : std::string_view();
}

std::string_view TClassFile::RefClassName(uint32_t index) const {
    const uint8_t tag = Tag(index);
    const bool isRef = tag == ctFieldref || tag == ctMethodref || tag == ctInterfaceMethodref;
    return isRef ? ClassName(Pool[index].First) : std::string_view();
}

std::string_view TClassFile::RefMemberName(uint32_t index) const {
    return RefClassName(index).empty() ? std::string_view() : NameAndTypeName(Pool[index].Second);
}

std::string_view TClassFile::NameAndTypeName(uint32_t index) const {
    return Tag(index) == ctNameAndType ? Utf8(Pool[index].First) : std::string_view();
}

}  // namespace classfile
