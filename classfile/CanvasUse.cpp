// Counts a class's mentions of the canvas class, constant by constant and instruction by instruction.
#include "classfile/CanvasUse.h"

#include "classfile/ByteReader.h"
#include "classfile/ClassFile.h"
#include "classfile/ClassReader.h"
#include "classfile/CodeWalk.h"

namespace classfile {

namespace {

uint32_t CountIn(std::string_view haystack, std::string_view text) {
    uint32_t count = 0;
    for (size_t pos = haystack.find(text); !text.empty() && pos != std::string_view::npos;
         pos = haystack.find(text, pos + text.size()))
        ++count;
    return count;
}

class TInspector {
public:
    TInspector(const TClassFile& cls, std::string_view canvas, TClassInfo& info)
        : FCls(cls), FCanvas(canvas), FDescriptor("L" + std::string(canvas) + ";"), FInfo(info), FUse(info.Use) {}
    void Run();

private:
    // A Class constant naming the canvas or an array of it.
    bool IsCanvasClass(uint32_t index) const {
        std::string_view name = FCls.ClassName(index);
        const size_t dims = name.find_first_not_of('[');
        if (dims != 0 && dims != std::string_view::npos)
            name.remove_prefix(dims);
        return dims == 0 ? name == FCanvas : name == FDescriptor;
    }
    bool IsCanvasInit(uint32_t index) const {
        return FCls.Tag(index) == ctMethodref && FCls.RefClassName(index) == FCanvas &&
               FCls.RefMemberName(index) == kInitName;
    }
    bool HasLongerName(std::string_view text) const;
    void CountDescriptor(uint32_t utf8Index);
    void ScanPool();
    void ScanTexts();
    void ScanMembers(const std::vector<TMember>& members);
    void ScanSignatures(const std::vector<TAttribute>& attributes);
    void ScanCode(const TCode& code, bool constructor);

