// Painting of the guide: programme cells with genre and on-air colours,
// minute, title and detail, the SD mark, the frames of reserved and
// highlighted programmes, column headers, the time column, the corner
// button and the line of the current time; the tooltips of cut texts and of
// the headers; the earliest end of an on-air programme, which tells the
// window when to repaint.
//
// The decisions are made here, without a window: the drawing goes through
// PaintSurface, which the Win32 side implements over a device context.
#pragma once

#include <cstdint>
#include <string>

#include "guide/genre_table.h"
#include "guide/guide_layout.h"
#include "guide/highlight.h"
#include "guide/reservation_frame.h"
#include "guide/view_settings.h"
#include "store/epg_store.h"

namespace corvane {

// 0x00BBGGRR of red, green, blue.
constexpr uint32_t rgbColor(int red, int green, int blue) {
    return static_cast<uint32_t>(red) | (static_cast<uint32_t>(green) << 8) | (static_cast<uint32_t>(blue) << 16);
}

enum class PaintPen : uint8_t {
    grid,        // solid 1 px: cell edges, header and hour-cell outlines
    hour,        // solid 2 px: top of a programme that starts on the full hour
    now,         // dotted 1 px: line of the current time
    highlight,   // solid 2 px: programme highlighted by another window
    reservationSolid,                    // + FrameColor: solid 2 px, valid reservations
    reservationDotted = reservationSolid + 4,  // + FrameColor: dotted 1 px, the others
    count = reservationDotted + 4,
};

enum class PaintBrush : uint8_t {
    cellEven, cellOdd,     // ordinary programme, by column parity
    onAirEven, onAirOdd,   // programme running now
    noData,                // time without data; corner button
    headerEven, headerOdd,
    hourNight,             // time column: hours 0-4
    hourMorning,           // 5-11
    hourAfternoon,         // 12-17
    hourEvening,           // 18-23
    genreFirst,            // + major genre 0..11: highlighted genres
    count = genreFirst + GenreTable::majorCount,
};

enum class PaintFont : uint8_t { title, detail, header };

inline constexpr int kPaintPenCount = static_cast<int>(PaintPen::count);
inline constexpr int kPaintBrushCount = static_cast<int>(PaintBrush::count);
// Brushes made by the painting tools themselves; the genre brushes follow
// the genre settings and are made elsewhere.
inline constexpr int kFixedBrushCount = static_cast<int>(PaintBrush::genreFirst);

constexpr PaintPen reservationPen(FrameColor color, bool solid) {
    return static_cast<PaintPen>(static_cast<int>(solid ? PaintPen::reservationSolid : PaintPen::reservationDotted) +
                                 static_cast<int>(color));
}
constexpr PaintBrush genreBrush(int genre) {
    return static_cast<PaintBrush>(static_cast<int>(PaintBrush::genreFirst) + genre);
}
// parity 0 = even column (counted from 0 at the left), 1 = odd.
constexpr PaintBrush cellBrush(int parity) { return parity ? PaintBrush::cellOdd : PaintBrush::cellEven; }
constexpr PaintBrush onAirBrush(int parity) { return parity ? PaintBrush::onAirOdd : PaintBrush::onAirEven; }
constexpr PaintBrush headerBrush(int parity) { return parity ? PaintBrush::headerOdd : PaintBrush::headerEven; }
PaintBrush hourBrush(int hour);

struct PenStyle {
    uint32_t color;
    int width;
    bool dotted;
    bool operator==(const PenStyle&) const = default;
};
PenStyle penStyle(PaintPen pen);
// The colour of a fixed brush; genre brushes take the genre settings' colour.
uint32_t brushColor(PaintBrush brush, const GenreSettings& genres);

// The header font: fixed, unlike the two programme fonts of "ViewSetup".
inline constexpr const char* kHeaderFontFace = "ＭＳゴシック";
inline constexpr int kHeaderFontHeight = 12;
inline constexpr int kHeaderFontWeight = 700;

inline constexpr int kSdMarkSize = 13;
inline constexpr int kTooltipMaxWidth = 250;

inline constexpr uint32_t kTextBlack = 0x000000;
inline constexpr uint32_t kTextWhite = rgbColor(255, 255, 255);
inline constexpr uint32_t kSundayColor = rgbColor(240, 0, 0);
inline constexpr uint32_t kSaturdayColor = rgbColor(0, 0, 240);
inline constexpr uint32_t kNowColor = rgbColor(255, 56, 56);

// Text placement, combined as bits.
enum TextFormat : unsigned {
    kTextLeft = 0,
    kTextCenter = 1u << 0,
    kTextRight = 1u << 1,
    kTextVCenter = 1u << 2,   // with kTextSingleLine only
    kTextSingleLine = 1u << 3,
    kTextWordBreak = 1u << 4,
    kTextNoClip = 1u << 5,    // may draw outside the rectangle (labels placed at a point)
};

// The drawing primitives of one paint, in client coordinates. Rectangles
// cover [left, right) x [top, bottom).
class PaintSurface {
public:
    virtual ~PaintSurface() = default;
    // Drawing is limited to `rect` until the next clip call.
    virtual void clipTo(const Rect& rect) = 0;
    virtual void clipNone() = 0;
    virtual void fill(const Rect& rect, PaintBrush brush) = 0;
    // Filled with `brush`, outlined with `pen` on its outermost pixels.
    virtual void box(const Rect& rect, PaintBrush brush, PaintPen pen) = 0;
    // Outlined only.
    virtual void frame(const Rect& rect, PaintPen pen) = 0;
    // From (x1, y1) up to, not including, (x2, y2).
    virtual void line(int x1, int y1, int x2, int y2, PaintPen pen) = 0;
    // Draws `text` inside `rect` (clipped to it unless kTextNoClip) and
    // returns the height of the whole formatted text, lines that fall outside
    // the rectangle included. An empty text takes one line and draws nothing.
    virtual int text(const std::string& text, const Rect& rect, PaintFont font, uint32_t color, unsigned format) = 0;
    // The 13 x 13 SD mark combined with the surface by AND at (x, y).
    virtual void sdMark(int x, int y) = 0;
    // A tooltip over `rect`; a surface without tooltips ignores it.
    virtual void addTooltip(int id, const Rect& rect, const std::string& text) = 0;
};

// What every paint reads besides the layout and the store, wired once by
// the shell. The geometry (HourHight, ChannelWidth), "ContDisp" and the font
// colours come from the layout's own view settings.
struct PaintInputs {
    const GenreSettings* genres = nullptr;         // null: no genre selected
    const ViewSwitches* switches = nullptr;        // null: the defaults
    const ReservationFrames* reservations = nullptr;  // null: no reservations
    // Cleared (its times) when the window that set it is not visible.
    HighlightedProgramme* highlight = nullptr;
};

// The moment of one paint.
struct PaintMoment {
    int64_t now = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    bool highlightOwnerVisible = false;  // the window that set the highlight is shown
};

struct PaintResult {
    bool painted = false;          // false: no data, nothing drawn
    int64_t earliestOnAirEnd = 0;  // 0: no on-air programme was drawn
    int tooltipCount = 0;
    PaintMeasurements measured;    // for GuideLayout::applyPaint
};

// What an empty guide says, centred in the header font.
inline constexpr const char* kEmptyGuideHint =
    "ファイル(F) → ファイルの読み込み で録画ファイル (*.ts) か EPG データファイル (*.dat) を開くか、"
    "ここへドロップしてください";
inline constexpr uint32_t kEmptyGuideHintColor = rgbColor(96, 96, 96);

// Paints the guide (with no data loaded only the hint of what to do; nothing
// when every column is hidden) and returns
// what it measured: each painted programme's title block, the x of each
// column drawn and the content size as drawn. The layout itself is not
// touched.
PaintResult paintGuide(const GuideLayout& layout, const EpgStore* store, const PaintInputs& inputs,
                       const PaintMoment& moment, PaintSurface& surface);

// One whole paint of the window: paints, then, when something was painted,
// gives the layout what was measured and publishes the scroll bars, which
// follow the content size as drawn.
PaintResult paintGuideView(GuideLayout& layout, const EpgStore* store, const PaintInputs& inputs,
                           const PaintMoment& moment, PaintSurface& surface);

// Milliseconds until 100 ms after `earliestEnd`: the period of the one-shot
// repaint timer.
int64_t repaintDelay(int64_t earliestEnd, int64_t now);

// The header text of a list-view column when "ViewChNo" is 1.
std::string channelNumberLabel(const ServiceRecord& record, int remoteNumber);

// The header tooltip of a list-view column: provider, TS and service names
// when present, service id, remote and physical channel.
std::string headerTooltipText(const ServiceRecord& record, int remoteNumber);

}  // namespace corvane
