// A settings file of its own for one test, in the temporary folder, removed
// when the test ends. Raw writes move the file's modification time forward
// so that no reader can mistake new content for what it saw before.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#ifdef _WIN32
#include <windows.h>
#include <process.h>
#include <sys/utime.h>
#else
#include <unistd.h>
#include <utime.h>
#endif

namespace corvane {

class TempIniFile {
public:
    explicit TempIniFile(const char* tag) {
        static int counter = 0;
        char name[128];
#ifdef _WIN32
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        std::snprintf(name, sizeof name, "corvane_%d_%d_%s.ini", _getpid(), ++counter, tag);
        path_ = std::string(folder) + name;
#else
        const char* folder = std::getenv("TMPDIR");
        std::snprintf(name, sizeof name, "/corvane_%d_%d_%s.ini", static_cast<int>(getpid()),
                      ++counter, tag);
        path_ = std::string(folder && *folder ? folder : "/tmp") + name;
#endif
        std::remove(path_.c_str());
    }
    ~TempIniFile() { std::remove(path_.c_str()); }
    TempIniFile(const TempIniFile&) = delete;
    TempIniFile& operator=(const TempIniFile&) = delete;

    const std::string& path() const { return path_; }

    void write(const std::string& bytes) {
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        if (!f) return;
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        static long step = 0;
        const std::time_t stamp = std::time(nullptr) + 10 + ++step;
#ifdef _WIN32
        _utimbuf times{stamp, stamp};
        _utime(path_.c_str(), &times);
#else
        utimbuf times{stamp, stamp};
        utime(path_.c_str(), &times);
#endif
    }

    // The file's bytes; "" when it does not exist.
    std::string read() const {
        std::string bytes;
        std::FILE* f = std::fopen(path_.c_str(), "rb");
        if (!f) return bytes;
        char chunk[4096];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
        std::fclose(f);
        return bytes;
    }

    bool exists() const {
        std::FILE* f = std::fopen(path_.c_str(), "rb");
        if (f) std::fclose(f);
        return f != nullptr;
    }

private:
    std::string path_;
};

}  // namespace corvane