    const TClassFile& FCls;
    std::string_view FCanvas;
    std::string FDescriptor;
    TClassInfo& FInfo;
    TCanvasUse& FUse;
    std::vector<bool> FAccounted;  // per pool slot: a Utf8 whose mention is already counted
    uint32_t FPoolOccurrences = 0;
};

void TInspector::Run() {
    FAccounted.assign(FCls.Pool.size(), false);
    FInfo.ThisName = FCls.ClassName(FCls.ThisClass);
    FInfo.SuperName = FCls.ClassName(FCls.SuperClass);
    for (uint16_t index : FCls.Interfaces) {
        FInfo.Interfaces.emplace_back(FCls.ClassName(index));
        FUse.OtherRefs += IsCanvasClass(index);
    }
    FInfo.SuperIsCanvas = FInfo.SuperName == FCanvas;
    FUse.SuperLink = FInfo.SuperIsCanvas;
    FUse.OtherRefs += IsCanvasClass(FCls.ThisClass);
    ScanPool();
    ScanMembers(FCls.Fields);
    ScanMembers(FCls.Methods);
    ScanSignatures(FCls.Attributes);
    ScanTexts();
    // The name in bytes no constant holds: an attribute carries it as text.
    if (FInfo.RawOccurrences > FPoolOccurrences)
        FUse.OtherRefs += FInfo.RawOccurrences - FPoolOccurrences;
    const TCanvasUse& u = FUse;
    FInfo.BeyondSuperLink =
        u.Descriptors || u.Casts || u.MemberRefs || u.Strings || u.LongerNames || u.StackMapRefs || u.OtherRefs;
}

// An occurrence that is neither the whole text nor a complete L<name>; descriptor.
bool TInspector::HasLongerName(std::string_view text) const {
    for (size_t pos = text.find(FCanvas); pos != std::string_view::npos;
         pos = text.find(FCanvas, pos + FCanvas.size())) {
        const size_t end = pos + FCanvas.size();
        const bool whole = pos == 0 && end == text.size();
        const bool descriptor = pos > 0 && text[pos - 1] == 'L' && end < text.size() && text[end] == ';';
        if (!whole && !descriptor)
            return true;
    }
    return false;
}

void TInspector::CountDescriptor(uint32_t utf8Index) {
    if (FCls.Utf8(utf8Index).find(FDescriptor) == std::string_view::npos)
        return;
    ++FUse.Descriptors;
    FAccounted[utf8Index] = true;
}

void TInspector::ScanPool() {
    for (uint32_t i = 1; i < FCls.Pool.size(); ++i) {
        const TConstant& c = FCls.Pool[i];
        switch (c.Tag) {
            case ctString:
                if (FCls.Utf8(c.First).find(FCanvas) != std::string_view::npos) {
                    ++FUse.Strings;
                    FAccounted[c.First] = true;
                }
                break;
            case ctClass:
                if (IsCanvasClass(i))
                    FAccounted[c.First] = true;
                break;
            case ctNameAndType:
            case ctMethodType:
                CountDescriptor(c.Tag == ctNameAndType ? c.Second : c.First);
                break;
            case ctFieldref:
            case ctMethodref:
            case ctInterfaceMethodref:
                FUse.MemberRefs += IsCanvasClass(c.First) && !IsCanvasInit(i);
                break;
            case ctMethodHandle:
                FUse.OtherRefs += IsCanvasInit(c.First);
                break;
            default:
                break;
        }
    }
}

// Texts that contain the name: longer names, and any text no other count explains.
void TInspector::ScanTexts() {
    for (uint32_t i = 1; i < FCls.Pool.size(); ++i) {
        const std::string_view text = FCls.Utf8(i);
        const uint32_t occurrences = CountIn(text, FCanvas);
        if (occurrences == 0)
            continue;
        FPoolOccurrences += occurrences;
        if (HasLongerName(text))
            ++FUse.LongerNames;
        else if (text != FCanvas && !FAccounted[i])
            ++FUse.OtherRefs;
    }
}

void TInspector::ScanMembers(const std::vector<TMember>& members) {
    for (const TMember& m : members) {
        CountDescriptor(m.DescriptorIndex);
        ScanSignatures(m.Attributes);
        if (m.Code)
            ScanCode(*m.Code, FCls.Utf8(m.NameIndex) == kInitName);
    }
}

void TInspector::ScanSignatures(const std::vector<TAttribute>& attributes) {
    constexpr uint32_t kSignatureLength = 2;  // u2 signature_index
    for (const TAttribute& a : attributes)
        if (FCls.Utf8(a.NameIndex) == "Signature" && a.Length == kSignatureLength)
            CountDescriptor(Get16(FCls.Info(a), 0));
}

void TInspector::ScanCode(const TCode& code, bool constructor) {
    TCodeWalk walk(FCls.CodeBytes(code));
    TInstruction insn;
    while (walk.Next(insn)) {
        if (insn.PoolIndex == 0)
            continue;
        switch (insn.Opcode) {
            case opLdc:
            case opLdcW:
            case opNew:
            case opANewArray:
            case opCheckCast:
            case opInstanceOf:
            case opMultiANewArray:
                FUse.Casts += IsCanvasClass(insn.PoolIndex);
                break;
            case opInvokeSpecial:
                FUse.OtherRefs += !constructor && IsCanvasInit(insn.PoolIndex);
                break;
            default:
                break;
        }
    }
    for (uint16_t index : code.CatchTypes)
        FUse.OtherRefs += IsCanvasClass(index);
    for (uint16_t index : code.StackMapClasses)
        FUse.StackMapRefs += IsCanvasClass(index);
}

}  // namespace

uint32_t CountOccurrences(std::span<const uint8_t> bytes, std::string_view text) {
    return CountIn(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), text);
}

TClassInfo Inspect(std::span<const uint8_t> classBytes, std::string_view canvas) {
    TClassInfo info;
    if (canvas.empty()) {
        info.Status = TStatus::Fail("the canvas name is empty");
        return info;
    }
    info.RawOccurrences = CountOccurrences(classBytes, canvas);
    TClassFile cls;
    info.Status = ReadClass(classBytes, cls);
    if (info.Status.Ok())
        TInspector(cls, canvas, info).Run();
    return info;
}

}  // namespace classfile
