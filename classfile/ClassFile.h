// A parsed class file: positions and indexes into the caller's bytes, nothing copied but small tables.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace classfile {

// Constant-pool tags as the class-file format numbers them.
enum TConstantTag : uint8_t {
    ctNone = 0,  // slot 0 and the second slot of a Long or Double
    ctUtf8 = 1,
    ctInteger = 3,
    ctFloat = 4,
    ctLong = 5,
    ctDouble = 6,
    ctClass = 7,
    ctString = 8,
    ctFieldref = 9,
    ctMethodref = 10,
    ctInterfaceMethodref = 11,
    ctNameAndType = 12,
    ctMethodHandle = 15,
    ctMethodType = 16,
    ctDynamic = 17,
    ctInvokeDynamic = 18,
    ctModule = 19,
    ctPackage = 20,
};

struct TConstant {
    uint8_t Tag = ctNone;
    uint32_t Offset = 0;    // of the tag byte in the file
    uint16_t First = 0;     // the first index: the name, the class, the NameAndType's name, the handle's member
    uint16_t Second = 0;    // the second index: the NameAndType, the descriptor (handles: the reference kind)
    std::string_view Text;  // a Utf8 constant's bytes (modified UTF-8, as stored)
};

struct TAttribute {
    uint16_t NameIndex = 0;
    uint32_t Offset = 0;  // of the attribute's info, after its 6-byte header
    uint32_t Length = 0;
};

struct TCode {
    uint32_t Offset = 0;  // file offset of the first instruction
    uint32_t Length = 0;
    std::vector<uint16_t> CatchTypes;       // the exception table's catch types (0: any)
    std::vector<TAttribute> Attributes;     // LineNumberTable, StackMap, StackMapTable, ...
    std::vector<uint16_t> StackMapClasses;  // Class indexes named by the stack maps' Object verification types
};

struct TMember {
    uint16_t Access = 0;
    uint16_t NameIndex = 0;
    uint16_t DescriptorIndex = 0;
    std::vector<TAttribute> Attributes;
    std::optional<TCode> Code;  // methods with a body
};

struct TClassFile {
    std::span<const uint8_t> Bytes;
    uint16_t Minor = 0;
    uint16_t Major = 0;
    std::vector<TConstant> Pool;  // constant_pool_count slots, slot 0 unused
    uint32_t PoolEnd = 0;         // offset of access_flags, right after the last constant
    uint16_t Access = 0;
    uint16_t ThisClass = 0;
    uint16_t SuperClass = 0;  // 0 only for java/lang/Object
    std::vector<uint16_t> Interfaces;
    std::vector<TMember> Fields;
    std::vector<TMember> Methods;
    std::vector<TAttribute> Attributes;

    // Lookups that answer empty or ctNone for an index out of range or of another kind.
    uint8_t Tag(uint32_t index) const { return index < Pool.size() ? Pool[index].Tag : uint8_t{ctNone}; }
    std::string_view Utf8(uint32_t index) const;
    std::string_view ClassName(uint32_t index) const;        // the name a Class constant gives
    std::string_view RefClassName(uint32_t index) const;     // the class of a Field/Method/InterfaceMethod ref
    std::string_view RefMemberName(uint32_t index) const;    // the member name of such a ref
    std::string_view NameAndTypeName(uint32_t index) const;  // the name of a NameAndType
    std::span<const uint8_t> Info(const TAttribute& attribute) const {
        return Bytes.subspan(attribute.Offset, attribute.Length);
    }
    std::span<const uint8_t> CodeBytes(const TCode& code) const { return Bytes.subspan(code.Offset, code.Length); }
};

// The name a JVM gives instance initialisers.
inline constexpr std::string_view kInitName = "<init>";

}  // namespace classfile
