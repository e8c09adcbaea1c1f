// The rebuilt-jar check: the original's records, patched as the job patches, against the rebuilt jar.
#include "app/proof/RebuiltJarCheck.h"

#include <algorithm>
#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

#include "app/proof/ClassEntries.h"
#include "app/proof/DecodedClasses.h"
#include "app/proof/EntryDecode.h"
#include "app/proof/Listing.h"
#include "app/proof/Substitute.h"
#include "archive/format/Crc32.h"
#include "archive/format/Records.h"
#include "archive/pipeline/Cores.h"
#include "classfile/CanvasUse.h"
#include "classfile/RelinkCheck.h"

namespace app {

namespace {
using jarcheck::TCheckFile;
using jarcheck::TListedEntry;
using jarcheck::TListing;

TJarCheckResult Failure(TJarCheckReason reason,
                        const std::string& archive,
                        const TListedEntry* entry,
                        const std::string& detail) {
    TJarCheckResult result;
    result.Reason = reason;
    result.Archive = archive;
    result.Detail = detail;
    if (entry) {
        result.Entry = entry->Name;
        result.EntryUtf8 = (entry->Flags & archive::kFlagUtf8) != 0;
    }
    return result;
}

std::string SizeAndCrc(uint64_t size, uint32_t crc) {
    char text[64];
    std::snprintf(text, sizeof text, "size %" PRIu64 ", CRC %08" PRIX32, size, crc);
    return text;
}

// Jars mark folders by a trailing delimiter, as the reader decides.
bool IsFolder(const std::string& name) {
    return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

// The UTF-8 flag changes how a name reads only when the name has bytes outside ASCII (the JDK sets it on
// every name, other tools only where needed).
bool SameNameEncoding(const std::string& name, uint16_t flagsA, uint16_t flagsB) {
    const bool ascii = std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; });
    return ascii || (flagsA & archive::kFlagUtf8) == (flagsB & archive::kFlagUtf8);
}

// An original class entry decoded twice over: as stored (to prove the data) and as the patcher leaves it.
struct TPatchedClass {
    bool Ok = false;
    std::string Detail;
    uint32_t Crc = 0;
};

TPatchedClass PatchOriginalClass(const TProofRule& rule, TCheckFile& file, const TListedEntry& entry) {
    const int64_t start = jarcheck::DataStart(file, entry);
    if (start < 0)
        return {false, "no local header where the directory points", 0};
    jarcheck::TCrcCounter stored;
    jarcheck::TCrcCounter patched;
    jarcheck::TSubstitution substitution(rule.Search, rule.Replace,
                                         [&patched](std::span<const uint8_t> bytes) { patched.Feed(bytes); });
    const auto result =
        jarcheck::DecodeEntryData(file, jarcheck::EntryDataOf(entry, start), [&](std::span<const uint8_t> bytes) {
            stored.Feed(bytes);
            substitution.Feed(bytes);
        });
    substitution.Finish();
    if (result.Status == jarcheck::dsUnsupported) {
        char text[80];
        std::snprintf(text, sizeof text, "class data cannot be decoded (method %u, flags %04X)", entry.Method,
                      entry.Flags);
        return {false, text, 0};
    }
    if (result.Status != jarcheck::dsOk || stored.Size() != entry.Size || !archive::CrcMatches(entry.Crc, stored.Crc()))
        return {false, "class data damaged: decoded " + SizeAndCrc(stored.Size(), stored.Crc()), 0};
    return {true, {}, patched.Crc()};
}

// Checks an entry of the rebuilt jar: its local header names it as the directory does, and its data decode
// to the directory's size and CRC. Empty when it holds.
std::string VerifyRebuiltEntry(TCheckFile& file, const TListedEntry& entry) {
    const auto headerBytes = file.ReadAt(entry.HeaderOffset, archive::kLocalHeaderSize);
    const auto header = archive::TLocalHeader::Parse(headerBytes);
    if (!header)
        return "no local header where the directory points";
    const auto name =
        file.ReadAt(entry.HeaderOffset + static_cast<int64_t>(archive::kLocalHeaderSize), header->NameLength);
    if (std::string(name.begin(), name.end()) != entry.Name || header->Method != entry.Method ||
        !SameNameEncoding(entry.Name, header->Flags, entry.Flags))
        return "local header differs from the directory";
    jarcheck::TCrcCounter crc;
    const auto result = jarcheck::DecodeEntryData(file, jarcheck::EntryDataOf(entry, jarcheck::DataStart(file, entry)),
                                                  [&crc](std::span<const uint8_t> bytes) { crc.Feed(bytes); });
    if (result.Status != jarcheck::dsOk || crc.Size() != entry.Size || crc.Crc() != entry.Crc)
        return "data decode to " + SizeAndCrc(crc.Size(), crc.Crc()) + ", directory says " +
               SizeAndCrc(entry.Size, entry.Crc);
    return {};
}

// Zip tools without Zip64 store the count of an archive of more than 65535 entries modulo 65536.
bool CountMatches(const TListing& listing) {
    const uint64_t read = listing.Entries.size();
    return !listing.HasEndRecord || listing.DeclaredTotal == read ||
           (read > 0xFFFF && listing.DeclaredTotal == (read & 0xFFFF));
}

std::string CountDetail(const TListing& listing) {
    char text[96];
    std::snprintf(text, sizeof text, "end record says %" PRIu64 " entries, %zu read", listing.DeclaredTotal,
                  listing.Entries.size());
    return text;
}

// The two archives' listings and what the comparison needs of them.
class TComparison {
public:
    TComparison(const TProofRule& rule,
                const std::string& originalPath,
                const std::string& rebuiltPath,
                const std::optional<TExpectedPayload>& payload,
                TDecodedClasses* decoded)
        : FRule(rule),
          FOriginalPath(originalPath),
          FRebuiltPath(rebuiltPath),
          FPayload(payload),
          FDecoded(decoded),
          FOriginalFile(originalPath),
          FRebuiltFile(rebuiltPath) {}

