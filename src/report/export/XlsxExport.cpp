#include "report/export/XlsxExport.h"

#include "platform/PlatformError.h"
#include "platform/SafeOutputFile.h"
#include "report/engine/TfrEMFPages.h"
#include "report/export/ExportCells.h"
#include "report/model/ReportColor.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPrinter.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <vector>

namespace vaskel {

namespace {

// Edges closer than this (report units, about a millimetre) are one edge: views that almost line
// up would otherwise leave columns and rows a few pixels wide.
constexpr int kSliver = 4;
constexpr double kPixelsPerInch = 96.0;
// What a sheet holds.
constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;
constexpr int kMaxCellText = 32767;

// Sorted edges with the ones closer than a sliver to the previous kept edge left out.
std::vector<int> mergedEdges(const std::set<int>& edges)
{
    std::vector<int> kept;
    for (int e : edges) {
        if (kept.empty() || e - kept.back() >= kSliver)
            kept.push_back(e);
    }
    return kept;
}

// The index of the edge nearest to `value`.
int nearest(const std::vector<int>& edges, int value)
{
    const auto it = std::lower_bound(edges.begin(), edges.end(), value);
    if (it == edges.begin())
        return 0;
    if (it == edges.end())
        return int(edges.size()) - 1;
    return (*it - value < value - *(it - 1)) ? int(it - edges.begin()) : int(it - edges.begin()) - 1;
}

lxw_format_borders borderStyle(const ExportCell& cell)
{
    switch (cell.frameStyle) {
    case psDash:
        return LXW_BORDER_DASHED;
    case psDot:
        return LXW_BORDER_DOTTED;
    case psDashDot:
        return LXW_BORDER_DASH_DOT;
    case psDashDotDot:
        return LXW_BORDER_DASH_DOT_DOT;
    case psDouble:
        return LXW_BORDER_DOUBLE;
    default:
        break;
    }
    if (cell.frameWidth > 2.5f)
        return LXW_BORDER_THICK;
    if (cell.frameWidth > 1.5f)
        return LXW_BORDER_MEDIUM;
    return LXW_BORDER_THIN;
}

lxw_color_t rgb(quint32 reportColor)
{
    return ReportColor::toQColor(reportColor).rgb() & 0xFFFFFF;
}

// One format per distinct look, made on first use.
class Formats {
public:
    explicit Formats(lxw_workbook* book) : m_book(book) { }

    lxw_format* of(const ExportCell& cell)
    {
        const QString key
            = QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
                  .arg(cell.font.Name)
                  .arg(cell.font.Size)
                  .arg(cell.font.Style)
                  .arg(cell.font.Color)
                  .arg(cell.alignment)
                  .arg(int(cell.wrap || cell.text.contains(u'\n')))
                  .arg(cell.fill)
                  .arg(QStringLiteral("%1/%2/%3/%4")
                           .arg(cell.frameSides)
                           .arg(cell.frameWidth)
                           .arg(cell.frameColor)
                           .arg(cell.frameStyle))
                  .arg(cell.kind == ExportCell::Kind::Text ? QStringLiteral("@") : cell.sheetFormat);
        if (lxw_format* found = m_made.value(key))
            return found;
        lxw_format* f = workbook_add_format(m_book);
        const QByteArray font = cell.font.Name.toUtf8();
        format_set_font_name(f, font.constData());
        format_set_font_size(f, cell.font.Size > 0 ? cell.font.Size : 10);
        if (cell.font.Style & FontStyle::Bold)
            format_set_bold(f);
        if (cell.font.Style & FontStyle::Italic)
            format_set_italic(f);
        if (cell.font.Style & FontStyle::Underline)
            format_set_underline(f, LXW_UNDERLINE_SINGLE);
        if (cell.font.Style & FontStyle::StrikeOut)
            format_set_font_strikeout(f);
        if (rgb(cell.font.Color) != 0)
            format_set_font_color(f, rgb(cell.font.Color));
        switch (ExportCells::horizontal(cell)) {
        case 1:
            format_set_align(f, LXW_ALIGN_RIGHT);
            break;
        case 2:
            format_set_align(f, LXW_ALIGN_CENTER);
            break;
        case 3:
            format_set_align(f, LXW_ALIGN_JUSTIFY);
            break;
        default:
            format_set_align(f, LXW_ALIGN_LEFT);
            break;
        }
        format_set_align(f,
            (cell.alignment & frtaDown)         ? LXW_ALIGN_VERTICAL_BOTTOM
                : (cell.alignment & frtaMiddle) ? LXW_ALIGN_VERTICAL_CENTER
                                                : LXW_ALIGN_VERTICAL_TOP);
        if (cell.alignment & frtaVertical)
            format_set_rotation(f, 90);
        if (cell.wrap || cell.text.contains(u'\n'))
            format_set_text_wrap(f);
        if (cell.fill != clNone) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, rgb(cell.fill));
        }
        if (cell.frameSides != 0) {
            const lxw_format_borders style = borderStyle(cell);
            const lxw_color_t color = rgb(cell.frameColor);
            if (cell.frameSides & FrameSides::Top) {
                format_set_top(f, style);
                format_set_top_color(f, color);
            }
            if (cell.frameSides & FrameSides::Bottom) {
                format_set_bottom(f, style);
                format_set_bottom_color(f, color);
            }
            if (cell.frameSides & FrameSides::Left) {
                format_set_left(f, style);
                format_set_left_color(f, color);
            }
            if (cell.frameSides & FrameSides::Right) {
                format_set_right(f, style);
                format_set_right_color(f, color);
            }
        }
        if (cell.kind != ExportCell::Kind::Text) {
            const QByteArray numberFormat = cell.sheetFormat.toUtf8();
            format_set_num_format(f, numberFormat.constData());
        }
        m_made.insert(key, f);
        return f;
    }

private:
    lxw_workbook* m_book;
    QHash<QString, lxw_format*> m_made;
};

