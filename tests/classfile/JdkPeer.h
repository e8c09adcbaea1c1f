// The JDK as the class-file tests' peer: javac output to inspect, javap and a verifying JVM to judge ours.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "TestUtil.h"

namespace classfile_test {

// Compiles `sources` (relative path -> text) with javac --release 8 together with the MIDP stand-ins of
// tests/games/midp into dir/classes; false, with javac's output in `log`, when it fails.
bool CompileWithMidp(const testutil::TTempDir& dir,
                     const std::map<std::string, std::string>& sources,
                     std::string* log);
// A class file compiled there, by internal name ("probe/Holder").
testutil::Bytes CompiledClass(const testutil::TTempDir& dir, const std::string& internalName);

// javap -v -p on class files; its exit status, its output in `out`.
int Javap(const std::vector<std::string>& classFiles, std::string* out);

// Loads `classes` (binary names, space-separated) from the folders or jars of `classPath` (":"-separated host
// paths) in a verifying JVM through tests/classfile/jvm/LoadClasses.java; exit status, output in `out`.
int LoadInJvm(const testutil::TTempDir& dir,
              const std::string& classPath,
              const std::string& classes,
              std::string* out);

}  // namespace classfile_test
