// The reservation files through CreateFileA: what a writer holding the file
// leaves readable, and what the watch then collects.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "reserve/reservation_watch.h"
#include "support/reservation_fixture.h"
#include "support/temp_ini.h"

namespace corvane {
namespace {

// A handle of another writer or reader, held while it lives.
struct HeldFile {
    HeldFile(const std::string& path, DWORD access, DWORD share)
        : handle(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldFile() { CloseHandle(handle); }
    HANDLE handle;
};

TEST(ReservationFilesWin, WritersKeepTheFileReadableAndAreNeverKeptOut) {
    TempIniFile file("reservations");  // a temporary path of its own
    ReservationFiles& files = systemReservationFiles();
    FileStamp stamp;
    std::string bytes;
    EXPECT_EQ(FileStatus::missing, files.stamp(file.path().c_str(), stamp));
    EXPECT_EQ(FileStatus::missing, files.readAll("", 100, bytes));

    StorePtr store = reservationStore();
    file.write(epgTimerLine(decemberAt(7, 21), 60, "番組", 27, 1024, 1));
    FakeChannelSettings channels;
    const ReservationSources sources{.epgTimer = true, .epgTimerFile = file.path().c_str()};
    const ReservationInputs inputs{store.get(), files, channels, nullptr, decemberAt(7, 12)};
    ReservationWatch watch;
    ReservationList list;
    {
        // EpgTimer appending: it holds the file for writing and shares reading.
        HeldFile writer(file.path(), GENERIC_WRITE, FILE_SHARE_READ);
        ASSERT_NE(INVALID_HANDLE_VALUE, writer.handle);
        EXPECT_EQ(1, collectReservations(watch, sources, inputs, list));
        ASSERT_EQ(1u, list.size());
        EXPECT_EQ("番組", list[0].title);
        EXPECT_EQ(FileStatus::tooLarge, files.readAll(file.path().c_str(), 10, bytes));
    }
    {
        // One that shares nothing: busy for a moment, the reservations stay.
        HeldFile exclusive(file.path(), GENERIC_READ | GENERIC_WRITE, 0);
        ASSERT_NE(INVALID_HANDLE_VALUE, exclusive.handle);
        EXPECT_EQ(FileStatus::busy, files.stamp(file.path().c_str(), stamp));
        resetReservationWatch(watch);
        EXPECT_EQ(1, collectReservations(watch, sources, inputs, list));
        EXPECT_EQ(1u, list.size());
    }
    EXPECT_EQ(FileStatus::ok, files.stamp(file.path().c_str(), stamp));
    EXPECT_NE(0u, stamp.written);
}

}  // namespace
}  // namespace corvane
