// The look before writing: the plan for the game, a jar with nothing to patch left as it is, and the
// super-link rewrite of the classes the plan names.
#include <string>

#include "app/job/GameSurvey.h"
#include "app/job/PatchJob.h"
#include "app/job/PatchRule.h"
#include "app/job/RelinkInFile.h"
#include "framework/Streams.h"
#include "platform/Platform.h"

namespace app {

std::vector<uint8_t> TPatchJob::PayloadBytes() {
    fw::TMemoryStream bytes;
    FParts.Store.GetStoredItem(0)->SaveToStream(bytes);
    return bytes.Bytes();
}

TGameSurvey TPatchJob::Look(const std::string& archivePath) {
    RefuseWhileRunning();
    return SurveyGame(platform::ResolvePath(archivePath), PayloadBytes(), FDecodedClasses);
}

int TPatchJob::LookedReplacements(const std::string& entry) {
    const std::optional<TDecodedClass> decoded = FDecodedClasses.Find(entry);
    return decoded ? static_cast<int>(decoded->Replacements) : 0;
}

bool TPatchJob::LookAtGame(const std::string& archivePath) {
    FSurvey = SurveyGame(archivePath, PayloadBytes(), FDecodedClasses);
    FReport.OtherKind = FSurvey.OtherKind;
    FReport.Rule = FSurvey.Plan == ppSuperLink ? TPatchRuleUsed::prSuperLink : TPatchRuleUsed::prSubstitute;
    if (!FSurvey.RefusedClass.empty()) {
        FReport.Detail = FSurvey.RefusedWhy;
        Fail(TJobFailure::jfRelinkRefused, TText::RelinkFailed, 0, FSurvey.RefusedClass);
    }
    switch (FSurvey.Plan) {
        case ppNoCanvas:
            FReport.Outcome = TJobOutcome::joNoCanvas;
            if (FSurvey.OtherKind.empty())
                Say(TText::LeftNoCanvas);
            else
                SayWith(TText::LeftOtherKind, FSurvey.OtherKind);
            return false;
        case ppAlreadyPatched:
            FReport.Outcome = TJobOutcome::joAlreadyPatched;
            Say(TText::LeftPatched);
            return false;
        default:
            return true;
    }
}

// The look tried every class it names; a refusal here means the file changed since.
void TPatchJob::RelinkClass(const std::string& file, const std::string& entry) {
    if (!FSurvey.Relinked.contains(entry))
        return;
    std::string why;
    if (!RelinkInFile(file, kCanvasClass, kWideCanvasClass, why)) {
        FReport.Detail = why;
        Fail(TJobFailure::jfRelinkRefused, TText::RelinkFailed, 0, entry);
    }
    FReport.ChangedClasses.push_back({entry, 1});
    FReport.Replacements += 1;
}

}  // namespace app
