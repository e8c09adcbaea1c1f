// The shared error paths: OnError, the cancel flag's code, E_RAISE with the table's text, the stopwatch.
#include <gtest/gtest.h>

#include <vector>

#include "archive/Messages.h"
#include "archive/ZipCommon.h"

using namespace archive;

namespace {
class TProbe : public TZipCommon {
public:
    TProbe() : TZipCommon(nullptr) {}
    using TZipCommon::RaiseError;
    using TZipCommon::ReportError;
    using TZipCommon::StartTimer;
    using TZipCommon::StopTimer;
};

struct TErrorLog {
    std::vector<int32_t> Codes;
    std::vector<std::string> Volumes;
    TOnError Handler() {
        return [this](fw::TObject*, const std::string&, const std::string&, const std::string& volume, int32_t code) {
            Codes.push_back(code);
            Volumes.push_back(volume);
        };
    }
};
}  // namespace

TEST(ZipCommonErrors, NonFatalPathOnlyCallsOnError) {
    TProbe probe;
    EXPECT_NO_THROW(probe.ReportError("a.txt", "", kMsgErrorOpeningFile));  // no handler: silent
    TErrorLog log;
    probe.OnError = log.Handler();
    probe.SetArchiveFile("x.zip");
    EXPECT_NO_THROW(probe.ReportError("a.txt", "", kMsgErrorOpeningFile));
    ASSERT_EQ(log.Codes.size(), 1u);
    EXPECT_EQ(log.Codes[0], kMsgErrorOpeningFile);
    EXPECT_EQ(log.Volumes[0], "x.zip");
}

TEST(ZipCommonErrors, FatalPathRaisesTheTextOfTheCode) {
    TProbe probe;
    TErrorLog log;
    probe.OnError = log.Handler();
    try {
        probe.RaiseError("", "", kMsgDiskFull);
        FAIL() << "nothing raised";
    } catch (const E_RAISE& e) {
        EXPECT_EQ(e.Message(), "Disk full");
        EXPECT_EQ(e.Code(), kMsgDiskFull);
    }
    EXPECT_EQ(log.Codes, std::vector<int32_t>{kMsgDiskFull});
    EXPECT_EQ(log.Volumes[0], "0");  // no archive file yet
}

TEST(ZipCommonErrors, CancelTurnsEveryCodeIntoUserCanceledAndStopsRaising) {
    TProbe probe;
    TErrorLog log;
    probe.OnError = log.Handler();
    probe.SetCancel(true);
    EXPECT_NO_THROW(probe.RaiseError("", "", kMsgErrorWritingFile));
    probe.ReportError("", "", kMsgCrcCheckFailed);
    EXPECT_EQ(log.Codes, (std::vector<int32_t>{kMsgUserCanceled, kMsgUserCanceled, kMsgUserCanceled}));
}

TEST(ZipCommonErrors, EveryCatalogueCodeHasItsText) {
    const std::pair<int32_t, const char*> expected[] = {
        {kMsgFileNotFound, "File not found"},
        {kMsgErrorOpeningFile, "Error opening file"},
        {kMsgBadOffsetToLocalHeader, "Bad offset to local header"},
        {kMsgUnsupportedMethod, "Unsupported compression method"},
        {kMsgCrcCheckFailed, "File fails CRC check"},
        {kMsgErrorClosingFile, "Error closing file"},
        {kMsgErrorWritingFile, "Error writing to file"},
        {kMsgDiskFull, "Disk full"},
        {kMsgBadBlock, "Bad block"},
        {kMsgStackOverflow, "Stack overflow"},
        {kMsgInvalidDirectory, "Invalid directory"},
        {kMsgNothingToDo, "Nothing to do"},
        {kMsgRequiredEventNotAssigned, "Required event not assigned"},
        {kMsgUserCanceled, "User canceled"},
        {kMsgDriveNotAccessible, "is not accessible"},
        {kMsgDiskWriteProtected, "disk is write protected"},
    };
    for (const auto& [code, text] : expected)
        EXPECT_EQ(LoadStr(code), text) << code;
    EXPECT_EQ(LoadStr(25100), "");
}

TEST(ZipCommonTimer, ReportsElapsedSecondsOnlyWhenAssigned) {
    TProbe probe;
    probe.StartTimer();
    probe.StopTimer();  // unassigned: nothing to call
    int calls = 0;
    float seconds = -1;
    probe.OnElapsedTime = [&](fw::TObject*, float s) {
        ++calls;
        seconds = s;
    };
    probe.StartTimer();
    probe.StopTimer();
    EXPECT_EQ(calls, 1);
    EXPECT_GE(seconds, 0.0f);
}

TEST(ZipCommonProgress, PercentRoundsAndClamps) {
    EXPECT_EQ(Percent(0, 0), 0);
    EXPECT_EQ(Percent(1, 3), 33);
    EXPECT_EQ(Percent(2, 3), 67);
    EXPECT_EQ(Percent(5, 4), 100);
    EXPECT_EQ(Percent(1, 200), 1);  // 0.5 rounds up
}
