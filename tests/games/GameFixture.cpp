// The test games' fixture: the build script, the runner, and jar entries through unzip and Python's zipfile.
#include "GameFixture.h"

#include <sstream>
#include <stdexcept>

namespace games {

namespace {

std::string Host(const std::string& path) {
    return testutil::Quote(testutil::ToHostPath(path));
}

// Lists, replaces and adds entries; the replacements are files in a folder, named by their index.
const char* const kRewriteScript = R"(import os, sys, zipfile
src, dst, folder = sys.argv[1], sys.argv[2], sys.argv[3]
names = sys.argv[4:]
new = {n: open(os.path.join(folder, str(i)), 'rb').read() for i, n in enumerate(names)}
with zipfile.ZipFile(src) as zin, zipfile.ZipFile(dst, 'w', zipfile.ZIP_DEFLATED) as zout:
    for info in zin.infolist():
        data = new.pop(info.filename) if info.filename in new else zin.read(info)
        zout.writestr(info, data)
    for name, data in new.items():
        zout.writestr(name, data)
)";

}  // namespace

bool HaveJdk() {
    for (const char* tool : {"javac", "java", "jar", "unzip", "python3"})
        if (!testutil::HostHas(tool))
            return false;
    return true;
}

bool BuildGames(const std::string& dir, std::string* log) {
    std::string out;
    const int rc = testutil::RunHost(
        "bash " + Host(testutil::SourcePath("tests/games/build-games.sh")) + " " + Host(dir) + " 2>&1", &out);
    if (log)
        *log = out;
    return rc == 0;
}

int RunGame(const std::string& dir, const std::string& jar, std::string* out) {
    return testutil::RunHost("cd " + Host(dir) + " && java -cp . RunGame " + testutil::Quote(jar) + " midp.jar 2>&1",
                             out);
}

std::vector<std::string> EntryNames(const std::string& jar) {
    std::string out;
    if (testutil::RunHost(
            "python3 -c 'import sys, zipfile; print(\"\\n\".join(zipfile.ZipFile(sys.argv[1]).namelist()))' " +
                Host(jar),
            &out) != 0)
        throw std::runtime_error("cannot list " + jar);
    std::vector<std::string> names;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty())
            names.push_back(line);
    return names;
}

testutil::Bytes ReadEntry(const std::string& jar, const std::string& name) {
    testutil::TTempDir dir;
    const std::string file = dir / "entry";
    if (testutil::RunHost("unzip -p " + Host(jar) + " " + testutil::Quote(name) + " > " + Host(file)) != 0)
        throw std::runtime_error("cannot read " + name + " from " + jar);
    return testutil::ReadFile(file);
}

void RewriteJar(const std::string& jar,
                const std::string& target,
                const std::map<std::string, testutil::Bytes>& entries) {
    testutil::TTempDir dir;
    testutil::WriteFile(dir / "rewrite.py", std::string(kRewriteScript));
    std::string names;
    int index = 0;
    for (const auto& [name, data] : entries) {
        testutil::WriteFile(dir / std::to_string(index++), data);
        names += " " + testutil::Quote(name);
    }
    if (testutil::RunHost("python3 " + Host(dir / "rewrite.py") + " " + Host(jar) + " " + Host(target) + " " +
                          Host(dir.Path()) + names) != 0)
        throw std::runtime_error("cannot rewrite " + jar);
}

}  // namespace games
