// aribToShiftJis over arbitrary bytes into buffers of arbitrary size. Input:
// two bytes choosing the output buffer (its size, or no buffer), then the
// ARIB string. The conversion gives the whole text whenever the buffer has
// room for it, a cut text that still leaves room for the NUL otherwise, and
// the same text when the string is followed by a 0x00 byte and more bytes.
#include "fuzz_support.h"
#include "store/arib.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t outSize = (data[0] & 0x03) << 8 | data[1];
    const uint8_t* source = data + 2;
    const size_t length = size - 2;
    // A source byte gives at most four output bytes (a two-byte symbol code at
    // most eight), so this buffer always takes the whole text.
    const size_t fullSize = 4 * length + 16;
    std::unique_ptr<char[]> full(new char[fullSize]);
    aribToShiftJis(source, length, full.get(), fullSize);
    const size_t fullLength = std::strlen(full.get());
    FUZZ_CHECK(fullLength + 2 <= fullSize);
    if ((data[0] & 0xF0) == 0xF0) {
        aribToShiftJis(source, length, nullptr, outSize);
        return 0;
    }
    // Exactly outSize bytes, so that a byte written past them is caught.
    std::unique_ptr<char[]> out(new char[outSize]);
    std::memset(out.get(), 0x5A, outSize);
    aribToShiftJis(source, length, out.get(), outSize);
    if (outSize > 0) {
        FUZZ_CHECK(std::memchr(out.get(), 0, outSize) != nullptr);
        const size_t outLength = std::strlen(out.get());
        if (outSize >= fullLength + 2)
            FUZZ_CHECK(outLength == fullLength && std::memcmp(out.get(), full.get(), fullLength) == 0);
        else  // each unit is written only with room for it and the NUL after it
            FUZZ_CHECK(outSize == 1 ? outLength == 0 : outLength + 2 <= outSize);
    }
    // A 0x00 byte ends the string exactly as its end does.
    fuzz::Bytes longer(source, source + length);
    longer.push_back(0x00);
    longer.insert(longer.end(), data, data + std::min<size_t>(size, 8));
    std::unique_ptr<char[]> again(new char[fullSize + 64]);
    aribToShiftJis(longer.data(), longer.size(), again.get(), fullSize + 64);
    FUZZ_CHECK(std::strcmp(again.get(), full.get()) == 0);
    return 0;
}
