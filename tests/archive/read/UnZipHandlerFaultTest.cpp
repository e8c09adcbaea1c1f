// A handler that throws: Extract never passes it on, the run still closes, and one entry's fault ends that entry.
#include <gtest/gtest.h>

#include <stdexcept>

#include "archive/read/UnZip.h"
#include "tests/archive/ArchiveFixtures.h"
#include "tests/archive/FaultFixtures.h"

using namespace archive;
using namespace archivetest;

namespace {
struct THandlerFault {
    const char* Name;
    const char* Thrower;  // the event whose handler throws, the first time it is called
    int32_t Count;
    std::vector<std::string> Events;
};

// Every event of a run as a word; the one named in `thrower` throws where it first runs.
struct TEventTrace {
    std::vector<std::string> Events;
    std::string Thrower;

    void Note(const std::string& event) {
        Events.push_back(event);
        if (event.starts_with(Thrower)) {
            Thrower = "(thrown)";
            throw std::runtime_error(event);
        }
    }

    void Attach(TUnJar& reader) {
        reader.OnActivate = [this](fw::TObject*) { Note("activate"); };
        reader.OnDeactivate = [this](fw::TObject*) { Note("deactivate"); };
        reader.OnElapsedTime = [this](fw::TObject*, float) { Note("elapsed"); };
        reader.OnExcludeFile = [this](fw::TObject*, const std::string& name) { Note("exclude " + name); };
        reader.OnBegin = [this](fw::TObject*, const std::string&, int32_t count, bool&) {
            Note("begin " + std::to_string(count));
        };
        reader.OnEntryData = [this](const TEntryInfo& entry, std::span<const uint8_t> data) {
            if (data.empty())
                Note("data " + entry.Name);
        };
        reader.OnEnd = [this](fw::TObject*, const std::string& name, bool pass) {
            Note((pass ? "pass " : "fail ") + name);
        };
    }
};

const std::vector<THandlerFault> kHandlerFaults{
    {"activate_throws", "activate", 0, {"activate"}},
    {"exclude_throws_while_collecting", "exclude", 0, {"activate", "exclude skip.txt", "elapsed", "deactivate"}},
    {"begin_throws_for_the_first_entry",
     "begin",
     1,
     {"activate", "exclude skip.txt", "begin 1", "begin 1", "data b.txt", "pass b.txt", "elapsed", "deactivate"}},
    {"entry_data_throws_before_the_first_chunk",
     "data a.txt",
     2,
     {"activate", "exclude skip.txt", "begin 1", "data a.txt", "fail a.txt", "begin 2", "data b.txt", "pass b.txt",
      "elapsed", "deactivate"}},
    {"end_throws_for_the_first_entry",
     "pass a.txt",
     2,
     {"activate", "exclude skip.txt", "begin 1", "data a.txt", "pass a.txt", "begin 2", "data b.txt", "pass b.txt",
      "elapsed", "deactivate"}},
    {"elapsed_time_throws",
     "elapsed",
     2,
     {"activate", "exclude skip.txt", "begin 1", "data a.txt", "pass a.txt", "begin 2", "data b.txt", "pass b.txt",
      "elapsed"}},
    {"deactivate_throws",
     "deactivate",
     2,
     {"activate", "exclude skip.txt", "begin 1", "data a.txt", "pass a.txt", "begin 2", "data b.txt", "pass b.txt",
      "elapsed", "deactivate"}},
};
}  // namespace

TEST(UnZipHandlerFault, AThrowingHandlerEndsOnlyWhatItInterruptsAndNeverLeavesExtract) {
    for (const THandlerFault& fault : kHandlerFaults) {
        SCOPED_TRACE(fault.Name);
        TRawRun run(BuildRawZip({{"a.txt", TextBytes("alpha")}, {"skip.txt", {}}, {"b.txt", TextBytes("beta")}}));
        run.Reader.ExcludeSpec = {"skip.txt"};
        TEventTrace trace{{}, fault.Thrower};
        trace.Attach(run.Reader);
        int32_t count = -1;
        EXPECT_NO_THROW(count = run.Extract());
        EXPECT_EQ(count, fault.Count);
        EXPECT_EQ(trace.Events, fault.Events);
    }
}

#ifndef _WIN32
// A decoder that gives up shows its message once the entry is closed and checked; a message box that throws
// ends that entry only, and the next one is written.
TEST(UnZipHandlerFault, AThrowingMessageBoxAfterAFailedWriteEndsOnlyThatEntry) {
    TRawRun run(BuildRawZip({{"big.bin", testutil::RandomBytes(200 * 1024, 5)}, {"small.txt", TextBytes("fits")}}));
    TEventTrace trace{{}, "box"};
    trace.Attach(run.Reader);
    run.Reader.AppHook.MessageBox = [&](const std::string&, uint32_t) -> int {
        trace.Note("box");
        return 0;
    };
    int32_t count = -1;
    {
        faulttest::TFileSizeLimit disk(100 * 1024);
        EXPECT_NO_THROW(count = run.Extract());
    }
    EXPECT_EQ(count, 1);
    EXPECT_EQ(trace.Events,
              (std::vector<std::string>{"activate", "begin 1", "data big.bin", "fail big.bin", "box", "begin 1",
                                        "data small.txt", "pass small.txt", "elapsed", "deactivate"}));
    EXPECT_EQ(testutil::ReadText(run.Target + "/small.txt"), "fits");
}
#endif
