// The two ways of the section CRC give the same value on every input.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "store/crc32.h"

using namespace corvane;

TEST(Crc32, FoldedAndTableWaysAgreeOnEveryLengthAndAlignment) {
    const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(crc32Mpeg(check, sizeof check), 0x0376E6E7u);
    if (!crc32FoldingAvailable()) GTEST_SKIP() << "this processor has no carry-less multiplication";

    std::mt19937 random(188);
    std::vector<uint8_t> bytes(70000);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    auto same = [&](size_t offset, size_t length, uint32_t start) {
        const uint32_t table = crc32MpegTable(bytes.data() + offset, length, start);
        return table == crc32MpegFolded(bytes.data() + offset, length, start) &&
               table == crc32Mpeg(bytes.data() + offset, length, start);
    };
    for (size_t length = 0; length <= 300; ++length)
        for (size_t offset = 0; offset < 16; ++offset)
            ASSERT_TRUE(same(offset, length, offset & 1 ? 0xFFFFFFFFu : random())) << length << " at " << offset;
    for (int i = 0; i < 2000; ++i) {
        const size_t length = random() % 65536, offset = random() % (bytes.size() - length);
        ASSERT_TRUE(same(offset, length, random())) << length << " at " << offset;
    }
}
