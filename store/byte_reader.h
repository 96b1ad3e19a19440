// A bounded cursor over bytes with a sticky error: parsers read straight
// through, and any read past the end yields zeros and sets error(). Broadcast
// tables are big-endian (u16, u32); the EPG data file is little-endian (u16le).
// ByteWriter is its counterpart for the data file's fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace corvane {

class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}

    size_t position() const { return pos_; }
    size_t remaining() const { return size_ - pos_; }
    bool atEnd() const { return pos_ >= size_; }
    bool error() const { return error_; }
    const uint8_t* current() const { return data_ + pos_; }

    uint8_t u8() {
        if (pos_ + 1 > size_) return fail();
        return data_[pos_++];
    }
    uint16_t u16() {  // big-endian, as broadcast
        if (pos_ + 2 > size_) return fail();
        uint16_t v = static_cast<uint16_t>((data_[pos_] << 8) | data_[pos_ + 1]);
        pos_ += 2;
        return v;
    }
    uint16_t u16le() {  // little-endian, as the data file stores it
        if (pos_ + 2 > size_) return fail();
        uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    uint16_t u12() { return u16() & 0x0FFF; }
    uint32_t u32() {
        uint32_t hi = u16();
        return (hi << 16) | u16();
    }
    // Skips n bytes; fewer remaining sets the error and moves to the end.
    bool skip(size_t n) {
        if (n > remaining()) {
            pos_ = size_;
            error_ = true;
            return false;
        }
        pos_ += n;
        return true;
    }
    // A reader over the next n bytes (cut to what remains), advancing past them.
    ByteReader window(size_t n) {
        if (n > remaining()) {
            error_ = true;
            n = remaining();
        }
        ByteReader sub(data_ + pos_, n);
        pos_ += n;
        return sub;
    }
    // Pointer to the next n bytes and advance, or null (and error) when short.
    const uint8_t* bytes(size_t n) {
        if (n > remaining()) {
            pos_ = size_;
            error_ = true;
            return nullptr;
        }
        const uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }

private:
    uint8_t fail() {
        pos_ = size_;
        error_ = true;
        return 0;
    }
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
    bool error_ = false;
};

// Writes little-endian fields into a buffer of fixed size; a write that does
// not fit is dropped whole and sets error().
class ByteWriter {
public:
    ByteWriter(uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}

    size_t position() const { return pos_; }
    bool error() const { return error_; }

    void u8(uint8_t v) { bytes(&v, 1); }
    void u16le(uint16_t v) {
        const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
        bytes(b, 2);
    }
    void bytes(const void* p, size_t n) {
        if (n > size_ - pos_) {
            error_ = true;
            return;
        }
        if (n) std::memcpy(data_ + pos_, p, n);
        pos_ += n;
    }

private:
    uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool error_ = false;
};

}  // namespace corvane
