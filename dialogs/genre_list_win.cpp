#include "dialogs/genre_list_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/genre_list.h"
#include "dialogs/genre_list_settings.h"
#include "dialogs/guide_cover_win.h"
#include "guide/genre_table.h"
#include "dialogs/list_rows_win.h"
#include "resources/resource.h"
#include "store/dialog_state_win.h"
#include "store/event_decode.h"

namespace corvane {

namespace {

constexpr COLORREF kDescriptionBackground = 0xe5ffff;

struct SplitterDrag {
    SplitterBand band = SplitterBand::none;  // under the mouse while a size cursor shows
    bool dragging = false;
    int startX = 0, startY = 0;  // the splitters when the drag began
    POINT press{};
    HCURSOR cursorBefore = nullptr;
    HCURSOR classCursorBefore = nullptr;
};

struct GenreListState {
    explicit GenreListState(GenreListHost& h) : host(h) {}
    GenreListHost& host;
    int splitX = -1;  // -1 until the first layout
    int splitY = -1;
    int clientHeight = 0;  // at the last layout: the list and the details keep their shares
    GenreListSort sort;
    GenreFilter filter;     // of the tree's selection at the last refill
    ProgrammeRef selected;  // shown in the detail pane; service -1: none
    SplitterDrag drag;
    HBRUSH descriptionBrush = nullptr;
};

// The window made last: the one the guide refills after its rebuilds.
HWND rememberedWindow = nullptr;

using OwnedState = OwnedDialogState<GenreListState>;

GenreListState* stateOf(HWND window) { return OwnedState::of(window); }

HWND control(HWND window, int id) { return GetDlgItem(window, id); }

// ---------------------------------------------------------------------------
// Tree and list
// ---------------------------------------------------------------------------

HTREEITEM insertTreeItem(HWND tree, HTREEITEM parent, const char* name, int value) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(name);
    insert.item.lParam = value;
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void buildGenreTree(HWND tree) {
    for (int major = 0; major < GenreTable::majorCount; ++major) {
        HTREEITEM root = insertTreeItem(tree, nullptr, GenreTable::majorName(major), major);
        for (int sub = 0; sub < GenreTable::subGenreCount(major); ++sub)
            insertTreeItem(tree, root, GenreTable::subGenreName(major, sub), sub);
    }
}

int treeItemValue(HWND tree, HTREEITEM item) {
    TVITEMA data{};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return static_cast<int>(data.lParam);
}

GenreFilter selectedFilter(HWND tree) {
    HTREEITEM selected = TreeView_GetSelection(tree);
    if (!selected) return {};
    HTREEITEM parent = TreeView_GetParent(tree, selected);
    return genreFilterOf(treeItemValue(tree, selected),
                         parent ? std::optional<int>(treeItemValue(tree, parent)) : std::nullopt);
}

int64_t rowKey(HWND list, int row) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
    return static_cast<int64_t>(item.lParam);
}

// The cell's text is asked for whenever it is needed.
void setCellCallback(HWND list, int row, int column) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

// ---------------------------------------------------------------------------
// Detail pane, refill, sorting
// ---------------------------------------------------------------------------

void clearDetails(HWND window) {
    SetDlgItemTextA(window, IDC_GENRE_DESCRIPTION, "");
    SetDlgItemTextA(window, IDC_GENRE_HEADER, "");
}

const GuideEvent* selectedEvent(GenreListState& s) {
    if (s.selected.service < 0) return nullptr;
    return eventOfRowKey(s.host.layout().events, genreRowKey(s.selected.service, s.selected.event));
}

// Shows the programme of a row in the detail pane and prepares its
// registration. A key that names no programme is ignored.
void showDetails(HWND window, GenreListState& s, int64_t key) {
    GuideLayout& layout = s.host.layout();
    const GuideEvent* event = eventOfRowKey(layout.events, key);
    if (!event) return;
    const ProgrammeRef ref = *decodeRowKey(key);
    clearDetails(window);
    s.selected = ref;
    SetDlgItemTextA(window, IDC_GENRE_HEADER,
                    genreListHeader(layout.channels[ref.service].columnName, s.filter, event->start, event->end,
                                    event->videoType)
                        .c_str());
    SetDlgItemTextA(window, IDC_GENRE_DESCRIPTION,
                    describeProgramme(s.host.store(), ref.service, event->start, event->title, event->detail)
                        .c_str());
    s.host.prepareRegistration(window, ref.service, *event);
}

// The rows are ordered in memory and inserted in one pass while the list
// does not draw; it repaints once at the end. Rows hold only their keys: the
// texts are given when the list draws or reads a cell (LVN_GETDISPINFO).
void refill(HWND window, GenreListState& s) {
    HWND list = control(window, IDC_GENRE_EVENTS);
    const EpgStore* store = s.host.store();
    GuideLayout& layout = s.host.layout();
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    clearDetails(window);
    s.selected = ProgrammeRef{};
    s.sort.reset();
    showSortArrow(list, -1, false);
    s.filter = selectedFilter(control(window, IDC_GENRE_TREE));
    char query[256] = {};
    GetDlgItemTextA(window, IDC_GENRE_SEARCH, query, sizeof query);
    const std::vector<int64_t> rows =
        rowsWithTitleWords(layout.events, genreListRows(layout.events, store->serviceCount, s.filter), query);
    SendMessageA(list, LVM_SETITEMCOUNT, rows.size(), 0);
    for (size_t i = 0; i < rows.size(); ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        item.pszText = LPSTR_TEXTCALLBACKA;
        item.lParam = static_cast<LPARAM>(rows[i]);
        const int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (row < 0) break;
        setCellCallback(list, row, kGenreColumnDate);
        setCellCallback(list, row, kGenreColumnTitle);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    if (!rows.empty()) showDetails(window, s, rows[0]);
}

struct SortContext {
    const EpgStore* store;
    const GuideLayout* layout;
    int column;
    int flag;
};

int CALLBACK compareRows(LPARAM key1, LPARAM key2, LPARAM context) {
    const SortContext& c = *reinterpret_cast<const SortContext*>(context);
    return compareGenreRows(*c.store, c.layout->events, c.column, c.flag, key1, key2);
}

void sortByColumn(HWND window, GenreListState& s, int column) {
    const int flag = s.sort.flip(column);
    const EpgStore* store = s.host.store();
    if (flag < 0 || !store) return;
    SortContext context{store, &s.host.layout(), column, flag};
    HWND list = control(window, IDC_GENRE_EVENTS);
    SendMessageA(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context), reinterpret_cast<LPARAM>(compareRows));
    showSortArrow(list, column, flag == 1);
}

// The text of a cell, asked for when the list draws or reads it.
std::string cellText(GenreListState& s, int64_t key, int column) {
    GuideLayout& layout = s.host.layout();
    const GuideEvent* event = eventOfRowKey(layout.events, key);
    if (!event) return {};
    switch (column) {
        case kGenreColumnChannel: return layout.channels[decodeRowKey(key)->service].columnName;
        case kGenreColumnDate: return genreListDateText(event->start);
        case kGenreColumnTitle: return event->title;
        default: return {};
    }
}

GenreRowColors rowColors(GenreListState& s, int row, int64_t key) {
    static const ReservationList none;
    const EpgStore* store = s.host.store();
    const GuideEvent* event = store ? eventOfRowKey(s.host.layout().events, key) : nullptr;
    const int service = static_cast<int>(key % kRowKeyServiceSpan);
    if (!event || service >= store->serviceCount) return genreRowColors(row, ListedProgramme{}, none);
    const ServiceRecord& record = *store->services[service];
    return genreRowColors(row, ListedProgramme{record.serviceId, record.networkClass(), event->start, event->end},
                          s.host.reservations());
}

LRESULT customDraw(GenreListState& s, NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
            const GenreRowColors colors =
                rowColors(s, static_cast<int>(draw.nmcd.dwItemSpec), static_cast<int64_t>(draw.nmcd.lItemlParam));
            draw.clrTextBk = colors.background;
            if (colors.text) draw.clrText = *colors.text;
            return CDRF_NEWFONT;
        }
        default: return CDRF_DODEFAULT;
    }
}

