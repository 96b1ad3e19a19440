// Plain binary file access for the readers and the data file writer, over the
// C runtime's low-level I/O (64-bit sizes on every platform).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

class InputFile {
public:
    InputFile() = default;
    ~InputFile() { close(); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool open(const char* path);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    int64_t size();                          // -1 when unknown; position goes back to the start
    // Reads up to n bytes; returns the count, 0 at the end, -1 on error.
    long read(void* buffer, size_t n);
    // Reads exactly n bytes unless the file ends or fails first; returns the count.
    size_t readFully(void* buffer, size_t n);

private:
    int fd_ = -1;
};

// Writes a file safely: the bytes go to a temporary file beside the target
// (named after it, or shorter when that name would pass the limits of a path
// or a file name), which replaces the target only when every write succeeded.
class AtomicOutputFile {
public:
    AtomicOutputFile() = default;
    ~AtomicOutputFile();  // abandons (removes the temporary) unless committed
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    bool open(const char* targetPath);
    bool write(const void* data, size_t n);  // buffered; false once anything failed
    bool commit();                           // flush, close, replace the target
    void abandon();
    bool failed() const { return failed_; }

private:
    bool flushBuffer();
    std::string target_;
    std::string temp_;
    int fd_ = -1;
    bool failed_ = false;
    unsigned char buffer_[65536];
    size_t buffered_ = 0;
};

// Replaces `target` by `source` (same folder). Platform specific.
bool replaceFile(const char* source, const char* target);

// Creates `path` or empties it and writes `bytes`. False when the file cannot
// be opened, or a write fails or falls short.
bool writeWholeFile(const std::string& path, const std::string& bytes);

// Appends `line` to `path` (created when missing) as a line of its own: after
// a last line without its LF, a CR LF comes first. All or nothing: when a
// write fails or falls short the file is cut back to its former length.
bool appendLineToFile(const std::string& path, const std::string& line);

}  // namespace corvane
