// Registering from the real popup and main window: a probe program records
// the command line it is started with, a loopback listener stands in for
// TvRock, and the task dialog and the message boxes are recorded.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state_win.h"
#include "app/main_window_win.h"
#include "app/startup_win.h"
#include "reserve/registration_win.h"
#include "reserve/task_registration.h"
#include "resources/resource.h"
#include "store/settings_win.h"
#include "support/modal_script_win.h"
#include "support/loopback_listener_win.h"
#include "support/recording_message_boxes.h"
#include "support/registration_fixture.h"
#include "support/temp_ini.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

struct NineThirty : Clock {
    int64_t now() override { return localDayAt(9, 30); }
};

// What the test saw of the registration menu while it was open, and how many
// items down it chose (with the keyboard).
struct MenuVisit {
    int itemsDown = 1;
    RECT rect{};
    std::vector<std::pair<UINT, std::string>> items;
} menuVisit;

void CALLBACK chooseFromMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND menuWindow = FindWindowA("#32768", nullptr);
    if (!menuWindow || !IsWindowVisible(menuWindow)) return;
    KillTimer(nullptr, timer);
    GetWindowRect(menuWindow, &menuVisit.rect);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        menuVisit.items.emplace_back(GetMenuItemID(menu, i), text);
    }
    for (int i = 0; i < menuVisit.itemsDown; ++i) PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
}

class RegistrationWinTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder / "EpgTimer");
        ASSERT_TRUE(CopyFileA(builtFilePath(CORVANE_PROBE_EXE).c_str(), probe.c_str(), FALSE));
        SetEnvironmentVariableA("CORVANE_PROBE_OUTPUT", probeOutput.c_str());
        PrivateProfileSettings settings(ini.path());
        settings.writeString("iEPGStationName", "1024", "テスト局");
        settings.writeString("VurdaChNo", "1024", "27");
        app.settings = std::make_unique<PrivateProfileSettings>(ini.path());
        app.clock = std::make_unique<NineThirty>();
        app.messageBoxes.reset(boxes = new RecordingMessageBoxes);
        app.taskDialog.reset(dialog = new RecordingTaskDialog);
        ASSERT_TRUE(startCorvane(app, "", SW_SHOWNORMAL));
        KillTimer(app.mainWindow, TIMER_HOUSEKEEPING);  // the test looks at the reservation watch itself
        putSchedule(app.store.get(), 1024, 0x7FE0, 0, {{dayAt(9), 3600, "朝の番組"}, {dayAt(10), 1800, "次の番組"}});
        afterLoad(app);
        UpdateWindow(app.mainWindow);  // the title blocks get their heights
        app.registrations->paths = {file("X.tvpi"), file("X.register.tvpi"), file("EpgTimer\\Program.txt")};
        app.registration.iEpg = 1;
        app.registration.fileName = probe;
    }
    void TearDown() override {
        DestroyWindow(app.mainWindow);
        pumpMessages(20);
        stopCorvane(app);
        SetEnvironmentVariableA("CORVANE_PROBE_OUTPUT", nullptr);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    // A click on programme `index` of the guide: the popup shows it.
    void select(int index) {
        const GuideLayout& layout = *app.layout;
        const int y = layout.contentY(layout.events[0][index].start, layout.view.guideBegin) - layout.view.scrollY;
        clickGuide(app.popupHost, app.popupWindow, 60, y + 5);
        ASSERT_TRUE(IsWindowVisible(app.popupWindow));
    }
    HWND button() { return GetDlgItem(app.popupWindow, IDOK); }
    // The popup's button: its command goes to the main window.
    void press() {
        SendMessageA(app.popupWindow, WM_COMMAND, IDOK, 0);
        pumpMessages(50);
    }
    // The command line the probe was started with; "" when none came within `ms`.
    std::string probeLine(int ms = 20000) {
        for (int waited = 0; waited < ms && !fs::exists(probeOutput); waited += 20) Sleep(20);
        const std::string line = read(probeOutput);
        fs::remove(probeOutput);
        return line;
    }
    std::string file(const char* name) const { return (folder / name).string(); }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    TempIniFile ini{"registration"};
    AppState app;
    RecordingMessageBoxes* boxes = nullptr;
    RecordingTaskDialog* dialog = nullptr;
    const fs::path folder = fs::temp_directory_path() / ("corvane registration " + std::to_string(GetCurrentProcessId()));
    const std::string probe = file("probe.exe"), probeOutput = file("line.txt");
    const std::string lineA = "2026/12/07\t09:00\t01:00\t朝の番組\t1024\t27\t1024\t1\t3\t1\t0\t\r\n";
};

