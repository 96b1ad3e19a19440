#include "reserve/job_parameters.h"

#include <vector>

#include "reserve/reservation_text.h"
#include "store/broadcast_time.h"

namespace corvane {

namespace {

constexpr int64_t kMissingEndSeconds = 20;
constexpr size_t kJobPrefixCharacters = 10;  // "tunerec - "

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::vector<std::string_view> splitTokens(std::string_view text) {
    std::vector<std::string_view> tokens;
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ') {
            ++pos;
            continue;
        }
        if (text[pos] == '"') {
            const size_t close = text.find('"', pos + 1);
            const size_t end = close == std::string_view::npos ? text.size() : close;
            tokens.push_back(text.substr(pos + 1, end - pos - 1));
            pos = end + 1;
            continue;
        }
        const size_t blank = text.find(' ', pos);
        const size_t end = blank == std::string_view::npos ? text.size() : blank;
        tokens.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return tokens;
}

bool isTimeText(std::string_view token) {
    if (token.empty() || !isDigit(token[0])) return false;
    for (char c : token)
        if (!isDigit(c) && c != ':' && c != '-') return false;
    return true;
}

bool isIgnoredOption(std::string_view token) {
    for (std::string_view word : {"b", "b25", "sel", "p", "poff", "stop", "suspend"})
        if (equalsIgnoringCase(token, word)) return true;
    if (token.size() == 2 && (token[0] == 'r' || token[0] == 'R') && isDigit(token[1])) return true;
    return startsWithIgnoringCase(token, "vlc:");
}

// "@b101", "@c055", "@27": the class and, when digits follow where the
// number belongs, the number.
struct ChannelToken {
    int networkClass = 0;
    std::optional<int64_t> number;
};

ChannelToken readChannelToken(std::string_view token) {
    ChannelToken channel;
    size_t numberAt = 1;
    if (startsWithIgnoringCase(token, "@b") || startsWithIgnoringCase(token, "@c")) {
        channel.networkClass = token[1] == 'b' || token[1] == 'B' ? 4 : 6;
        numberAt = 2;
        if (token.size() < 5) return channel;  // too short to hold a number
    }
    if (numberAt < token.size() && isDigit(token[numberAt]))
        channel.number = readDecimalField(token.substr(numberAt), INT32_MIN, INT32_MAX).value;
    return channel;
}

// "h1:m1-h2:m2" with all four numbers.
struct TimeRangeText {
    int64_t h1, m1, h2, m2;
};

std::optional<TimeRangeText> readTimeRange(std::string_view text) {
    int64_t values[4] = {};
    size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            const char separator = i == 2 ? '-' : ':';
            if (pos >= text.size() || text[pos] != separator) return std::nullopt;
            ++pos;
        }
        const size_t from = pos;
        while (pos < text.size() && isDigit(text[pos])) ++pos;
        if (pos == from) return std::nullopt;
        values[i] = readDecimalField(text.substr(from, pos - from), 0, INT32_MAX).value;
    }
    return TimeRangeText{values[0], values[1], values[2], values[3]};
}

}  // namespace

std::optional<JobParameters> parseJobParameters(std::string_view text) {
    JobParameters parameters;
    bool haveTime = false, haveChannel = false, haveOutput = false;
    std::optional<int64_t> number;
    for (std::string_view token : splitTokens(text)) {
        if (token.empty()) continue;
        if (isTimeText(token)) {
            if (!haveTime) parameters.timeText.assign(token), haveTime = true;
        } else if (token[0] == '@') {
            if (haveChannel) continue;
            const ChannelToken channel = readChannelToken(token);
            parameters.networkClass = channel.networkClass;
            number = channel.number;
            haveChannel = true;
        } else if (isIgnoredOption(token)) {
        } else if (token.size() == 2 && (token[0] == 'I' || token[0] == 'i') && isDigit(token[1])) {
            parameters.instanceId = token[1] - '0';
        } else {
            parameters.outputName.assign(withoutExtension(baseNameOf(token)));
            haveOutput = true;
        }
    }
    if (!haveTime || !haveChannel || !number || !haveOutput) return std::nullopt;
    parameters.channelNumber = *number;
    return parameters;
}

JobRunSpan jobRunSpan(int64_t runTime, std::string_view timeText) {
    JobRunSpan span{runTime, runTime + kMissingEndSeconds};
    if (timeText.find(':') != std::string_view::npos) {
        const std::optional<TimeRangeText> range = readTimeRange(timeText);
        if (!range) return span;
        TimeRangeText r = *range;
        const LocalTime clock = toLocalTime(runTime);
        if (r.h1 * 60 + r.m1 < clock.hour * 60 + clock.minute) r.h1 += 24, r.h2 += 24;
        if (r.h2 * 60 + r.m2 < r.h1 * 60 + r.m1) r.h2 += 24;
        span.start = runTime + ((r.h1 - clock.hour) * 60 + r.m1 - clock.minute) * 60 - clock.second;
        span.end = span.start + ((r.h2 - r.h1) * 60 + r.m2 - r.m1) * 60;
        return span;
    }
    bool minutes = !timeText.empty();
    for (char c : timeText) minutes = minutes && isDigit(c);
    if (minutes) span.end = runTime + readDecimalField(timeText, 0, INT32_MAX).value * 60;
    return span;
}

std::string jobTitle(std::string_view jobName) {
    if (jobName.size() >= 4 && equalsIgnoringCase(jobName.substr(jobName.size() - 4), ".job")) jobName.remove_suffix(4);
    return std::string(dropLeadingCharacters(jobName, kJobPrefixCharacters));
}

bool namedAsCaptureJob(std::string_view jobName) { return startsWithIgnoringCase(jobName, "tunerec - "); }

bool runsCaptureTool(std::string_view applicationPath) {
    return startsWithIgnoringCase(withoutExtension(baseNameOf(applicationPath)), "tunerec");
}

}  // namespace corvane
