// The reservation files as the watch sees them: their three times, and their
// whole content. A seam over the platform's file calls; tests use a fake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

// Creation, last-access and last-write times, in the platform's file time
// units; all zero for a missing file.
struct FileStamp {
    uint64_t created = 0, accessed = 0, written = 0;
    bool operator==(const FileStamp&) const = default;
};

enum class FileStatus {
    ok,
    missing,   // no such file (or folder)
    busy,      // it exists but cannot be opened now
    tooLarge,  // larger than the limit asked for
};

// A file larger than this holds no reservations worth reading at every change.
constexpr size_t kReservationFileLimit = 16u << 20;

class ReservationFiles {
public:
    virtual ~ReservationFiles() = default;
    // The times of the file at `path` (a zero stamp when it is missing). The
    // file is opened for reading only, sharing reading, writing and deletion
    // with anyone, so a writer is never kept out.
    virtual FileStatus stamp(const char* path, FileStamp& stamp) = 0;
    // The whole file, when it is at most `limit` bytes; `bytes` is left
    // empty otherwise.
    virtual FileStatus readAll(const char* path, size_t limit, std::string& bytes) = 0;
};

// The files of the platform.
ReservationFiles& systemReservationFiles();

}  // namespace corvane
