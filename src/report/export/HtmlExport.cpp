#include "report/export/HtmlExport.h"

#include "platform/FontAliases.h"
#include "platform/SafeOutputFile.h"
#include "report/engine/PageTarget.h"
#include "report/engine/TfrEMFPages.h"
#include "report/export/ExportCells.h"
#include "report/model/ReportColor.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrPrinter.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QPageSize>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace vaskel {

namespace {

constexpr double kCssPixelsPerInch = 96.0;
// Drawn views are drawn at twice the page's CSS resolution, sharp on high-density screens.
constexpr int kPictureScale = 2;

// Families a browser tries after the memo's own, so that Chinese text finds a face.
const char* const kFallbackFamilies
    = "\"Noto Sans CJK SC\", \"WenQuanYi Micro Hei\", \"WenQuanYi Zen Hei\", \"AR PL UMing CN\", "
      "\"Microsoft YaHei\", SimSun, sans-serif";

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

// The memo's family, then the face this system draws it with (a browser does not know the
// program's stand-ins for the Windows families), quoted for CSS.
QString families(const QString& name)
{
    static QHash<QString, QString> known;
    if (const auto it = known.constFind(name); it != known.constEnd())
        return *it;
    QStringList names{name};
    const QStringList standIns = FontAliases::fontconfigFamilies(name);
    if (!standIns.isEmpty() && !names.contains(standIns.first()))
        names << standIns.first();
    QStringList quoted;
    for (QString n : names)
        quoted << u'"' + n.remove(u'"').remove(u'\\').remove(u'<') + u'"';
    return *known.insert(name, quoted.join(QLatin1String(", ")));
}

QString cssColor(quint32 reportColor)
{
    return ReportColor::toQColor(reportColor).name(QColor::HexRgb);
}

QString px(double value)
{
    return QString::number(value, 'f', 2) + QLatin1String("px");
}

// The sheet of a page in CSS pixels, as the PDF export sizes its pages.
QSize sheetOf(const TfrPreparedPage& page, int dpi)
{
    const double perUnit = kMillimetresPerInch / TfrPrinter::kUnitsPerInch;
    return QPageSize(QSizeF(page.Metrics.UnitPaperWidth * perUnit, page.Metrics.UnitPaperHeight * perUnit),
        QPageSize::Millimeter, QString(), QPageSize::ExactMatch)
        .sizePixels(dpi);
}

QString borderCss(const ExportCell& cell, double scale)
{
    if (cell.frameSides == 0)
        return {};
    const char* style = "solid";
    switch (cell.frameStyle) {
    case psDash:
    case psDashDot:
    case psDashDotDot:
        style = "dashed";
        break;
    case psDot:
        style = "dotted";
        break;
    case psDouble:
        style = "double";
        break;
    default:
        break;
    }
    const double width = std::max(1.0, cell.frameWidth * scale * (cell.frameStyle == psDouble ? 3 : 1));
    const QString line
        = QStringLiteral("%1 %2 %3").arg(px(width), QLatin1String(style), cssColor(cell.frameColor));
    QString css;
    if (cell.frameSides & FrameSides::Top)
        css += QStringLiteral("border-top:%1;").arg(line);
    if (cell.frameSides & FrameSides::Bottom)
        css += QStringLiteral("border-bottom:%1;").arg(line);
    if (cell.frameSides & FrameSides::Left)
        css += QStringLiteral("border-left:%1;").arg(line);
    if (cell.frameSides & FrameSides::Right)
        css += QStringLiteral("border-right:%1;").arg(line);
    return css;
}

// The looks of the memos met so far, each a style class ("s0", "s1" …) defined once, so that the
// memos of a long list repeat only their places.
struct Looks {
    QHash<QString, int> classes;
    QString newRules; // rules of the classes made since the last page was written
};

// One memo as a positioned block. `origin` and the scales place report units on the CSS page.
QString memoHtml(const ExportCell& cell, QPointF origin, double kx, double ky, Looks& looks)
{
    const QString place
        = QStringLiteral("left:%1;top:%2;width:%3;height:%4")
              .arg(px(origin.x() + cell.rect.left() * kx), px(origin.y() + cell.rect.top() * ky),
                  px(cell.rect.width() * kx), px(cell.rect.height() * ky));
    QString style;
    const double characterHeight = std::max(1.0, cell.font.Size * 96.0 / 72.0);
    style += QStringLiteral("font-family:%1, %2;font-size:%3;line-height:%4;")
                 .arg(families(cell.font.Name), QLatin1String(kFallbackFamilies), px(characterHeight * ky),
                     px((characterHeight + cell.lineSpacing) * ky));
    style += QStringLiteral("padding:%1 %2;").arg(px(cell.gapY * ky), px(cell.gapX * kx));
    if (cell.font.Style & FontStyle::Bold)
        style += QLatin1String("font-weight:bold;");
    if (cell.font.Style & FontStyle::Italic)
        style += QLatin1String("font-style:italic;");
    if (cell.font.Style & (FontStyle::Underline | FontStyle::StrikeOut))
        style += QStringLiteral("text-decoration:%1%2;")
                     .arg(cell.font.Style & FontStyle::Underline ? QLatin1String("underline ")
                                                                 : QLatin1String(""),
                         cell.font.Style & FontStyle::StrikeOut ? QLatin1String("line-through")
                                                                : QLatin1String(""));
    if (cell.font.Color != 0)
        style += QStringLiteral("color:%1;").arg(cssColor(cell.font.Color));
    if (cell.charSpacing != 0)
        style += QStringLiteral("letter-spacing:%1;").arg(px(cell.charSpacing * kx));
    if (cell.fill != clNone)
        style += QStringLiteral("background:%1;").arg(cssColor(cell.fill));
    switch (ExportCells::horizontal(cell)) {
    case 1:
        style += QLatin1String("text-align:right;");
        break;
    case 2:
        style += QLatin1String("text-align:center;");
        break;
    case 3:
        style += QLatin1String("text-align:justify;");
        break;
    default:
        break;
    }
    if (cell.alignment & (frtaMiddle | frtaDown))
        style += (cell.alignment & frtaDown) ? QLatin1String("justify-content:flex-end;")
                                             : QLatin1String("justify-content:center;");
    if (cell.wrap)
        style += QLatin1String("white-space:pre-wrap;");
    if (cell.alignment & frtaVertical)
        style += QLatin1String("writing-mode:vertical-rl;transform:rotate(180deg);");
    style += borderCss(cell, kx);
    auto look = looks.classes.constFind(style);
    if (look == looks.classes.constEnd()) {
        look = looks.classes.insert(style, int(looks.classes.size()));
        looks.newRules += QStringLiteral(".s%1 { %2 }\n").arg(*look).arg(style);
    }
    return QStringLiteral("<div class=\"v s%1\" style=\"%2\"><span>%3</span></div>\n")
        .arg(*look)
        .arg(place, escaped(cell.text));
}

// The page's drawn views (everything but its memos) as a PNG data URI, at `sheet` pixels.
QByteArray drawnViews(TfrEMFPages& pages, int index, QSize sheet)
{
    TfrPreparedPage& page = pages.PageAt(index);
    QImage image(sheet, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.fill(Qt::transparent);
    image.setDotsPerMeterX(qRound(kCssPixelsPerInch * kPictureScale / 0.0254));
    image.setDotsPerMeterY(qRound(kCssPixelsPerInch * kPictureScale / 0.0254));
    pages.MaterializePage(index);
    auto& views = page.LivePage->ObjectList;
    // The memos step aside while the rest is drawn; the HTML gives them as text.
    std::vector<std::unique_ptr<TfrView>> memos;
    for (auto& view : views)
        if (dynamic_cast<TfrMemoView*>(view.get()))
            memos.push_back(std::move(view));
    views.erase(std::remove(views.begin(), views.end(), nullptr), views.end());
    const bool wasInUse = page.InUse;
    page.InUse = true;
    {
        QPainter painter(&image);
        pages.DrawPage(index, painter, PageTarget::onSheet(page, sheet));
    }
    page.InUse = wasInUse;
    pages.ReleasePage(index);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "data:image/png;base64," + png.toBase64();
}

} // namespace

bool HtmlExport::write(
    TfrEMFPages& pages, const QString& fileName, const ExportDocumentInfo& info, const Progress& progress)
{
    SafeOutputFile file(fileName);
    file.open();
    QString head = QStringLiteral(
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>%1</title>\n"
        "<meta name=\"generator\" content=\"%2\">\n<style>\n"
        "body { margin: 0; padding: 8px 0; background: #808080; }\n"
        ".page { position: relative; overflow: hidden; background: #fff; margin: 0 auto 8px auto; }\n"
        ".page > img { position: absolute; left: 0; top: 0; }\n"
        ".v { position: absolute; box-sizing: border-box; overflow: hidden; white-space: pre; "
        "display: flex; flex-direction: column; color: #000; }\n"
        "@media print { body { background: none; padding: 0; } .page { margin: 0; break-after: page; } }\n"
        "</style>\n</head>\n<body>\n")
                       .arg(escaped(info.title), escaped(info.creator));
    file.write(head.toUtf8());
    Looks looks;
    for (int i = 0; i < pages.Count(); ++i) {
        const TfrPreparedPage& record = pages.PageAt(i);
        const QSize sheet = sheetOf(record, int(kCssPixelsPerInch));
        const QRect target = PageTarget::onSheet(record, sheet);
        const double kx
            = record.Metrics.UnitPaperWidth > 0 ? double(target.width()) / record.Metrics.UnitPaperWidth : 1;
        const double ky = record.Metrics.UnitPaperHeight > 0
            ? double(target.height()) / record.Metrics.UnitPaperHeight
            : 1;
        const ExportPage page = ExportCells::read(pages, i);
        QString html = QStringLiteral("<div class=\"page\" id=\"page%1\" style=\"width:%2;height:%3\">\n")
                           .arg(i + 1)
                           .arg(px(sheet.width()), px(sheet.height()));
        if (page.hasOtherViews) {
            const QByteArray picture = drawnViews(pages, i, sheet * kPictureScale);
            if (!picture.isEmpty())
                html += QStringLiteral("<img alt=\"\" src=\"%1\" style=\"width:%2;height:%3\">\n")
                            .arg(QString::fromLatin1(picture), px(sheet.width()), px(sheet.height()));
        }
        for (const ExportCell& cell : page.cells)
            html += memoHtml(cell, target.topLeft(), kx, ky, looks);
        html += QLatin1String("</div>\n");
        if (!looks.newRules.isEmpty()) {
            // The page's new looks go before it, so that the browser styles it as it reads it.
            html.prepend(QStringLiteral("<style>\n%1</style>\n").arg(looks.newRules));
            looks.newRules.clear();
        }
        file.write(html.toUtf8());
        if (progress && progress(i + 1))
            return false;
    }
    file.write("</body>\n</html>\n");
    file.commit();
    return true;
}

} // namespace vaskel
