// The press of each registration target over real files (natively and
// under Wine), with recorded starts, boxes, sockets and task dialog.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>

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
const RegistrationProgramme programmeB = testProgramme(localOf(at(2, 6)), localOf(at(2, 7)), 7);

class RegistrationPress : public ::testing::Test {
public:
    const fs::path folder = fs::temp_directory_path() / ("corvane_registration_" + std::to_string(getpid()));
    RegistrationPaths paths{(folder / "X.tvpi").string(), (folder / "X.register.tvpi").string(),
                            (folder / "Program.txt").string()};
    const std::string application = "C:\\EpgTimer\\app.exe";
    RecordingStarts starts;
    RecordingMessageBoxes boxes;
    FakeSockets sockets;
    RecordingTaskDialog dialog;
    RegistrationCalls calls{starts, boxes, sockets};
    RegistrationState state;
    ReservationWatch watch;

    void SetUp() override { fs::create_directories(folder); }
    void TearDown() override { fs::remove_all(folder); }

    static RegistrationSwitches switches(Target target, bool capture = false) { return {true, capture, target}; }
    RegistrationButton select(Source source, const RegistrationProgramme& p, const RegistrationSwitches& s) {
        return prepareRegistration(state.of(source), source, p, s, paths.registrationFile);
    }
    bool press(Source source, const RegistrationSwitches& s) {
        return registerFileOrWeb(state.of(source), source, s, application, "http://10.0.0.1:8969/nobody/", paths,
                                 calls);
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    // A folder where the file should be: it cannot be opened for writing.
    static void block(const std::string& path) {
        fs::remove(path);
        fs::create_directory(path);
    }
};

const RecordingMessageBoxes::Box failureBox{kRegistrationFailedText, kRegistrationCaption, kRegistrationFailedStyle};

TEST_F(RegistrationPress, EachWindowHandsOverItsOwnProgrammeInTheFormatOfThePress) {
    // iEPG: the guide's programme goes over although the genre list selected since.
    select(Source::popup, programmeA, switches(Target::iEpg));
    select(Source::genreList, programmeB, switches(Target::iEpg));
    EXPECT_EQ(iEpgText(programmeB), read(paths.registrationFile));
    EXPECT_TRUE(press(Source::popup, switches(Target::iEpg)));
    EXPECT_EQ(iEpgText(programmeA), read(paths.handOverFile));
    EXPECT_EQ(iEpgText(programmeA), read(paths.registrationFile));
    EXPECT_EQ(std::vector<std::string>{"\"" + application + "\" \"" + paths.handOverFile + "\""}, starts.lines);

    // EpgTimer chosen after the selection: the genre list's line in its own format, twice, after what
    // the file held; a file not ending in LF gets its line end first.
    write(paths.epgTimerFile, "held\r\n");
    EXPECT_TRUE(press(Source::genreList, switches(Target::epgTimer)));
    EXPECT_TRUE(press(Source::genreList, switches(Target::epgTimer)));
    const std::string line = epgTimerLine(Source::genreList, programmeB);
    EXPECT_EQ("held\r\n" + line + line, read(paths.epgTimerFile));
    EXPECT_EQ(line, read(paths.registrationFile));
    write(paths.epgTimerFile, "held");
    EXPECT_TRUE(press(Source::popup, switches(Target::epgTimer)));
    EXPECT_EQ("held\r\n" + epgTimerLine(Source::popup, programmeA), read(paths.epgTimerFile));
    EXPECT_EQ(4u, starts.lines.size());
    EXPECT_EQ("\"" + application + "\"", starts.lines.back());

    // TvRock: a zero-length file at the selection, the window's own ids at the press.
    select(Source::genreList, programmeB, switches(Target::tvRock));
    EXPECT_TRUE(fs::exists(paths.registrationFile) && read(paths.registrationFile).empty());
    EXPECT_EQ(7, state.genreList.tvRock.eventId);
    EXPECT_TRUE(press(Source::popup, switches(Target::tvRock)));
    EXPECT_EQ("GET /nobody/now?t=0&r=1&c=1024&e=4660 HTTP/1.0\r\n\r\n", sockets.received);
    EXPECT_EQ(4660, state.popup.tvRock.eventId);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(RegistrationPress, FailuresShowOneBoxAndHandNothingOver) {
    const struct {
        const char* name;
        Target target;
        std::function<void(RegistrationPress&)> arrange;
        bool handedOver;
        const char* text = kRegistrationFailedText;
    } cases[] = {
        {"registration file is a folder", Target::epgTimer, [](auto& t) { block(t.paths.registrationFile); }, false},
        {"registration file is a folder", Target::iEpg, [](auto& t) { block(t.paths.registrationFile); }, false},
        {"hand-over file is a folder", Target::iEpg, [](auto& t) { block(t.paths.handOverFile); }, false},
        {"no Documents folder", Target::epgTimer, [](auto& t) { t.paths.epgTimerFile.clear(); }, false},
        {"no EpgTimer folder", Target::epgTimer, [](auto& t) { t.paths.epgTimerFile = (t.folder / "none" / "P.txt").string(); }, false},
        {"the application does not start", Target::iEpg, [](auto& t) { t.starts.succeed = false; }, false},
        {"EpgTimer does not start", Target::epgTimer, [](auto& t) { t.starts.succeed = false; }, true, kEpgTimerNotStartedText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        RegistrationPress& t = *this;
        t.starts = {};
        t.boxes.shown.clear();
        t.paths.epgTimerFile = (folder / "Program.txt").string();
        write(paths.epgTimerFile, "held\r\n");
        select(Source::popup, programmeA, switches(c.target));
        c.arrange(t);
        EXPECT_EQ(c.handedOver, press(Source::popup, switches(c.target)));
        EXPECT_EQ((std::vector{RecordingMessageBoxes::Box{c.text, kRegistrationCaption, kRegistrationFailedStyle}}), boxes.shown);
        EXPECT_EQ(c.handedOver ? "held\r\n" + epgTimerLine(Source::popup, programmeA) : "held\r\n",
                  read((folder / "Program.txt").string()));
        EXPECT_EQ(c.handedOver || !starts.succeed, starts.lines.size() == 1);
    }
    // An empty application is not even tried.
    starts = {};
    boxes.shown.clear();
    EXPECT_FALSE(registerFileOrWeb(state.popup, Source::popup, switches(Target::iEpg), "", "", paths, calls));
    EXPECT_TRUE(starts.lines.empty());
    EXPECT_EQ(std::vector{failureBox}, boxes.shown);
    // TvRock does not depend on the file.
    EXPECT_TRUE(press(Source::popup, switches(Target::tvRock)));
    EXPECT_NE(std::string::npos, sockets.received.find("c=1024&e=4660 "));
}

TEST_F(RegistrationPress, AWindowWithNothingPreparedHandsNothingOver) {
    select(Source::popup, programmeA, switches(Target::iEpg, true));
    for (Target target : {Target::iEpg, Target::epgTimer, Target::tvRock})
        EXPECT_FALSE(press(Source::genreList, switches(target, true)));
    EXPECT_EQ(0, registerCapture(state.genreList, switches(Target::iEpg, true), dialog, watch));
    EXPECT_FALSE(press(Source::popup, RegistrationSwitches{false, true, Target::iEpg}));
    EXPECT_TRUE(starts.lines.empty() && boxes.shown.empty() && dialog.runs.empty() && sockets.opened == 0);
    EXPECT_FALSE(fs::exists(paths.epgTimerFile));
}

TEST_F(RegistrationPress, TheTaskDialogGetsTheWindowsProgrammeAndARegistrationResetsTheWatch) {
    select(Source::popup, programmeA, switches(Target::iEpg));  // capture switched on after the selection
    select(Source::genreList, programmeB, switches(Target::iEpg, true));
    EXPECT_EQ(7, state.genreList.capture.event.eventId);
    for (int result : {2, 1}) {
        dialog.result = result;
        EXPECT_EQ(result, registerCapture(state.popup, switches(Target::iEpg, true), dialog, watch));
        EXPECT_EQ(result == 1, watchWasReset(watch));
    }
    ASSERT_EQ(2u, dialog.runs.size());
    EXPECT_EQ(4660, dialog.runs[1].event.eventId);
    EXPECT_EQ(3, dialog.runs[1].channel);
    EXPECT_EQ(0, registerCapture(state.popup, switches(Target::iEpg, false), dialog, watch));
}

TEST_F(RegistrationPress, TheButtonCarriesTheConfiguredTargetWhateverTheFileGave) {
    const std::map<std::pair<int, int>, std::string> targetLabels{
        {{0, 0}, "iEPG登録"}, {{1, 0}, "EpgTimer登録"}, {{0, 1}, "TvRock登録"}, {{1, 1}, "EpgTimer登録"}};
    for (bool writable : {true, false}) {
        if (!writable) block(paths.registrationFile);
        for (int iEpg : {0, 1, 2})
            for (int tunerec : {0, 1, 2})
                for (const auto& [target, label] : targetLabels)
                    for (Source source : {Source::popup, Source::genreList}) {
                        const RegistrationSwitches s = registrationSwitches(iEpg, tunerec, target.first, target.second);
                        const bool both = iEpg == 1 && tunerec == 1;
                        std::string expected = both ? "iEPG登録" : iEpg == 1 ? label : tunerec == 1 ? "tunerec登録" : "";
                        if (expected.empty() && source == Source::genreList) expected = "iEPG登録";
                        EXPECT_EQ((RegistrationButton{!expected.empty(), expected}), select(source, programmeA, s))
                            << iEpg << tunerec << label << writable;
                        const RegistrationChoice choice = registrationChoice(s);
                        const std::vector<RegistrationMenuItem> menu{{RegistrationCommand::fileOrWeb, label},
                                                                     {RegistrationCommand::capture, "tunerec登録"}};
                        EXPECT_EQ(both ? menu : std::vector<RegistrationMenuItem>{}, choice.menu);
                        EXPECT_EQ(!both && (iEpg == 1 || tunerec == 1), choice.direct.has_value());
                    }
    }
    EXPECT_EQ((RegistrationButton{true, "iEPG登録"}), initialRegistrationButton(Source::genreList));
}

}  // namespace
}  // namespace corvane