    // The listings first; then the record comparisons, while a second thread decodes the rebuilt jar (the
    // costly part, which needs nothing of the original); the first thread joins the decoding when done.
    // A difference in the records is told first.
    TJarCheckResult Run() {
        if (TJarCheckResult listed = FirstFault({&TComparison::ReadOriginal, &TComparison::ReadRebuilt}); !listed.Ok())
            return listed;
        std::thread decoder;
        try {
            if (archive::MayStartThread(archive::wkAuto))
                decoder = std::thread([this] { DecodeRebuilt(); });
        } catch (const std::system_error&) {  // no thread to be had: this one decodes it all
        }
        TJarCheckResult compared = CompareRecords();
        if (!compared.Ok())
            FStopDecoding = true;
        else
            DecodeRebuilt();
        if (decoder.joinable())
            decoder.join();
        return compared.Ok() ? FirstDecodeFault() : compared;
    }

private:
    TJarCheckResult ReadOriginal() {
        FOriginal = jarcheck::ListArchive(FOriginalFile, true);
        if (FOriginal.Status != jarcheck::lsListed) {
            TListedEntry named;
            named.Name = FOriginal.Entry;
            return Failure(jcOriginalUnreadable, FOriginalPath, &named, FOriginal.Detail);
        }
        if (!CountMatches(FOriginal))
            return Failure(jcCountMismatch, FOriginalPath, nullptr, CountDetail(FOriginal));
        // Extraction writes entries in directory order, so of two with one name the later stays on disk.
        for (size_t i = 0; i < FOriginal.Entries.size(); ++i) {
            const std::string& name = FOriginal.Entries[i].Name;
            if (!IsFolder(name) && name != FRule.PayloadEntry)
                FExpected[name] = i;
        }
        return {};
    }

    TJarCheckResult ReadRebuilt() {
        FRebuilt = jarcheck::ListArchive(FRebuiltFile, false);
        if (FRebuilt.Status != jarcheck::lsListed) {
            TListedEntry named;
            named.Name = FRebuilt.Entry;
            return Failure(jcRebuiltUnreadable, FRebuiltPath, &named, FRebuilt.Detail);
        }
        if (FRebuilt.Correction != 0)
            return Failure(jcRebuiltUnreadable, FRebuiltPath, nullptr, "offsets do not count from the start");
        if (!CountMatches(FRebuilt))
            return Failure(jcCountMismatch, FRebuiltPath, nullptr, CountDetail(FRebuilt));
        for (size_t i = 0; i < FRebuilt.Entries.size(); ++i) {
            const TListedEntry& entry = FRebuilt.Entries[i];
            if (!FRebuiltByName.emplace(entry.Name, i).second)
                return Failure(jcUnexpectedEntry, FRebuiltPath, &entry, "name stored twice");
        }
        return {};
    }

