// Registering a programme for recording, in two steps. When a window (the
// guide's popup, the genre list) selects a programme, its registration is
// prepared: the window remembers the programme, the registration file beside
// the executable is written in the configured target's format, and the
// window's button gets its label. When the button is pressed, exactly the
// programme that window prepared goes to the target configured at the press:
// the iEPG application, EpgTimer, TvRock, or the capture tool's task dialog.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <utility>

#include "guide/guide_event.h"
#include "reserve/message_boxes.h"
#include "reserve/process_start.h"
#include "reserve/registration_formats.h"
#include "reserve/registration_settings.h"
#include "reserve/reservation_watch.h"
#include "reserve/tvrock_command.h"
#include "store/epg_store.h"

namespace corvane {

// The ids that TvRock is asked to reserve.
struct PendingTvRockCommand {
    int serviceId = 0;  // unsigned 16 bits
    int eventId = 0;
};

// The programme the capture tool's task dialog registers, and its channel's
// index in the channel list.
struct PendingCaptureEvent {
    GuideEvent event;
    int channel = 0;
};

// What one window has prepared; everything zeroed until its first preparation.
struct SourceRegistration {
    std::optional<RegistrationProgramme> programme;
    PendingTvRockCommand tvRock;
    PendingCaptureEvent capture;
};

struct RegistrationState {
    SourceRegistration popup;
    SourceRegistration genreList;

    SourceRegistration& of(RegistrationSource source) {
        return source == RegistrationSource::popup ? popup : genreList;
    }
};

// The capture tool's modal task-registration dialog, as a seam.
class TaskRegistrationDialog {
public:
    virtual ~TaskRegistrationDialog() = default;
    // Runs the dialog for `programme`: 1 when a job was saved or the tool
    // started, 2 when the user cancelled.
    virtual int run(const PendingCaptureEvent& programme) = 0;
};

struct RegistrationPaths {
    std::string registrationFile;  // the executable's path with ".tvpi", rewritten at each preparation
    std::string handOverFile;      // the iEPG text given to the iEPG application, written at each press
    std::string epgTimerFile;      // EpgTimer's reservation file; empty when there is no Documents folder
};

// The platform a file-or-web registration goes through.
struct RegistrationCalls {
    ProcessStarter& processes;
    MessageBoxes& messages;
    SocketCalls& sockets;
};

// The programme `event` of channel `channel` with what the formats need of
// its channel and service. Nothing when the channel is not in the store and
// the channel list.
std::optional<RegistrationProgramme> registrationProgramme(const EpgStore& store,
                                                           std::span<const ChannelInfo> channels,
                                                           int channel, const GuideEvent& event);

// The registration file in `target`'s format: the EpgTimer line, nothing for
// TvRock, the iEPG text otherwise.
std::string registrationFileText(RegistrationTarget target, RegistrationSource source,
                                 const RegistrationProgramme& programme);

// A window selected `programme`: it is remembered for the window, with the
// TvRock ids when TvRock is the file-or-web target and the capture event when
// the capture tool is on; the registration file is rewritten while the
// file-or-web target is on (a file that cannot be written is reported at the
// press). The answer is the window's button.
RegistrationButton prepareRegistration(SourceRegistration& state, RegistrationSource source,
                                       const RegistrationProgramme& programme,
                                       const RegistrationSwitches& switches,
                                       const std::string& registrationFile);

// The box of a registration that did not reach its application.
inline constexpr const char* kRegistrationFailedText = "登録に失敗しました。";
inline constexpr const char* kRegistrationCaption = "登録";
inline constexpr unsigned kRegistrationFailedStyle = message_box::okCancel | message_box::iconError;
// EpgTimer holds the reservation but could not be started to read it.
inline constexpr const char* kEpgTimerNotStartedText =
    "予約は追加しましたが、EpgTimerを起動できませんでした。";

// The file-or-web command (12000 from the popup, 12100 from the genre list):
// with the file-or-web target on and a programme prepared, the programme goes
// to `switches.target`. EpgTimer: the registration file is rewritten with the
// line, the line appended to EpgTimer's reservation file and `application`
// started; TvRock: the command sent to `hostName`; iEPG: the text written to
// the registration file and the hand-over file, and `application` started
// with the hand-over file's path. A file that cannot be written, a missing
// Documents folder, an application that does not start each show one box.
// Whether the programme reached the application's hands (EpgTimer: its file).
bool registerFileOrWeb(SourceRegistration& state, RegistrationSource source,
                       const RegistrationSwitches& switches, const std::string& application,
                       const std::string& hostName, const RegistrationPaths& paths, RegistrationCalls& calls);

// The capture command (12001 / 12101): with the capture tool on and a
// programme prepared, the task dialog runs for it; a registration (result 1)
// makes the next check collect every reservation source again. The dialog's
// result, 0 when it did not run.
int registerCapture(SourceRegistration& state, const RegistrationSwitches& switches,
                    TaskRegistrationDialog& taskDialog, ReservationWatch& watch);

// The registrations of the process: what each window prepared, with the
// settings read at each step (the setup dialog may change them between a
// selection and the press), the paths and the platform calls. The main
// window runs the popup's commands here, the genre list window its own.
class Registrations {
public:
    Registrations(const RegistrationSettings& settings, RegistrationPaths paths, RegistrationCalls calls)
        : paths(std::move(paths)), calls(calls), settings_(settings) {}

    RegistrationSwitches switches() const { return registrationSwitches(settings_); }

    // A window selected `programme`; without one (it could not be taken from
    // the guide) the window holds nothing to register. The window's button.
    RegistrationButton prepare(RegistrationSource source, const std::optional<RegistrationProgramme>& programme);
    bool registerFileOrWeb(RegistrationSource source);
    // Without a task dialog nothing runs (0).
    int registerCapture(RegistrationSource source, ReservationWatch& watch);

    RegistrationPaths paths;
    RegistrationCalls calls;
    TaskRegistrationDialog* taskDialog = nullptr;  // the capture tool's dialog
    RegistrationState state;

private:
    const RegistrationSettings& settings_;
};

}  // namespace corvane
