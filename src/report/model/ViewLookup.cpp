#include "report/model/ViewLookup.h"

#include <QSet>

namespace vaskel {

TfrView* FindViewOnPage(const TfrPage& page, const QString& name)
{
    for (const auto& v : page.ObjectList) {
        if (v->Name.compare(name, Qt::CaseInsensitive) == 0)
            return v.get();
    }
    return nullptr;
}

TfrView* FindViewByName(const TfrPages& pages, const QString& name)
{
    for (const auto& page : pages) {
        if (TfrView* v = FindViewOnPage(*page, name))
            return v;
    }
    return nullptr;
}

namespace {

QString smallestFreeName(const QString& prefix, const QSet<QString>& taken)
{
    for (int i = 1; i <= 10000; ++i) {
        const QString candidate = prefix + QString::number(i);
        if (!taken.contains(candidate.toUpper()))
            return candidate;
    }
    return {};
}

} // namespace

QString GenerateViewName(const TfrPages& pages, const TfrView& view)
{
    QSet<QString> taken;
    for (const auto& page : pages) {
        for (const auto& v : page->ObjectList) {
            if (v.get() != &view)
                taken.insert(v->Name.toUpper());
        }
    }
    return smallestFreeName(view.NamePrefix, taken);
}

QString GeneratePageName(const TfrPages& pages)
{
    QSet<QString> taken;
    for (const auto& page : pages)
        taken.insert(page->Name.toUpper());
    return smallestFreeName(QStringLiteral("Page"), taken);
}

ObjectProperty FindObjectProperty(const QString& text, const TfrPages& pages, TfrView* currentView)
{
    ObjectProperty result{currentView, text};
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot >= 0) {
        const QString prefix = text.left(dot);
        result.property = text.mid(dot + 1);
        const QString upper = prefix.toUpper();
        if (upper.startsWith(QLatin1String("PAGE")) && upper.size() > 4 && upper.at(4).isDigit()) {
            // "Page2.Orientation": the template page by its 1-based number.
            bool ok = false;
            const int number = upper.mid(4).toInt(&ok);
            result.object = ok ? pages.Page(number - 1) : nullptr;
        } else if (TfrView* v = FindViewByName(pages, prefix)) {
            result.object = v;
        } else {
            // "Font.Name": no object of that name, but a property group of the current view.
            result.object = nullptr;
            if (currentView) {
                if (currentView->PropertyTable().empty())
                    currentView->BuildPropertyTable();
                if (currentView->LookupProperty(prefix)) {
                    result.object = currentView;
                    result.property = text;
                }
            }
        }
    }
    if (result.object && result.object->PropertyTable().empty())
        result.object->BuildPropertyTable();
    return result;
}

} // namespace vaskel
