// Why a job failed, as one short line in the current language: the one table both front ends word it from.
#pragma once

#include <string>

#include "app/job/JobReport.h"

namespace app {

// The reason for the report's failure with the entry concerned ("damaged archive: entry a/B.class cannot be
// read"); empty for jfNone and jfOther, whose own message says all there is. Russian lines are Windows-1251, or
// UTF-8 when a name in them is not ASCII (as TextWith).
std::string ReasonLine(const TJobReport& report);

// Whether the file was there and stays as it was after this failure, so a front end may say so.
bool FailureLeavesFile(TJobFailure failure);

// Two of the program's texts joined, each 1251 or UTF-8: the result is 1251 unless one of them needs UTF-8.
std::string JoinTexts(const std::string& first, const std::string& separator, const std::string& second);

// A job's message as the desktop's box shows it: the message as the default error display words it, then
// the reason on a second line when there is one.
std::string MessageWithReason(const std::string& message, const TJobReport& report);

}  // namespace app
