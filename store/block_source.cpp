#include "store/block_source.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace corvane {

long BlockSource::read(uint8_t* buffer, size_t n) {
    // Bytes of the current block first (all of it for memory), then the file.
    const size_t held = std::min(n, size_ - pos_);
    if (held > 0) {
        std::memcpy(buffer, data_ + pos_, held);
        pos_ += held;
        return static_cast<long>(held);
    }
    if (!file_ || n == 0) return 0;
    return file_->read(buffer, n);
}

size_t BlockSource::readFully(uint8_t* buffer, size_t n) {
    size_t done = 0;
    while (done < n) {
        const long got = read(buffer + done, n - done);
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    return done;
}

bool BlockSource::prepareTake() {
    if (!file_ || buffer_) return true;
    buffer_.reset(new (std::nothrow) uint8_t[kBlockSize]);
    return buffer_ != nullptr;
}

bool BlockSource::refill(size_t n) {
    if (!file_ || ended_ || n > kBlockSize || !prepareTake()) return false;
    const size_t rest = size_ - pos_;
    if (rest > 0) std::memmove(buffer_.get(), data_ + pos_, rest);
    data_ = buffer_.get();
    pos_ = 0;
    size_ = rest;
    while (size_ < n) {
        const long got = file_->read(buffer_.get() + size_, kBlockSize - size_);
        if (got <= 0) {
            ended_ = true;
            return false;
        }
        size_ += static_cast<size_t>(got);
    }
    return true;
}

}  // namespace corvane