std::string iEpgTextAt(const char* start, const char* end, const char* title) {
    return std::string("Content-type: application/x-tv-program-info; charset=Shift_JIS\r\nversion: 1\r\n"
                       "station: テスト局\r\nyear: 2026\r\nmonth: 12\r\ndate: 7\r\nstart: ") +
           start + "\r\nend: " + end + "\r\nprogram-title: " + title + "\r\n";
}

TEST_F(RegistrationWinTest, EachWindowHandsItsOwnProgrammeToTheIEpgApplicationAndEpgTimer) {
    HWND genreButton = GetDlgItem(app.genreListWindow, IDC_GENRE_REGISTER);
    EXPECT_EQ("iEPG登録", windowText(genreButton));
    // The genre list selects the second programme (as its detail pane does), then the guide the first.
    app.genreListHost.prepareRegistration(app.genreListWindow, 0, app.layout->events[0][1]);
    select(0);
    EXPECT_TRUE(IsWindowVisible(button()) && windowText(button()) == "iEPG登録");
    press();
    EXPECT_FALSE(IsWindowVisible(app.popupWindow));
    EXPECT_EQ(Selection{}, app.layout->view.selection);
    EXPECT_EQ("\"" + probe + "\" \"" + file("X.register.tvpi") + "\"", probeLine());
    EXPECT_EQ(iEpgTextAt("09:00", "10:00", "朝の番組"), read(file("X.register.tvpi")));
    SendMessageA(app.genreListWindow, WM_COMMAND, IDM_GENRE_REGISTER_FILE_OR_WEB, 0);
    EXPECT_FALSE(probeLine().empty());
    EXPECT_EQ(iEpgTextAt("10:00", "10:30", "次の番組"), read(file("X.register.tvpi")));

    // EpgTimer, chosen after both selections: the genre list's line in its own format after what the
    // file held (its last line ended), then the popup's, pressed twice; EpgTimer is started alone.
    app.registration.epgTimer = 1;
    std::ofstream(file("EpgTimer\\Program.txt"), std::ios::binary) << "held";
    SendMessageA(app.genreListWindow, WM_COMMAND, IDM_GENRE_REGISTER_FILE_OR_WEB, 0);
    EXPECT_EQ("\"" + probe + "\"", probeLine());
    for (int round = 0; round < 2; ++round) {
        select(0);
        EXPECT_EQ("EpgTimer登録", windowText(button()));
        press();
        EXPECT_EQ("\"" + probe + "\"", probeLine());
    }
    EXPECT_EQ("held\r\n2026/12/07\t10:00\t00:30\t次の番組\t1024\t0\t1024\t2\t3\t1\t0\t\r\n" + lineA + lineA,
              read(file("EpgTimer\\Program.txt")));
    EXPECT_TRUE(boxes->shown.empty());
}

