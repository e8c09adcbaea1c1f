// The super-link rewrite: new constants appended after the pool, super_class and constructor calls repointed.
#include "classfile/SuperRelink.h"

#include <algorithm>

#include "classfile/ByteReader.h"
#include "classfile/ClassFile.h"
#include "classfile/ClassReader.h"
#include "classfile/CodeWalk.h"

namespace classfile {

namespace {

constexpr uint32_t kMaxPoolCount = 65535;    // constant_pool_count is a u2
constexpr size_t kMaxUtf8Length = 65535;     // a Utf8 constant's length is a u2
constexpr size_t kPoolCountOffset = 8;       // after magic, minor and major versions
constexpr size_t kSuperOffsetAfterPool = 4;  // access_flags and this_class come first
constexpr size_t kClassHeaderAfterPool = 6;  // access_flags, this_class, super_class

// An invokespecial operand to repoint: its file offset and the Methodref it names now.
struct TInitCall {
    uint32_t Offset = 0;
    uint16_t Methodref = 0;
};

bool IsInitOf(const TClassFile& cls, uint32_t index, std::string_view owner) {
    return cls.Tag(index) == ctMethodref && cls.RefClassName(index) == owner && cls.RefMemberName(index) == kInitName;
}

// The invokespecial calls of `from.<init>` in the class's constructors.
TStatus FindInitCalls(const TClassFile& cls, std::string_view from, std::vector<TInitCall>& calls) {
    for (const TMember& m : cls.Methods) {
        if (!m.Code || cls.Utf8(m.NameIndex) != kInitName)
            continue;
        TCodeWalk walk(cls.CodeBytes(*m.Code));
        TInstruction insn;
        while (walk.Next(insn)) {
            if (insn.Opcode == opNew && cls.ClassName(insn.PoolIndex) == from)
                return TStatus::Fail("a constructor creates an instance of the old super class");
            if (insn.Opcode == opInvokeSpecial && IsInitOf(cls, insn.PoolIndex, from))
                calls.push_back({m.Code->Offset + insn.Pc + 1, insn.PoolIndex});
        }
        if (!walk.Status().Ok())
            return walk.Status();
    }
    return TStatus{};
}

void Append16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void AppendBytes(std::vector<uint8_t>& out, std::span<const uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

TStatus RelinkSuper(std::span<const uint8_t> in,
                    std::string_view from,
                    std::string_view to,
                    std::vector<uint8_t>& out) {
    out.clear();
    if (from.empty() || to.empty() || to.size() > kMaxUtf8Length)
        return TStatus::Fail("a class name is empty or too long");
    TClassFile cls;
    if (TStatus status = ReadClass(in, cls); !status.Ok())
        return status;
    if (cls.ClassName(cls.SuperClass) != from)
        return TStatus::Fail("the class does not extend the class to replace");
    std::vector<TInitCall> calls;
    if (TStatus status = FindInitCalls(cls, from, calls); !status.Ok())
        return status;

    std::vector<uint16_t> initRefs;
    for (const TInitCall& call : calls)
        initRefs.push_back(call.Methodref);
    std::sort(initRefs.begin(), initRefs.end());
    initRefs.erase(std::unique(initRefs.begin(), initRefs.end()), initRefs.end());
    const uint32_t count = static_cast<uint32_t>(cls.Pool.size());
    const uint32_t newUtf8 = count;
    const uint32_t newClass = count + 1;
    const uint32_t firstNewRef = count + 2;
    if (firstNewRef + initRefs.size() > kMaxPoolCount)
        return TStatus::Fail("the constant pool would pass 65535 slots");

    std::vector<uint8_t> added;
    added.push_back(ctUtf8);
    Append16(added, static_cast<uint32_t>(to.size()));
    AppendBytes(added, std::span(reinterpret_cast<const uint8_t*>(to.data()), to.size()));
    added.push_back(ctClass);
    Append16(added, newUtf8);
    for (uint16_t ref : initRefs) {
        added.push_back(ctMethodref);
        Append16(added, newClass);
        Append16(added, cls.Pool[ref].Second);
    }

    out.reserve(in.size() + added.size());
    AppendBytes(out, in.first(kPoolCountOffset));
    Append16(out, firstNewRef + static_cast<uint32_t>(initRefs.size()));
    AppendBytes(out, in.subspan(kPoolCountOffset + 2, cls.PoolEnd - kPoolCountOffset - 2));
    AppendBytes(out, added);
    AppendBytes(out, in.subspan(cls.PoolEnd, kSuperOffsetAfterPool));
    Append16(out, newClass);
    AppendBytes(out, in.subspan(cls.PoolEnd + kClassHeaderAfterPool));
    for (const TInitCall& call : calls) {
        const auto ref = std::lower_bound(initRefs.begin(), initRefs.end(), call.Methodref);
        Put16(out.data() + call.Offset + added.size(), static_cast<uint16_t>(firstNewRef + (ref - initRefs.begin())));
    }
    return TStatus{};
}

}  // namespace classfile
