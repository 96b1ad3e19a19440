// The update information window (dialog 129, "更新情報"): every change the
// detection found in newer guide data, one owner-drawn row each (list 1019)
// with its channel, date and the programme before and after, the differing
// characters of the two versions in red. A click frames the programme in
// the guide; "クリア" discards the changes listed. Created hidden at start-up,
// hidden again when closed, destroyed only at exit, when it writes its column
// widths and placement.
#pragma once

#include <windows.h>

#include "guide/guide_layout.h"
#include "guide/highlight.h"
#include "reserve/change_detection.h"
#include "store/epg_store.h"
#include "store/settings.h"

namespace corvane {

// What the window needs of the program around it.
class UpdateInfoHost {
public:
    virtual ~UpdateInfoHost() = default;
    // The guide's window: repainted when a programme is framed or the frame
    // goes, focused when this window closes.
    virtual HWND mainWindow() = 0;
    // Where "UpdateDialog" is read and written.
    virtual Settings& settings() = 0;
    // The services the changes are named after; may be null.
    virtual const EpgStore* store() = 0;
    // The guide a click scrolls.
    virtual GuideLayout& layout() = 0;
    // The changes found so far; "クリア" takes the listed ones from its front.
    virtual ChangeList& changes() = 0;
    // The programme the guide frames for this window.
    virtual HighlightedProgramme& highlight() = 0;
};

// Creates dialog 129 hidden, owned by host.mainWindow(). Null on failure.
HWND createUpdateInfoWindow(HINSTANCE instance, UpdateInfoHost& host);

// The record index (row value) of the row at `position` of the window's
// list; -1 when there is none. Rows are virtual: the list holds no values.
int64_t updateInfoRowValue(HWND window, int position);

}  // namespace corvane
