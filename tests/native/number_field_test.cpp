#include <gtest/gtest.h>

#include <string>

#include "dialogs/number_field.h"

namespace corvane {
namespace {

TEST(NumberField, TypedNumbersAreAbsoluteAndRefusedOutsideTheirRange) {
    const NumberField field{"時間(分)の高さ", 1, 20};
    struct Case {
        std::string text;
        int64_t number;
        bool accepted;
    } cases[] = {
        {"-3", 3, true},           {"20", 20, true},          {" 7px", 7, true},
        {"abc", 0, false},         {"", 0, false},            {"21", 21, false},
        {"99999999", 99999999, false}, {"-2147483648", 2147483648LL, false},
        {"99999999999999", 2147483647, false},
        // Only the first 99 characters count: the digit at 100 is not read.
        {std::string(98, ' ') + "1" + "9", 1, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.number, typedNumber(c.text)) << c.text;
        const NumberReading reading = readNumberField(c.text, field);
        EXPECT_EQ(c.accepted, reading.accepted) << c.text;
        EXPECT_EQ(c.accepted ? c.number : 0, reading.value) << c.text;
        EXPECT_EQ(c.accepted ? "" : "時間(分)の高さは1から20までの数値を指定してください。", reading.refusal);
    }
}

TEST(NumberField, StoredValuesAreBroughtIntoRange) {
    EXPECT_EQ(180, boundedNumber(180, 1, 1000));
    EXPECT_EQ(3, boundedNumber(-3, 1, 1000));
    EXPECT_EQ(1, boundedNumber(0, 1, 1000));
    EXPECT_EQ(1000, boundedNumber(99999999, 1, 1000));
    EXPECT_EQ(1000, boundedNumber(INT32_MIN, 1, 1000));
}

}  // namespace
}  // namespace corvane
