// The modal channel order dialog (dialog 135, "チャンネル順設定"): one row
// per service with programmes, ticked when it gets a guide column, in the
// guide's column order; "上へ" and "下へ" move the selected rows, "OK" stores
// every row's visibility and position, "キャンセル" stores nothing.
#pragma once

#include <windows.h>

#include "guide/guide_layout.h"
#include "guide/service_preferences.h"
#include "store/epg_store.h"

namespace corvane {

// Runs dialog 135 modally on `owner` over the services the last layout
// listed; returns IDOK (1) or IDCANCEL (2, also when the dialog cannot be
// opened).
int runChannelOrderDialog(HWND owner, const EpgStore* store, const GuideLayout& layout,
                          ServicePreferences& preferences);

}  // namespace corvane
