#pragma once
// The one set of limits for sizes a template, a template's text form or a prepared page may state:
// paper, margins, columns, object geometry, frame widths, font sizes and spacings. Every reader
// checks against the same values, so whatever the template readers accept the prepared-page
// decoder accepts as well, and the page and drawing arithmetic (which scales these values by zooms
// and resolutions) stays clear of overflow.
//
// Each check answers an empty text when the values are usable, otherwise names the value that is
// out of range and the range, for the reader's message.
#include <QString>
#include <QtGlobal>

namespace vaskel {

class TfrPage;
class TfrView;

namespace ReportLimits {

// Paper beyond 20 metres (tenths of a millimetre) or below zero comes only from damaged files.
constexpr qint32 kMaxPaperSize = 200000;
// Object geometry, margins and gaps in report units: a million units are 277 metres.
constexpr qint32 kMaxCoordinate = 1000000;
constexpr qint32 kMaxFontSize = 10000; // points
constexpr qint32 kMaxSpacing = 100000; // pixels at zoom 1
constexpr qint32 kMaxColumns = 1000;

// True when `value` is a number within -limit .. limit (NaN is not).
bool within(double value, double limit);

// The values a field may hold, and the name of the value for the message.
struct ValueRange {
    const char* what;
    qint64 lo, hi;
    // Empty when `value` lies within lo .. hi (NaN does not), otherwise the reader's message.
    QString problem(double value) const;
};

// The ranges of the view fields: each view kind's field table names the range of a field.
inline constexpr ValueRange kGeometryRange{"object geometry", -kMaxCoordinate, kMaxCoordinate};
inline constexpr ValueRange kFrameWidthRange{"frame width", -kMaxCoordinate, kMaxCoordinate};
inline constexpr ValueRange kFontSizeRange{"font size", -kMaxFontSize, kMaxFontSize};
inline constexpr ValueRange kSpacingRange{"line or character spacing", -kMaxSpacing, kMaxSpacing};
inline constexpr ValueRange kColumnCountRange{"column count", 0, kMaxColumns};
inline constexpr ValueRange kColumnSizeRange{"column width or gap", -kMaxCoordinate, kMaxCoordinate};

QString paperProblem(qint32 width, qint32 height);
// Paper size, margins, columns and column gap of a page record.
QString pageProblem(const TfrPage& page);
// The first field of the view, in the order of its kind's field table, outside its range: the
// geometry, gaps and frame width of any view, the font and spacings of a memo, the columns of a band.
QString viewProblem(const TfrView& view);

} // namespace ReportLimits

} // namespace vaskel
