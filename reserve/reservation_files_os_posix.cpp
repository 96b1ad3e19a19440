#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "reserve/reservation_files.h"

namespace corvane {

namespace {

uint64_t fileTimeOf(const struct timespec& t) {
    // 100-nanosecond units, as the file times of Windows count.
    return static_cast<uint64_t>(t.tv_sec) * 10000000u + static_cast<uint64_t>(t.tv_nsec) / 100u;
}

FileStatus failure() {
    return errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG ? FileStatus::missing : FileStatus::busy;
}

class PosixReservationFiles final : public ReservationFiles {
public:
    FileStatus stamp(const char* path, FileStamp& stamp) override {
        stamp = FileStamp{};
        const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0) return failure();
        struct stat info;
        const bool known = ::fstat(fd, &info) == 0;
        ::close(fd);
        if (!known) return FileStatus::busy;
        stamp = {fileTimeOf(info.st_ctim), fileTimeOf(info.st_atim), fileTimeOf(info.st_mtim)};
        return FileStatus::ok;
    }

    FileStatus readAll(const char* path, size_t limit, std::string& bytes) override {
        bytes.clear();
        const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0) return failure();
        struct stat info;
        FileStatus status = FileStatus::ok;
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            status = FileStatus::busy;
        } else if (static_cast<uint64_t>(info.st_size) > limit) {
            status = FileStatus::tooLarge;
        } else {
            bytes.resize(static_cast<size_t>(info.st_size));
            size_t got = 0;
            while (got < bytes.size()) {
                const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) break;
                got += static_cast<size_t>(n);
            }
            bytes.resize(got);  // cut short meanwhile: what was there
        }
        ::close(fd);
        if (status != FileStatus::ok) bytes.clear();
        return status;
    }
};

}  // namespace

ReservationFiles& systemReservationFiles() {
    static PosixReservationFiles files;
    return files;
}

}  // namespace corvane
