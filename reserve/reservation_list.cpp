#include "reserve/reservation_list.h"

#include <algorithm>
#include <map>

namespace corvane {

bool sameConflictClass(const ReservationRecord& a, const ReservationRecord& b) {
    return a.isJob() || b.isJob() ? a.kind == b.kind : true;
}

bool overlaps(const ReservationRecord& a, const ReservationRecord& b) { return b.end > a.start && b.start < a.end; }

void ReservationListBuilder::add(const ReservationRecord& record) {
    if (record.end >= now_) records_.push_back(record);
}

void ReservationListBuilder::add(ReservationRecord&& record) {
    if (record.end >= now_) records_.push_back(std::move(record));
}

ReservationList ReservationListBuilder::finish() {
    ReservationList list = std::move(records_);
    records_.clear();
    // A stable sort puts each record before the first one that starts later
    // or starts at the same time and ends later: arrival order otherwise.
    std::stable_sort(list.begin(), list.end(), [](const ReservationRecord& a, const ReservationRecord& b) {
        return a.start != b.start ? a.start < b.start : a.end < b.end;
    });
    for (ReservationRecord& r : list) r.conflict = 0;
    // One sweep in start order per class, keeping the records that may still
    // overlap a later one (those that end after the current start).
    std::map<int32_t, std::vector<size_t>> running;
    for (size_t i = 0; i < list.size(); ++i) {
        ReservationRecord& record = list[i];
        if (record.valid == 0) continue;
        std::vector<size_t>& active = running[record.isJob() ? record.kind : -1];
        size_t kept = 0;
        for (size_t j : active) {
            ReservationRecord& other = list[j];
            if (other.end <= record.start) continue;  // over before this one and every later one
            if (overlaps(record, other)) record.conflict = other.conflict = 1;
            active[kept++] = j;
        }
        active.resize(kept);
        active.push_back(i);
    }
    return list;
}

}  // namespace corvane
