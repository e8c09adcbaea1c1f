// The run's own work folder: made exclusively for one job, removed with what it holds when the job ends.
#pragma once

#include <string>

namespace app {

// The folder of the running executable, without a trailing delimiter.
std::string ExeFolder();

// A folder that no other run or user shares, made where runs make theirs. POSIX: $TMPDIR (default /tmp),
// owner-only. Windows: "temp" beside the program (made when missing, never emptied), or the user's
// temporary folder where that one cannot be used. Nothing outside it is ever removed.
class TRunFolder {
public:
    TRunFolder();   // raises fw::EInOutError when no folder can be made
    ~TRunFolder();  // removes the folder with everything in it
    TRunFolder(const TRunFolder&) = delete;
    TRunFolder& operator=(const TRunFolder&) = delete;

    const std::string& Path() const { return FPath; }  // no trailing delimiter
    std::string Join(const std::string& name) const;

private:
    std::string FPath;
};

}  // namespace app
