// The look before writing: every class of the jar read through the proof's own reader and inspected.
#include "app/job/GameSurvey.h"

#include <map>

#include "app/jad/Jad.h"
#include "app/job/PatchRule.h"
#include "app/proof/ClassEntries.h"
#include "app/proof/Listing.h"
#include "classfile/CanvasUse.h"
#include "classfile/SuperRelink.h"

namespace app {

namespace {
// Deeper chains of the game's own classes than this are taken as a loop in damaged classes.
constexpr int kMaxAncestors = 64;

struct TSeenClass {
    std::string Entry;
    classfile::TClassInfo Info;
    classfile::TStatus Relink;  // for a class that extends the canvas: whether the super-link rewrite takes it
};

// Tried on the bytes at hand, so a refusal is known before the job writes anything.
classfile::TStatus TryRelink(std::span<const uint8_t> bytes) {
    std::vector<uint8_t> out;
    return classfile::RelinkSuper(bytes, kCanvasClass, kWideCanvasClass, out);
}

enum TLineage { lnNone, lnCanvas, lnOtherKind };

// What a class derives from, following super classes through the game's own classes.
TLineage LineageOf(std::string name, const std::map<std::string, std::string>& superOf, std::string& kindShown) {
    for (int step = 0; step < kMaxAncestors; ++step) {
        if (name == kCanvasClass)
            return lnCanvas;
        for (const TCanvasKind& kind : kOtherCanvasKinds)
            if (name == kind.Name) {
                kindShown = kind.Shown;
                return lnOtherKind;
            }
        const auto parent = superOf.find(name);
        if (parent == superOf.end())
            return lnNone;
        name = parent->second;
    }
    return lnNone;
}

// Reads the classes extraction would leave on disk; false when one cannot be read.
bool ReadClasses(const std::string& archivePath,
                 const std::vector<uint8_t>& payload,
                 TDecodedClasses& decoded,
                 TGameSurvey& survey,
                 std::vector<TSeenClass>& classes) {
    jarcheck::TCheckFile file(archivePath);
    if (!file.Valid())
        return false;
    // Only a whole central directory is taken as the truth here; a jar without one, or without entries, is
    // left to the extraction, which says what is wrong with it.
    const jarcheck::TListing listing = jarcheck::ListArchive(file, false);
    if (listing.Status != jarcheck::lsListed || !listing.ByDirectory || listing.Entries.empty())
        return false;
    std::map<std::string, size_t> kept;  // of two entries with one name, the later
    std::vector<std::string> names;
    for (size_t i = 0; i < listing.Entries.size(); ++i) {
        names.push_back(listing.Entries[i].Name);
        if (!jarcheck::CanDecode(listing.Entries[i]))
            return false;  // the extraction tells which entry and why
        if (IsPatchedEntry(listing.Entries[i].Name))
            kept[listing.Entries[i].Name] = i;
    }
    survey.Signed = IsSignedJar(names);
    std::vector<uint8_t> bytes;
    for (const auto& [name, index] : kept) {
        if (!jarcheck::ReadEntryWhole(file, listing.Entries[index], bytes))
            return false;
        decoded.Feed(name, {});
        decoded.Feed(name, bytes);
        if (name == kPayloadEntryName && bytes == payload)
            survey.HoldsPayload = true;
        else {
            classfile::TClassInfo info = classfile::Inspect(bytes, kCanvasClass);
            const classfile::TStatus relink = info.SuperIsCanvas ? TryRelink(bytes) : classfile::TStatus{};
            classes.push_back({name, std::move(info), relink});
        }
    }
    return true;
}

// The full substitution serves every game whose screens all come from the canvas; a game with screens of
// another kind keeps its other mentions, since a canvas slot of it must still take those screens.
void ChoosePlan(TGameSurvey& survey, const std::vector<TSeenClass>& classes) {
    std::map<std::string, std::string> superOf;
    for (const TSeenClass& seen : classes)
        if (seen.Info.Parsed())
            superOf[seen.Info.ThisName] = seen.Info.SuperName;
    bool otherScreens = false;
    bool beyondSuperLink = false;
    for (const TSeenClass& seen : classes) {
        if (seen.Info.Parsed() && LineageOf(seen.Info.SuperName, superOf, survey.OtherKind) == lnOtherKind)
            otherScreens = true;
        if (seen.Info.RawOccurrences == 0)
            continue;
        survey.CanvasClasses.push_back(seen.Entry);
        beyondSuperLink = beyondSuperLink || seen.Info.BeyondSuperLink;
        if (!seen.Info.SuperIsCanvas)
            continue;
        survey.Relinked.insert(seen.Entry);
        if (!seen.Relink.Ok() && survey.RefusedClass.empty()) {
            survey.RefusedClass = seen.Entry;
            survey.RefusedWhy = seen.Relink.Reason;
        }
    }
    const TPatchPlan none = survey.HoldsPayload ? ppAlreadyPatched : ppNoCanvas;
    if (survey.CanvasClasses.empty())
        survey.Plan = none;
    else if (otherScreens && beyondSuperLink)
        survey.Plan = survey.Relinked.empty() ? none : ppSuperLink;
    else
        survey.Plan = ppSubstitute;
    if (survey.Plan != ppSuperLink) {
        survey.Relinked.clear();
        survey.RefusedClass.clear();
        survey.RefusedWhy.clear();
    }
}
}  // namespace

TGameSurvey SurveyGame(const std::string& archivePath, const std::vector<uint8_t>& payload, TDecodedClasses& decoded) {
    TGameSurvey survey;
    decoded.Clear();
    std::vector<TSeenClass> classes;
    if (!ReadClasses(archivePath, payload, decoded, survey, classes)) {
        decoded.Clear();
        return TGameSurvey{};
    }
    survey.Read = true;
    ChoosePlan(survey, classes);
    return survey;
}

}  // namespace app