// "番組表": the selected programme becomes the guide's highlighted programme
// and the guide scrolls to it.
void showInGuide(HWND window, GenreListState& s) {
    const GuideEvent* event = selectedEvent(s);
    const EpgStore* store = s.host.store();
    if (!event || !store || s.selected.service >= store->serviceCount) return;
    const ServiceRecord& record = *store->services[s.selected.service];
    HighlightedProgramme& highlight = s.host.highlight();
    highlight = HighlightedProgramme{HighlightOwner::genreList, record.serviceId, record.networkClass(), event->start,
                                     event->end, -1};
    const std::optional<Rect> covered = guideAreaCoveredBy(window, s.host.mainWindow());
    highlight.dayColumn = s.host.layout().showProgramme(s.selected.service, highlight.start, highlight.end,
                                                        covered ? &*covered : nullptr);
    InvalidateRect(s.host.mainWindow(), nullptr, FALSE);
}

// "EPG登録": registers the programme of the detail pane; nothing while the
// pane is empty (a genre without programmes), even when an earlier one was
// prepared.
void registerSelected(HWND window, GenreListState& s) {
    if (selectedEvent(s)) s.host.executeRegistration(window);
}

// ---------------------------------------------------------------------------
// Layout and splitters
// ---------------------------------------------------------------------------

int widthOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r.right - r.left;
}

void place(HWND window, const ControlBox& box) { MoveWindow(window, box.x, box.y, box.width, box.height, TRUE); }

void layoutControls(HWND window, const GenreListState& s, bool hideButtons) {
    RECT client{};
    GetClientRect(window, &client);
    HWND registerButton = control(window, IDC_GENRE_REGISTER);
    HWND showButton = control(window, IDC_GENRE_SHOW);
    const GenreListLayout layout =
        genreListLayout(client.right, client.bottom, s.splitX, s.splitY, widthOf(registerButton), widthOf(showButton));
    if (hideButtons) {
        ShowWindow(registerButton, SW_HIDE);
        ShowWindow(showButton, SW_HIDE);
    }
    place(control(window, IDC_GENRE_TREE), layout.tree);
    place(control(window, IDC_GENRE_SEARCH), layout.search);
    place(control(window, IDC_GENRE_EVENTS), layout.list);
    place(control(window, IDC_GENRE_HEADER), layout.header);
    place(control(window, IDC_GENRE_DESCRIPTION), layout.description);
    const UINT keepSize = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(registerButton, nullptr, layout.registerX, layout.registerY, 0, 0, keepSize);
    SetWindowPos(showButton, nullptr, layout.showX, layout.showY, 0, 0, keepSize);
    if (hideButtons) {
        ShowWindow(registerButton, SW_SHOW);
        ShowWindow(showButton, SW_SHOW);
    }
    // The window erases what the moves uncovered, and with it the buttons'
    // new places: they are drawn again after that, whole.
    for (HWND button : {registerButton, showButton})
        if (IsWindowVisible(button)) RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void restoreCursor(HWND window, GenreListState& s) {
    SplitterDrag& drag = s.drag;
    if (drag.band == SplitterBand::none) return;
    drag.band = SplitterBand::none;  // first: releasing the capture comes back here
    drag.dragging = false;
    SetClassLongPtrA(window, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(drag.classCursorBefore));
    SetCursor(drag.cursorBefore);
    if (GetCapture() == window) ReleaseCapture();
}

void showSizeCursor(HWND window, GenreListState& s, SplitterBand band) {
    SplitterDrag& drag = s.drag;
    HCURSOR size = LoadCursorA(nullptr, band == SplitterBand::vertical ? IDC_SIZEWE : IDC_SIZENS);
    if (drag.band == SplitterBand::none) {
        // Without a class cursor the size cursor stays while the mouse moves.
        drag.classCursorBefore = reinterpret_cast<HCURSOR>(SetClassLongPtrA(window, GCLP_HCURSOR, 0));
        drag.cursorBefore = SetCursor(size);
        SetCapture(window);
    } else if (drag.band != band) {
        SetCursor(size);
    }
    drag.band = band;
}

void onMouseMove(HWND window, GenreListState& s, int x, int y) {
    SplitterDrag& drag = s.drag;
    RECT client{};
    GetClientRect(window, &client);
    if (drag.dragging) {
        if (drag.band == SplitterBand::vertical)
            s.splitX = draggedSplitterX(drag.startX, drag.press.x, x, client.right);
        else
            s.splitY = draggedSplitterY(drag.startY, drag.press.y, y, client.bottom);
        layoutControls(window, s, false);
        return;
    }
    const POINT point{x, y};
    const SplitterBand band = PtInRect(&client, point) ? splitterBandAt(x, y, s.splitX, s.splitY) : SplitterBand::none;
    if (band == SplitterBand::none)
        restoreCursor(window, s);
    else
        showSizeCursor(window, s, band);
}

void onButtonDown(GenreListState& s, int x, int y) {
    SplitterDrag& drag = s.drag;
    if (drag.band == SplitterBand::none) return;
    drag.dragging = true;
    drag.startX = s.splitX;
    drag.startY = s.splitY;
    drag.press = POINT{x, y};
}

// ---------------------------------------------------------------------------
// Life of the window
// ---------------------------------------------------------------------------

// The tree's width that shows the longest genre name whole in its own font:
// a sub-genre two indents in, a genre one, beside the scroll bar.
int treeWidthForNames(HWND tree) {
    HDC dc = GetDC(tree);
    HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(tree, WM_GETFONT, 0, 0)));
    const int indent = static_cast<int>(SendMessageA(tree, TVM_GETINDENT, 0, 0));
    int widest = 0;
    auto measure = [&](const char* name, int depth) {
        SIZE size{};
        GetTextExtentPoint32A(dc, name, lstrlenA(name), &size);
        widest = std::max(widest, depth * indent + static_cast<int>(size.cx));
    };
    for (int major = 0; major < GenreTable::majorCount; ++major) {
        measure(GenreTable::majorName(major), 1);
        for (int sub = 0; sub < GenreTable::subGenreCount(major); ++sub) measure(GenreTable::subGenreName(major, sub), 2);
    }
    SelectObject(dc, before);
    ReleaseDC(tree, dc);
    constexpr int kTextMargins = 8;  // around the text of an item, and the tree's border
    return widest + kTextMargins + GetSystemMetrics(SM_CXVSCROLL) + 2 * GetSystemMetrics(SM_CXEDGE);
}

