// The jars a command line names: files as given, the jar a .jad names, every jar below a folder (-r).
#pragma once

#include <string>
#include <vector>

namespace cli {

struct TJar {
    std::string Shown;  // as the user wrote it (a jar found below a folder: that folder joined with its path)
    std::string Path;   // expanded against the caller's folder before the first job
    std::string Fault;  // set when the name cannot be taken as a jar: the whole line saying why
};

// Each file in turn; with `recursive`, each is a folder whose *.jar files (any letter case) are taken in name
// order, never a .bak or a link to a folder. Each jar comes once, where it is first reached.
std::vector<TJar> GatherJars(const std::vector<std::string>& files, bool recursive);

// The last part of a .jad's MIDlet-Jar-URL value (query and fragment dropped); empty when it has none.
std::string JarNameInJad(const std::string& jadText);

}  // namespace cli
