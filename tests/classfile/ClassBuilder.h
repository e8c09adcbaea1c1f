// Assembles class files byte by byte for the tests: constants, members, code and stack maps as the
// MIDP-era compilers and preverifier laid them out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "TestUtil.h"

namespace classfile_test {

using testutil::Bytes;

void Put16(Bytes& out, uint32_t value);
void Put32(Bytes& out, uint32_t value);

class TClassBuilder {
public:
    // A public class `name` extending `super` (no super when empty) of the given class-file version.
    TClassBuilder(uint16_t major, std::string_view name, std::string_view super);

    uint16_t Utf8(std::string_view text);  // the same text gives the same constant
    uint16_t Class(std::string_view name);
    uint16_t String(std::string_view text);
    uint16_t NameAndType(std::string_view name, std::string_view descriptor);
    uint16_t Methodref(std::string_view owner, std::string_view name, std::string_view descriptor);
    uint16_t Fieldref(std::string_view owner, std::string_view name, std::string_view descriptor);
    uint16_t Long(uint64_t value);                                          // two slots
    uint16_t Constant(uint8_t tag, const Bytes& body, uint32_t slots = 1);  // any constant: its bytes after the tag
    uint16_t ThisClass() const { return FThis; }
    uint16_t SuperClass() const { return FSuper; }

    void AddField(uint16_t access, std::string_view name, std::string_view descriptor);
    // A method with code; a non-empty `stackMap` (entries, without the attribute header) becomes the
    // version's stack-map attribute: StackMap below 50, StackMapTable from 50.
    void AddMethod(uint16_t access,
                   std::string_view name,
                   std::string_view descriptor,
                   const Bytes& code,
                   const Bytes& stackMap = {},
                   uint16_t handlers = 0);
    void AddClassAttribute(std::string_view name, const Bytes& info);

    Bytes Build() const;
    uint32_t PoolCount() const { return FCount; }

private:
    uint16_t Add(const Bytes& entry, uint32_t slots = 1);

    uint16_t FMajor;
    Bytes FPool;
    uint32_t FCount = 1;
    std::vector<std::pair<std::string, uint16_t>> FUtf8;
    uint16_t FThis = 0;
    uint16_t FSuper = 0;
    Bytes FFields;
    uint16_t FFieldCount = 0;
    Bytes FMethods;
    uint16_t FMethodCount = 0;
    Bytes FAttributes;
    uint16_t FAttributeCount = 0;
};

// A CLDC-era screen (versions 45-48) `name` extending `super`: a constructor calling super's <init>, and a
// method with a branch whose StackMap names `super` as a local's type.
Bytes CldcScreen(uint16_t major, std::string_view name, std::string_view super);

}  // namespace classfile_test
