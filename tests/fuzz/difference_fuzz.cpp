// highlightDifferences over any two byte strings. Input: one byte choosing
// where the rest is cut into the drawn and the compared text. Each text lies
// in a buffer of exactly its size, so a byte read past either end is caught.
#include "fuzz_support.h"
#include "../support/difference_checks.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const size_t drawnSize = (size - 1) * data[0] / 255, comparedSize = size - 1 - drawnSize;
    std::unique_ptr<char[]> drawn(new char[drawnSize]), compared(new char[comparedSize]);
    std::memcpy(drawn.get(), data + 1, drawnSize);
    std::memcpy(compared.get(), data + 1 + drawnSize, comparedSize);
    const std::string fault = differenceFault({drawn.get(), drawnSize}, {compared.get(), comparedSize});
    if (!fault.empty()) std::fprintf(stderr, "%s\n", fault.c_str());
    FUZZ_CHECK(fault.empty());
    return 0;
}
