#include "designer/DesignDocument.h"

#include "designer/DesignCommands.h"
#include "designer/ObservedUi.h"
#include "platform/PlatformGlobals.h"
#include "report/model/TemplateJson.h"
#include "report/model/TemplateReader.h"
#include "report/model/TemplateWriter.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrView.h"
#include "report/model/ViewFieldTable.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

namespace vaskel {

namespace {

bool isJsonName(const QString& fileName)
{
    return fileName.endsWith(QLatin1String(".json"), Qt::CaseInsensitive);
}

// Reads a template's text form into `holder`; the reason in `error` when it is not one.
bool readJsonTemplate(const QString& fileName, TemplateHolder& holder, QString& error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (json.isNull()) {
        error = QStringLiteral("%1 at offset %2").arg(parseError.errorString()).arg(parseError.offset);
        return false;
    }
    try {
        TemplateJson::fromJson(json, holder);
    } catch (const VaskelError& e) {
        error = e.message();
        return false;
    }
    return true;
}

} // namespace

DesignDocument::DesignDocument(QObject* parent) : QObject(parent)
{
    newTemplate();
}

DesignDocument::~DesignDocument()
{
    // The commands hold views taken out of the pages; they go before the pages they point into.
    m_undo.clear();
}

void DesignDocument::newTemplate()
{
    m_undo.clear();
    m_holder = std::make_unique<TemplateHolder>(&frPrinter());
    // A new report starts on A4 portrait whatever paper the printer has chosen last: the paper
    // the company's reports are printed on.
    TfrPage* page = m_holder->Pages.Add();
    PageSettings a4 = PageSettings::of(*page);
    a4.PaperCode = 9;
    a4.PaperSizeX = 2100;
    a4.PaperSizeY = 2970;
    a4.PaperOrientation = 0;
    a4.applyTo(*page);
    m_fileName.clear();
    emit reset();
}

bool DesignDocument::open(const QString& fileName, QString* error)
{
    auto holder = std::make_unique<TemplateHolder>(&frPrinter());
    QString problem;
    if (isJsonName(fileName)) {
        if (!readJsonTemplate(fileName, *holder, problem))
            PlatformGlobals::get().ui().showError(
                QFileInfo(fileName).fileName() + QStringLiteral(": ") + problem);
    } else {
        // What the reader reports goes through the message boxes; the observed services count them.
        auto* observed = dynamic_cast<ObservedUi*>(&PlatformGlobals::get().ui());
        const qsizetype shown = observed ? observed->messages().size() : 0;
        if (!TemplateReader::LoadTemplate(*holder, fileName)) {
            problem = tr("The file cannot be opened.");
            PlatformGlobals::get().ui().showError(
                QFileInfo(fileName).fileName() + QStringLiteral(": ") + problem);
        } else if (observed && observed->messages().size() > shown) {
            problem = observed->messages().mid(shown).join(QLatin1Char('\n'));
        }
    }
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    m_undo.clear();
    m_holder = std::move(holder);
    m_fileName = fileName;
    emit reset();
    return true;
}

bool DesignDocument::save(const QString& fileName, QString* error)
{
    QByteArray bytes;
    try {
        bytes = isJsonName(fileName) ? TemplateJson::toText(TemplateJson::toJson(*m_holder))
                                     : TemplateWriter::SaveTemplateToStream(*m_holder);
    } catch (const VaskelError& e) {
        if (error)
            *error = e.message();
        return false;
    }
    // Written beside the target and renamed over it: a failed save never damages the old file.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    m_fileName = fileName;
    m_undo.setClean();
    return true;
}

PrintContext DesignDocument::designContext(TfrPage* page)
{
    PrintContext ctx;
    ctx.Page = page;
    ctx.PrintMode = false;
    return ctx;
}

QRect DesignDocument::placedRect(TfrView& view)
{
    const qint32 left = view.Left, top = view.Top, width = view.Width, height = view.Height;
    if (view.BandAlign != baNone)
        view.PlaceLayout(nullptr, designContext(view.OwnerPage));
    const QRect placed(view.Left, view.Top, view.Width, view.Height);
    view.Left = left;
    view.Top = top;
    view.Width = width;
    view.Height = height;
    return placed;
}

QString DesignDocument::uniqueName(const QString& prefix, const QStringList& alsoTaken) const
{
    QSet<QString> taken;
    for (const QString& name : alsoTaken)
        taken.insert(name.toUpper());
    for (const auto& page : m_holder->Pages)
        for (const auto& v : page->ObjectList)
            taken.insert(v->Name.toUpper());
    for (int n = 1;; ++n) {
        const QString name = prefix + QString::number(n);
        if (!taken.contains(name.toUpper()))
            return name;
    }
}

QByteArray DesignDocument::viewsToJson(const std::vector<TfrView*>& views) const
{
    if (views.empty())
        return {};
    QSet<QString> names;
    for (const TfrView* v : views)
        names.insert(v->Name);
    int pageIndex = 0;
    for (int i = 0; i < m_holder->Pages.Count(); ++i)
        if (m_holder->Pages.Page(i) == views.front()->OwnerPage)
            pageIndex = i;
    QJsonObject doc = TemplateJson::toJson(*m_holder).object();
    QJsonObject page = doc.value(QLatin1String("pages")).toArray().at(pageIndex).toObject();
    QJsonArray kept;
    for (const QJsonValue& v : page.value(QLatin1String("views")).toArray())
        if (names.contains(v.toObject().value(QLatin1String("name")).toString()))
            kept.append(v);
    page.insert(QLatin1String("views"), kept);
    doc.insert(QLatin1String("pages"), QJsonArray{page});
    return TemplateJson::toText(QJsonDocument(doc));
}

std::vector<std::unique_ptr<TfrView>> DesignDocument::viewsFromJson(const QByteArray& json, QString* error)
{
    std::vector<std::unique_ptr<TfrView>> views;
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isObject() || !doc.object().value(QLatin1String("pages")).isArray()) {
        if (error)
            *error = tr("The clipboard holds no report objects.");
        return views;
    }
    TemplateHolder holder;
    try {
        TemplateJson::fromJson(doc, holder);
    } catch (const VaskelError& e) {
        if (error)
            *error = e.message();
        return views;
    }
    for (const auto& page : holder.Pages)
        for (auto& v : page->ObjectList)
            views.push_back(std::move(v));
    return views;
}

void DesignDocument::notifyChanged(TfrPage* page, const QRect& area)
{
    emit changed(page, area);
}

const ViewField* valueFieldOf(const TfrView& view, const QString& name)
{
    for (const ViewField& f : view.Fields().fields())
        if (f.name && name.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0
            && (f.get || f.kind == FieldKind::FlagBit))
            return &f;
    return nullptr;
}

const ViewField* fieldByKey(const TfrView& view, const char* key)
{
    for (const ViewField& f : view.Fields().fields())
        if (f.key && qstrcmp(f.key, key) == 0)
            return &f;
    return nullptr;
}

} // namespace vaskel
