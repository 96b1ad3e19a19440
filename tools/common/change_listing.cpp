#include "tools/common/change_listing.h"

#include <cstdio>

#include "tools/common/listing_text.h"

namespace corvane {

namespace {

void appendSide(std::string& out, int64_t start, int64_t end, unsigned video, unsigned audio, unsigned genre,
                const uint8_t* name, size_t nameLength) {
    for (int64_t t : {start, end}) {
        out += '\t';
        if (t == 0) {
            out += '-';
        } else {
            appendLocalMinute(out, t);
        }
    }
    char numbers[48];
    std::snprintf(numbers, sizeof numbers, "\t%u\t%u\t%u\t", video, audio, genre);
    out += numbers;
    out += hexBytes(name, nameLength);
}

}  // namespace

std::string changeListing(const ChangeList& changes) {
    std::string out;
    for (size_t i = 0; i < changes.size(); ++i) {
        const ChangeRecord& c = changes[i];
        char ids[32];
        std::snprintf(ids, sizeof ids, "%u\t%u", unsigned(c.serviceId), unsigned(c.networkClass));
        out += ids;
        appendSide(out, c.oldStart, c.oldEnd, c.oldVideo, c.oldAudio, c.oldGenre, c.oldName, c.oldNameLength);
        appendSide(out, c.newStart, c.newEnd, c.newVideo, c.newAudio, c.newGenre, c.newName, c.newNameLength);
        out += '\n';
    }
    return out;
}

}  // namespace corvane
