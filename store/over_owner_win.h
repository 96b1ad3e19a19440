// Dialogs that open over the window that opened them: the system's file,
// folder and program choosers and dialogs without a place of their own
// would otherwise open at their owner's top-left corner (under Wine, and for
// a template at 0, 0 on Windows too), far from where the user is looking.
#pragma once

#include <windows.h>

namespace corvane {

// While it lives, the first window this thread activates that `owner` owns
// is moved so that it stands centred over `owner`, kept inside the work area
// of the owner's monitor. Made just before the call that opens the dialog.
class OpensOverOwner {
public:
    explicit OpensOverOwner(HWND owner);
    ~OpensOverOwner();
    OpensOverOwner(const OpensOverOwner&) = delete;
    OpensOverOwner& operator=(const OpensOverOwner&) = delete;

private:
    HHOOK hook_ = nullptr;
};

// Moves `window` so that it stands centred over `owner`, inside the work
// area of the owner's monitor.
void centreOverOwner(HWND window, HWND owner);

}  // namespace corvane
