// The breadth-first walk: folders listed one at a time from a queue, every entry that passes the tests reported.
#include "search/FileSearch.h"

#include <deque>
#include <utility>

#include "search/EntryFilter.h"

namespace search {

namespace {

// The listing pattern that asks for every entry of a folder.
constexpr const char* kAllEntries = "*.*";

platform::TSystemTime LocalSystemTime(const platform::TFileTime& utc) {
    platform::TFileTime local;
    platform::TSystemTime time;
    if (!platform::FileTimeToLocalFileTime(utc, local) || !platform::FileTimeToSystemTime(local, time))
        return {};
    return time;
}

TFileInformations MakeRecord(const std::string& folder, const platform::TFindData& data) {
    return TFileInformations{
        .Name = data.Name,
        .Path = folder,
        .Attr = static_cast<int32_t>(data.Attr),
        .Size = static_cast<int32_t>(static_cast<uint32_t>(data.Size)),  // the high part is dropped
        .CreationTime = LocalSystemTime(data.CreationTime),
        .LastAccessTime = LocalSystemTime(data.LastAccessTime),
        .LastWriteTime = LocalSystemTime(data.LastWriteTime),
    };
}

bool IsDotEntry(const std::string& name) {
    return name == "." || name == "..";
}

// One walk: a copy of the settings, the slots, the queue of folders still to list and the counters.
class TWalk {
public:
    explicit TWalk(const TFileSearch& search) : FSettings(search.Settings), FSearch(search) {}
    bool Run();

private:
    bool ListFolder(const std::string& folder);
    void Consider(const TFileInformations& entry, bool& folderHasFiles);

    const TSearchSettings FSettings;
    const TFileSearch& FSearch;
    std::deque<std::string> FQueue;
    TStatistics FStats;
};

bool TWalk::Run() {
    const uint32_t start = platform::GetTickCount();
    bool listed = ListFolder(FSettings.RootPath);
    while (listed && !FQueue.empty()) {
        const std::string folder = std::move(FQueue.front());
        FQueue.pop_front();
        listed = ListFolder(folder);
    }
    // Tick counts wrap at 2^32; the unsigned difference stays right across one wrap.
    FStats.ElapsedMilliseconds = static_cast<int32_t>(platform::GetTickCount() - start);
    fw::Fire(FSearch.StatisticsSlot, FStats);
    return listed;
}

// False when the folder cannot be listed, which ends the walk.
bool TWalk::ListFolder(const std::string& folder) {
    fw::Fire(FSearch.ChangeFolderSlot, folder);
    // An empty folder string would list the file-system root; it names no folder, so it fails as a missing one.
    if (folder.empty())
        return false;
    const std::string path = folder.back() == platform::PathDelim ? folder : folder + platform::PathDelim;
    platform::TFindHandle listing;
    platform::TFindData data;
    if (!listing.First(path + kAllEntries, data))
        return false;
    bool folderHasFiles = false;
    do {
        if (IsDotEntry(data.Name))
            continue;
        // Subfolders are queued before any test, so masks, filters and the veto never stop the descent.
        if ((data.Attr & platform::faDirectory) && FSettings.IncludeSubfolder)
            FQueue.push_back(path + data.Name);
        Consider(MakeRecord(path, data), folderHasFiles);
    } while (listing.Next(data));
    return true;
}

void TWalk::Consider(const TFileInformations& entry, bool& folderHasFiles) {
    if (!PassesTests(FSettings, entry))
        return;
    if (FSearch.AcceptFileSlot && !FSearch.AcceptFileSlot(entry))
        return;
    if (static_cast<uint32_t>(entry.Attr) & platform::faDirectory) {
        ++FStats.DirectoriesFound;
    } else {
        ++FStats.FilesFound;
        if (!folderHasFiles)
            ++FStats.FoldersWithFiles;
        folderHasFiles = true;
    }
    fw::Fire(FSearch.FileFoundSlot, entry);
}

}  // namespace

bool TFileSearch::Search() const {
    return TWalk(*this).Run();
}

}  // namespace search
