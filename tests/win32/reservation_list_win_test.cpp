// The reservation list window over a host of its own: texts read back from
// the list, a row drawn into a memory bitmap, clicks posted to the list and
// its header, the row menu and the question answered by scripts, jobs
// deleted from the memory store and from the Task Scheduler itself.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <tuple>

#include "dialogs/reservation_list.h"
#include "dialogs/reservation_list_win.h"
#include "dialogs/window_placement.h"
#include "reserve/job_store_memory.h"
#include "reserve/job_store_win.h"
#include "reserve/reservation_watch.h"
#include "resources/resource.h"
#include "support/fake_guide_host.h"
#include "support/recording_message_boxes.h"
#include "support/reservation_fixture.h"
#include "support/store_sections.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

struct ScriptedRowMenu : RowMenu {
    int offered = 0;
    int answer = 0;
    std::function<void()> whileOpen;  // what happens inside the menu's loop
    int choose(HWND, int, int, int command, const char* text) override {
        EXPECT_EQ(std::tuple(IDM_RESERVATION_DELETE, std::string("予約の削除")), std::tuple(command, std::string(text)));
        ++offered;
        if (whileOpen) whileOpen();
        return answer;
    }
};

class ReservationListWinTest : public testing::Test, public ReservationListHost {
protected:
    ReservationListWinTest() {
        InitCommonControls();
        rig.host.clock = localOf(at(0, 6));
        putSchedule(rig.store.get(), 1024, 0x7FE0, 0, {{at(0, 20), 3600, "ニュース７"}, {at(0, 22), 3600, "映画"}});
        rig.layout.buildListLayout(rig.store.get());
        rig.settings.writeString("iEpgListDialog", "CHW", "77abc");
        rig.settings.writeString("iEpgListDialog", "DATEW", "-5");
        presetList[0].name = "録画設定";
        records = {record(0, 20, "ニュース"), record(1001, 22, "映画"), record(1, 23, "後")};
        records[1].jobName = "tunerec - 別名" + std::to_string(getpid()) + ".job";
        window = createReservationListWindow(GetModuleHandleA(nullptr), *this);
        pumpMessages(30);  // the window fills itself
    }
    ~ReservationListWinTest() override {
        if (IsWindow(window)) DestroyWindow(window);
        for (const std::string& name : madeJobs) jobStore->deleteJob(name);
    }
    ReservationRecord record(int kind, int hour, const char* title) {
        ReservationRecord r;
        r.kind = kind, r.start = localOf(at(0, hour)), r.end = r.start + 3600, r.serviceId = 1024, r.title = title;
        return r;
    }

    HWND mainWindow() override { return nullptr; }
    Settings& settings() override { return rig.settings; }
    const EpgStore* store() override { return rig.store.get(); }
    GuideLayout& layout() override { return rig.layout; }
    ReservationList& reservations() override { return records; }
    const std::vector<TunerecPreset>& presets() override { return presetList; }
    JobStore& jobs() override { return *jobStore; }
    MessageBoxes& messageBoxes() override { return boxes; }
    RowMenu& rowMenu() override { return menu; }
    void resetReservationWatch() override { ++resets, watch.reset(); }

    HWND list() const { return GetDlgItem(window, IDC_RESERVATION_LIST); }
    void refresh() { SendMessageA(window, WM_COMMAND, IDM_RESERVATION_REFRESH, 0); }
    std::string text(int item, int column) const {
        char buffer[512] = {};
        ListView_GetItemText(list(), item, column, buffer, sizeof buffer);
        return buffer;
    }
    std::vector<int64_t> rowValues() const {
        std::vector<int64_t> values;
        for (int i = 0; i < ListView_GetItemCount(list()); ++i) {
            LVITEMA item{};
            item.mask = LVIF_PARAM, item.iItem = i;
            ListView_GetItem(list(), &item);
            values.push_back(item.lParam);
        }
        return values;
    }
    // A press and release of `button` at a list point, as the mouse gives them.
    void click(HWND target, POINT at, bool right = false) {
        const LPARAM where = MAKELPARAM(at.x, at.y);
        PostMessageA(target, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, where);
        PostMessageA(target, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, where);
        pumpMessages(30);
    }
    POINT rowPoint(int item) const {
        RECT r{};
        ListView_GetItemRect(list(), item, &r, LVIR_BOUNDS);
        return {r.left + 60, (r.top + r.bottom) / 2};
    }

    LayoutRig rig{"reservation-list-win"};
    ReservationList records;
    std::vector<TunerecPreset> presetList{1};
    std::unique_ptr<JobStore> jobStore = std::make_unique<MemoryJobStore>();
    RecordingMessageBoxes boxes;
    ScriptedRowMenu menu;
    int resets = 0;
    ReservationWatch watch;
    std::vector<std::string> madeJobs;  // deleted again when the test ends
    HWND window = nullptr;
};

