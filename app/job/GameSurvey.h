// The look before writing: what the job will do to the game, read from the jar's own classes.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "app/proof/DecodedClasses.h"

namespace app {

enum TPatchPlan {
    ppSubstitute,      // every class's canvas name becomes the full-screen canvas (the classic rule)
    ppSuperLink,       // the game also has screens of another canvas kind: only the super links change
    ppNoCanvas,        // no class names the canvas: nothing to patch
    ppAlreadyPatched,  // the program's own full-screen canvas is there and nothing is left to patch
};

struct TGameSurvey {
    bool Read = false;  // the jar's records and classes could be read; otherwise the job finds out why itself
    TPatchPlan Plan = ppSubstitute;
    std::vector<std::string> CanvasClasses;  // entries of the classes that name the canvas
    std::set<std::string> Relinked;          // ppSuperLink: entries of the classes that extend it directly
    std::string OtherKind;                   // the other canvas kind the game's screens extend, as shown
    bool HoldsPayload = false;               // the jar carries the program's own full-screen canvas
    bool Signed = false;                     // the jar carries signature files, which any change breaks
    // ppSuperLink: a class the rewrite refuses, and why; the job stops before writing anything then.
    std::string RefusedClass;
    std::string RefusedWhy;
};

// Reads every class entry of the jar (the later of two with one name, as extraction keeps it) without
// writing anything; feeds `decoded` with each class as it goes. `payload` is the program's own class.
TGameSurvey SurveyGame(const std::string& archivePath, const std::vector<uint8_t>& payload, TDecodedClasses& decoded);

}  // namespace app
