// A guide host without a window: a settable clock and client size, and a
// record of what the layout asked the window to do.
#pragma once

#include <string>
#include <vector>

#include "app/service_settings.h"
#include "guide/guide_layout.h"
#include "guide/guide_paint.h"
#include "store/epg_store.h"
#include "store/ini_settings.h"
#include "support/recording_paint_surface.h"
#include "support/temp_ini.h"

namespace corvane {

class FakeGuideHost : public GuideHost {
public:
    int64_t clock = 0;
    int width = 800;
    int height = 600;
    ScrollBars bars;
    std::vector<Rect> invalidated;

    int64_t now() override { return clock; }
    int clientWidth() override { return width; }
    int clientHeight() override { return height; }
    void publishScrollBars(const ScrollBars& b) override { bars = b; }
    int verticalBarPosition(bool) override { return 0; }
    void invalidate(const Rect& rect, bool) override { invalidated.push_back(rect); }
};

// A layout over an empty store, with a settings file of its own for the
// per-service preferences, the view settings and a fake host: what every
// guide test starts from.
struct LayoutRig {
    explicit LayoutRig(const char* tag) : ini(tag) {}

    // Paints the view as the window does (the layout keeps the title blocks,
    // column places and content size it measured) on a recording surface.
    PaintResult paintOn(RecordingPaintSurface& surface, const PaintInputs& inputs = PaintInputs{}) {
        return paintGuideView(layout, store.get(), inputs, PaintMoment{host.clock, host.width, host.height, false},
                              surface);
    }

    TempIniFile ini;
    IniFileSettings settings{ini.path()};
    SettingsServicePreferences preferences{settings};
    ViewSettings view;
    FakeGuideHost host;
    StorePtr store{createStore()};
    GuideLayout layout{host, preferences, view};
};

}  // namespace corvane
