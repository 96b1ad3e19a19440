#include "reserve/registration.h"

#include "store/file_io.h"
#include "store/invariant.h"
#include "store/service_identity.h"

namespace corvane {

namespace {

// Starts `commandLine`'s program, or says it could not: an empty program name
// is not tried.
bool started(const std::string& program, const std::string& commandLine, ProcessStarter& processes) {
    return !program.empty() && processes.start(commandLine);
}

void showFailure(MessageBoxes& messages, const char* text = kRegistrationFailedText) {
    messages.show(text, kRegistrationCaption, kRegistrationFailedStyle);
}

bool registerWithEpgTimer(const RegistrationProgramme& programme, RegistrationSource source,
                          const std::string& application, const RegistrationPaths& paths,
                          RegistrationCalls& calls) {
    const std::string line = epgTimerLine(source, programme);
    // Without a Documents folder there is no reservation file to append to.
    if (!writeWholeFile(paths.registrationFile, line) || paths.epgTimerFile.empty() ||
        !appendLineToFile(paths.epgTimerFile, line)) {
        showFailure(calls.messages);
        return false;
    }
    if (!started(application, quotedCommandLine(application), calls.processes))
        showFailure(calls.messages, kEpgTimerNotStartedText);
    return true;
}

// The application gets a file of its own, which no later selection rewrites
// while it starts; the registration file holds the same text.
bool registerWithIEpgApplication(const RegistrationProgramme& programme, const std::string& application,
                                 const RegistrationPaths& paths, RegistrationCalls& calls) {
    const std::string text = iEpgText(programme);
    if (!writeWholeFile(paths.registrationFile, text) || !writeWholeFile(paths.handOverFile, text) ||
        !started(application, quotedCommandLine(application, paths.handOverFile), calls.processes)) {
        showFailure(calls.messages);
        return false;
    }
    return true;
}

}  // namespace

std::optional<RegistrationProgramme> registrationProgramme(const EpgStore& store,
                                                           std::span<const ChannelInfo> channels,
                                                           int channel, const GuideEvent& event) {
    if (channel < 0 || channel >= store.serviceCount || static_cast<size_t>(channel) >= channels.size() ||
        !store.services[channel])
        return std::nullopt;
    const ServiceRecord& record = *store.services[channel];
    const ChannelInfo& info = channels[static_cast<size_t>(channel)];
    RegistrationProgramme programme;
    programme.event = event;
    programme.channel = channel;
    programme.stationName = info.stationName;
    programme.vurdaChNo = info.vurdaChNo;
    programme.stationLabel = stationLabel(decodedName(record.serviceName, record.serviceNameLength),
                                          record.serviceId, record.networkWord);
    programme.serviceId = record.serviceId;
    programme.physicalChannel = record.physicalChannel();
    return programme;
}

std::string registrationFileText(RegistrationTarget target, RegistrationSource source,
                                 const RegistrationProgramme& programme) {
    switch (target) {
        case RegistrationTarget::epgTimer: return epgTimerLine(source, programme);
        case RegistrationTarget::tvRock: return "";
        case RegistrationTarget::iEpg: break;
    }
    return iEpgText(programme);
}

RegistrationButton prepareRegistration(SourceRegistration& state, RegistrationSource source,
                                       const RegistrationProgramme& programme,
                                       const RegistrationSwitches& switches,
                                       const std::string& registrationFile) {
    state.programme = programme;
    if (switches.fileOrWeb) {
        if (switches.target == RegistrationTarget::tvRock)
            state.tvRock = PendingTvRockCommand{programme.serviceId, programme.event.eventId};
        writeWholeFile(registrationFile, registrationFileText(switches.target, source, programme));
    }
    if (switches.capture) state.capture = PendingCaptureEvent{programme.event, programme.channel};
    return registrationButton(source, switches);
}

bool registerFileOrWeb(SourceRegistration& state, RegistrationSource source,
                       const RegistrationSwitches& switches, const std::string& application,
                       const std::string& hostName, const RegistrationPaths& paths, RegistrationCalls& calls) {
    if (!switches.fileOrWeb || !state.programme) return false;
    const RegistrationProgramme& programme = *state.programme;
    switch (switches.target) {
        case RegistrationTarget::epgTimer:
            return registerWithEpgTimer(programme, source, application, paths, calls);
        case RegistrationTarget::tvRock:
            state.tvRock = PendingTvRockCommand{programme.serviceId, programme.event.eventId};
            return sendTvRockCommand(state.tvRock.serviceId, state.tvRock.eventId, hostName, calls.sockets,
                                     calls.messages);
        case RegistrationTarget::iEpg: break;
    }
    return registerWithIEpgApplication(programme, application, paths, calls);
}

int registerCapture(SourceRegistration& state, const RegistrationSwitches& switches,
                    TaskRegistrationDialog& taskDialog, ReservationWatch& watch) {
    if (!switches.capture || !state.programme) return 0;
    state.capture = PendingCaptureEvent{state.programme->event, state.programme->channel};
    const int result = taskDialog.run(state.capture);
    if (result == 1) watch.reset();
    return result;
}

RegistrationButton Registrations::prepare(RegistrationSource source,
                                          const std::optional<RegistrationProgramme>& programme) {
    if (!programme) {
        state.of(source).programme.reset();
        return registrationButton(source, switches());
    }
    return prepareRegistration(state.of(source), source, *programme, switches(), paths.registrationFile);
}

bool Registrations::registerFileOrWeb(RegistrationSource source) {
    return corvane::registerFileOrWeb(state.of(source), source, switches(), settings_.fileName, settings_.hostName,
                                      paths, calls);
}

int Registrations::registerCapture(RegistrationSource source, ReservationWatch& watch) {
    if (reportIf(!taskDialog, "a capture registration without its task dialog")) return 0;
    return corvane::registerCapture(state.of(source), switches(), *taskDialog, watch);
}

}  // namespace corvane
