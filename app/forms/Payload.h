// The full-screen canvas class WideCv.class, carried as item 0 of the main window's storage.
#pragma once

#include "storage/mxStorage.h"

namespace app {

// Adds item 0 to `storeClass` with the values of the main window's form description and reads its
// stored data, as loading the form does; afterwards the item writes WideCv.class with SaveToFile.
void LoadStoreClass(storage::TmxStorage& storeClass);

}  // namespace app
