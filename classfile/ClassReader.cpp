// The class-file reader: one pass over the bytes, then the cross-references between constants.
#include "classfile/ClassReader.h"

#include <string_view>

#include "classfile/ByteReader.h"
#include "classfile/CodeWalk.h"
#include "classfile/StackMaps.h"

namespace classfile {

namespace {

constexpr uint32_t kMagic = 0xCAFEBABE;
constexpr uint16_t kOldestMajor = 45;         // JDK 1.0.2 and the CLDC compilers
constexpr uint16_t kFirstStackMapTable = 50;  // Java 6 moved stack maps into StackMapTable
constexpr uint32_t kMaxCodeLength = 65535;    // code offsets are u2 in every table that names them
constexpr uint8_t kLastHandleKind = 9;        // REF_invokeInterface

const char* const kTruncated = "the class file ends early";

class TReader {
public:
    TReader(std::span<const uint8_t> bytes, TClassFile& cls) : FIn(bytes), FCls(cls) {}
    TStatus Run();

private:
    bool Fail(const char* reason) {
        if (FStatus.Ok())
            FStatus = TStatus::Fail(reason);
        return false;
    }
    bool Check() { return FIn.Ok() ? FStatus.Ok() : Fail(kTruncated); }
    bool Is(uint32_t index, uint8_t tag) const { return FCls.Tag(index) == tag; }
    bool ReadPool();
    bool ReadConstant(uint8_t tag, TConstant& c);
    bool LinkPool();
    bool LinkConstant(const TConstant& c);
    bool ReadClassIndexes(std::vector<uint16_t>& out);
    bool ReadMembers(std::vector<TMember>& members, bool methods);
    bool ReadAttributes(TByteReader& in, std::vector<TAttribute>& out);
    bool ReadCode(const TAttribute& attribute, TCode& code);
    bool CheckInstructions(const TCode& code);
    bool ReadStackMaps(TCode& code);

