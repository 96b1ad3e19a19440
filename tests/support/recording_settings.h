// A settings file that also records every write, in order, so tests can
// compare the exact sequence of (section, key, value) a step wrote.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "store/settings.h"

namespace corvane {

class RecordingSettings : public Settings {
public:
    struct Write {
        std::string section;
        std::string key;
        std::string value;
        bool operator==(const Write&) const = default;
        friend void PrintTo(const Write& w, std::ostream* out) {
            *out << "[" << w.section << "] " << w.key << "=" << w.value << "\n";
        }
    };
    explicit RecordingSettings(Settings& file) : file_(file) {}
    std::vector<Write> writes;

    int readInt(const std::string& section, const std::string& key, int defaultValue) override {
        return file_.readInt(section, key, defaultValue);
    }
    std::string readString(const std::string& section, const std::string& key, const std::string& defaultValue,
                           int capacity) override {
        return file_.readString(section, key, defaultValue, capacity);
    }
    bool writeString(const std::string& section, const std::string& key, const std::string& value) override {
        writes.push_back({section, key, value});
        return file_.writeString(section, key, value);
    }

private:
    Settings& file_;
};

}  // namespace corvane
