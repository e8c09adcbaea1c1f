// The test games as a fixture: built with the JDK at test time, run in a verifying JVM, their jars read
// and rewritten entry by entry. Paths are this program's paths (under Wine too).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "TestUtil.h"

namespace games {

// The host has javac, java, jar, unzip and python3.
bool HaveJdk();

// Runs tests/games/build-games.sh into `dir`: midp.jar, canvasgame.jar, gamecanvasgame.jar, mixedgame.jar,
// WideCv.class and RunGame.class. False, with the script's output in `log`, when it fails.
bool BuildGames(const std::string& dir, std::string* log = nullptr);

// Starts dir/<jar> with dir/midp.jar in RunGame; the exit status, its lines in `out`.
int RunGame(const std::string& dir, const std::string& jar, std::string* out);

// The jar's entry names, in their order.
std::vector<std::string> EntryNames(const std::string& jar);
testutil::Bytes ReadEntry(const std::string& jar, const std::string& name);

// Copies `jar` to `target` with the given entries replaced, or added when the jar has no such entry.
void RewriteJar(const std::string& jar,
                const std::string& target,
                const std::map<std::string, testutil::Bytes>& entries);

// The full-screen canvas's entry name in a patched jar.
inline const std::string kWideCvEntry = "com/vidorurud/fullscreen/WideCv.class";

}  // namespace games
