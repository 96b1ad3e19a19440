#include <windows.h>

#include "reserve/reservation_files.h"

namespace corvane {

namespace {

uint64_t fileTimeOf(const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

FileStatus failure() {
    switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
            return FileStatus::missing;
        default:
            return FileStatus::busy;  // a sharing violation, a lock, a denied access
    }
}

// Opened for reading, sharing everything: a writer that opens the file later
// is never refused because of us, and one that holds it already lets us in
// unless it denies reading itself.
class SharedReadHandle {
public:
    explicit SharedReadHandle(const char* path)
        : handle_(path[0] ? CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                          : INVALID_HANDLE_VALUE) {
        if (!path[0]) SetLastError(ERROR_FILE_NOT_FOUND);
    }
    ~SharedReadHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    SharedReadHandle(const SharedReadHandle&) = delete;
    SharedReadHandle& operator=(const SharedReadHandle&) = delete;
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

class WinReservationFiles final : public ReservationFiles {
public:
    FileStatus stamp(const char* path, FileStamp& stamp) override {
        stamp = FileStamp{};
        SharedReadHandle file(path);
        if (!file) return failure();
        FILETIME created{}, accessed{}, written{};
        if (!GetFileTime(file.get(), &created, &accessed, &written)) return FileStatus::busy;
        stamp = {fileTimeOf(created), fileTimeOf(accessed), fileTimeOf(written)};
        return FileStatus::ok;
    }

    FileStatus readAll(const char* path, size_t limit, std::string& bytes) override {
        bytes.clear();
        SharedReadHandle file(path);
        if (!file) return failure();
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return FileStatus::busy;
        if (static_cast<uint64_t>(size.QuadPart) > limit) return FileStatus::tooLarge;
        bytes.resize(static_cast<size_t>(size.QuadPart));
        size_t got = 0;
        while (got < bytes.size()) {
            DWORD n = 0;
            if (!ReadFile(file.get(), bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &n, nullptr)) {
                bytes.clear();
                return FileStatus::busy;  // a byte range locked by the writer
            }
            if (n == 0) break;
            got += n;
        }
        bytes.resize(got);  // cut short meanwhile: what was there
        return FileStatus::ok;
    }
};

}  // namespace

ReservationFiles& systemReservationFiles() {
    static WinReservationFiles files;
    return files;
}

}  // namespace corvane