// A memo placed on the grid: rows and columns from the first to one past the last.
struct Placed {
    const ExportCell* cell;
    int row, col, rowEnd, colEnd;
};

struct BookDeleter {
    void operator()(lxw_workbook* book) const { lxw_workbook_free(book); }
};

} // namespace

bool XlsxExport::write(
    TfrEMFPages& pages, const QString& fileName, const ExportDocumentInfo& info, const Progress& progress)
{
    SafeOutputFile target(fileName);
    target.open();
    // The library writes to a file name of its own; the finished workbook is then copied into the
    // target, which takes its place only when complete.
    QTemporaryFile staged(QDir::tempPath() + QStringLiteral("/vaskel-XXXXXX.xlsx"));
    if (!staged.open())
        cannotCreateExport(fileName, staged.errorString());
    staged.close();
    const QByteArray stagedName = QFile::encodeName(staged.fileName());
    const QByteArray tempDir = QFile::encodeName(QDir::tempPath());

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char*>(tempDir.constData());
    std::unique_ptr<lxw_workbook, BookDeleter> book(workbook_new_opt(stagedName.constData(), &options));
    if (!book)
        cannotCreateExport(fileName, QStringLiteral("The workbook cannot be started."));
    const QByteArray sheetName = QStringLiteral("Report").toUtf8();
    lxw_worksheet* sheet = workbook_add_worksheet(book.get(), sheetName.constData());
    Formats formats(book.get());

    lxw_doc_properties properties{};
    const QByteArray title = info.title.toUtf8(), author = info.author.toUtf8(),
                     subject = info.subject.toUtf8();
    if (!info.title.isEmpty())
        properties.title = const_cast<char*>(title.constData());
    if (!info.author.isEmpty())
        properties.author = const_cast<char*>(author.constData());
    if (!info.subject.isEmpty())
        properties.subject = const_cast<char*>(subject.constData());
    workbook_set_properties(book.get(), &properties);

    const int count = pages.Count();
    // The columns: the left and right edges of every memo of the report.
    std::set<int> xEdges;
    for (int i = 0; i < count; ++i) {
        const ExportPage page = ExportCells::read(pages, i);
        for (const ExportCell& cell : page.cells) {
            if (!ExportCells::keep(cell, i, count, m_everyPage))
                continue;
            xEdges.insert(cell.rect.left());
            xEdges.insert(cell.rect.left() + cell.rect.width());
        }
    }
    const std::vector<int> columns = mergedEdges(xEdges);
    if (int(columns.size()) > kMaxColumns)
        cannotCreateExport(fileName, QStringLiteral("The report needs more columns than a sheet holds."));
    const double pixelsPerUnit = kPixelsPerInch / TfrPrinter::kUnitsPerInch;
    const double pointsPerUnit = kPointsPerInch / TfrPrinter::kUnitsPerInch;
    for (size_t c = 0; c + 1 < columns.size(); ++c)
        worksheet_set_column_pixels(sheet, lxw_col_t(c), lxw_col_t(c),
            std::max<uint32_t>(1, uint32_t(std::lround((columns[c + 1] - columns[c]) * pixelsPerUnit))),
            nullptr);

    if (count > 0) {
        const TfrPreparedPage& first = pages.PageAt(0);
        if (first.PaperCode > 0 && first.PaperCode < 256)
            worksheet_set_paper(sheet, uint8_t(first.PaperCode));
        if (first.PaperOrientation == 1)
            worksheet_set_landscape(sheet);
        else
            worksheet_set_portrait(sheet);
        const double inch = TfrPrinter::kUnitsPerInch;
        worksheet_set_margins(sheet, first.Margins[0] / inch, first.Margins[2] / inch,
            first.Margins[1] / inch, first.Margins[3] / inch);
        worksheet_fit_to_pages(sheet, 1, 0);
    }

    int sheetRow = 0;
    for (int i = 0; i < count; ++i) {
        const ExportPage page = ExportCells::read(pages, i);
        std::set<int> yEdges;
        std::vector<const ExportCell*> kept;
        for (const ExportCell& cell : page.cells) {
            if (!ExportCells::keep(cell, i, count, m_everyPage))
                continue;
            kept.push_back(&cell);
            yEdges.insert(cell.rect.top());
            yEdges.insert(cell.rect.top() + cell.rect.height());
        }
        const std::vector<int> rows = mergedEdges(yEdges);
        const int pageRows = std::max(0, int(rows.size()) - 1);
        if (sheetRow + pageRows > kMaxRows)
            cannotCreateExport(fileName, QStringLiteral("The report needs more rows than a sheet holds."));

        // Each memo on the grid; one that would overlap a memo placed before it keeps only its
        // first grid cell, or is left out when even that is taken (merged areas never overlap).
        const int width = std::max(1, int(columns.size()) - 1);
        std::vector<char> taken(size_t(std::max(1, pageRows)) * size_t(width), 0);
        auto at = [&](int r, int c) -> char& { return taken[size_t(r) * size_t(width) + size_t(c)]; };
        std::vector<Placed> placed;
        for (const ExportCell* cell : kept) {
            if (pageRows == 0)
                break;
            Placed p{cell, nearest(rows, cell->rect.top()), nearest(columns, cell->rect.left()),
                nearest(rows, cell->rect.top() + cell->rect.height()),
                nearest(columns, cell->rect.left() + cell->rect.width())};
            p.row = std::min(p.row, pageRows - 1);
            p.col = std::min(p.col, width - 1);
            p.rowEnd = std::clamp(p.rowEnd, p.row + 1, pageRows);
            p.colEnd = std::clamp(p.colEnd, p.col + 1, width);
            bool free = true;
            for (int r = p.row; r < p.rowEnd && free; ++r)
                for (int c = p.col; c < p.colEnd && free; ++c)
                    free = !at(r, c);
            if (!free) {
                if (at(p.row, p.col))
                    continue;
                p.rowEnd = p.row + 1;
                p.colEnd = p.col + 1;
            }
            for (int r = p.row; r < p.rowEnd; ++r)
                for (int c = p.col; c < p.colEnd; ++c)
                    at(r, c) = 1;
            placed.push_back(p);
        }
        std::stable_sort(
            placed.begin(), placed.end(), [](const Placed& a, const Placed& b) { return a.row < b.row; });

        // Rows are written one after another: each memo's value in its first row, the blank cells
        // of its merged area row by row, and the merge itself in its last row.
        size_t next = 0;
        std::vector<const Placed*> open;
        for (int r = 0; r < pageRows; ++r) {
            const lxw_row_t row = lxw_row_t(sheetRow + r);
            worksheet_set_row(
                sheet, row, std::max(1.0, (rows[size_t(r) + 1] - rows[size_t(r)]) * pointsPerUnit), nullptr);
            for (; next < placed.size() && placed[next].row == r; ++next)
                open.push_back(&placed[next]);
            for (const Placed* p : open) {
                lxw_format* format = formats.of(*p->cell);
                const bool merged = p->rowEnd - p->row > 1 || p->colEnd - p->col > 1;
                const bool last = p->rowEnd - 1 == r;
                for (int c = p->col; c < p->colEnd; ++c)
                    worksheet_write_blank(sheet, row, lxw_col_t(c), format);
                if (merged && last)
                    worksheet_merge_range(sheet, lxw_row_t(sheetRow + p->row), lxw_col_t(p->col),
                        lxw_row_t(sheetRow + p->rowEnd - 1), lxw_col_t(p->colEnd - 1), nullptr, format);
                if (p->row != r)
                    continue;
                const ExportCell& cell = *p->cell;
                if (cell.kind != ExportCell::Kind::Text) {
                    worksheet_write_number(sheet, row, lxw_col_t(p->col), cell.number, format);
                } else if (!cell.text.isEmpty()) {
                    const QByteArray text = cell.text.left(kMaxCellText).toUtf8();
                    worksheet_write_string(sheet, row, lxw_col_t(p->col), text.constData(), format);
                }
            }
            open.erase(
                std::remove_if(open.begin(), open.end(), [r](const Placed* p) { return p->rowEnd - 1 == r; }),
                open.end());
        }
        sheetRow += pageRows;
        if (progress && progress(i + 1)) {
            target.cancel();
            return false;
        }
    }
    const lxw_error closed = workbook_close(book.release());
    if (closed != LXW_NO_ERROR)
        cannotCreateExport(fileName, QString::fromUtf8(lxw_strerror(closed)));

    QFile made(staged.fileName());
    if (!made.open(QIODevice::ReadOnly))
        cannotCreateExport(fileName, made.errorString());
    while (!made.atEnd()) {
        const QByteArray chunk = made.read(qint64(1) << 20);
        if (chunk.isEmpty() && made.error() != QFileDevice::NoError)
            cannotCreateExport(fileName, made.errorString());
        target.write(chunk);
    }
    target.commit();
    return true;
}

} // namespace vaskel