TEST_F(RegistrationWinTest, TvRockGetsTheRequestAndBothKindsOfferTheMenuBelowTheButton) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 0), &data);
    std::string port;
    SOCKET listener = listenOnLoopback(port);
    app.registration.tvRock = 1;
    app.registration.hostName = "http://127.0.0.1:" + port + "/nobody/";
    select(0);
    EXPECT_EQ("TvRock登録", windowText(button()));
    EXPECT_TRUE(fs::exists(file("X.tvpi")) && fs::file_size(file("X.tvpi")) == 0);
    press();
    ASSERT_TRUE(connectionWaiting(listener, 2000));
    EXPECT_EQ("GET /nobody/now?t=0&r=1&c=1024&e=1 HTTP/1.0\r\n\r\n", receiveAll(listener));
    closesocket(listener);
    WSACleanup();

    app.registration.tvRock = 0;
    app.registration.iEpgTunerec = 1;
    for (int itemsDown : {1, 2}) {
        select(0);
        EXPECT_EQ("iEPG登録", windowText(button()));
        const RECT below = windowRect(button());
        watchWasReset(app.reservationWatch);  // nothing pending before the press
        menuVisit = MenuVisit{};
        menuVisit.itemsDown = itemsDown;
        SetTimer(nullptr, 0, 50, chooseFromMenu);
        press();
        EXPECT_EQ((std::pair(below.left, below.bottom)), (std::pair(menuVisit.rect.left, menuVisit.rect.top)));
        EXPECT_EQ((std::vector<std::pair<UINT, std::string>>{{IDM_REGISTER_FILE_OR_WEB, "iEPG登録"},
                                                              {IDM_REGISTER_TUNEREC, "tunerec登録"}}),
                  menuVisit.items);
        EXPECT_FALSE(IsWindowVisible(app.popupWindow));
        EXPECT_EQ(itemsDown == 1, !probeLine(itemsDown == 1 ? 20000 : 500).empty());
        EXPECT_EQ(itemsDown == 2, dialog->runs.size() == 1);
        EXPECT_EQ(itemsDown == 2, watchWasReset(app.reservationWatch));  // the dialog answered 1
    }
    EXPECT_EQ(1, dialog->runs.at(0).event.eventId);
}

TEST_F(RegistrationWinTest, AnUnwritableFileOrNoApplicationShowsTheBoxAndStartsNothing) {
    const RecordingMessageBoxes::Box failed{"登録に失敗しました。", "登録", MB_OKCANCEL | MB_ICONERROR};
    app.registration.epgTimer = 1;
    fs::create_directory(file("X.tvpi"));  // a folder where the registration file belongs
    select(0);
    press();
    EXPECT_EQ(std::vector{failed}, boxes->shown);
    EXPECT_FALSE(fs::exists(file("EpgTimer\\Program.txt")));

    fs::remove(file("X.tvpi"));
    app.registration.epgTimer = 0;
    app.registration.fileName.clear();
    select(0);
    press();
    EXPECT_EQ(std::vector(2, failed), boxes->shown);
    EXPECT_EQ("", probeLine(1000));
}

TEST_F(RegistrationWinTest, TheCaptureCommandOpensTheTaskDialogOnThePreparedProgramme) {
    app.taskDialog = std::make_unique<AppTaskDialog>(app);
    app.registrations->taskDialog = app.taskDialog.get();
    app.registration.iEpg = 0, app.registration.iEpgTunerec = 1;
    app.presets[0].executablePath = probe;
    const std::string channelNumber = channelNumberText(0, app.layout->channels[0].remoteNumber);
    auto registerAtOnce = [&](HWND dialog) {
        EXPECT_EQ(std::vector<std::string>({channelNumber, "2026/12/07(月)", "09:00-10:00", "\\朝の番組.ts"}),
                  dialogTexts(dialog, {IDC_TASK_CHANNEL_NO, IDC_TASK_DATE, IDC_TASK_TIME, IDC_TASK_FILE}));
        pressButton(dialog, IDOK);
    };
    select(0);  // 09:00-10:00, at 09:30: the tool starts at once for the 30 minutes left and one more
    {
        const ModalScript script({{IDC_TASK_FILE, registerAtOnce}}, {IDC_TASK_CHANNEL});
        press();
    }
    EXPECT_EQ("\"" + probe + "\" \"\\朝の番組.ts\" " + channelNumber + " 31 P POFF B25   I1 ", probeLine());
    EXPECT_TRUE(watchWasReset(app.reservationWatch));
}

}  // namespace
}  // namespace corvane
