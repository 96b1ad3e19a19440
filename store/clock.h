// The current time, as a seam: the program asks the system, tests set it.
#pragma once

#include <cstdint>
#include <ctime>

namespace corvane {

class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t now() = 0;  // seconds since 1970
};

class SystemClock : public Clock {
public:
    int64_t now() override { return static_cast<int64_t>(std::time(nullptr)); }
};

}  // namespace corvane
