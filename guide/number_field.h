// Whole numbers typed into a dialog's edit box, with the range the setting
// can take. A text outside the range is refused with a message that names
// the field, so the user corrects it instead of the program guessing.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// What a dialog reads from an edit box at most: 99 characters.
constexpr int kNumberTextCapacity = 100;

// The number of a typed text as the dialogs read it: the absolute value of
// its leading decimal digits (an optional sign first, blanks skipped), 0 when
// there are none. Only the first 99 characters count. 64 bits, so the
// absolute value of every 32-bit number is exact.
int64_t typedNumber(const std::string& text);

// An edit box holding a number, with the label the dialog shows beside it.
struct NumberField {
    const char* label;  // Shift_JIS, as shown beside the box
    int lowest;
    int highest;
};

struct NumberReading {
    bool accepted = false;
    int value = 0;        // the number, when accepted
    std::string refusal;  // the message for the user, when refused
};

// The typed number when it lies within the field's range, else the message
// "<label>は<lowest>から<highest>までの数値を指定してください。".
NumberReading readNumberField(const std::string& text, const NumberField& field);

// A stored value brought into a range: its absolute value, held to `lowest`
// and `highest`.
int boundedNumber(int stored, int lowest, int highest);

}  // namespace corvane
