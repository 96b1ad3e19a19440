#include "store/file_io.h"

#include <fcntl.h>

#include <cstdio>
#include <cstring>

#include "store/shift_jis.h"

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#define CORVANE_O_BINARY _O_BINARY
static int64_t seekTo(int fd, int64_t offset, int whence) { return _lseeki64(fd, offset, whence); }
static long readSome(int fd, void* buffer, size_t n) {
    return _read(fd, buffer, static_cast<unsigned>(n > 0x40000000u ? 0x40000000u : n));
}
static long writeSome(int fd, const void* buffer, size_t n) {
    return _write(fd, buffer, static_cast<unsigned>(n > 0x40000000u ? 0x40000000u : n));
}
static int openRead(const char* path) { return _open(path, _O_RDONLY | _O_BINARY | _O_SEQUENTIAL); }
static int openCreate(const char* path) {
    return _open(path, _O_WRONLY | _O_BINARY | _O_CREAT | _O_EXCL, _S_IREAD | _S_IWRITE);
}
static int closeFd(int fd) { return _close(fd); }
static int removeFile(const char* path) { return _unlink(path); }
static int openTruncate(const char* path) {
    return _open(path, _O_WRONLY | _O_BINARY | _O_CREAT | _O_TRUNC, _S_IREAD | _S_IWRITE);
}
static int openAppend(const char* path) {
    return _open(path, _O_RDWR | _O_BINARY | _O_CREAT | _O_APPEND, _S_IREAD | _S_IWRITE);
}
static bool truncateTo(int fd, int64_t length) { return _chsize_s(fd, length) == 0; }
#else
#include <sys/stat.h>
#include <unistd.h>
static int64_t seekTo(int fd, int64_t offset, int whence) { return lseek(fd, offset, whence); }
static long readSome(int fd, void* buffer, size_t n) { return static_cast<long>(::read(fd, buffer, n)); }
static long writeSome(int fd, const void* buffer, size_t n) {
    return static_cast<long>(::write(fd, buffer, n));
}
static int openRead(const char* path) { return ::open(path, O_RDONLY); }
static int openCreate(const char* path) { return ::open(path, O_WRONLY | O_CREAT | O_EXCL, 0666); }
static int closeFd(int fd) { return ::close(fd); }
static int removeFile(const char* path) { return ::unlink(path); }
static int openTruncate(const char* path) { return ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0666); }
static int openAppend(const char* path) { return ::open(path, O_RDWR | O_CREAT | O_APPEND, 0666); }
static bool truncateTo(int fd, int64_t length) { return ::ftruncate(fd, length) == 0; }
#endif

namespace corvane {

namespace {

#ifdef _WIN32
constexpr size_t kPathLimit = 259;   // MAX_PATH with its terminating NUL
#else
constexpr size_t kPathLimit = 4095;
#endif
constexpr size_t kNameLimit = 255;   // one name inside a folder

// Where the last name of `path` starts. On Windows a '\' that is the second
// byte of a Shift_JIS character separates nothing.
size_t nameStart(const std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
#ifdef _WIN32
        if (isShiftJisLeadByte(c)) {
            ++i;
            continue;
        }
        if (c == '\\' || c == '/' || c == ':') start = i + 1;
#else
        if (c == '/') start = i + 1;
#endif
    }
    return start;
}

// The temporary file of attempt n beside `target`: its name with ".n.tmp",
// or a short name in the same folder when that would pass the limits of a
// path or of a name (a target near the limit is itself writable).
std::string temporaryBeside(const std::string& target, int attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%d.tmp", attempt);
    const size_t start = nameStart(target);
    const size_t suffixLength = std::strlen(suffix);
    if (target.size() + suffixLength <= kPathLimit && target.size() - start + suffixLength <= kNameLimit)
        return target + suffix;
    std::snprintf(suffix, sizeof suffix, "~%d.tmp", attempt);
    return target.substr(0, start) + suffix;
}

}  // namespace

bool InputFile::open(const char* path) {
    close();
    fd_ = path ? openRead(path) : -1;
    return fd_ >= 0;
}

void InputFile::close() {
    if (fd_ >= 0) closeFd(fd_);
    fd_ = -1;
}

