// A settings file of its own for one test, in the temporary folder, removed
// when the test ends. Raw writes move the file's modification time forward
// so that no reader can mistake new content for what it saw before.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace corvane {

class TempIniFile {
public:
    explicit TempIniFile(const char* tag) {
        static int counter = 0;
        const std::string name = "corvane_" + std::to_string(getpid()) + "_" + std::to_string(++counter) + "_" + tag;
        path_ = (std::filesystem::temp_directory_path() / (name + ".ini")).string();
        std::filesystem::remove(path_, ignored_);
    }
    ~TempIniFile() { std::filesystem::remove(path_, ignored_); }
    TempIniFile(const TempIniFile&) = delete;
    TempIniFile& operator=(const TempIniFile&) = delete;

    const std::string& path() const { return path_; }

    void write(const std::string& bytes) {
        std::ofstream(path_, std::ios::binary) << bytes;
        static int step = 0;
        const auto written = std::filesystem::last_write_time(path_, ignored_);
        std::filesystem::last_write_time(path_, written + std::chrono::seconds(10 + ++step), ignored_);
    }

    // The file's bytes; "" when it does not exist.
    std::string read() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    bool exists() const { return std::filesystem::exists(path_); }

private:
    std::string path_;
    std::error_code ignored_;
};

}  // namespace corvane
