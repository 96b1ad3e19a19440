// The reservation list window of the running program: clicks posted to the
// list and its header, the row menu chosen with the keyboard and the question
// answered, jobs deleted from the Task Scheduler itself.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "dialogs/reservation_list.h"
#include "dialogs/reservation_list_win.h"
#include "guide/window_placement.h"
#include "reserve/task_registration.h"
#include "resources/resource.h"
#include "support/main_window_rig_win.h"
#include "support/registration_fixture.h"

namespace corvane {
namespace {

class ReservationListWinTest : public MainWindowRig {
protected:
    void SetUp() override {
        ini.write("[iEpgListDialog]\r\nCHW=77abc\r\nDATEW=-5\r\n[iEpgSetup]\r\niEpgTunerecName=録画設定\r\n"
                  "[ViewSetup]\r\nTunerecDisp=1\r\nEpgTimerDisp=1\r\n");
        app.reservationFiles = &files;
        start();
        KillTimer(app.mainWindow, TIMER_HOUSEKEEPING);  // the test ticks itself
        putSchedule(app.store.get(), 1024, 0x7FE0, 0,
                    {{dayAt(20), 3600, "ニュース７"}, {dayAt(22), 3600, "映画"}, {dayAt(23), 3 * 3600, "深夜"}});
        afterLoad(app);
        ReservationList reservations = {record(0, 20, "ニュース"), record(1001, 22, "映画"), record(1, 23, "後")};
        reservations[1].jobName = jobName("別名");
        app.reservations.assign(reservations);
        window = app.reservationListWindow;
        refresh();
    }
    ~ReservationListWinTest() override {
        for (const std::string& name : madeJobs) app.jobStore->deleteJob(name);
    }
    static ReservationRecord record(int kind, int hour, const char* title) {
        ReservationRecord r;
        r.kind = kind, r.start = localDayAt(hour), r.end = r.start + 3600, r.serviceId = 1024, r.title = title;
        return r;
    }
    static std::string jobName(const std::string& title) { return "tunerec - " + title + std::to_string(getpid()) + ".job"; }

    HWND list() const { return GetDlgItem(window, IDC_RESERVATION_LIST); }
    void refresh() { SendMessageA(window, WM_COMMAND, IDM_RESERVATION_REFRESH, 0); }
    std::string text(int item, int column) const { return listCell(list(), item, column); }
    // A right click on `item` that chooses "予約の削除" and answers the question with `answer`.
    void deleteAt(int item, int answer, std::function<void()> whileOpen = nullptr) {
        MenuChoice menu{1, std::move(whileOpen)};
        menu.arm();
        DialogScript::start(kJobDeletionCaption, [answer](HWND box) { pressButton(box, answer); });
        click(list(), rowPoint(list(), item), true);
    }

