// The names of the patch rule, spelled once.
#include "app/job/PatchRule.h"

namespace app {

const char kCanvasClass[] = "javax/microedition/lcdui/Canvas";
const char kWideCanvasClass[] = "com/vidorurud/fullscreen/WideCv";
const char kPayloadEntryName[] = "com/vidorurud/fullscreen/WideCv.class";
const char* const kPayloadFolders[3] = {"com", "vidorurud", "fullscreen"};
const char kPayloadFileName[] = "WideCv.class";

TProofRule JobProofRule() {
    return {kCanvasClass, kWideCanvasClass, kPayloadEntryName};
}

}  // namespace app
