#include "report/engine/PreparedPagesJson.h"

#include "report/engine/TfrEMFPages.h"
#include "report/model/TemplateJson.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPictureView.h"

#include <QJsonArray>
#include <QJsonObject>

namespace vaskel::PreparedPagesJson {

namespace {

QString colourText(quint32 c)
{
    return QStringLiteral("0x") + QString::number(c, 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

QString typeName(const TfrView& view)
{
    switch (view.TypeCode) {
    case 0:
        return QStringLiteral("memo");
    case 1:
        return QStringLiteral("picture");
    case 2:
        return QStringLiteral("band");
    case 3:
        return QStringLiteral("subReport");
    case 4:
        return QStringLiteral("line");
    default:
        return view.ClassName();
    }
}

QJsonObject paperJson(const TfrPreparedPage& page)
{
    QJsonObject o;
    o.insert(QStringLiteral("code"), page.PaperCode);
    o.insert(QStringLiteral("width"), page.PaperSizeX);
    o.insert(QStringLiteral("height"), page.PaperSizeY);
    o.insert(QStringLiteral("orientation"), page.PaperOrientation);
    o.insert(QStringLiteral("bin"), page.PaperSource);
    o.insert(QStringLiteral("marginsFlag"), page.MarginsFlag);
    o.insert(QStringLiteral("margins"),
        QJsonArray{page.Margins[0], page.Margins[1], page.Margins[2], page.Margins[3]});
    return o;
}

QJsonObject objectJson(const TfrView& view)
{
    QJsonObject o;
    o.insert(QStringLiteral("type"), typeName(view));
    o.insert(QStringLiteral("name"), view.Name);
    o.insert(QStringLiteral("rect"), QJsonArray{view.Left, view.Top, view.Width, view.Height});
    o.insert(QStringLiteral("frameTyp"), view.FrameTyp);
    o.insert(QStringLiteral("frameWidth"), double(view.FrameWidth));
    o.insert(QStringLiteral("frameColor"), colourText(view.FrameColor));
    o.insert(QStringLiteral("fillColor"), colourText(view.FillColor));
    if (!view.Tag.isEmpty())
        o.insert(QStringLiteral("tag"), view.Tag);
    if (const auto* memo = dynamic_cast<const TfrMemoView*>(&view)) {
        o.insert(QStringLiteral("font"),
            QJsonObject{{QStringLiteral("name"), memo->Font.Name}, {QStringLiteral("size"), memo->Font.Size},
                {QStringLiteral("style"), memo->Font.Style},
                {QStringLiteral("color"), colourText(memo->Font.Color)}});
        o.insert(QStringLiteral("alignment"), qint64(memo->Alignment));
    }
    if (const auto* picture = dynamic_cast<const TfrPictureView*>(&view)) {
        o.insert(QStringLiteral("pictureKind"), picture->Picture.kind());
        o.insert(QStringLiteral("pictureBytes"), picture->Picture.bytes().size());
    }
    if (!view.Memo.isEmpty())
        o.insert(QStringLiteral("lines"), QJsonArray::fromStringList(view.Memo));
    return o;
}

QJsonObject pageJson(TfrEMFPages& pages, int i)
{
    TfrPreparedPage& page = pages.PageAt(i);
    const bool wasLive = page.LivePage != nullptr;
    pages.MaterializePage(i);
    QJsonArray objects;
    for (const auto& view : page.LivePage->ObjectList)
        objects.append(objectJson(*view));
    if (!wasLive)
        pages.ReleasePage(i);
    return QJsonObject{{QStringLiteral("paper"), paperJson(page)}, {QStringLiteral("objects"), objects}};
}

} // namespace

QJsonDocument toJson(TfrEMFPages& pages)
{
    QJsonArray pageList;
    for (int i = 0; i < pages.Count(); ++i)
        pageList.append(pageJson(pages, i));
    return QJsonDocument(QJsonObject{{QStringLiteral("pages"), pageList}});
}

void writeText(TfrEMFPages& pages, const std::function<void(const QByteArray&)>& sink)
{
    if (pages.Count() == 0) {
        sink(TemplateJson::toText(toJson(pages)));
        return;
    }
    // The document's one key, "pages", holds a list of objects: each page is written as the list's
    // element at depth 2, as the whole document would be written.
    sink("{\n    \"pages\": [\n");
    for (int i = 0; i < pages.Count(); ++i) {
        const bool last = i + 1 == pages.Count();
        sink("        " + TemplateJson::toText(pageJson(pages, i), 2) + (last ? "\n" : ",\n"));
    }
    sink("    ]\n}\n");
}

} // namespace vaskel::PreparedPagesJson
