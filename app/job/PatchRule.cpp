// The names of the patch rule, spelled once.
#include "app/job/PatchRule.h"

namespace app {

const char kCanvasClass[] = "javax/microedition/lcdui/Canvas";
const char kWideCanvasClass[] = "com/vidorurud/fullscreen/WideCv";
const char kPayloadEntryName[] = "com/vidorurud/fullscreen/WideCv.class";
const char* const kPayloadFolders[3] = {"com", "vidorurud", "fullscreen"};
const char kPayloadFileName[] = "WideCv.class";

const TCanvasKind kOtherCanvasKinds[4] = {
    {"javax/microedition/lcdui/game/GameCanvas", "GameCanvas"},  // MIDP 2.0
    {"com/nokia/mid/ui/FullCanvas", "FullCanvas"},               // Nokia UI API
    {"com/siemens/mp/color_game/GameCanvas", "GameCanvas"},      // Siemens color game API
    {"com/motorola/game/GameScreen", "GameScreen"},              // Motorola game API (extends Canvas itself)
};

TProofRule JobProofRule(bool superLinkOnly) {
    return {kCanvasClass, kWideCanvasClass, kPayloadEntryName, superLinkOnly};
}

}  // namespace app
