// The JDK peer: javac, javap and java run on the host (from under Wine too) on files in a scratch folder.
#include "JdkPeer.h"

namespace classfile_test {

namespace {
std::string Host(const std::string& path) {
    return testutil::Quote(testutil::ToHostPath(path));
}
}  // namespace

bool CompileWithMidp(const testutil::TTempDir& dir,
                     const std::map<std::string, std::string>& sources,
                     std::string* log) {
    std::string files;
    for (const auto& [path, text] : sources) {
        testutil::WriteFile(dir / ("src/" + path), text);
        files += " " + Host(dir / ("src/" + path));
    }
    const std::string midp = testutil::ToHostPath(testutil::SourcePath("tests/games/midp"));
    return testutil::RunHost("javac -nowarn --release 8 -d " + Host(dir / "classes") + " $(find " +
                                 testutil::Quote(midp) + " -name '*.java')" + files + " 2>&1",
                             log) == 0;
}

testutil::Bytes CompiledClass(const testutil::TTempDir& dir, const std::string& internalName) {
    return testutil::ReadFile(dir / ("classes/" + internalName + ".class"));
}

int Javap(const std::vector<std::string>& classFiles, std::string* out) {
    std::string files;
    for (const std::string& file : classFiles)
        files += " " + Host(file);
    return testutil::RunHost("javap -v -p" + files + " 2>&1", out);
}

int LoadInJvm(const testutil::TTempDir& dir,
              const std::string& classPath,
              const std::string& classes,
              std::string* out) {
    const std::string source = testutil::ToHostPath(testutil::SourcePath("tests/classfile/jvm/LoadClasses.java"));
    const std::string bin = testutil::ToHostPath(dir / "loader");
    return testutil::RunHost("javac -nowarn -d " + testutil::Quote(bin) + " " + testutil::Quote(source) +
                                 " && java -cp " + testutil::Quote(bin) + " LoadClasses " + testutil::Quote(classPath) +
                                 " " + classes + " 2>&1",
                             out);
}

}  // namespace classfile_test
