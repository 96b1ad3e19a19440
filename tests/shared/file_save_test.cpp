// Saving through a temporary file beside the target, also when the target's
// path is close to what the system allows.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "store/data_file.h"
#include "store/file_io.h"
#include "support/store_sections.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

// Targets whose temporary file, named after them, would pass what the system
// allows: on Windows paths of 254 to 258 characters (the limit is 259),
// elsewhere names of 250 to 255 bytes (the limit of a name). Each is
// written, and nothing else is left beside it.
TEST(SaveBesideTheTarget, TargetsNearTheLimitsAreWritten) {
    const fs::path folder = fs::path(testing::TempDir()) / "cvl";
    fs::remove_all(folder);
    fs::create_directories(folder);
    StorePtr store(createStore());
    findOrCreateService(store.get(), 4, 101);
    const std::string prefix = folder.string() + std::string(1, fs::path::preferred_separator);
#ifdef _WIN32
    const size_t shortest = 254 - prefix.size(), longest = 258 - prefix.size();
#else
    const size_t shortest = 250, longest = 255;
#endif
    for (size_t name = shortest; name <= longest; ++name) {
        const std::string target = prefix + std::string(name - 4, 'x') + ".dat";
        ASSERT_TRUE(writeDataFile(target.c_str(), *store)) << name;
        EXPECT_EQ(5u + 161 + 1026 * 4, readWholeFile(target).size()) << name;
        fs::remove(target);
        EXPECT_TRUE(fs::is_empty(folder)) << name;
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace corvane
