#pragma once

#include "tests/support/TestSupport.h"

#include <functional>
#include <string>

namespace transcript {

// Runs the commands of the golden file tests/golden/<name>, a transcript, and expects the file
// to equal the transcript they make now (QUELT_UPDATE_GOLDEN=1 rewrites it). Each line
// "$ <command>" is run through `run` and followed by what it printed: its standard output, its
// standard error with "2> " before each line, and "exit <status>" unless the status is 0. Lines
// beginning with '#' are comments, kept; the other lines are the last run's outputs.
void expect(const std::string& name,
            const std::function<testsupport::ProcessResult(const std::string&)>& run);

} // namespace transcript
