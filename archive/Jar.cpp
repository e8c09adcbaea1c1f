// TJar's defaults.
#include "archive/Jar.h"

namespace archive {

TJar::TJar(fw::TComponent* owner) : TZip(owner) {
    FDefaultExt = ClassDefaultExt();
    FArcType = atJar;
}

}  // namespace archive
