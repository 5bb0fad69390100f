#include "report/export/ExportCells.h"

#include "report/engine/TfrEMFPages.h"
#include "report/model/DisplayFormat.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPage.h"

#include <QDate>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace vaskel {

namespace {

constexpr QChar kParagraphMark = QChar(1);

// Day 0 of the serial dates the reports and the spreadsheets count in.
const QDate& dayZero()
{
    static const QDate zero(1899, 12, 30);
    return zero;
}

// The date-time pattern language of the display formats in the spreadsheet's own: minutes are
// "n" there and "m" here (after an hour), "ampm" is "AM/PM", quoted parts stay literal.
QString sheetDateFormat(const QString& pattern)
{
    QString out;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i);
        const QChar lower = c.toLower();
        if (c == u'\'' || c == u'"') {
            const qsizetype end = pattern.indexOf(c, i + 1);
            const QString literal = pattern.mid(i + 1, end < 0 ? -1 : end - i - 1);
            out += u'"' + QString(literal).remove(u'"') + u'"';
            i = end < 0 ? pattern.size() : end + 1;
            continue;
        }
        if (pattern.mid(i, 4).compare(QLatin1String("ampm"), Qt::CaseInsensitive) == 0) {
            out += QLatin1String("AM/PM");
            i += 4;
            continue;
        }
        if (pattern.mid(i, 5).compare(QLatin1String("am/pm"), Qt::CaseInsensitive) == 0) {
            out += QLatin1String("AM/PM");
            i += 5;
            continue;
        }
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern.at(i + run).toLower() == lower)
            ++run;
        if (lower == u'c') {
            out += QLatin1String("yyyy-mm-dd hh:mm:ss");
        } else if (lower == u'n') {
            out += QString(std::min<qsizetype>(run, 2), u'm');
        } else if (lower == u'z') {
            out += QLatin1String("000").left(std::min<qsizetype>(run, 3));
        } else if (lower == u'y' || lower == u'm' || lower == u'd' || lower == u'h' || lower == u's') {
            out += QString(run, lower);
        } else if (c.isLetter()) {
            out += u'"' + pattern.mid(i, run) + u'"';
        } else {
            for (qsizetype k = 0; k < run; ++k)
                out += (c == u'/' || c == u':' || c == u'-' || c == u'.' || c == u' ' || c == u',')
                    ? QString(c)
                    : u'\\' + QString(c);
        }
        i += run;
    }
    return out;
}

QString lineText(const QStringList& lines)
{
    QString text = lines.join(u'\n');
    text.remove(kParagraphMark);
    return text;
}

// The band printing whose span holds the top of `rect`: the last one printed there; -1 for none.
int bandAt(const std::vector<PreparedBandSpan>& bands, const QRect& rect)
{
    for (auto it = bands.rbegin(); it != bands.rend(); ++it) {
        if (rect.top() >= it->Top && rect.top() < it->Top + std::max(1, it->Height))
            return int(it - bands.rbegin());
    }
    return -1;
}

// The value the run noted for a memo at `rect` whose printed text is still `text`: a script or a
// later change of the text makes it plain text again.
const PreparedValue* notedValue(const TfrPreparedPage& page, const QRect& rect, const QString& text)
{
    for (const PreparedValue& v : page.Values) {
        if (v.Left != rect.left() || v.Top != rect.top() || v.Width != rect.width()
            || v.Height != rect.height())
            continue;
        const auto category = static_cast<FormatCategory>(DisplayFormat::unpack(v.FormatCode).category);
        const Value value
            = category == FormatCategory::Number ? Value::number(v.Number) : Value::dateTime(v.Number);
        if (FormatForDisplay(value, v.FormatCode, v.FormatText) == text)
            return &v;
    }
    return nullptr;
}

} // namespace

QString ExportCell::plainNumber() const
{
    if (std::isnan(number) || std::isinf(number))
        return text;
    QString s = QString::number(number, 'g', 15);
    if (s.contains(u'e'))
        s = QString::number(number, 'f', 0);
    return s;
}