TEST_F(ReservationListWinTest, ShowsEveryReservationBesideTheGuideAndDrawsOnlyTheDifferenceInRed) {
    ASSERT_EQ(3, ListView_GetItemCount(list()));
    const std::string channel = columnNameOf(*rig.store, 0);
    EXPECT_EQ((std::vector<std::string>{channel, "2026/12/07(月)", "20:00～21:00 ニュース", "EpgTimer",
                                        "20:00～21:00 ニュース７", "録画設定", "22:00～23:00 映画", "TvRock", ""}),
              (std::vector<std::string>{text(0, 0), text(0, 1), text(0, 2), text(0, 3), text(0, 4), text(1, 3),
                                        text(1, 4), text(2, 3), text(2, 4)}));
    EXPECT_EQ(std::pair(77, 0), std::pair(ListView_GetColumnWidth(list(), 0), ListView_GetColumnWidth(list(), 1)));
    // The system menu offers the refresh right before "close".
    HMENU system = GetSystemMenu(window, FALSE);
    int closeAt = 0;
    while (GetMenuItemID(system, closeAt) != SC_CLOSE) ++closeAt;
    char item[64] = {};
    GetMenuStringA(system, closeAt - 1, item, sizeof item, MF_BYPOSITION);
    EXPECT_EQ(std::tuple(UINT{IDM_RESERVATION_UPDATE}, std::string("予約リストの更新(&U)")),
              std::tuple(GetMenuItemID(system, closeAt - 1), std::string(item)));
    SendMessageA(window, WM_SYSCOMMAND, IDM_RESERVATION_UPDATE, 0);
    EXPECT_EQ(1, resets);

    // Row 0 drawn into a bitmap with the list's font: the EpgTimer shade of an
    // even row; red only over the "７" that the guide's title adds.
    RECT rowRect{}, guideCell{};
    ListView_GetItemRect(list(), 0, &rowRect, LVIR_BOUNDS);
    ListView_GetSubItemRect(list(), 0, 4, LVIR_BOUNDS, &guideCell);
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, rowRect.right, rowRect.bottom);
    ReleaseDC(nullptr, screen);
    SelectObject(dc, bitmap);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list(), WM_GETFONT, 0, 0)));
    DRAWITEMSTRUCT draw{ODT_LISTVIEW, IDC_RESERVATION_LIST, 0, ODA_DRAWENTIRE, 0, list(), dc, rowRect, 0};
    SendMessageA(window, WM_DRAWITEM, IDC_RESERVATION_LIST, reinterpret_cast<LPARAM>(&draw));
    SIZE same{}, added{};
    const std::string guide = text(0, 4);
    GetTextExtentPoint32A(dc, guide.c_str(), static_cast<int>(guide.size()) - 2, &same);
    GetTextExtentPoint32A(dc, guide.c_str(), static_cast<int>(guide.size()), &added);
    // A pixel of slack for the glyph's edges.
    const int redFrom = guideCell.left + 1 + same.cx, redTo = guideCell.left + 3 + added.cx;
    int redInside = 0, redOutside = 0;
    for (int y = rowRect.top; y < rowRect.bottom; ++y)
        for (int x = rowRect.left; x < rowRect.right; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            const bool red = GetRValue(c) >= 0xc0 && GetGValue(c) <= 0x70 && GetBValue(c) <= 0x70;
            (x >= redFrom && x < redTo ? redInside : redOutside) += red;
        }
    EXPECT_EQ(0xb7ffb7u, GetPixel(dc, guideCell.right - 2, rowRect.top + 1));
    EXPECT_EQ(0, redOutside);
    EXPECT_GT(redInside, 3);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST_F(ReservationListWinTest, HeaderClicksSortAndAShrunkListStaysSafeUntilTheNextRefresh) {
    HWND header = ListView_GetHeader(list());
    RECT device{};
    Header_GetItemRect(header, kReservationColumnDevice, &device);
    const POINT onDevice{(device.left + device.right) / 2, (device.top + device.bottom) / 2};
    click(header, onDevice);
    EXPECT_EQ((std::vector<int64_t>{0, 2, 1}), rowValues());
    // The collection empties its list; until the refresh the rows keep what
    // they showed: drawn, sorted and clicked without touching the list.
    records.clear();
    click(header, onDevice);
    EXPECT_EQ((std::vector<int64_t>{1, 2, 0}), rowValues());
    RedrawWindow(list(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    menu.answer = IDM_RESERVATION_DELETE, boxes.answer = message_box::idNo;
    rig.host.height = 100;
    click(list(), rowPoint(0));  // the 22:00 job: two hours below the guide's start
    EXPECT_EQ(120 * 2 - 60, rig.layout.view.scrollY);
    click(list(), rowPoint(0), true);
    EXPECT_EQ(std::tuple(1, size_t{1}), std::tuple(menu.offered, boxes.shown.size()));
    refresh();
    EXPECT_EQ(0, ListView_GetItemCount(list()));
    // The flags outlive refreshes: the next click on the column sorts ascending again.
    records = {record(1001, 22, "映画"), record(0, 20, "ニュース")};
    refresh();
    click(header, onDevice);
    EXPECT_EQ((std::vector<int64_t>{1, 0}), rowValues());
}

TEST_F(ReservationListWinTest, RightClickOffersOnlyJobsAndDeletesTheRememberedJobByItsOwnName) {
    const std::string chosen = records[1].jobName, decoy = "tunerec - 映画" + std::to_string(getpid()) + ".job";
    for (const std::string& name : {chosen, decoy}) {
        JobDefinition job;
        job.name = name, job.application = "C:\\tunerec.exe";
        job.trigger = JobTrigger{JobTriggerType::once, 2031, 1, 1};
        ASSERT_EQ(JobStep::none, jobStore->createJob(job));
    }
    madeJobs = {decoy};
    click(list(), rowPoint(0), true);
    click(list(), rowPoint(2), true);
    EXPECT_EQ(0, menu.offered);  // EpgTimer and TvRock rows have no menu

    // The list is filled anew while the menu is open: the job right-clicked
    // is still the one asked about.
    menu.answer = IDM_RESERVATION_DELETE, boxes.answer = message_box::idNo;
    menu.whileOpen = [this] { records.erase(records.begin()), refresh(); };
    click(list(), rowPoint(1), true);
    const RecordingMessageBoxes::Box question{"タスク「" + chosen + "」を削除しますか？", "予約の削除",
                                              message_box::yesNo | message_box::iconQuestion};
    EXPECT_EQ(std::vector{question}, boxes.shown);
    menu.whileOpen = nullptr;
    records = {record(1001, 22, "映画")};
    records[0].jobName = chosen;
    refresh();
    boxes.answer = message_box::idYes;
    click(list(), rowPoint(0), true);
    JobNameBatches batches;
    jobStore->listJobNames(batches);
    EXPECT_EQ(std::vector{decoy}, allJobNames(batches));
    EXPECT_EQ(1, resets);
}

TEST_F(ReservationListWinTest, TheSchedulerLosesOnlyTheChosenJobAndItsRowGoesAtTheNextTick) {
    jobStore = std::make_unique<TaskSchedulerJobStore>();
    FakeReservationFiles files;
    FakeChannelSettings channels;
    channels.remotes["1024"] = 5;
    // One tick of the main window's timer: the jobs collected, the list refreshed on a change.
    const auto tick = [&] {
        const ReservationInputs inputs{rig.store.get(), files, channels, jobStore.get(), time(nullptr)};
        if (collectReservations(watch, ReservationSources{false, false, true, "", ""}, inputs, records)) refresh();
    };
    const int64_t start = (time(nullptr) / 3600 + 30) * 3600;
    const LocalTime from = toLocalTime(start), to = toLocalTime(start + 3600);
    char times[32];
    std::snprintf(times, sizeof times, "%02d:%02d-%02d:%02d", from.hour, from.minute, to.hour, to.minute);
    const std::string tag = std::to_string(getpid());
    for (const char* name : {"選んだ", "残す"}) {
        madeJobs.push_back("tunerec - " + (name + tag) + ".job");
        ASSERT_EQ(JobStep::none, jobStore->createJob(captureJob(name + tag, "@5", start, times)));
    }
    tick();
    ASSERT_EQ(2, ListView_GetItemCount(list()));
    const int chosenRow = text(0, 2).find("選んだ") != std::string::npos ? 0 : 1;
    menu.answer = IDM_RESERVATION_DELETE, boxes.answer = message_box::idYes;
    click(list(), rowPoint(chosenRow), true);
    EXPECT_EQ("タスク「tunerec - 選んだ" + tag + ".job」を削除しますか？", boxes.shown.at(0).text);
    tick();
    EXPECT_EQ(std::tuple(1, "録画設定"), std::tuple(ListView_GetItemCount(list()), text(0, 3)));
    JobNameBatches batches;
    jobStore->listJobNames(batches);
    const std::vector<std::string> names = allJobNames(batches);
    EXPECT_EQ(std::tuple(0, 1), std::tuple(std::count(names.begin(), names.end(), "tunerec - 選んだ" + tag + ".job"),
                                           std::count(names.begin(), names.end(), "tunerec - 残す" + tag + ".job")));
}

TEST_F(ReservationListWinTest, EscHidesAndDestroyingWritesWidthsAndPlacement) {
    ShowWindow(window, SW_SHOW);
    SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindowVisible(window));
    ListView_SetColumnWidth(list(), kReservationColumnReservation, 205);
    SetWindowPos(window, nullptr, 31, 42, 530, 310, SWP_NOZORDER | SWP_NOACTIVATE);
    DestroyWindow(window);
    const DialogPlacement placement = readReservationListPlacement(rig.settings);
    EXPECT_EQ((ReservationListWidths{77, 0, 205, 150, 320}), readReservationListWidths(rig.settings));
    EXPECT_EQ(std::tuple(true, 31, 42, 530, 310),
              std::tuple(placement.stored, placement.x, placement.y, placement.width, placement.height));
}

}  // namespace
}  // namespace corvane
