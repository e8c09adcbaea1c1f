// TUnZip and TUnJar: reading ZIP and JAR archives by their central directory or by their local headers.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "archive/format/ArchiveType.h"
#include "archive/read/UnBase.h"

namespace archive {

using TOnCorruptZipHeader = std::function<void(fw::TObject* Sender, uint32_t HeadFlag, bool& Cancel)>;

class TUnZip : public TUnBase {
public:
    explicit TUnZip(fw::TComponent* owner) : TUnBase(owner) {}

    // Classifies the file and locates its directory; a file that does not exist clears the name.
    void SetArchiveFile(const std::string& value) override;
    // The archive comment read with the end record when the file was assigned, bytes as stored; empty when
    // there is none or no end record was found.
    const std::string& ArchiveComment() const { return FArchiveComment; }

    TOnCorruptZipHeader OnCorruptZipHeader;

protected:
    void ProcessArchive() override;

private:
    std::vector<TUnBaseHeaderObj> CollectByDirectory();
    std::vector<TUnBaseHeaderObj> CollectByLocalWalk();
    // The converted name by the entry's flags; a name the system cannot hold is reported.
    std::optional<std::string> NameOf(const TStoredName& stored, uint16_t flags);
    void ReportShortDirectory(uint64_t headers, int64_t stoppedAt);
    void ReportCutWalk(int64_t stoppedAt);
    // Sizes and CRC of a walked entry from its data and descriptor (into `item`); the position after the
    // descriptor, or empty when the entry cannot be delimited (reported).
    std::optional<int64_t> MeasureDescribed(const TLocalHeader& local,
                                            int64_t dataStart,
                                            TUnBaseHeaderObj& item,
                                            const std::string& name);
    // Distance from `stored` to the first local header after it, or 0.
    int64_t SearchOffsetCorrection(int64_t stored);
    bool LocalHeaderAt(int64_t position);
    void StartInflatingAhead(const std::vector<TUnBaseHeaderObj>& list);
    void ExtractListed(const TUnBaseHeaderObj& item);

    TArchiveLocation FLocation;
    std::string FArchiveComment;
};

// Same operations and defaults; what differs for jars follows from the archive type.
class TUnJar : public TUnZip {
public:
    explicit TUnJar(fw::TComponent* owner) : TUnZip(owner) {}
};

}  // namespace archive
