// The settings file read and written directly, with the rules of the Windows
// private-profile functions (see settings.h). Used wherever those functions
// are not available and by the tests that hold both implementations to the
// same results.
#pragma once

#include <string>

#include "store/settings.h"

namespace corvane {

class IniFileSettings final : public Settings {
public:
    explicit IniFileSettings(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    int readInt(const std::string& section, const std::string& key, int defaultValue) override;
    std::string readString(const std::string& section, const std::string& key,
                           const std::string& defaultValue, int capacity) override;
    // Rewrites the file through a temporary beside it, so a failed write
    // never leaves a half-written settings file. Lines other than the one
    // set keep their exact text.
    bool writeString(const std::string& section, const std::string& key,
                     const std::string& value) override;

private:
    std::string path_;
};

}  // namespace corvane