    TJarCheckResult CompareRecords() {
        return FirstFault(
            {&TComparison::CompareEntries, &TComparison::CheckPayload, &TComparison::CheckNothingUnexplained});
    }

    // Runs the steps in order up to the first that finds a fault.
    TJarCheckResult FirstFault(std::initializer_list<TJarCheckResult (TComparison::*)()> steps) {
        for (auto step : steps) {
            TJarCheckResult result = (this->*step)();
            if (!result.Ok())
                return result;
        }
        return {};
    }

    TJarCheckResult CompareEntries() {
        for (size_t i = 0; i < FOriginal.Entries.size(); ++i) {
            const TListedEntry& want = FOriginal.Entries[i];
            const auto expected = FExpected.find(want.Name);
            if (expected == FExpected.end() || expected->second != i)
                continue;
            TJarCheckResult result = CompareEntry(want);
            if (!result.Ok())
                return result;
        }
        return {};
    }

    TJarCheckResult CompareEntry(const TListedEntry& want) {
        const auto found = FRebuiltByName.find(want.Name);
        if (found == FRebuiltByName.end() || IsFolder(FRebuilt.Entries[found->second].Name))
            return Failure(jcEntryMissing, FRebuiltPath, &want, "not in the rebuilt jar");
        const TListedEntry& got = FRebuilt.Entries[found->second];
        if (!SameNameEncoding(want.Name, got.Flags, want.Flags))
            return Failure(jcNameEncoding, FRebuiltPath, &want,
                           (want.Flags & archive::kFlagUtf8) ? "UTF-8 flag lost" : "UTF-8 flag added");
        if (FRule.SuperLinkOnly && IsPatchedEntry(want.Name))
            return CompareRelinkedClass(want, got);
        bool crcMatches = archive::CrcMatches(want.Crc, got.Crc);
        uint32_t wantCrc = want.Crc;
        if (IsPatchedEntry(want.Name)) {
            const TPatchedClass patched = PatchedClassOf(want);
            if (!patched.Ok)
                return Failure(jcOriginalUnreadable, FOriginalPath, &want, patched.Detail);
            wantCrc = patched.Crc;
            crcMatches = got.Crc == patched.Crc;
        }
        if (got.Size != want.Size || !crcMatches)
            return Failure(jcEntryDiffers, FRebuiltPath, &want,
                           SizeAndCrc(got.Size, got.Crc) + ", expected " + SizeAndCrc(want.Size, wantCrc));
        return {};
    }

    // Under the super-link rule a class is as it was, unless it extends the searched class: then it must be the
    // rewrite of the original, as told by a comparison written apart from the rewrite.
    TJarCheckResult CompareRelinkedClass(const TListedEntry& want, const TListedEntry& got) {
        std::vector<uint8_t> original;
        if (!jarcheck::ReadEntryWhole(FOriginalFile, want, original))
            return Failure(jcOriginalUnreadable, FOriginalPath, &want, "class data cannot be read whole");
        const bool extendsSearch = classfile::Inspect(original, FRule.Search).SuperIsCanvas;
        if (got.Size == want.Size && archive::CrcMatches(want.Crc, got.Crc))
            return extendsSearch ? Failure(jcEntryDiffers, FRebuiltPath, &want, "its super link was not rewritten")
                                 : TJarCheckResult{};
        std::vector<uint8_t> rebuilt;
        if (!extendsSearch)
            return Failure(jcEntryDiffers, FRebuiltPath, &want,
                           SizeAndCrc(got.Size, got.Crc) + ", expected " + SizeAndCrc(want.Size, want.Crc));
        if (!jarcheck::ReadEntryWhole(FRebuiltFile, got, rebuilt))
            return Failure(jcRebuiltUnreadable, FRebuiltPath, &got, "class data cannot be read whole");
        std::string why;
        if (!classfile::IsSuperRelinkOf(original, rebuilt, FRule.Search, FRule.Replace, &why))
            return Failure(jcEntryDiffers, FRebuiltPath, &want, "not the super-link rewrite: " + why);
        return {};
    }

