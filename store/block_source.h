// The input of the two readers of the store (recordings and data files):
// the bytes of a file, read in large blocks, or bytes already in memory, as
// if they were a file's contents. Bytes are copied into the caller's buffer
// (read) or lent in place (take).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "store/file_io.h"

namespace corvane {

class BlockSource {
public:
    static constexpr size_t kBlockSize = 1 << 20;

    BlockSource(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}
    explicit BlockSource(InputFile& file) : file_(&file) {}

    // Copies up to n bytes: the count, 0 at the end, -1 on a read error.
    long read(uint8_t* buffer, size_t n);
    // Copies n bytes unless the input ends or fails first; the count.
    size_t readFully(uint8_t* buffer, size_t n);

    // False when the block buffer that take() needs for a file cannot be had.
    bool prepareTake();
    // The next n bytes (n <= kBlockSize) in place, valid until the next call;
    // null when the input ends first, and the rest is then consumed.
    const uint8_t* take(size_t n) {
        if (size_ - pos_ < n && !refill(n)) {
            pos_ = size_;
            return nullptr;
        }
        const uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }

private:
    bool refill(size_t n);

    InputFile* file_ = nullptr;
    std::unique_ptr<uint8_t[]> buffer_;  // a file's current block
    const uint8_t* data_ = nullptr;      // the memory, or the block in buffer_
    size_t size_ = 0;
    size_t pos_ = 0;
    bool ended_ = false;
};

}  // namespace corvane
