// The sections of a transport stream, found as a demultiplexer finds them:
// per PID, back to back from the start a pointer_field names, 0xFF stuffing up
// to the next start. Faults: a packet out of sync, not clear and payload-only
// or not continuous on its PID, a pointer_field into a section, a section left
// unfinished at the end.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace corvane {

struct TsSections {
    std::vector<std::pair<uint16_t, std::vector<uint8_t>>> sections;  // PID and section, in the order they end
    std::vector<std::string> faults;
};

// Sections of `pids` in units of 188, 192 (time stamp first) or 204 bytes.
inline TsSections demux(const std::vector<uint8_t>& stream, int unit = 188,
                        std::initializer_list<int> pids = {0x10, 0x11, 0x12, 0x14}) {
    struct Pid {
        int counter = -1;
        bool started = false, stuffing = false;
        std::vector<uint8_t> data;  // not yet cut into sections
    };
    std::map<uint16_t, Pid> state;
    TsSections r;
    for (size_t i = 0; (i + 1) * unit <= stream.size(); ++i) {
        const uint8_t* p = &stream[i * unit + (unit == 192 ? 4 : 0)];
        const uint16_t pid = (p[1] & 0x1F) << 8 | p[2];
        Pid& s = state[pid];
        if (p[0] != 0x47 || (p[3] & 0xF0) != 0x10 || (s.counter >= 0 && (p[3] & 0x0F) != ((s.counter + 1) & 0x0F)))
            r.faults.push_back("packet " + std::to_string(i));
        s.counter = p[3] & 0x0F;
        if (std::find(pids.begin(), pids.end(), pid) == pids.end()) continue;
        auto take = [&](const uint8_t* from, const uint8_t* to) {  // appends, cuts what is whole
            if (!s.started || s.stuffing) return;
            s.data.insert(s.data.end(), from, to);
            for (size_t size = 0; !s.data.empty(); s.data.erase(s.data.begin(), s.data.begin() + size)) {
                if ((s.stuffing = s.data[0] == 0xFF)) return s.data.clear();
                if (s.data.size() < 3 || s.data.size() < (size = ((s.data[1] & 0x0Fu) << 8 | s.data[2]) + 3)) return;
                r.sections.emplace_back(pid, std::vector<uint8_t>(s.data.begin(), s.data.begin() + size));
            }
        };
        if (!(p[1] & 0x40)) {
            take(p + 4, p + 188);
            continue;
        }
        const uint8_t* start = p + 5 + std::min<int>(p[4], 183);
        take(p + 5, start);
        if (!s.data.empty()) r.faults.push_back("pointer into a section on PID " + std::to_string(pid));
        s.data.clear(), s.started = true, s.stuffing = false;
        take(start, p + 188);
    }
    for (const auto& [pid, s] : state)
        if (!s.data.empty()) r.faults.push_back("unfinished section on PID " + std::to_string(pid));
    return r;
}

}  // namespace corvane