    TJarCheckResult CheckPayload() {
        const auto found = FRebuiltByName.find(FRule.PayloadEntry);
        if (found == FRebuiltByName.end())
            return Failure(jcPayloadMissing, FRebuiltPath, nullptr, FRule.PayloadEntry);
        const TListedEntry& got = FRebuilt.Entries[found->second];
        if (FPayload && (got.Size != FPayload->Size || got.Crc != FPayload->Crc))
            return Failure(jcEntryDiffers, FRebuiltPath, &got,
                           SizeAndCrc(got.Size, got.Crc) + ", expected " + SizeAndCrc(FPayload->Size, FPayload->Crc));
        return {};
    }

    TJarCheckResult CheckNothingUnexplained() {
        for (const TListedEntry& entry : FRebuilt.Entries) {
            if (!IsFolder(entry.Name) && entry.Name != FRule.PayloadEntry && !FExpected.contains(entry.Name))
                return Failure(jcUnexpectedEntry, FRebuiltPath, &entry, "not in the original");
        }
        return {};
    }

    // The reader's own decoding of the class during extraction, when it saw exactly what the records say;
    // otherwise the check decodes the original's entry itself.
    TPatchedClass PatchedClassOf(const TListedEntry& want) {
        if (FDecoded) {
            const std::optional<TDecodedClass> seen = FDecoded->Find(want.Name);
            if (seen && seen->Size == want.Size && archive::CrcMatches(want.Crc, seen->Crc))
                return {true, {}, seen->PatchedCrc};
        }
        return PatchOriginalClass(FRule, FOriginalFile, want);
    }

    // Each thread takes the next entry not yet taken, through a handle of its own.
    void DecodeRebuilt() {
        TCheckFile file(FRebuiltPath);
        for (size_t i = FNextToDecode++; i < FRebuilt.Entries.size() && !FStopDecoding; i = FNextToDecode++) {
            const std::string fault = VerifyRebuiltEntry(file, FRebuilt.Entries[i]);
            if (fault.empty())
                continue;
            const std::lock_guard<std::mutex> lock(FFaultLock);
            if (i < FFaultIndex) {
                FFaultIndex = i;
                FFault = fault;
            }
        }
    }

    // The first entry in the rebuilt jar's order that failed, whichever thread decoded it.
    TJarCheckResult FirstDecodeFault() const {
        if (FFaultIndex == kNoFault)
            return {};
        return Failure(jcRebuiltUnreadable, FRebuiltPath, &FRebuilt.Entries[FFaultIndex], FFault);
    }

    const TProofRule& FRule;
    const std::string& FOriginalPath;
    const std::string& FRebuiltPath;
    const std::optional<TExpectedPayload>& FPayload;
    TDecodedClasses* FDecoded;
    TCheckFile FOriginalFile;
    TCheckFile FRebuiltFile;
    TListing FOriginal;
    TListing FRebuilt;
    std::map<std::string, size_t> FExpected;       // name -> the original entry extraction leaves on disk
    std::map<std::string, size_t> FRebuiltByName;  // name -> the rebuilt jar's entry
    std::atomic<bool> FStopDecoding{false};        // the comparisons found a difference: decoding is moot
    std::atomic<size_t> FNextToDecode{0};
    static constexpr size_t kNoFault = SIZE_MAX;
    std::mutex FFaultLock;
    size_t FFaultIndex = kNoFault;
    std::string FFault;
};
}  // namespace

TJarCheckResult CheckRebuiltJar(const TProofRule& rule,
                                const std::string& originalPath,
                                const std::string& rebuiltPath,
                                const std::optional<TExpectedPayload>& payload,
                                TDecodedClasses* decoded) {
    return TComparison(rule, originalPath, rebuiltPath, payload, decoded).Run();
}

}  // namespace app
