// The capture tool's jobs read back: the parameters the task registration
// writes ("\"OUT.ts\" @b101 21:00-22:00 P POFF B25 B SEL I1 ..."), the
// recording span a run of the job stands for, and the title shown for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

struct JobParameters {
    int networkClass = 0;    // 0 terrestrial, 4 BS, 6 CS (@, @b, @c)
    int64_t channelNumber = 0;
    std::string timeText;    // "21:00-22:00" or minutes
    std::string outputName;  // base name of the output, without folder and extension
    int instanceId = 0;      // "I" and one digit; 0 when none
};

// Tokens split at blanks, a token that begins with a double quote running to
// the next one. The first time text and the first channel token count; the
// last other word is the output. Nothing unless a channel with a number, a
// time text and an output were all found.
std::optional<JobParameters> parseJobParameters(std::string_view text);

struct JobRunSpan {
    int64_t start = 0;
    int64_t end = 0;
};

// The recording a run at `runTime` stands for: "h1:m1-h2:m2" on the day of
// the run (the next day when it lies before the run's clock time), digits
// alone as minutes from the run; otherwise the run time and 20 seconds.
JobRunSpan jobRunSpan(int64_t runTime, std::string_view timeText);

// The job's name without the "tunerec - " prefix (its first 10 characters)
// and without ".job"; empty when the name is no longer than the prefix.
std::string jobTitle(std::string_view jobName);

// The job runs the capture tool: the base name of its application begins
// with "tunerec" in any letter case.
bool runsCaptureTool(std::string_view applicationPath);

// Whether a job's name is one the task registration gives ("tunerec - ..."):
// such a job is the capture tool's whatever its executable is called.
bool namedAsCaptureJob(std::string_view jobName);

}  // namespace corvane
