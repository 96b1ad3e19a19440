#include "dialogs/list_rows_win.h"

#include "resources/resource.h"

namespace corvane {

namespace {

constexpr int kFirstPieceMargin = 2;
constexpr int kRightAlignedMargin = 6;

void fillRect(HDC dc, const RECT& rect, uint32_t color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

UINT alignmentOf(HWND list, int column) {
    LVCOLUMNA entry{};
    entry.mask = LVCF_FMT;
    SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&entry));
    switch (entry.fmt & LVCFMT_JUSTIFYMASK) {
        case LVCFMT_RIGHT: return DT_RIGHT;
        case LVCFMT_CENTER: return DT_CENTER;
        default: return DT_LEFT;
    }
}

// Draws the pieces one after another on one line, each from where the last
// one ended.
void drawCell(HDC dc, RECT rect, const std::string& text, const CellPlan& cell, UINT alignment) {
    fillRect(dc, rect, cell.brush);
    rect.left += kFirstPieceMargin;
    if (alignment == DT_RIGHT) rect.right -= kRightAlignedMargin;
    for (const ColoredPiece& piece : cell.pieces) {
        if (rect.left >= rect.right) break;
        SetTextColor(dc, piece.color);
        const char* bytes = text.data() + piece.offset;
        const int length = static_cast<int>(piece.length);
        RECT area = rect;
        DrawTextA(dc, bytes, length, &area, alignment | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        SIZE size{};
        GetTextExtentPoint32A(dc, bytes, length, &size);
        rect.left += size.cx;
    }
}

}  // namespace

void addListColumns(HWND list, const char* const* titles, const int* widths, int count) {
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (int column = 0; column < count; ++column) {
        LVCOLUMNA entry{};
        entry.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        entry.fmt = LVCFMT_LEFT;
        entry.cx = widths[column];
        entry.pszText = const_cast<char*>(titles[column]);
        entry.iSubItem = column;
        SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&entry));
    }
}

void showSortArrow(HWND list, int column, bool ascending) {
    HWND header = ListView_GetHeader(list);
    const int count = Header_GetItemCount(header);
    for (int at = 0; at < count; ++at) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        if (!Header_GetItem(header, at, &item)) continue;
        const int before = item.fmt;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (at == column) item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        if (item.fmt != before) Header_SetItem(header, at, &item);
    }
}

void drawListRow(HWND list, const DRAWITEMSTRUCT& item, const std::string* texts, const CellPlan* cells, int count) {
    const int background = SetBkMode(item.hDC, TRANSPARENT);
    const COLORREF textColor = GetTextColor(item.hDC);
    const int columns = Header_GetItemCount(ListView_GetHeader(list));
    for (int column = 0; column < columns && column < count; ++column) {
        RECT cell{};
        ListView_GetSubItemRect(list, item.itemID, column, column == 0 ? LVIR_LABEL : LVIR_BOUNDS, &cell);
        drawCell(item.hDC, cell, texts[column], cells[column], alignmentOf(list, column));
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
    SetTextColor(item.hDC, textColor);
    SetBkMode(item.hDC, background);
}

RECT restoredWindowRect(HWND window) {
    RECT rect{};
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if ((IsIconic(window) || IsZoomed(window)) && GetWindowPlacement(window, &placement))
        rect = placement.rcNormalPosition;
    else
        GetWindowRect(window, &rect);
    return rect;
}

}  // namespace corvane
