// Gathering the jars: links followed to the file they name, .jad files taken for their jar, folders walked.
#include "app/cli/Jars.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>

#include "app/cli/Messages.h"
#include "app/jad/Jad.h"
#include "platform/Platform.h"
#include "platform/WholeFile.h"

namespace cli {

namespace {

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
    if (platform::GetFileAttributes(path) == platform::kInvalidAttributes)
        return {shown, path, Msg(TMsg::NoSuchFile, {shown})};
    std::string text;
    bool tooLarge = false;
    if (!platform::ReadSmallFile(path, app::kMaxJadSize, text, tooLarge))
        text.clear();
    const std::string name = JarNameInJad(text);
    if (name.empty())
        return {shown, path, Msg(TMsg::JadWithoutUrl, {shown})};
    const std::string jarShown = FolderPart(shown) + name;
    const std::string jarPath = FolderPart(path) + name;
    if (!platform::FileExists(jarPath))
        return {shown, path, Msg(TMsg::JadJarMissing, {shown, name})};
    return {jarShown, Expand(jarPath), ""};
}

struct TDirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// Links to folders are not followed, so no folder is walked twice or for ever; a link to a jar counts. A folder
// that cannot be listed is passed over.
void CollectJars(const std::string& folder, std::vector<std::string>& found) {
    const std::unique_ptr<DIR, TDirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return;
    const std::string prefix = folder.back() == '/' ? folder : folder + '/';
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir.get()), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            CollectJars(prefix + name, found);
        else if (EndsWithNoCase(name, ".jar") && platform::FileExists(prefix + name))
            found.push_back(prefix + name);
    }
}

void AddJarsBelow(const std::string& folder, std::vector<TJar>& jars) {
    if (!platform::DirectoryExists(folder)) {
        jars.push_back({folder, Expand(folder), Msg(TMsg::NotAFolderForR, {folder})});
        return;
    }
    std::vector<std::string> found;
    CollectJars(folder, found);
    std::sort(found.begin(), found.end());
    if (found.empty())
        jars.push_back({folder, Expand(folder), Msg(TMsg::NoJarsBelow, {folder})});
    for (const std::string& jar : found)
        jars.push_back({jar, Expand(jar), ""});
}

}  // namespace

std::string JarNameInJad(const std::string& jadText) {
    for (size_t start = 0; start < jadText.size();) {
        const size_t end = std::min(jadText.find('\n', start), jadText.size());
        const std::string line = jadText.substr(start, end - start);
        start = end + 1;
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
    // A jar reached twice (named twice, through a link, or by a .jad and by name) is patched once.
    std::set<std::string> seen;
    std::erase_if(jars, [&seen](const TJar& jar) { return jar.Fault.empty() && !seen.insert(jar.Path).second; });
    return jars;
}

}  // namespace cli
