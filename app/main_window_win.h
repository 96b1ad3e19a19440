// The main window: the guide, the menu commands, mouse scrolling, the
// housekeeping timer and the window's own placement.
#pragma once

#include <windows.h>

#include <string>

#include "app/app_state_win.h"
#include "guide/guide_layout.h"

namespace corvane {

// The layout's view of the main window: clock, client size, scroll bars,
// invalidation, title and the menus of the data.
class MainWindowHost : public GuideHost {
public:
    explicit MainWindowHost(AppState& app) : app_(app) {}
    int64_t now() override;
    int clientWidth() override;
    int clientHeight() override;
    void publishScrollBars(const ScrollBars& bars) override;
    int verticalBarPosition(bool tracking) override;
    void invalidate(const Rect& rect, bool erase) override;
    void setTitle(const std::string& title) override;
    void setGuideMenus(const GuideMenus& menus) override;
    void resetReservationWatch() override;
    void refreshGenreList() override;

private:
    AppState& app_;
};

// Messages other windows send the main window's companions.
constexpr UINT kRefreshGenreListMessage = WM_APP + 1;

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void showAboutDialog(HWND owner);

// Common steps of the commands.
void returnToListView(AppState& app);
void refreshGuide(AppState& app);
void afterLoad(AppState& app);

}  // namespace corvane