// The client area has its new size: the splitters follow it, the controls them.
void resize(HWND window, GenreListState& s, int width, int height) {
    const Splitters splitters = resizedSplitters({s.splitX, s.splitY}, s.clientHeight, width, height);
    s.splitX = splitters.x;
    s.splitY = splitters.y;
    s.clientHeight = height;
    layoutControls(window, s, true);
}

void initialise(HWND window, GenreListState& s) {
    RECT r{};
    GetWindowRect(window, &r);
    HWND tree = control(window, IDC_GENRE_TREE);
    GenreListSettings own;  // the dialog template's place and size, a tree as wide as the names
    own.x = r.left;
    own.y = r.top;
    own.width = r.right - r.left;
    own.height = r.bottom - r.top;
    own.splitX = treeWidthForNames(tree) + kSplitterMinimum;
    const GenreListSettings stored = readGenreListSettings(s.host.settings(), own);

    HWND list = control(window, IDC_GENRE_EVENTS);
    static const char* const titles[kGenreColumnCount] = {"CH", "日時", "番組名"};
    addListColumns(list, titles, stored.columnWidths, kGenreColumnCount);
    buildGenreTree(tree);
    s.descriptionBrush = CreateSolidBrush(kDescriptionBackground);
    // What the empty search box is for, in grey.
    SendDlgItemMessageW(window, IDC_GENRE_SEARCH, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"番組名で絞り込み"));
    // Long extended texts are never cut.
    SendDlgItemMessageA(window, IDC_GENRE_DESCRIPTION, EM_SETLIMITTEXT, 0, 0);
    // Selecting the first root refills through TVN_SELCHANGED.
    TreeView_SelectItem(tree, TreeView_GetRoot(tree));
    refillGenreList(window);

    MoveWindow(window, stored.x, stored.y, stored.width, stored.height, FALSE);
    // Stored splitters are held inside the first client area as on every
    // size change, so that tree, list and details all keep some room.
    RECT client{};
    GetClientRect(window, &client);
    s.splitX = stored.splitX;
    s.splitY = stored.splitY;
    resize(window, s, client.right, client.bottom);
}