int64_t InputFile::size() {
    if (fd_ < 0) return -1;
    int64_t end = seekTo(fd_, 0, SEEK_END);
    seekTo(fd_, 0, SEEK_SET);
    return end;
}

long InputFile::read(void* buffer, size_t n) {
    if (fd_ < 0) return -1;
    return readSome(fd_, buffer, n);
}

size_t InputFile::readFully(void* buffer, size_t n) {
    size_t done = 0;
    while (done < n) {
        long got = read(static_cast<char*>(buffer) + done, n - done);
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    return done;
}

AtomicOutputFile::~AtomicOutputFile() { abandon(); }

bool AtomicOutputFile::open(const char* targetPath) {
    abandon();
    failed_ = false;
    buffered_ = 0;
    target_ = targetPath ? targetPath : "";
    if (target_.empty()) {
        failed_ = true;
        return false;
    }
    // A fresh name beside the target, so the replacement stays on one volume.
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp_ = temporaryBeside(target_, attempt);
        fd_ = openCreate(temp_.c_str());
        if (fd_ >= 0) return true;
    }
    temp_.clear();
    failed_ = true;
    return false;
}

bool AtomicOutputFile::flushBuffer() {
    size_t done = 0;
    while (done < buffered_) {
        long wrote = writeSome(fd_, buffer_ + done, buffered_ - done);
        if (wrote <= 0) {
            failed_ = true;
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    buffered_ = 0;
    return true;
}

bool AtomicOutputFile::write(const void* data, size_t n) {
    if (failed_ || fd_ < 0) {
        failed_ = true;
        return false;
    }
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (n > 0) {
        if (buffered_ == sizeof buffer_ && !flushBuffer()) return false;
        size_t chunk = sizeof buffer_ - buffered_;
        if (chunk > n) chunk = n;
        std::memcpy(buffer_ + buffered_, bytes, chunk);
        buffered_ += chunk;
        bytes += chunk;
        n -= chunk;
    }
    return true;
}

bool AtomicOutputFile::commit() {
    if (fd_ < 0 || failed_) {
        abandon();
        return false;
    }
    bool ok = flushBuffer();
    ok = closeFd(fd_) == 0 && ok;
    fd_ = -1;
    if (!ok || !replaceFile(temp_.c_str(), target_.c_str())) {
        failed_ = true;
        abandon();
        return false;
    }
    temp_.clear();
    return true;
}

void AtomicOutputFile::abandon() {
    if (fd_ >= 0) closeFd(fd_);
    fd_ = -1;
    if (!temp_.empty()) removeFile(temp_.c_str());
    temp_.clear();
    buffered_ = 0;
}

namespace {

// Every byte or false: a failed or short write is an error.
bool writeAll(int fd, const char* data, size_t n) {
    while (n > 0) {
        const long wrote = writeSome(fd, data, n);
        if (wrote <= 0) return false;
        data += wrote;
        n -= static_cast<size_t>(wrote);
    }
    return true;
}

}  // namespace

bool writeWholeFile(const std::string& path, const std::string& bytes) {
    const int fd = openTruncate(path.c_str());
    if (fd < 0) return false;
    const bool written = writeAll(fd, bytes.data(), bytes.size());
    return closeFd(fd) == 0 && written;
}

bool appendLineToFile(const std::string& path, const std::string& line) {
    const int fd = openAppend(path.c_str());
    if (fd < 0) return false;
    const int64_t formerLength = seekTo(fd, 0, SEEK_END);
    bool ok = formerLength >= 0;
    std::string bytes;
    if (ok && formerLength > 0) {
        char last = 0;
        ok = seekTo(fd, formerLength - 1, SEEK_SET) == formerLength - 1 && readSome(fd, &last, 1) == 1;
        if (last != '\n') bytes = "\r\n";
    }
    bytes += line;
    // Append mode writes at the end wherever the read left the position.
    if (ok && !writeAll(fd, bytes.data(), bytes.size())) {
        truncateTo(fd, formerLength);
        ok = false;
    }
    return closeFd(fd) == 0 && ok;
}

}  // namespace corvane