QString ExportCell::isoDate() const
{
    const double days = std::floor(number);
    const QDate date = dayZero().addDays(qint64(days));
    const qint64 seconds = std::llround((number - days) * 86400.0);
    if (seconds == 0)
        return date.toString(Qt::ISODate);
    return date.toString(Qt::ISODate) + u'T'
        + QTime(0, 0).addSecs(int(std::min<qint64>(seconds, 86399))).toString(QStringLiteral("HH:mm:ss"));
}

namespace ExportCells {

QString sheetFormat(qint32 code, const QString& formatText)
{
    const DisplayFormat f = DisplayFormat::unpack(code);
    switch (static_cast<FormatCategory>(f.category)) {
    case FormatCategory::Number: {
        const QString zeros = f.decimals > 0 ? u'.' + QString(f.decimals, u'0') : QString();
        switch (f.kind) {
        case 0:
            return f.decimals > 0 ? QStringLiteral("General") : QStringLiteral("0");
        case 1:
            return u'0' + zeros;
        case 2:
            return f.decimals > 0 ? QStringLiteral("#,##0.") + QString(f.decimals, u'#')
                                  : QStringLiteral("#,##0");
        case 3:
            return QStringLiteral("#,##0") + zeros;
        case DisplayFormat::kCustomKind:
            return formatText.isEmpty() ? QStringLiteral("General") : formatText;
        default:
            return {};
        }
    }
    case FormatCategory::Date:
    case FormatCategory::Time: {
        const QString pattern = DateTimePatternOf(code, formatText);
        return pattern.isEmpty() ? QString() : sheetDateFormat(pattern);
    }
    default:
        return {};
    }
}

bool parseBack(ExportCell& cell)
{
    static const QRegularExpression number(
        QStringLiteral("^-?(?:[1-9]\\d{0,2}(?:,\\d{3})+|[1-9]\\d*|0)(\\.\\d+)?$"));
    static const QRegularExpression date(QStringLiteral("^(\\d{4})([-/.])(\\d{2})\\2(\\d{2})$"));
    const QString text = cell.text.trimmed();
    if (const QRegularExpressionMatch m = number.match(text); m.hasMatch()) {
        QString digits = text;
        digits.remove(u',');
        bool ok = false;
        const double value = digits.toDouble(&ok);
        if (!ok)
            return false;
        const qsizetype decimals = m.capturedLength(1) > 0 ? m.capturedLength(1) - 1 : 0;
        cell.kind = ExportCell::Kind::Number;
        cell.number = value;
        cell.sheetFormat = (text.contains(u',') ? QStringLiteral("#,##0") : QStringLiteral("0"))
            + (decimals > 0 ? u'.' + QString(decimals, u'0') : QString());
        return true;
    }
    if (const QRegularExpressionMatch m = date.match(text); m.hasMatch()) {
        const QDate d(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
        if (!d.isValid())
            return false;
        cell.kind = ExportCell::Kind::Date;
        cell.number = double(dayZero().daysTo(d));
        const QString sep = m.captured(2);
        cell.sheetFormat = QStringLiteral("yyyy%1mm%1dd").arg(sep == QLatin1String(".") ? sep : sep);
        return true;
    }
    return false;
}

bool keep(const ExportCell& cell, int pageIndex, int pageCount, bool everyPage)
{
    if (everyPage)
        return true;
    switch (cell.band) {
    case PageHeader:
    case ColumnHeader:
        return pageIndex == 0;
    case PageFooter:
    case ColumnFooter:
        return pageIndex == pageCount - 1;
    case Overlay:
        return pageIndex == 0;
    default:
        return true;
    }
}

std::vector<std::vector<const ExportCell*>> lines(
    const ExportPage& page, int pageIndex, int pageCount, bool everyPage)
{
    struct Line {
        int bandPrint;
        QRect first;
        std::vector<const ExportCell*> cells;
    };
    std::vector<Line> found;
    for (const ExportCell& cell : page.cells) {
        if (!keep(cell, pageIndex, pageCount, everyPage))
            continue;
        const int middle = cell.rect.top() + cell.rect.height() / 2;
        // Within its band (or the page), a cell joins the line whose first cell it stands beside.
        auto it = std::find_if(found.begin(), found.end(), [&](const Line& line) {
            return line.bandPrint == cell.bandPrint && middle >= line.first.top()
                && middle < line.first.top() + std::max(1, line.first.height());
        });
        if (it == found.end())
            it = found.insert(found.end(), Line{cell.bandPrint, cell.rect, {}});
        it->cells.push_back(&cell);
    }
    std::vector<std::vector<const ExportCell*>> result;
    for (Line& line : found) {
        if (std::all_of(
                line.cells.begin(), line.cells.end(), [](const ExportCell* c) { return c->text.isEmpty(); }))
            continue;
        std::stable_sort(line.cells.begin(), line.cells.end(),
            [](const ExportCell* a, const ExportCell* b) { return a->rect.left() < b->rect.left(); });
        result.push_back(std::move(line.cells));
    }
    return result;
}

ExportPage read(TfrEMFPages& pages, int index)
{
    TfrPreparedPage& page = pages.PageAt(index);
    const bool hadLive = page.LivePage != nullptr;
    ExportPage result;
    result.knowsBands = !page.Bands.empty();
    pages.MaterializePage(index);
    for (const auto& view : page.LivePage->ObjectList) {
        const auto* memo = dynamic_cast<const TfrMemoView*>(view.get());
        if (!memo) {
            if (view->Visible && view->Width != 0 && view->Height != 0)
                result.hasOtherViews = true;
            continue;
        }
        if (!memo->Visible)
            continue;
        ExportCell cell;
        cell.rect = QRect(memo->Left, memo->Top, memo->Width, memo->Height);
        cell.text = lineText(memo->Memo);
        cell.font = memo->Font;
        cell.alignment = memo->Alignment;
        cell.wrap = (memo->Flags & MemoFlags::WordWrap) != 0;
        cell.fill = memo->FillColor;
        cell.frameSides = memo->FrameTyp;
        cell.frameWidth = memo->FrameWidth;
        cell.frameColor = memo->FrameColor;
        cell.frameStyle = memo->FrameStyle;
        cell.gapX = memo->GapX;
        cell.gapY = memo->GapY;
        cell.lineSpacing = memo->LineSpacing;
        cell.charSpacing = memo->CharSpacing;
        if (const int reverse = bandAt(page.Bands, cell.rect); reverse >= 0) {
            cell.bandPrint = int(page.Bands.size()) - 1 - reverse;
            cell.band = page.Bands[size_t(cell.bandPrint)].Kind;
        }
        if (result.knowsBands || !page.Values.empty()) {
            if (const PreparedValue* v = notedValue(page, cell.rect, cell.text)) {
                const auto category
                    = static_cast<FormatCategory>(DisplayFormat::unpack(v->FormatCode).category);
                cell.kind
                    = category == FormatCategory::Number ? ExportCell::Kind::Number : ExportCell::Kind::Date;
                cell.number = v->Number;
                cell.sheetFormat = sheetFormat(v->FormatCode, v->FormatText);
                if (cell.sheetFormat.isEmpty())
                    cell.sheetFormat = QStringLiteral("General");
            }
        } else {
            parseBack(cell);
        }
        result.cells.push_back(std::move(cell));
    }
    if (!hadLive && !page.InUse)
        pages.ReleasePage(index);
    std::stable_sort(result.cells.begin(), result.cells.end(), [](const ExportCell& a, const ExportCell& b) {
        return a.rect.top() != b.rect.top() ? a.rect.top() < b.rect.top() : a.rect.left() < b.rect.left();
    });
    return result;
}

} // namespace ExportCells

} // namespace vaskel