    FakeReservationFiles files;
    HWND window = nullptr;
    std::vector<std::string> madeJobs;  // deleted again when the test ends
};

TEST_F(ReservationListWinTest, ShowsSortsAndClicksRowsSafelyUntilTheNextRefreshAndWritesWidthsAndPlacement) {
    ASSERT_EQ(3, ListView_GetItemCount(list()));
    EXPECT_EQ(std::tuple("20:00～21:00 ニュース７", "録画設定"), std::tuple(text(0, 4), text(1, 3)));
    // The system menu's refresh collects again.
    watchWasReset(app.reservationWatch);
    SendMessageA(window, WM_SYSCOMMAND, IDM_RESERVATION_UPDATE, 0);
    EXPECT_TRUE(watchWasReset(app.reservationWatch));

    HWND header = ListView_GetHeader(list());
    RECT device{};
    Header_GetItemRect(header, kReservationColumnDevice, &device);
    const POINT onDevice{(device.left + device.right) / 2, (device.top + device.bottom) / 2};
    click(header, onDevice);
    EXPECT_EQ((std::vector<LPARAM>{0, 2, 1}), listViewParams(list()));
    EXPECT_EQ(HDF_SORTUP, sortArrow(list(), kReservationColumnDevice));
    // The collection empties its list; until the refresh the rows keep what
    // they showed: drawn, sorted and clicked without touching the list.
    app.reservations.clear();
    click(header, onDevice);
    EXPECT_EQ((std::vector<LPARAM>{1, 2, 0}), listViewParams(list()));
    EXPECT_EQ(HDF_SORTDOWN, sortArrow(list(), kReservationColumnDevice));
    RedrawWindow(list(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    click(list(), rowPoint(list(), 0));  // the 22:00 job: two hours below the guide's start
    EXPECT_EQ(120 * 2 - 60, app.layout->view.scrollY);
    app.layout->view.scrollY = 0;  // Enter on the selected row: what its click does
    SendMessageA(window, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(120 * 2 - 60, app.layout->view.scrollY);
    deleteAt(0, IDNO);
    EXPECT_TRUE(DialogScript::ran) << "the question was asked";
    refresh();
    EXPECT_EQ(std::pair(0, 0), std::pair(ListView_GetItemCount(list()), sortArrow(list(), kReservationColumnDevice)));

    ShowWindow(window, SW_SHOW);
    SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindowVisible(window));
    ListView_SetColumnWidth(list(), kReservationColumnReservation, 205);
    SetWindowPos(window, nullptr, 31, 42, 530, 310, SWP_NOZORDER | SWP_NOACTIVATE);
    DestroyWindow(window);
    app.reservationListWindow = nullptr;
    // The stored widths "77abc" and "-5" were read as 77 and 0.
    EXPECT_EQ((ReservationListWidths{77, 0, 205, 150, 320}), readReservationListWidths(*app.settings));
    const DialogPlacement placement = readReservationListPlacement(*app.settings);
    EXPECT_EQ(std::tuple(true, 31, 42, 530, 310),
              std::tuple(placement.stored, placement.x, placement.y, placement.width, placement.height));
}

// The list is filled anew while the menu is open: the job right-clicked is
// the one asked about and deleted, and its row goes at the next tick.
TEST_F(ReservationListWinTest, TheSchedulerLosesOnlyTheRightClickedJobThoughTheListIsRefilledWhileTheMenuIsOpen) {
    const int64_t start = (app.clock->now() / 3600 + 30) * 3600;  // collected by the program's clock
    const std::string channel = channelNumberText(0, app.layout->channels[0].remoteNumber);
    for (const char* title : {"選んだ", "残す"}) {
        const std::string name = title + std::to_string(getpid());
        madeJobs.push_back(jobName(title));
        ASSERT_EQ(JobStep::none, app.jobStore->createJob(captureJob(name, channel, start, taskTimeText(start, start + 3600))));
    }
    files.write(app.paths.epgTimerFile, epgTimerLine(localDayAt(20), 60, "予約", 27, 1024, 1));
    // The main window's tick collects both sources, frames them and refreshes the list.
    const auto tick = [&] {
        SendMessageA(app.mainWindow, WM_TIMER, TIMER_HOUSEKEEPING, 0);
        pump(30);
    };
    tick();
    ASSERT_EQ(3, ListView_GetItemCount(list()));
    EXPECT_EQ(3u, app.reservations.frames().size());
    int chosenRow = 0;
    while (text(chosenRow, 2).find("選んだ") == std::string::npos) ++chosenRow;
    const std::vector<ReservationRecord> collected = app.reservations.records();
    deleteAt(chosenRow, IDYES, [&] {
        ReservationList others;
        for (const ReservationRecord& r : collected)
            if (r.title.find("選んだ") != 0) others.push_back(r);
        app.reservations.assign(others);
        refresh();
    });
    tick();
    ASSERT_EQ(2, ListView_GetItemCount(list()));
    EXPECT_EQ(2u, app.reservations.frames().size());
    JobNameBatches batches;
    app.jobStore->listJobNames(batches);
    const std::vector<std::string> names = allJobNames(batches);
    EXPECT_EQ(std::tuple(0, 1), std::tuple(std::count(names.begin(), names.end(), madeJobs[0]),
                                           std::count(names.begin(), names.end(), madeJobs[1])));
}

}  // namespace
}  // namespace corvane
