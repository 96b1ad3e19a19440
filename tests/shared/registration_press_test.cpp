// Registering over real files (natively and under Wine) with recorded
// starts, boxes, sockets and task dialog: the failures of each target, a
// window with nothing prepared, the task dialog and the button. The whole way
// from the popup is tested on the real windows (RegistrationWinTest in main_window_win_test).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "support/fake_sockets.h"
#include "support/guide_fixture.h"
#include "support/recording_message_boxes.h"
#include "support/registration_fixture.h"
#include "support/store_sections.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using Source = RegistrationSource;
using Target = RegistrationTarget;

const RegistrationProgramme programmeA = testProgramme(localOf(at(0, 23, 45)), localOf(at(1, 0, 15)));

class RegistrationPress : public ::testing::Test {
public:
    const fs::path folder = fs::temp_directory_path() / ("corvane_registration_" + std::to_string(getpid()));
    RegistrationPaths paths{(folder / "X.tvpi").string(), (folder / "X.register.tvpi").string(),
                            (folder / "Program.txt").string()};
    RecordingStarts starts;
    RecordingMessageBoxes boxes;
    FakeSockets sockets;
    RegistrationCalls calls{starts, boxes, sockets};
    RegistrationState state;

    void SetUp() override { fs::create_directories(folder); }
    void TearDown() override { fs::remove_all(folder); }

    static RegistrationSwitches switches(Target target, bool capture = false) { return {true, capture, target}; }
    RegistrationButton select(Source source, const RegistrationSwitches& s) {
        return prepareRegistration(state.of(source), source, programmeA, s, paths.registrationFile);
    }
    bool press(Source source, const RegistrationSwitches& s, const std::string& application = "C:\\app.exe") {
        return registerFileOrWeb(state.of(source), source, s, application, "http://10.0.0.1:8969/", paths, calls);
    }
    // A folder where the file should be: it cannot be opened for writing.
    static void block(const std::string& path) {
        fs::remove(path);
        fs::create_directory(path);
    }
    std::string epgTimerFile() const {
        std::ifstream in(folder / "Program.txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(RegistrationPress, FailuresShowOneBoxAndHandNothingOver) {
    const struct {
        Target target;
        std::function<void(RegistrationPress&)> arrange;
        bool appended = false;
        const char* text = kRegistrationFailedText;
    } cases[] = {
        {Target::epgTimer, [](auto& t) { block(t.paths.registrationFile); }},
        {Target::iEpg, [](auto& t) { block(t.paths.registrationFile); }},
        {Target::iEpg, [](auto& t) { block(t.paths.handOverFile); }},
        {Target::epgTimer, [](auto& t) { t.paths.epgTimerFile.clear(); }},  // no Documents folder
        {Target::epgTimer, [](auto& t) { t.paths.epgTimerFile = (t.folder / "none" / "P.txt").string(); }},
        {Target::iEpg, [](auto& t) { t.starts.succeed = false; }},
        {Target::epgTimer, [](auto& t) { t.starts.succeed = false; }, true, kEpgTimerNotStartedText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        TearDown();
        SetUp();
        starts = {};
        boxes.shown.clear();
        paths.epgTimerFile = (folder / "Program.txt").string();
        std::ofstream(paths.epgTimerFile, std::ios::binary) << "held\r\n";
        select(Source::popup, switches(c.target));
        c.arrange(*this);
        EXPECT_EQ(c.appended, press(Source::popup, switches(c.target)));
        EXPECT_EQ((std::vector{RecordingMessageBoxes::Box{c.text, kRegistrationCaption, kRegistrationFailedStyle}}),
                  boxes.shown);
        EXPECT_EQ(c.appended ? "held\r\n" + epgTimerLine(Source::popup, programmeA) : "held\r\n", epgTimerFile());
        EXPECT_EQ(c.appended || !starts.succeed, starts.lines.size() == 1);
    }
    // An empty application is not even tried; TvRock needs no file.
    starts = {};
    EXPECT_FALSE(press(Source::popup, switches(Target::iEpg), ""));
    EXPECT_TRUE(starts.lines.empty());
    EXPECT_TRUE(press(Source::popup, switches(Target::tvRock)));
    EXPECT_EQ("GET /now?t=0&r=1&c=1024&e=4660 HTTP/1.0\r\n\r\n", sockets.received);
}

TEST_F(RegistrationPress, AWindowHandsOverOnlyWhatItPreparedAndTheTaskDialogResetsTheWatch) {
    RecordingTaskDialog dialog;
    ReservationWatch watch;
    select(Source::popup, switches(Target::iEpg));  // the capture tool is switched on after the selection
    for (Target target : {Target::iEpg, Target::epgTimer, Target::tvRock})
        EXPECT_FALSE(press(Source::genreList, switches(target, true)));
    EXPECT_EQ(0, registerCapture(state.genreList, switches(Target::iEpg, true), dialog, watch));
    EXPECT_FALSE(press(Source::popup, RegistrationSwitches{false, true, Target::iEpg}));
    EXPECT_TRUE(starts.lines.empty() && boxes.shown.empty() && dialog.runs.empty() && sockets.opened == 0);
    for (int result : {2, 1}) {
        dialog.result = result;
        EXPECT_EQ(result, registerCapture(state.popup, switches(Target::iEpg, true), dialog, watch));
        EXPECT_EQ(result == 1, watchWasReset(watch));
    }
    ASSERT_EQ(2u, dialog.runs.size());
    EXPECT_EQ(std::pair(4660, 3), std::pair(dialog.runs[1].event.eventId, dialog.runs[1].channel));
    EXPECT_EQ(0, registerCapture(state.popup, switches(Target::iEpg, false), dialog, watch));
}

TEST_F(RegistrationPress, TheButtonCarriesTheConfiguredTargetWhateverTheFileGave) {
    using Menu = std::vector<RegistrationMenuItem>;
    const Menu both{{RegistrationCommand::fileOrWeb, "TvRock登録"}, {RegistrationCommand::capture, "tunerec登録"}};
    // (iEpg, tunerec, EpgTimer, TvRock): every value but 0 switches on; EpgTimer wins over TvRock.
    const struct {
        int iEpg, tunerec, epgTimer, tvRock;
        std::string popup, genreList;
        Menu menu;
    } cases[] = {
        {1, 0, 0, 0, "iEPG登録", "iEPG登録", {}},         {-1, 0, 2, 1, "EpgTimer登録", "EpgTimer登録", {}},
        {1, 0, 0, 1, "TvRock登録", "TvRock登録", {}},     {0, 2, 1, 0, "tunerec登録", "tunerec登録", {}},
        {2, -1, 0, 2, "iEPG登録", "iEPG登録", both},
        {0, 0, 1, 1, "", "iEPG登録", {}},  // nothing on: the genre list keeps its first label
    };
    block(paths.registrationFile);
    for (const auto& c : cases) {
        const RegistrationSwitches s = registrationSwitches(c.iEpg, c.tunerec, c.epgTimer, c.tvRock);
        EXPECT_EQ((RegistrationButton{!c.popup.empty(), c.popup}), select(Source::popup, s)) << c.popup;
        EXPECT_EQ((RegistrationButton{true, c.genreList}), select(Source::genreList, s)) << c.genreList;
        EXPECT_EQ(std::pair(c.menu, c.menu.empty() && !c.popup.empty()),
                  std::pair(registrationChoice(s).menu, registrationChoice(s).direct.has_value()));
    }
    EXPECT_EQ((RegistrationButton{true, "iEPG登録"}), initialRegistrationButton(Source::genreList));
}

}  // namespace
}  // namespace corvane
