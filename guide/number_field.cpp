#include "guide/number_field.h"

#include <cstdio>

#include "store/settings.h"

namespace corvane {

int64_t typedNumber(const std::string& text) {
    const int64_t number = parseDecimal(cutShiftJis(text, kNumberTextCapacity - 1));
    return number < 0 ? -number : number;
}

NumberReading readNumberField(const std::string& text, const NumberField& field) {
    NumberReading reading;
    const int64_t number = typedNumber(text);
    if (number >= field.lowest && number <= field.highest) {
        reading.accepted = true;
        reading.value = static_cast<int>(number);
        return reading;
    }
    char message[200];
    std::snprintf(message, sizeof message, "%sは%dから%dまでの数値を指定してください。", field.label,
                  field.lowest, field.highest);
    reading.refusal = message;
    return reading;
}

int boundedNumber(int stored, int lowest, int highest) {
    const int64_t magnitude = stored < 0 ? -int64_t{stored} : int64_t{stored};
    if (magnitude < lowest) return lowest;
    if (magnitude > highest) return highest;
    return static_cast<int>(magnitude);
}

}  // namespace corvane
