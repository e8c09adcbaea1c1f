// The super-link rewrite of one class file in the work folder.
#pragma once

#include <string>

namespace app {

// Makes the class in `fileName`, which extends `from`, extend `to` instead (its constant pool grows; every
// other byte stays). False, with the file untouched, when the class cannot be rewritten (the reason in
// `why`); raises the run-time I/O error when the file cannot be read or written.
bool RelinkInFile(const std::string& fileName, const std::string& from, const std::string& to, std::string& why);

}  // namespace app
