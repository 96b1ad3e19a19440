#include "app/guide_keys_win.h"

#include <algorithm>
#include <optional>

#include "guide/guide_navigation.h"
#include "resources/resource.h"

namespace corvane {

namespace {

// What a title block is taken to be before it was ever painted: the minute
// and a line of title. The paint that follows the scroll measures it.
constexpr int kUnpaintedTitleHeight = 32;

ClientSize clientOf(AppState& app) { return {app.guideHost.clientWidth(), app.guideHost.clientHeight()}; }

// The rows at the top of the grid the find bar covers while it shows.
int coveredByFindBar(const AppState& app) {
    if (!app.findBar || !IsWindowVisible(app.findBar)) return 0;
    RECT bar{};
    GetWindowRect(app.findBar, &bar);
    MapWindowPoints(nullptr, app.mainWindow, reinterpret_cast<POINT*>(&bar), 2);
    return std::max(0, static_cast<int>(bar.bottom) - kHeaderHeight);
}

// Scrolls the least that shows the place's title block whole, and paints at
// once so that the block's measured height corrects a guessed one.
void scrollToShow(AppState& app, GuidePlace place) {
    GuideLayout& layout = *app.layout;
    for (int pass = 0; pass < 2; ++pass) {
        const ScrollPosition to =
            scrollShowing(layout, place, clientOf(app), kUnpaintedTitleHeight, coveredByFindBar(app));
        if (to == ScrollPosition{layout.view.scrollX, layout.view.scrollY}) break;
        layout.view.scrollX = to.x;
        layout.view.scrollY = to.y;
        layout.updateScrollBars();
        InvalidateRect(app.mainWindow, nullptr, FALSE);
        UpdateWindow(app.mainWindow);
    }
}

void select(AppState& app, GuidePlace place) {
    GuideLayout& layout = *app.layout;
    app.keyboardColumn = place.column;
    scrollToShow(app, place);
    const GuideColumn& column = layout.currentColumns()[place.column];
    const Rect block = titleBlockRect(layout, place, kUnpaintedTitleHeight);
    POINT corners[2] = {{block.left, block.top}, {block.right, block.bottom}};
    MapWindowPoints(app.mainWindow, nullptr, corners, 2);
    const RECT screen{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    showPopupForKeyboard(app.popupHost, app.popupWindow, Selection{column.service, place.event}, screen);
}

// An arrow: from the selection, or onto the first programme with none.
void moveSelection(AppState& app, WPARAM key) {
    GuideLayout& layout = *app.layout;
    const std::optional<GuidePlace> from = placeOfSelection(layout, layout.view.selection, app.keyboardColumn);
    std::optional<GuidePlace> to;
    if (!from) {
        to = firstPlace(layout, clientOf(app), app.clock->now());
    } else if (key == VK_UP || key == VK_DOWN) {
        to = stepInColumn(layout, *from, key == VK_UP ? -1 : 1);
    } else {
        to = stepAcross(layout, *from, key == VK_LEFT ? -1 : 1);
    }
    if (to) select(app, *to);
}

// A scroll from the keyboard lets go of the selection, as a drag does.
void letGo(AppState& app) {
    app.layout->view.selection = Selection{};
    hidePopup(app.popupWindow);
}

void scrollDays(AppState& app, int direction) {
    GuideLayout& layout = *app.layout;
    if (layout.listView()) {
        if (const std::optional<int> y = dayStepScrollY(layout, direction)) layout.scrollVertical(kScrollTo, *y);
    } else if (const std::optional<int> x = dayColumnStepScrollX(layout, direction)) {
        layout.scrollHorizontal(kScrollTo, *x);
    }
}

// The popup's registration button, when it shows one.
void registerSelection(AppState& app) {
    if (!app.layout->selectedEvent() || !popupShown(app.popupWindow)) return;
    HWND button = GetDlgItem(app.popupWindow, IDOK);
    if (button && IsWindowVisible(button) && IsWindowEnabled(button))
        SendMessageA(app.mainWindow, WM_COMMAND, IDM_POPUP_REGISTER, 0);
}

}  // namespace

bool selectProgramme(AppState& app, Selection selection) {
    const std::optional<GuidePlace> place = placeOfSelection(*app.layout, selection);
    if (!place) return false;
    select(app, *place);
    return true;
}

bool guideTakesKey(WPARAM key) {
    switch (key) {
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
        case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_RETURN: case VK_ESCAPE:
            return true;
        default:
            return false;
    }
}

bool onGuideKey(AppState& app, WPARAM key) {
    GuideLayout& layout = *app.layout;
    if (!guideTakesKey(key) || layout.view.guideBegin == 0) return false;
    // A click may have left the focus in the popup; the guide takes it back.
    if (GetFocus() != app.mainWindow) SetFocus(app.mainWindow);
    const bool control = keyHeld(VK_CONTROL), shift = keyHeld(VK_SHIFT);
    switch (key) {
        case VK_UP:
        case VK_DOWN:
            if (control) {
                letGo(app);
                layout.scrollVertical(key == VK_UP ? kScrollLineUp : kScrollLineDown, 0);
            } else {
                moveSelection(app, key);
            }
            return true;
        case VK_LEFT:
        case VK_RIGHT:
            if (control) {
                letGo(app);
                scrollDays(app, key == VK_LEFT ? -1 : 1);
            } else {
                moveSelection(app, key);
            }
            return true;
        case VK_PRIOR:
        case VK_NEXT: {
            letGo(app);
            const bool back = key == VK_PRIOR;
            if (shift) {
                const int page = columnPagePixels(layout.geometry(), clientOf(app));
                layout.scrollHorizontal(kScrollTo, layout.view.scrollX + (back ? -page : page));
            } else {
                // As the wheel over the time column: a screen of time.
                layout.scrollByWheel(0, kHeaderHeight, back);
            }
            return true;
        }
        case VK_HOME:
            letGo(app);
            layout.jumpToNow();
            return true;
        case VK_RETURN: {
            // The Enter character the key made would end the registration
            // menu the moment it opened.
            MSG character;
            if (PeekMessageA(&character, app.mainWindow, WM_CHAR, WM_CHAR, PM_NOREMOVE) && character.wParam == '\r')
                PeekMessageA(&character, app.mainWindow, WM_CHAR, WM_CHAR, PM_REMOVE);
            registerSelection(app);
            return true;
        }
        case VK_ESCAPE:
            letGo(app);
            return true;
        default:
            return false;
    }
}

}  // namespace corvane
