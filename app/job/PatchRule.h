// The patch rule: the canvas the game's screens extend, the full-screen canvas put in its place, and where
// the program's own copy of the latter goes in the jar. Every other place takes these names from here.
#pragma once

#include "app/proof/ProofRule.h"

namespace app {

// Both exactly 31 bytes: the patcher exchanges texts of equal length so class files keep their layout.
extern const char kCanvasClass[];
extern const char kWideCanvasClass[];
// The added class: its entry name, and the folders and file name it is written under in the work folder.
extern const char kPayloadEntryName[];
extern const char* const kPayloadFolders[3];
extern const char kPayloadFileName[];

// Canvas classes of other kinds that a game's screens may extend instead (from the vendors' public API
// documentation of the MIDP era). A game with such screens keeps every other mention of the canvas.
struct TCanvasKind {
    const char* Name;   // internal name
    const char* Shown;  // as a player reads it in a message
};
extern const TCanvasKind kOtherCanvasKinds[4];

// The rule as the proof of the rebuilt jar takes it: the full substitution, or the super link only.
TProofRule JobProofRule(bool superLinkOnly = false);

}  // namespace app
