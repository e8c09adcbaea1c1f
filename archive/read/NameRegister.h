// The names the reader has taken in one run, to tell a real duplicate from names that only clash on disk.
#pragma once

#include <string>
#include <unordered_map>

namespace archive {

class TNameRegister {
public:
    // Registers a selected entry's name; answers why it may not be taken, or empty. Two entries of one
    // name are a duplicate (the later one wins); names that meet only once cut to their kept length, or
    // once letter case is ignored where the file system ignores it, would merge two entries into one file.
    std::string Clash(const std::string& name, bool cut);

private:
    struct TSeen {
        std::string Name;
        bool Cut = false;
    };
    std::unordered_map<std::string, TSeen> FSeen;  // keyed by the name as the file system compares it
};

}  // namespace archive