void close(HWND window, GenreListState& s) {
    ShowWindow(window, SW_HIDE);
    InvalidateRect(s.host.mainWindow(), nullptr, FALSE);
    SetFocus(s.host.mainWindow());
}

void writeSettings(HWND window, GenreListState& s) {
    GenreListSettings values;
    HWND list = control(window, IDC_GENRE_EVENTS);
    for (int i = 0; i < kGenreColumnCount; ++i)
        values.columnWidths[i] = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0));
    values.splitX = s.splitX;
    values.splitY = s.splitY;
    const RECT r = restoredWindowRect(window);
    values.x = r.left;
    values.y = r.top;
    values.width = r.right - r.left;
    values.height = r.bottom - r.top;
    writeGenreListSettings(s.host.settings(), values);
}

INT_PTR reply(HWND window, LRESULT result) {
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR onNotify(HWND window, GenreListState& s, const NMHDR& header, LPARAM lParam) {
    if (header.idFrom == IDC_GENRE_TREE && (header.code == TVN_SELCHANGEDA || header.code == TVN_SELCHANGEDW)) {
        refillGenreList(window);
        return TRUE;
    }
    if (header.idFrom != IDC_GENRE_EVENTS) return FALSE;
    switch (header.code) {
        case NM_CUSTOMDRAW: return reply(window, customDraw(s, *reinterpret_cast<NMLVCUSTOMDRAW*>(lParam)));
        case NM_CLICK: {
            // Only a click shows a row's programme; moving the selection with
            // the keyboard leaves the detail pane as it is.
            const int row = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
            if (row >= 0) showDetails(window, s, rowKey(header.hwndFrom, row));
            return TRUE;
        }
        case LVN_DELETEALLITEMS: return reply(window, TRUE);  // no LVN_DELETEITEM per row
        case LVN_GETDISPINFOA: {
            NMLVDISPINFOA& info = *reinterpret_cast<NMLVDISPINFOA*>(lParam);
            if ((info.item.mask & LVIF_TEXT) && info.item.pszText && info.item.cchTextMax > 0)
                lstrcpynA(info.item.pszText, cellText(s, info.item.lParam, info.item.iSubItem).c_str(), info.item.cchTextMax);
            return TRUE;
        }
        case LVN_GETDISPINFOW: {
            NMLVDISPINFOW& info = *reinterpret_cast<NMLVDISPINFOW*>(lParam);
            if ((info.item.mask & LVIF_TEXT) && info.item.pszText && info.item.cchTextMax > 0) {
                const std::string text = cellText(s, info.item.lParam, info.item.iSubItem);
                const int n = MultiByteToWideChar(932, 0, text.c_str(), -1, info.item.pszText, info.item.cchTextMax);
                if (n == 0) info.item.pszText[info.item.cchTextMax - 1] = L'\0';
            }
            return TRUE;
        }
        case NM_DBLCLK: PostMessageA(window, WM_COMMAND, IDC_GENRE_SHOW, 0); return TRUE;
        case LVN_COLUMNCLICK: sortByColumn(window, s, reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem); return TRUE;
        default: return FALSE;
    }
}

// Enter on a row of the list: what a double click does, the detail pane
// first (moving with the arrows leaves it as it was). In the search box:
// on to the rows it left.
void enterOnRow(HWND window, GenreListState& s) {
    HWND list = control(window, IDC_GENRE_EVENTS);
    if (GetFocus() == control(window, IDC_GENRE_SEARCH)) {
        SetFocus(list);
        if (ListView_GetNextItem(list, -1, LVNI_SELECTED) < 0)
            ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        return;
    }
    const int row = GetFocus() == list ? ListView_GetNextItem(list, -1, LVNI_SELECTED) : -1;
    if (row < 0) return;
    showDetails(window, s, rowKey(list, row));
    showInGuide(window, s);
}

INT_PTR onCommand(HWND window, GenreListState& s, int id, int code) {
    switch (id) {
        case IDOK: enterOnRow(window, s); return TRUE;
        case IDC_GENRE_SEARCH:
            if (code == EN_CHANGE) refillGenreList(window);
            return TRUE;
        case IDC_GENRE_REGISTER: registerSelected(window, s); return TRUE;
        case IDC_GENRE_SHOW: showInGuide(window, s); return TRUE;
        case IDM_GENRE_REGISTER_FILE_OR_WEB:
        case IDM_GENRE_REGISTER_TUNEREC: s.host.runRegistrationCommand(window, id); return TRUE;
        case IDCANCEL: close(window, s); return TRUE;
        default: return FALSE;
    }
}

INT_PTR CALLBACK genreListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        GenreListState& state =
            OwnedState::attach(window, std::make_unique<GenreListState>(*reinterpret_cast<GenreListHost*>(lParam)));
        rememberedWindow = window;
        initialise(window, state);
        return FALSE;  // hidden: the focus stays where it is
    }
    GenreListState* s = stateOf(window);
    if (!s) return FALSE;
    switch (message) {
        case WM_NOTIFY: return onNotify(window, *s, *reinterpret_cast<const NMHDR*>(lParam), lParam);
        case WM_COMMAND: return onCommand(window, *s, LOWORD(wParam), HIWORD(wParam));
        case WM_SIZE:
            if (s->splitX != -1 && wParam != SIZE_MINIMIZED) resize(window, *s, LOWORD(lParam), HIWORD(lParam));
            return TRUE;
        case WM_GETMINMAXINFO: {
            const TrackSize size = genreListMinimumTrackSize(GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYCAPTION));
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{size.width, size.height};
            return TRUE;
        }
        case WM_MOUSEMOVE: onMouseMove(window, *s, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return TRUE;
        case WM_LBUTTONDOWN: onButtonDown(*s, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return TRUE;
        case WM_LBUTTONUP:
            if (s->drag.dragging) restoreCursor(window, *s);
            return TRUE;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != window) restoreCursor(window, *s);
            return TRUE;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == control(window, IDC_GENRE_DESCRIPTION) && s->descriptionBrush) {
                SetBkColor(reinterpret_cast<HDC>(wParam), kDescriptionBackground);
                return reinterpret_cast<INT_PTR>(s->descriptionBrush);
            }
            return FALSE;
        case WM_CLOSE: close(window, *s); return TRUE;
        case WM_DESTROY:
            restoreCursor(window, *s);
            writeSettings(window, *s);
            DeleteObject(s->descriptionBrush);
            s->descriptionBrush = nullptr;
            if (rememberedWindow == window) rememberedWindow = nullptr;
            return TRUE;
        case WM_NCDESTROY:
            OwnedState::release(window);
            return FALSE;
        default: return FALSE;
    }
}

}  // namespace

HWND createGenreListWindow(HINSTANCE instance, GenreListHost& host) {
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_GENRE_LIST), host.mainWindow(), genreListProc,
                              reinterpret_cast<LPARAM>(&host));
}

void refillGenreList(HWND window) {
    if (!window) window = rememberedWindow;
    GenreListState* s = window ? stateOf(window) : nullptr;
    if (!s || !s->host.store()) return;
    refill(window, *s);
}

void prepareGenreListRegistrationAgain(HWND window) {
    if (!window) window = rememberedWindow;
    GenreListState* s = window ? stateOf(window) : nullptr;
    const GuideEvent* event = s ? selectedEvent(*s) : nullptr;
    if (event) s->host.prepareRegistration(window, s->selected.service, *event);
}

}  // namespace corvane
