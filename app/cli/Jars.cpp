// Gathering the jars: links followed to the file they name, .jad files taken for their jar, folders walked.
#include "app/cli/Jars.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/cli/Messages.h"
#include "app/jad/Jad.h"
#include "platform/Platform.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

const char kJarUrl[] = "MIDlet-Jar-URL";

bool EndsWithNoCase(const std::string& name, const std::string& ending) {
    return name.size() >= ending.size() &&
           std::equal(ending.rbegin(), ending.rend(), name.rbegin(),
                      [](char lower, char c) { return std::tolower(static_cast<unsigned char>(c)) == lower; });
}

// Every path is taken against the caller's folder now. A link is followed, so the jar it names is patched
// and the link stays a link.
std::string Expand(const std::string& file) {
    std::string path = platform::ExpandFileName(file);
    if (char* real = realpath(path.c_str(), nullptr)) {
        path = real;
        std::free(real);
    }
    return path;
}

std::string FolderPart(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// "game.jad" stands for the jar its MIDlet-Jar-URL names in the same folder.
TJar JarOfJad(const std::string& shown) {
    const std::string path = Expand(shown);
    std::string text;
    std::error_code error;
    if (fs::is_regular_file(path, error) && fs::file_size(path, error) <= app::kMaxJadSize) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        text = bytes.str();
    }
    if (!fs::exists(path, error))
        return {shown, path, Msg(TMsg::NoSuchFile, {shown})};
    const std::string name = JarNameInJad(text);
    if (name.empty())
        return {shown, path, Msg(TMsg::JadWithoutUrl, {shown})};
    const std::string jarShown = FolderPart(shown) + name;
    const std::string jarPath = FolderPart(path) + name;
    if (!fs::is_regular_file(jarPath, error))
        return {shown, path, Msg(TMsg::JadJarMissing, {shown, name})};
    return {jarShown, Expand(jarPath), ""};
}

void AddJarsBelow(const std::string& folder, std::vector<TJar>& jars) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        jars.push_back({folder, Expand(folder), Msg(TMsg::NotAFolderForR, {folder})});
        return;
    }
    std::vector<std::string> found;
    // Links to folders are not followed (the default), so no folder is walked twice or for ever.
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (EndsWithNoCase(name, ".jar") && it->is_regular_file(error))
            found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    if (found.empty())
        jars.push_back({folder, Expand(folder), Msg(TMsg::NoJarsBelow, {folder})});
    for (const std::string& jar : found)
        jars.push_back({jar, Expand(jar), ""});
}

}  // namespace

std::string JarNameInJad(const std::string& jadText) {
    std::istringstream lines(jadText);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(kJarUrl, 0) != 0)
            continue;
        const size_t colon = line.find(':');
        if (colon == std::string::npos || line.find_first_not_of(' ', sizeof(kJarUrl) - 1) != colon)
            continue;
        std::string value = line.substr(colon + 1);
        value = value.substr(0, value.find_first_of("?#\r"));
        value = value.substr(value.find_last_of("/\\") == std::string::npos ? 0 : value.find_last_of("/\\") + 1);
        const size_t first = value.find_first_not_of(" \t");
        const size_t last = value.find_last_not_of(" \t");
        return first == std::string::npos ? "" : value.substr(first, last - first + 1);
    }
    return "";
}

std::vector<TJar> GatherJars(const std::vector<std::string>& files, bool recursive) {
    std::vector<TJar> jars;
    for (const std::string& file : files) {
        if (recursive)
            AddJarsBelow(file, jars);
        else if (EndsWithNoCase(file, ".jad"))
            jars.push_back(JarOfJad(file));
        else
            jars.push_back({file, Expand(file), ""});
    }
    return jars;
}

}  // namespace cli
