// What the registration tests share: a programme with every value a format
// needs, and the recorded process starts and task dialog runs.
#pragma once

#include <string>
#include <vector>

#include "reserve/registration.h"
#include "support/reservation_fixture.h"

namespace corvane {

// "ニュース" on "ＮＨＫ総合" (service 1024, physical channel 27, device channel text "1234567").
inline RegistrationProgramme testProgramme(int64_t start, int64_t end, int eventId = 4660) {
    return {.event = {.start = start, .end = end, .eventId = eventId, .title = "ニュース"}, .channel = 3,
            .stationName = "ＮＨＫ総合", .vurdaChNo = "1234567", .stationLabel = "ＮＨＫ総合１・東京",
            .serviceId = 1024, .physicalChannel = 27};
}

struct RecordingStarts : ProcessStarter {
    std::vector<std::string> lines;
    bool succeed = true;
    bool start(const std::string& commandLine) override {
        lines.push_back(commandLine);
        return succeed;
    }
};

struct RecordingTaskDialog : TaskRegistrationDialog {
    std::vector<PendingCaptureEvent> runs;
    int result = 1;
    int run(const PendingCaptureEvent& programme) override {
        runs.push_back(programme);
        return result;
    }
};

// Whether the watch was reset: with no source changed, the next collection
// rebuilds the list all the same.
inline bool watchWasReset(ReservationWatch& watch) {
    FakeReservationFiles files;
    FakeChannelSettings channels;
    ReservationList list;
    return watch.collect(ReservationSources{}, ReservationInputs{nullptr, files, channels, nullptr, 0}, list) != 0;
}

}  // namespace corvane