    TByteReader FIn;
    TClassFile& FCls;
    TStatus FStatus;
};

TStatus TReader::Run() {
    FCls = TClassFile{};
    FCls.Bytes = FIn.Bytes();
    if (FIn.U4() != kMagic)
        return TStatus::Fail(FIn.Ok() ? "not a class file: no CAFEBABE magic" : kTruncated);
    FCls.Minor = FIn.U2();
    FCls.Major = FIn.U2();
    if (FIn.Ok() && FCls.Major < kOldestMajor)
        return TStatus::Fail("the class file's major version is below 45");
    if (!ReadPool() || !LinkPool())
        return FStatus;
    FCls.Access = FIn.U2();
    FCls.ThisClass = FIn.U2();
    FCls.SuperClass = FIn.U2();
    if (!Check())
        return FStatus;
    if (!Is(FCls.ThisClass, ctClass))
        return TStatus::Fail("this_class is not a Class constant");
    if (FCls.SuperClass != 0 && !Is(FCls.SuperClass, ctClass))
        return TStatus::Fail("super_class is not a Class constant");
    if (!ReadClassIndexes(FCls.Interfaces) || !ReadMembers(FCls.Fields, false) || !ReadMembers(FCls.Methods, true) ||
        !ReadAttributes(FIn, FCls.Attributes))
        return FStatus;
    if (FIn.Remaining() != 0)
        return TStatus::Fail("bytes follow the end of the class file");
    return FStatus;
}

bool TReader::ReadPool() {
    const uint16_t count = FIn.U2();
    if (!Check())
        return false;
    if (count == 0)
        return Fail("the constant pool count is zero");
    FCls.Pool.assign(1, TConstant{});
    while (FCls.Pool.size() < count) {
        TConstant c;
        c.Offset = static_cast<uint32_t>(FIn.Pos());
        c.Tag = FIn.U1();
        if (!ReadConstant(c.Tag, c) || !Check())
            return false;
        FCls.Pool.push_back(c);
        if (c.Tag == ctLong || c.Tag == ctDouble) {
            if (FCls.Pool.size() == count)
                return Fail("a Long or Double constant takes the pool's last slot");
            FCls.Pool.push_back(TConstant{});
        }
    }
    FCls.PoolEnd = static_cast<uint32_t>(FIn.Pos());
    return true;
}

bool TReader::ReadConstant(uint8_t tag, TConstant& c) {
    switch (tag) {
        case ctUtf8: {
            const uint16_t length = FIn.U2();
            const size_t start = FIn.Pos();
            if (FIn.Skip(length))
                c.Text = std::string_view(reinterpret_cast<const char*>(FIn.Bytes().data() + start), length);
            return true;
        }
        case ctInteger:
        case ctFloat:
            FIn.Skip(4);
            return true;
        case ctLong:
        case ctDouble:
            FIn.Skip(8);
            return true;
        case ctClass:
        case ctString:
        case ctMethodType:
        case ctModule:
        case ctPackage:
            c.First = FIn.U2();
            return true;
        case ctMethodHandle:
            c.Second = FIn.U1();  // reference kind
            c.First = FIn.U2();
            return true;
        case ctFieldref:
        case ctMethodref:
        case ctInterfaceMethodref:
        case ctNameAndType:
        case ctDynamic:
        case ctInvokeDynamic:
            c.First = FIn.U2();
            c.Second = FIn.U2();
            return true;
        default:
            return Check() && Fail("the constant pool holds an unknown tag");
    }
}

bool TReader::LinkPool() {
    for (const TConstant& c : FCls.Pool)
        if (!LinkConstant(c))
            return false;
    return true;
}

// Each constant names constants of the kinds the format requires (bootstrap indexes are not pool indexes).
bool TReader::LinkConstant(const TConstant& c) {
    switch (c.Tag) {
        case ctClass:
        case ctString:
        case ctMethodType:
        case ctModule:
        case ctPackage:
            return Is(c.First, ctUtf8) || Fail("a constant names a Utf8 that is not there");
        case ctFieldref:
        case ctMethodref:
        case ctInterfaceMethodref:
            return (Is(c.First, ctClass) && Is(c.Second, ctNameAndType)) ||
                   Fail("a member reference names no Class or NameAndType");
        case ctNameAndType:
            return (Is(c.First, ctUtf8) && Is(c.Second, ctUtf8)) || Fail("a NameAndType names no Utf8");
        case ctDynamic:
        case ctInvokeDynamic:
            return Is(c.Second, ctNameAndType) || Fail("a dynamic constant names no NameAndType");
        case ctMethodHandle: {
            const uint8_t target = FCls.Tag(c.First);
            const bool member = target == ctFieldref || target == ctMethodref || target == ctInterfaceMethodref;
            return (c.Second >= 1 && c.Second <= kLastHandleKind && member) ||
                   Fail("a MethodHandle has a bad kind or names no member");
        }
        default:
            return true;
    }
}

bool TReader::ReadClassIndexes(std::vector<uint16_t>& out) {
    const uint16_t count = FIn.U2();
    for (uint32_t i = 0; i < count && Check(); ++i) {
        const uint16_t index = FIn.U2();
        if (FIn.Ok() && !Is(index, ctClass))
            return Fail("an interface is not a Class constant");
        out.push_back(index);
    }
    return Check();
}

bool TReader::ReadMembers(std::vector<TMember>& members, bool methods) {
    const uint16_t count = FIn.U2();
    for (uint32_t i = 0; i < count && Check(); ++i) {
        TMember m;
        m.Access = FIn.U2();
        m.NameIndex = FIn.U2();
        m.DescriptorIndex = FIn.U2();
        if (!Check())
            return false;
        if (!Is(m.NameIndex, ctUtf8) || !Is(m.DescriptorIndex, ctUtf8))
            return Fail("a field or method names no Utf8 for its name or descriptor");
        if (!ReadAttributes(FIn, m.Attributes))
            return false;
        for (const TAttribute& a : m.Attributes) {
            if (!methods || FCls.Utf8(a.NameIndex) != "Code")
                continue;
            if (m.Code)
                return Fail("a method has two Code attributes");
            m.Code.emplace();
            if (!ReadCode(a, *m.Code))
                return false;
        }
        members.push_back(std::move(m));
    }
    return Check();
}

bool TReader::ReadAttributes(TByteReader& in, std::vector<TAttribute>& out) {
    const uint16_t count = in.U2();
    for (uint32_t i = 0; i < count && in.Ok(); ++i) {
        TAttribute a;
        a.NameIndex = in.U2();
        a.Length = in.U4();
        a.Offset = static_cast<uint32_t>(in.Pos());
        if (!in.Skip(a.Length))
            break;
        if (!Is(a.NameIndex, ctUtf8))
            return Fail("an attribute's name is not a Utf8 constant");
        out.push_back(a);
    }
    return in.Ok() ? FStatus.Ok() : Fail(kTruncated);
}

bool TReader::ReadCode(const TAttribute& attribute, TCode& code) {
    TByteReader in(FCls.Bytes, attribute.Offset, attribute.Offset + attribute.Length);
    in.U2();  // max_stack
    in.U2();  // max_locals
    code.Length = in.U4();
    code.Offset = static_cast<uint32_t>(in.Pos());
    if (in.Ok() && (code.Length == 0 || code.Length > kMaxCodeLength))
        return Fail("a method's code length is zero or above 65535");
    in.Skip(code.Length);
    const uint16_t handlers = in.U2();
    for (uint32_t i = 0; i < handlers && in.Ok(); ++i) {
        in.Skip(6);  // start, end, handler pcs
        const uint16_t catchType = in.U2();
        if (in.Ok() && catchType != 0 && !Is(catchType, ctClass))
            return Fail("an exception handler's catch type is not a Class constant");
        code.CatchTypes.push_back(catchType);
    }
    if (!in.Ok())
        return Fail("a Code attribute ends early");
    if (!ReadAttributes(in, code.Attributes))
        return false;
    if (in.Remaining() != 0)
        return Fail("a Code attribute is longer than its contents");
    return CheckInstructions(code) && ReadStackMaps(code);
}

bool TReader::CheckInstructions(const TCode& code) {
    TCodeWalk walk(FCls.CodeBytes(code));
    TInstruction insn;
    while (walk.Next(insn))
        if (insn.PoolIndex != 0 && FCls.Tag(insn.PoolIndex) == ctNone)
            return Fail("an instruction names a constant that is not there");
    return walk.Status().Ok() || Fail(walk.Status().Reason);
}

bool TReader::ReadStackMaps(TCode& code) {
    const bool table = FCls.Major >= kFirstStackMapTable;
    for (const TAttribute& a : code.Attributes) {
        const std::string_view name = FCls.Utf8(a.NameIndex);
        TStatus status;
        if (table && name == "StackMapTable")
            status = ReadStackMapTable(FCls.Info(a), code.StackMapClasses);
        else if (!table && name == "StackMap")
            status = ReadCldcStackMap(FCls.Info(a), code.StackMapClasses);
        if (!status.Ok())
            return Fail(status.Reason);
    }
    for (uint16_t index : code.StackMapClasses)
        if (!Is(index, ctClass))
            return Fail("a stack map's Object type is not a Class constant");
    return true;
}

}  // namespace

TStatus ReadClass(std::span<const uint8_t> bytes, TClassFile& cls) {
    return TReader(bytes, cls).Run();
}

}  // namespace classfile
