// The test class assembler: big-endian records written one after another, as a compiler writes them.
#include "ClassBuilder.h"

namespace classfile_test {

namespace {
constexpr uint16_t kAccPublic = 0x0001;
constexpr uint16_t kAccSuper = 0x0020;
constexpr uint16_t kAccStatic = 0x0008;
constexpr uint16_t kFirstStackMapTable = 50;

void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

void PutText(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}
}  // namespace

void Put16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void Put32(Bytes& out, uint32_t value) {
    Put16(out, value >> 16);
    Put16(out, value & 0xFFFF);
}

TClassBuilder::TClassBuilder(uint16_t major, std::string_view name, std::string_view super) : FMajor(major) {
    FThis = Class(name);
    if (!super.empty())
        FSuper = Class(super);
}

uint16_t TClassBuilder::Add(const Bytes& entry, uint32_t slots) {
    Append(FPool, entry);
    const uint16_t index = static_cast<uint16_t>(FCount);
    FCount += slots;
    return index;
}

uint16_t TClassBuilder::Utf8(std::string_view text) {
    for (const auto& [known, index] : FUtf8)
        if (known == text)
            return index;
    Bytes entry{1};
    Put16(entry, static_cast<uint32_t>(text.size()));
    PutText(entry, text);
    const uint16_t index = Add(entry);
    FUtf8.emplace_back(std::string(text), index);
    return index;
}

uint16_t TClassBuilder::Constant(uint8_t tag, const Bytes& body, uint32_t slots) {
    Bytes entry{tag};
    Append(entry, body);
    return Add(entry, slots);
}

uint16_t TClassBuilder::Class(std::string_view name) {
    Bytes body;
    Put16(body, Utf8(name));
    return Constant(7, body);
}

uint16_t TClassBuilder::String(std::string_view text) {
    Bytes body;
    Put16(body, Utf8(text));
    return Constant(8, body);
}

uint16_t TClassBuilder::NameAndType(std::string_view name, std::string_view descriptor) {
    Bytes body;
    Put16(body, Utf8(name));
    Put16(body, Utf8(descriptor));
    return Constant(12, body);
}

uint16_t TClassBuilder::Methodref(std::string_view owner, std::string_view name, std::string_view descriptor) {
    Bytes body;
    Put16(body, Class(owner));
    Put16(body, NameAndType(name, descriptor));
    return Constant(10, body);
}

uint16_t TClassBuilder::Fieldref(std::string_view owner, std::string_view name, std::string_view descriptor) {
    Bytes body;
    Put16(body, Class(owner));
    Put16(body, NameAndType(name, descriptor));
    return Constant(9, body);
}

uint16_t TClassBuilder::Long(uint64_t value) {
    Bytes body;
    Put32(body, static_cast<uint32_t>(value >> 32));
    Put32(body, static_cast<uint32_t>(value));
    return Constant(5, body, 2);
}

void TClassBuilder::AddField(uint16_t access, std::string_view name, std::string_view descriptor) {
    Put16(FFields, access);
    Put16(FFields, Utf8(name));
    Put16(FFields, Utf8(descriptor));
    Put16(FFields, 0);
    ++FFieldCount;
}

void TClassBuilder::AddMethod(uint16_t access,
                              std::string_view name,
                              std::string_view descriptor,
                              const Bytes& code,
                              const Bytes& stackMap,
                              uint16_t handlers) {
    constexpr uint32_t kMaxStack = 8;
    constexpr uint32_t kMaxLocals = 8;
    Bytes body;
    Put16(body, kMaxStack);
    Put16(body, kMaxLocals);
    Put32(body, static_cast<uint32_t>(code.size()));
    Append(body, code);
    Put16(body, handlers);
    for (uint16_t i = 0; i < handlers; ++i) {  // whole-code handlers catching anything
        Put16(body, 0);
        Put16(body, static_cast<uint32_t>(code.size()));
        Put16(body, 0);
        Put16(body, 0);
    }
    Put16(body, stackMap.empty() ? 0 : 1);
    if (!stackMap.empty()) {
        Put16(body, Utf8(FMajor >= kFirstStackMapTable ? "StackMapTable" : "StackMap"));
        Put32(body, static_cast<uint32_t>(stackMap.size()));
        Append(body, stackMap);
    }
    Put16(FMethods, access);
    Put16(FMethods, Utf8(name));
    Put16(FMethods, Utf8(descriptor));
    Put16(FMethods, 1);
    Put16(FMethods, Utf8("Code"));
    Put32(FMethods, static_cast<uint32_t>(body.size()));
    Append(FMethods, body);
    ++FMethodCount;
}

void TClassBuilder::AddClassAttribute(std::string_view name, const Bytes& info) {
    Put16(FAttributes, Utf8(name));
    Put32(FAttributes, static_cast<uint32_t>(info.size()));
    Append(FAttributes, info);
    ++FAttributeCount;
}

Bytes TClassBuilder::Build() const {
    Bytes out;
    Put32(out, 0xCAFEBABE);
    Put16(out, 0);
    Put16(out, FMajor);
    Put16(out, FCount);
    Append(out, FPool);
    Put16(out, kAccPublic | kAccSuper);
    Put16(out, FThis);
    Put16(out, FSuper);
    Put16(out, 0);  // interfaces
    Put16(out, FFieldCount);
    Append(out, FFields);
    Put16(out, FMethodCount);
    Append(out, FMethods);
    Put16(out, FAttributeCount);
    Append(out, FAttributes);
    return out;
}

Bytes CldcScreen(uint16_t major, std::string_view name, std::string_view super) {
    TClassBuilder b(major, name, super);
    const uint16_t init = b.Methodref(super, "<init>", "()V");
    b.AddMethod(kAccPublic, "<init>", "()V",
                {0x2A, 0xB7, static_cast<uint8_t>(init >> 8), static_cast<uint8_t>(init), 0xB1});
    // static int pick(Canvas c): c == null ? 0 : 1; the preverifier's frames at the two branch targets.
    const uint16_t superClass = b.SuperClass();
    Bytes code{0x2A, 0xC7, 0x00, 0x05,
               0x03, 0xAC, 0x04, 0xAC};  // aload_0 ifnonnull +5 iconst_0 ireturn iconst_1 ireturn
    Bytes map;
    Put16(map, 1);     // one entry
    Put16(map, 6);     // at iconst_1
    Put16(map, 1);     // one local
    map.push_back(7);  // Object
    Put16(map, superClass);
    Put16(map, 0);  // empty stack
    const std::string descriptor = "(L" + std::string(super) + ";)I";
    b.AddMethod(kAccPublic | kAccStatic, "pick", descriptor, code, map);
    return b.Build();
}

}  // namespace classfile_test
