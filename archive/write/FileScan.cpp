// The input file scan: folder groups, the depth-first walk and the acceptance check.
#include "archive/write/FileScan.h"

#include <algorithm>
#include <tuple>

#include "archive/names/EntryNames.h"

namespace archive {

namespace {

constexpr uint32_t kZeroAttr = 0;
constexpr char kMaskSeparator = ',';  // between the masks of a single-line mask list
#ifdef _WIN32
constexpr const char* kDefaultRootDir = "c:\\";
#else
constexpr const char* kDefaultRootDir = "/";
#endif

bool IsFolderEnd(char c) {
    // Windows paths may also end their folder part with a drive colon ("C:x.txt").
    return c == platform::PathDelim || (platform::PathDelim == '\\' && c == ':');
}

bool IsBlank(const std::string& line) {
    return line.find_first_not_of(' ') == std::string::npos;
}

std::string ResolveFolder(const std::string& line, const std::string& defaultFolder) {
    const std::string folder = ExtractFolder(line);
    return folder.empty() ? defaultFolder : folder;
}

// Adds one mask to a group's masks by the merge rules: covered masks add nothing, a wider mask
// replaces the first narrower one, anything else is appended.
void MergeMask(std::vector<std::string>& masks, const std::string& mask) {
    const auto covers = [](const std::string& pattern, const std::string& name) {
        return TInternalMask(pattern).Matches(name);
    };
    if (std::any_of(masks.begin(), masks.end(), [&](const std::string& m) { return covers(m, mask); }))
        return;
    const auto narrower =
        std::find_if(masks.begin(), masks.end(), [&](const std::string& m) { return covers(mask, m); });
    if (narrower != masks.end())
        *narrower = mask;
    else
        masks.push_back(mask);
}

std::vector<std::string> SplitMasks(const std::string& line) {
    std::vector<std::string> masks;
    size_t start = 0;
    for (;;) {
        const size_t comma = line.find(kMaskSeparator, start);
        std::string mask = line.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        mask.erase(0, mask.find_first_not_of(' ') == std::string::npos ? mask.size() : mask.find_first_not_of(' '));
        masks.push_back(mask);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return masks;
}

uint32_t DosDateTimeOf(const platform::TFileTime& utc) {
    platform::TFileTime local;
    uint16_t date = 0, time = 0;
    if (!platform::FileTimeToLocalFileTime(utc, local) || !platform::FileTimeToDosDateTime(local, date, time))
        return 0;
    return (static_cast<uint32_t>(date) << 16) | time;
}

}  // namespace

TFileAttributes DefaultScanAttributes() {
    return {fsZeroAttr, fsReadOnly, fsArchive, fsCompressed, fsEncrypted};
}

bool AttributesPass(uint32_t a, const TFileAttributes& s, bool notIndexedPasses) {
    return (notIndexedPasses && (a & platform::faNotContentIndexed)) ||
           (s.Has(fsEncrypted) && (a & platform::faEncrypted)) || (s.Has(fsArchive) && (a & platform::faArchive)) ||
           (s.Has(fsZeroAttr) && (a == kZeroAttr || a == platform::faNormal)) ||
           (s.Has(fsDirectory) && (a & platform::faDirectory)) || (s.Has(fsReadOnly) && (a & platform::faReadOnly)) ||
           (s.Has(fsHidden) && (a & platform::faHidden)) || (s.Has(fsSysFile) && (a & platform::faSysFile)) ||
           (s.Has(fsCompressed) && (a & platform::faCompressed));
}

std::string ExtractFolder(const std::string& path) {
    for (size_t i = path.size(); i > 0; --i)
        if (IsFolderEnd(path[i - 1]))
            return path.substr(0, i);
    return {};
}

TFolderGroup TakeFolderGroup(std::vector<std::string>& lines, const std::string& defaultFolder) {
    TFolderGroup group;
    group.Folder = ResolveFolder(lines.front(), defaultFolder);
    group.Masks.push_back(lines.front().substr(ExtractFolder(lines.front()).size()));
    lines.erase(lines.begin());
    for (auto it = lines.begin(); it != lines.end();) {
        if (!SameAsciiText(ResolveFolder(*it, defaultFolder), group.Folder)) {
            ++it;
            continue;
        }
        MergeMask(group.Masks, it->substr(ExtractFolder(*it).size()));
        it = lines.erase(it);
    }
    return group;
}

TFileScan::TFileScan(fw::TComponent* owner) : fw::TComponent(owner), FRootDir(kDefaultRootDir) {}

void TFileScan::SetFileSpec(const std::vector<std::string>& lines) {
    FFileSpec = lines;
    FFileSpecLine.clear();
}

void TFileScan::SetRootDir(const std::string& folder) {
    FRootDir = WithTrailingDelim(folder);
}

void TFileScan::Run() {
    FFilesList.clear();
    FFilesCount = 0;
    FFilesSize = 0;
    FCancel = false;
    if (!FFileSpecLine.empty())
        RunSingleLine();
    else if (RecurseDirs)
        RunGroups();
    else
        RunLines();
    SortList();
    fw::Fire(OnFinished, this, FFilesCount, FFilesSize);
}

void TFileScan::RunGroups() {
    std::vector<std::string> lines = FFileSpec;
    std::erase_if(lines, IsBlank);
    while (!lines.empty() && !Cancelled()) {
        const std::string fallback = FRootDir.empty() ? WithTrailingDelim(platform::GetCurrentDirectory()) : FRootDir;
        const TFolderGroup group = TakeFolderGroup(lines, fallback);
        const TMultiMask masks(group.Masks);
        FRootDir = group.Folder;
        fw::Fire(OnRootDirChange, this, FRootDir);
        Walk(FRootDir, &masks, true);
    }
}

void TFileScan::RunSingleLine() {
    const TMultiMask masks(SplitMasks(FFileSpecLine));
    if (platform::DirectoryExists(FRootDir))
        Walk(FRootDir, &masks, RecurseDirs);
}

// Each line goes to the system's own search unchanged: its wildcard rules, no descent.
void TFileScan::RunLines() {
    for (const std::string& line : FFileSpec) {
        if (Cancelled())
            break;
        if (IsBlank(line))
            continue;
        platform::TFindHandle find;
        platform::TFindData data;
        if (!find.First(line, data))
            continue;
        const std::string folder = ExtractFolder(line);
        fw::Fire(OnRootDirChange, this, folder);
        bool more = true;
        while (more && !Cancelled()) {
            if (!Skipped(data.Name))
                Consider(folder, data, nullptr);
            more = find.Next(data);
            fw::Fire(OnIdle);
        }
    }
}

void TFileScan::Walk(const std::string& folder, const TMultiMask* masks, bool recurse) {
    fw::Fire(OnRecurseDir, this, folder);
    platform::TFindHandle find;
    platform::TFindData data;
    if (!find.First(folder + "*.*", data))
        return;
    bool more = true;
    while (more && !Cancelled()) {
        if (!Skipped(data.Name)) {
            Consider(folder, data, masks);
            if (recurse && ShouldDescend(data))
                Walk(folder + data.Name + platform::PathDelim, masks, true);
        }
        more = find.Next(data);
        fw::Fire(OnIdle);
    }
}

// Dot names are skipped whole by default: "." and ".." as well as .git, .svn, .classpath.
bool TFileScan::Skipped(const std::string& name) const {
    if (name.empty() || name == "." || name == "..")
        return true;
    return name[0] == '.' && !IncludeHiddenFiles;
}

bool TFileScan::ShouldDescend(const platform::TFindData& data) const {
    return (data.Attr & platform::faDirectory) &&
           (IncludeHiddenDirs || IncludeHiddenFiles || !(data.Attr & platform::faHidden));
}

// Taking every file means a file passes whatever its bits; AttributesEx still keeps files out.
bool TFileScan::AttributesTaken(uint32_t attr) const {
    const bool included =
        AttributesPass(attr, Attributes, true) || (IncludeHiddenFiles && !(attr & platform::faDirectory));
    return included && !AttributesPass(attr, AttributesEx, false);
}

void TFileScan::Consider(const std::string& folder, const platform::TFindData& data, const TMultiMask* masks) {
    if (!AttributesTaken(data.Attr))
        return;
    if (data.Attr & platform::faDirectory) {
        if (UpdateList)
            Take(folder + data.Name + platform::PathDelim, data);
        return;
    }
    if (masks && !masks->Matches(data.Name))
        return;
    if (UpdateList && !Take(folder, data))
        return;
    ++FFilesCount;
    FFilesSize += static_cast<int64_t>(data.Size);
    if (UpdateList)
        fw::Fire(OnScanFile, this, data.Name, FFilesCount, FFilesSize);
}

bool TFileScan::Take(const std::string& folder, const platform::TFindData& data) {
    return OnEntry ? OnEntry(folder, data) : AddToList(folder, data);
}

bool TFileScan::AddToList(const std::string& folder, const platform::TFindData& data) {
    TFileObject item;
    const bool isFolder = (data.Attr & platform::faDirectory) != 0;
    item.Name = isFolder ? std::string() : data.Name;
    item.Folder = folder;
    item.SizeLo = static_cast<uint32_t>(data.Size);
    item.SizeHi = static_cast<uint32_t>(data.Size >> 32);
    item.Attr = data.Attr;
    item.DosDateTime = DosDateTimeOf(data.LastWriteTime);
    FFilesList.push_back(std::move(item));
    return true;
}

// One sort with a comparator per order, not a sort per order: each would add its own copy of the sort.
void TFileScan::SortList() {
    using TBefore = bool (*)(const TFileObject&, const TFileObject&);
    TBefore before = nullptr;
    switch (Sorted) {
        case soUnsort:
            break;
        case soByName:
            before = [](const TFileObject& a, const TFileObject& b) { return a.Name < b.Name; };
            break;
        case soByType:
            before = [](const TFileObject& a, const TFileObject& b) {
                return ExtractFileExt(a.Name) < ExtractFileExt(b.Name);
            };
            break;
        case soBySize:
            before = [](const TFileObject& a, const TFileObject& b) {
                return std::tie(a.SizeHi, a.SizeLo) < std::tie(b.SizeHi, b.SizeLo);
            };
            break;
        case soByTime:
            before = [](const TFileObject& a, const TFileObject& b) { return a.DosDateTime < b.DosDateTime; };
            break;
        case soByPath:
            before = [](const TFileObject& a, const TFileObject& b) { return a.Folder + a.Name < b.Folder + b.Name; };
            break;
    }
    if (before)
        std::stable_sort(FFilesList.begin(), FFilesList.end(), before);
}

}  // namespace archive
