// The three readers of reservation sources over arbitrary text: EpgTimer's
// file, TvRock's file and a capture-tool job's parameters, then the list
// made of what they found. Input: one byte choosing where a copy of the
// EpgTimer file is cut (a file read while it is being written), then the
// text. Each reader gets an exact heap copy, so a byte read past the end is
// caught.
#include <algorithm>
#include <tuple>

#include "fuzz_support.h"
#include "../support/reservation_fixture.h"
#include "reserve/epgtimer_file.h"
#include "reserve/job_parameters.h"
#include "reserve/reservation_list.h"
#include "reserve/tvrock_file.h"

using namespace corvane;

namespace {

const EpgStore& fuzzStore() {
    static StorePtr store = reservationStore();
    return *store;
}

ReservationList readEpgTimer(const uint8_t* data, size_t size) {
    const std::unique_ptr<char[]> copy(new char[size ? size : 1]);
    std::memcpy(copy.get(), data, size);
    ReservationList out;
    readEpgTimerReservations(std::string_view(copy.get(), size), fuzzStore(), out);
    return out;
}

bool hasAny(const std::string& text, const char* bytes) { return text.find_first_of(bytes) != std::string::npos; }

// Fields read from a file are whole: a matched service, a title inside its field.
void checkRecord(const ReservationRecord& r, int kind, const char* titleEnds) {
    FUZZ_CHECK(r.kind == kind && r.serviceId != 0 && r.conflict == 0);
    FUZZ_CHECK(!hasAny(r.title, titleEnds) && r.jobName.empty() && r.guideTitle.empty());
    FUZZ_CHECK(r.networkKind == 0 || r.networkKind == 4 || r.networkKind == 6 || r.networkKind == 7);
}

// The list as the builder must make it: ordered by (start, end), arrival
// order kept for equal spans, conflicts exactly the overlapping valid pairs
// of one class.
void checkList(const ReservationList& added, int64_t now) {
    ReservationListBuilder builder(now);
    ReservationList expected;
    for (size_t i = 0; i < added.size(); ++i) {
        ReservationRecord r = added[i];
        r.eventId = static_cast<int32_t>(i);  // arrival number
        builder.add(r);
        if (r.end >= now) expected.push_back(r);
    }
    const ReservationList list = builder.finish();
    FUZZ_CHECK(list.size() == expected.size());
    for (size_t i = 0; i + 1 < list.size(); ++i) {
        const ReservationRecord &a = list[i], &b = list[i + 1];
        FUZZ_CHECK(std::tuple(a.start, a.end, a.eventId) < std::tuple(b.start, b.end, b.eventId));
    }
    for (const ReservationRecord& r : list) {
        bool conflict = false;
        for (const ReservationRecord& other : expected)
            conflict |= other.eventId != r.eventId && r.valid && other.valid && sameConflictClass(r, other) &&
                        overlaps(r, other);
        FUZZ_CHECK(r.conflict == int(conflict));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t cutChoice = data[0];
    ++data, --size;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // EpgTimer: each record complete; a cut copy gives the first records of
    // the whole file, one per whole line and at most one for the torn line.
    const ReservationList full = readEpgTimer(data, size);
    for (const ReservationRecord& r : full) checkRecord(r, kReservationEpgTimer, "\t\n");
    const size_t cut = size * cutChoice / 255;
    const ReservationList cutRecords = readEpgTimer(data, cut);
    const size_t wholeLinesEnd = std::string_view(text.data(), cut).rfind('\n') + 1;  // 0 without LF
    const size_t fromWholeLines = readEpgTimer(data, wholeLinesEnd).size();
    FUZZ_CHECK(cutRecords.size() == fromWholeLines || cutRecords.size() == fromWholeLines + 1);
    FUZZ_CHECK(cutRecords.size() <= full.size());
    for (size_t i = 0; i < cutRecords.size(); ++i) FUZZ_CHECK(fieldsOf(cutRecords[i]) == fieldsOf(full[i]));

    // TvRock, with station names for two of the services.
    const std::unique_ptr<char[]> copy(new char[size ? size : 1]);
    std::memcpy(copy.get(), data, size);
    FakeChannelSettings settings;
    settings.stations = {{"1025", "A"}, {"101:4", "B"}};
    ChannelTable channels(fuzzStore(), settings);
    ReservationList rock;
    readTvRockReservations(std::string_view(copy.get(), size), fuzzStore(), channels, rock);
    for (const ReservationRecord& r : rock) checkRecord(r, kReservationTvRock, " \t\r\n");
    FUZZ_CHECK(settings.stationReads == 0 || settings.stationReads == fuzzStore().serviceCount);

    // Job parameters: what a parse gives, and the spans of its time text.
    ReservationList all = full;
    all.insert(all.end(), rock.begin(), rock.end());
    if (const std::optional<JobParameters> p = parseJobParameters(text)) {
        FUZZ_CHECK(!p->timeText.empty() && p->timeText.find_first_not_of("0123456789:-") == std::string::npos);
        FUZZ_CHECK(p->networkClass == 0 || p->networkClass == 4 || p->networkClass == 6);
        FUZZ_CHECK(p->instanceId >= 0 && p->instanceId <= 9);
        for (int64_t t : {int64_t{0}, decemberAt(7, 23, 59), int64_t{4102444800}}) {
            const JobRunSpan span = jobRunSpan(t, p->timeText);
            ReservationRecord job;
            job.kind = kReservationJobBase + p->instanceId, job.start = span.start, job.end = span.end;
            all.push_back(job);
        }
    }
    jobRunSpan(decemberAt(7, 20, 57), text);
    FUZZ_CHECK(jobTitle(text).size() <= size);
    runsCaptureTool(text);

    if (all.size() <= 300) checkList(all, all.empty() ? 0 : all[all.size() / 2].start);
    return 0;
}
