// A guide host without a window: a settable clock and client size, and a
// record of what the layout asked the window to do.
#pragma once

#include <string>
#include <vector>

#include "app/ini_settings.h"
#include "guide/guide_layout.h"
#include "store/epg_store.h"
#include "support/temp_ini.h"

namespace corvane {

class FakeGuideHost : public GuideHost {
public:
    int64_t clock = 0;
    int width = 800;
    int height = 600;
    ScrollBars bars;
    std::vector<Rect> invalidated;
    std::string title;
    GuideMenus menus;

    int64_t now() override { return clock; }
    int clientWidth() override { return width; }
    int clientHeight() override { return height; }
    void publishScrollBars(const ScrollBars& b) override { bars = b; }
    int verticalBarPosition(bool) override { return 0; }
    void invalidate(const Rect& rect, bool) override { invalidated.push_back(rect); }
    void setTitle(const std::string& t) override { title = t; }
    void setGuideMenus(const GuideMenus& m) override { menus = m; }
    void resetReservationWatch() override {}
    void refreshGenreList() override {}
};

// A layout over an empty store, with a settings file of its own, the view
// settings and a fake host: what every guide test starts from.
struct LayoutRig {
    explicit LayoutRig(const char* tag) : ini(tag) {}

    TempIniFile ini;
    IniFileSettings settings{ini.path()};
    ViewSettings view;
    FakeGuideHost host;
    StorePtr store{createStore()};
    GuideLayout layout{host, settings, view};
};

}  // namespace corvane
