#pragma once
// What the Insert toolbar puts on a page: a new view of one of the built-in kinds (memo, picture,
// line, sub-report, band of a chosen kind) with the defaults its kind gives at creation, a name
// no view of the template has (`Memo1`, `Memo2`, …) and a rectangle from a click or a drag. The
// canvas, the data tree's drops and scripted tests all go through `insertView`, so the rules are
// the same whichever way a view arrives: one command on the undo stack per insertion.
//
// Band strips keep the order in which bands print: a new band is put into its place in that order
// and the bands below it (with their views) move down by its height. Geometry in report units.
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

namespace vaskel {

class DesignDocument;
class TfrPage;
class TfrView;

namespace ViewInsertion {

// The kinds of the Insert toolbar (type codes of the views).
enum class Kind : quint8 { Memo = 0, Picture = 1, Band = 2, SubReport = 3, Line = 4 };

// The size a click gives a new view of `kind`, report units.
QSize defaultSize(Kind kind);

// The band kind's name as the designer shows it (the report's own band names).
QString bandKindName(int bandKind);
// Band kinds a page holds at most once: the one band of that kind is the one that prints.
bool isOncePerPage(int bandKind);
// The band kinds the toolbar offers on `page`, in code order: every kind but "None", once-per-page
// kinds only while the page has no band of that kind.
std::vector<int> offeredBandKinds(const TfrPage& page);
// Where a band kind prints relative to the others on one page (smaller prints higher); cross
// bands, which lie across the page's width, have none (-1).
int printRank(int bandKind);

// A new view of `kind` with its kind's defaults and a unique name, not yet on a page. `rect` is
// the rectangle the person drew (a click gives an empty one at the press point); bands span the
// page's width and a line follows the longer side of the drawn rectangle.
std::unique_ptr<TfrView> newView(
    DesignDocument& doc, const TfrPage& page, Kind kind, const QRect& rect, int bandKind = 0);

// Creates the view and pushes its insertion (with the moves of the bands below a new band) as one
// command; returns the view on the page, or null when a band kind the page already has was asked
// for again.
TfrView* insertView(DesignDocument& doc, TfrPage* page, Kind kind, const QRect& rect, int bandKind = 0);

// A field dropped at `at` (units): a memo holding `[reference]` `width` units wide on the band
// under the point. Dropped on a data band's header, the header gets a caption memo with the
// field's name and the data band below it the field memo, at the same left edge. One command;
// returns the new views (the field memo last), none when no band lies under the point.
std::vector<TfrView*> insertField(
    DesignDocument& doc, TfrPage* page, const QPoint& at, const QString& reference, int width);

// Live layout rules on request, each one command:
// the selected bands' heights follow their tallest view (the lowest bottom edge of the views on
// the strip); false when nothing changes.
bool fitBandHeights(DesignDocument& doc, const std::vector<TfrView*>& bands);
// The page's band strips stacked in print order from the top margin down, `kArrangeGap` units
// apart, each with its views; false when they are so already.
bool arrangeBands(DesignDocument& doc, TfrPage* page);
inline constexpr int kArrangeGap = 8; // report units between arranged strips

// The band views of `page` in the order their strips print, cross bands left out.
std::vector<TfrView*> bandsInPrintOrder(const TfrPage& page);

} // namespace ViewInsertion

} // namespace vaskel
