// The reservation list window (dialog 137): every collected reservation in
// one owner-drawn list (1019) with its channel, date, times and title, its
// recording application and the guide's programme at that time, the
// differing characters of the two in a contrasting colour. A click shows the
// reservation in the guide; a right click on a capture-tool job offers to
// delete the job. Created hidden at start-up, hidden again when closed, and
// destroyed only at exit, when it writes its column widths and placement.
#pragma once

#include <windows.h>

#include <vector>

#include "guide/guide_layout.h"
#include "reserve/job_store.h"
#include "reserve/message_boxes.h"
#include "reserve/reservations.h"
#include "reserve/tunerec_preset.h"
#include "store/epg_store.h"
#include "store/settings.h"

namespace corvane {

// The row menu as a seam: the system's popup menu, or an answer in tests.
class RowMenu {
public:
    virtual ~RowMenu() = default;
    // Shows a menu with the one item (`command`, `text`) at screen point
    // (x, y) over `owner`; answers the command chosen, 0 when none was.
    virtual int choose(HWND owner, int x, int y, int command, const char* text) = 0;
};

// TrackPopupMenu with a menu made for the call.
class PopupRowMenu final : public RowMenu {
public:
    int choose(HWND owner, int x, int y, int command, const char* text) override;
};

// What the window needs of the program around it.
class ReservationListHost {
public:
    virtual ~ReservationListHost() = default;
    // The owner: gets the keyboard focus back when the window is closed.
    virtual HWND mainWindow() = 0;
    // Where "iEpgListDialog" is written when the window goes away.
    virtual Settings& settings() = 0;
    // The services the reservations are matched with; may be null.
    virtual const EpgStore* store() = 0;
    // The guide: its programmes are compared, and a click scrolls it.
    virtual GuideLayout& layout() = 0;
    // The collected reservations; a refresh writes their `guideTitle`.
    virtual ReservationList& reservations() = 0;
    // The capture presets that name the tool instances.
    virtual const std::vector<TunerecPreset>& presets() = 0;
    // Where capture-tool jobs are deleted.
    virtual JobStore& jobs() = 0;
    // Asks before a job is deleted.
    virtual MessageBoxes& messageBoxes() = 0;
    virtual RowMenu& rowMenu() = 0;
    // The next collection reads every reservation source again.
    virtual void resetReservationWatch() = 0;
};

// Creates dialog 137 hidden, owned by host.mainWindow(); it fills itself
// once its messages run. Null on failure.
HWND createReservationListWindow(HINSTANCE instance, ReservationListHost& host);

}  // namespace corvane
