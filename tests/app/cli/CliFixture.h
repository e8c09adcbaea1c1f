// The Linux program run as its users run it: a real process with its own folders, environment and streams.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "../job/JobFixture.h"
#include "TestUtil.h"

namespace clitest {

struct TRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// A copy of the program in a scratch folder; its settings and temporary folders are the fixture's own.
class TCommandLine : public testing::Test {
protected:
    void SetUp() override;
    // Runs the program with `args` (quoted by the caller) from `folder` (the scratch folder when empty).
    // `env` is put before the program ("LANG=ru_RU.UTF-8"); the locale is C unless `env` says otherwise.
    TRun Run(const std::string& args, const std::string& env = "", const std::string& folder = "");
    // The same command as Run() runs, for a test that wraps it (a pipe, another user).
    std::string Command(const std::string& args, const std::string& env = "", const std::string& folder = "");
    std::string Program() const { return FDir / "bin/grandvue"; }
    // The settings file's text; empty when no run wrote one.
    std::string SettingsText() const;
    // A jar packed by zip from `tree`; its path.
    std::string MakeJar(const std::string& path, const jobtest::TTree& tree = jobtest::SampleTree());

    testutil::TTempDir FDir;
};

// A prefix that runs a command as an unprivileged user (root's permissions would hide the faults).
std::string AsUnprivilegedUser();
bool IsRoot();

// A cheap check that the job went through: the jar holds the full-screen class (the job's own tests
// check the content in depth).
bool HoldsPayload(const std::string& jar);

// The sample tree's changes: three classes, eight occurrences.
extern const char kSampleSummary[];
// A tree without any class that names the canvas.
jobtest::TTree TreeWithoutCanvas();

}  // namespace clitest
