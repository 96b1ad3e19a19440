// The settings file through the Windows private-profile functions.
#pragma once

#include <string>

#include "store/settings.h"

namespace corvane {

class PrivateProfileSettings final : public Settings {
public:
    // `path` is the full path of the ini file (a bare name would land in the
    // Windows folder).
    explicit PrivateProfileSettings(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    int readInt(const std::string& section, const std::string& key, int defaultValue) override;
    std::string readString(const std::string& section, const std::string& key,
                           const std::string& defaultValue, int capacity) override;
    bool writeString(const std::string& section, const std::string& key,
                     const std::string& value) override;

private:
    std::string path_;
};

}  // namespace corvane
