#include "designer/DataTree.h"

#include "app/BillDataModule.h"
#include "designer/DesignDocument.h"
#include "report/engine/TfrDBDataSet.h"
#include "report/expr/ExprGlobals.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrView.h"

#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QVBoxLayout>

namespace vaskel {

namespace {

enum Role { InsertText = Qt::UserRole, FieldWidth, Description };

// The tree itself: fields are what it lets go of in a drag.
class FieldTree : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;

protected:
    QStringList mimeTypes() const override { return {QLatin1String(DataTree::kFieldMimeType)}; }
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override
    {
        return items.isEmpty() ? nullptr : DataTree::mimeDataOf(*items.first());
    }
};

QString typeName(const DatabaseField& f)
{
    switch (f.kind()) {
    case DatabaseFieldKind::String:
    case DatabaseFieldKind::WideString:
        return QStringLiteral("String(%1)").arg(f.size());
    case DatabaseFieldKind::Integer:
    case DatabaseFieldKind::LargeInt:
        return QStringLiteral("Integer");
    case DatabaseFieldKind::Float:
        return QStringLiteral("Float");
    case DatabaseFieldKind::Boolean:
        return QStringLiteral("Boolean");
    case DatabaseFieldKind::Date:
        return QStringLiteral("Date");
    case DatabaseFieldKind::Time:
        return QStringLiteral("Time");
    case DatabaseFieldKind::DateTime:
        return QStringLiteral("DateTime");
    case DatabaseFieldKind::Memo:
    case DatabaseFieldKind::FormattedMemo:
        return QStringLiteral("Memo");
    default:
        return QStringLiteral("Blob");
    }
}

// What a memo showing the field needs across: its characters at the memo's default 10-point
// font (about 7 units a character) and the text margins; numbers and dates a fixed width.
int widthFor(const DatabaseField& f)
{
    switch (f.kind()) {
    case DatabaseFieldKind::String:
    case DatabaseFieldKind::WideString:
        return std::clamp(f.size(), 4, 40) * 7 + 6;
    case DatabaseFieldKind::Boolean:
        return 40;
    default:
        return 80;
    }
}

struct FunctionText {
    const char* name;
    const char* text;
};

// The functions every expression can call, with what they do: the parser's own, the standard
// library's and the report's.
const FunctionText kFunctionTexts[] = {
    {"IF", QT_TRANSLATE_NOOP("vaskel::DataTree", "IF(condition, value if true, value if false)")},
    {"COPY", QT_TRANSLATE_NOOP("vaskel::DataTree", "COPY(text, from, count): part of a text")},
    {"STRTODATE", QT_TRANSLATE_NOOP("vaskel::DataTree", "STRTODATE(text): the date a text names")},
    {"STRTOTIME", QT_TRANSLATE_NOOP("vaskel::DataTree", "STRTOTIME(text): the time a text names")},
    {"SUM",
        QT_TRANSLATE_NOOP("vaskel::DataTree", "SUM(expression, data band): total over the band's records")},
    {"AVG",
        QT_TRANSLATE_NOOP("vaskel::DataTree", "AVG(expression, data band): average over the band's records")},
    {"COUNT", QT_TRANSLATE_NOOP("vaskel::DataTree", "COUNT(data band): number of records printed")},
    {"MIN", QT_TRANSLATE_NOOP("vaskel::DataTree", "MIN(expression, data band): smallest value")},
    {"MAX", QT_TRANSLATE_NOOP("vaskel::DataTree", "MAX(expression, data band): largest value")},
    {"DAYOF", QT_TRANSLATE_NOOP("vaskel::DataTree", "DAYOF(date): day of the month")},
    {"MONTHOF", QT_TRANSLATE_NOOP("vaskel::DataTree", "MONTHOF(date): month number")},
    {"YEAROF", QT_TRANSLATE_NOOP("vaskel::DataTree", "YEAROF(date): year")},
    {"FORMATDATETIME",
        QT_TRANSLATE_NOOP(
            "vaskel::DataTree", "FORMATDATETIME(pattern, date): a date as text, e.g. 'yyyy-mm-dd'")},
    {"FORMATFLOAT",
        QT_TRANSLATE_NOOP(
            "vaskel::DataTree", "FORMATFLOAT(pattern, number): a number as text, e.g. '#,##0.00'")},
    {"FORMATTEXT",
        QT_TRANSLATE_NOOP("vaskel::DataTree", "FORMATTEXT(mask, text): a text laid into an edit mask")},
    {"INPUT", QT_TRANSLATE_NOOP("vaskel::DataTree", "INPUT(prompt, default): asks the person for a text")},
    {"LENGTH", QT_TRANSLATE_NOOP("vaskel::DataTree", "LENGTH(text): number of characters")},
    {"LOWERCASE", QT_TRANSLATE_NOOP("vaskel::DataTree", "LOWERCASE(text): the text in lower case")},
    {"UPPERCASE", QT_TRANSLATE_NOOP("vaskel::DataTree", "UPPERCASE(text): the text in upper case")},
    {"NAMECASE",
        QT_TRANSLATE_NOOP("vaskel::DataTree", "NAMECASE(text): first letter upper case, the rest lower")},
    {"MAXNUM", QT_TRANSLATE_NOOP("vaskel::DataTree", "MAXNUM(a, b): the larger number")},
    {"MINNUM", QT_TRANSLATE_NOOP("vaskel::DataTree", "MINNUM(a, b): the smaller number")},
    {"MESSAGEBOX",
        QT_TRANSLATE_NOOP("vaskel::DataTree", "MESSAGEBOX(text, caption, buttons): shows a message")},
    {"POS",
        QT_TRANSLATE_NOOP("vaskel::DataTree", "POS(part, text): where a part starts in a text, 0 if not")},
    {"TRIM", QT_TRANSLATE_NOOP("vaskel::DataTree", "TRIM(text): the text without blanks around it")},
    {"NEWPAGE", QT_TRANSLATE_NOOP("vaskel::DataTree", "NEWPAGE: starts a new page after the band")},
    {"NEWCOLUMN", QT_TRANSLATE_NOOP("vaskel::DataTree", "NEWCOLUMN: starts a new column after the band")},
    {"SHOWBAND", QT_TRANSLATE_NOOP("vaskel::DataTree", "SHOWBAND(band name): prints that band now")},
    {"STOPREPORT", QT_TRANSLATE_NOOP("vaskel::DataTree", "STOPREPORT: ends the report")},
    {"INC", QT_TRANSLATE_NOOP("vaskel::DataTree", "INC(variable): adds 1")},
    {"DEC", QT_TRANSLATE_NOOP("vaskel::DataTree", "DEC(variable): subtracts 1")},
};

const char* const kSystemVariables[]
    = {"PAGE#", "TOTALPAGES", "LINE#", "LINETHROUGH#", "COLUMN#", "CURRENT#", "DATE", "TIME"};

QTreeWidgetItem* leaf(QTreeWidgetItem* parent, const QString& text, const QString& insert)
{
    auto* item = new QTreeWidgetItem(parent, {text});
    item->setData(0, InsertText, insert);
    return item;
}

} // namespace

DataTree::DataTree(DesignDocument& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_tree(new FieldTree(this)), m_description(new QLabel(this))
{
    setObjectName(QStringLiteral("DataTree"));
    m_tree->setObjectName(QStringLiteral("dataTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setDragEnabled(true);
    m_tree->setDragDropMode(QAbstractItemView::DragOnly);
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setWordWrap(true);
    m_description->setMinimumHeight(40);
    m_description->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_description);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        m_description->setText(item ? item->data(0, Description).toString() : QString());
    });
    connect(&m_doc, &DesignDocument::reset, this, &DataTree::refresh);
    connect(&m_doc, &DesignDocument::changed, this, [this](TfrPage*, const QRect& area) {
        // Only changes that can add a name (dictionary, band data sources) come without an area.
        if (area.isNull())
            refresh();
    });
    refresh();
}

QList<DataTree::Dataset> DataTree::datasetsOf(const QString& odbcConnection)
{
    BillDataModule module(odbcConnection);
    module.connect();
    module.openQueries();
    QList<Dataset> out;
    for (DatabaseDataset* query :
        {static_cast<DatabaseDataset*>(&module.purchase()), static_cast<DatabaseDataset*>(&module.sales())}) {
        Dataset d{query->Name, {}, {}};
        for (int i = 0; i < query->fieldCount(); ++i) {
            const DatabaseField& f = *query->field(i);
            d.fields.append({f.fieldName(), typeName(f), widthFor(f)});
        }
        out.append(d);
    }
    for (TfrDBDataSet* ds : {&module.purchaseDataset(), &module.salesDataset()})
        out.append({ds->Name, ds->DataSet() ? ds->DataSet()->Name : QString(), {}});
    return out;
}

void DataTree::setDatasets(const QList<Dataset>& datasets)
{
    m_datasets = datasets;
    refresh();
}

QTreeWidgetItem* DataTree::section(const QString& caption) const
{
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        if (m_tree->topLevelItem(i)->text(0) == caption)
            return m_tree->topLevelItem(i);
    return nullptr;
}

void DataTree::refresh()
{
    QSet<QString> expanded;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        if (m_tree->topLevelItem(i)->isExpanded())
            expanded.insert(m_tree->topLevelItem(i)->text(0));
    m_tree->clear();

    auto* queries = new QTreeWidgetItem(m_tree, {tr("Datasets")});
    auto* reportDatasets = new QTreeWidgetItem(m_tree, {tr("Report datasets")});
    QSet<QString> reportNames;
    for (const Dataset& d : m_datasets) {
        if (!d.walks.isEmpty()) {
            leaf(reportDatasets, QStringLiteral("%1 (%2)").arg(d.name, d.walks), d.name);
            reportNames.insert(d.name.toUpper());
            continue;
        }
        auto* item = leaf(queries, d.name, d.name);
        for (const Field& f : d.fields) {
            const QString ref = QStringLiteral("%1.\"%2\"").arg(d.name, f.name);
            QTreeWidgetItem* field = leaf(item, QStringLiteral("%1 : %2").arg(f.name, f.type), ref);
            field->setData(0, FieldWidth, f.width);
            field->setData(0, Description, ref);
        }
    }
    // The data sources the template's data bands name, which the module may not know.
    for (const auto& page : m_doc.holder().Pages)
        for (const auto& v : page->ObjectList)
            if (v->TypeCode == 2 && !v->FormatText.isEmpty()
                && (v->FrameTyp == 5 || v->FrameTyp == 8 || v->FrameTyp == 11 || v->FrameTyp == 19)
                && !v->FormatText.contains(QLatin1Char(';'))
                && !reportNames.contains(v->FormatText.toUpper())) {
                reportNames.insert(v->FormatText.toUpper());
                leaf(reportDatasets, v->FormatText, v->FormatText);
            }

    // Variables by category: a name starting with a blank heads the variables after it.
    auto* variables = new QTreeWidgetItem(m_tree, {tr("Variables")});
    QTreeWidgetItem* category = variables;
    const TfrVariables& dict = m_doc.holder().Dictionary.Variables;
    for (int i = 0; i < dict.Count(); ++i) {
        const QString name = dict.Names(i);
        if (name.startsWith(QLatin1Char(' '))) {
            category = new QTreeWidgetItem(variables, {name.trimmed()});
            continue;
        }
        const Value v = dict.Values(i);
        QTreeWidgetItem* item = leaf(category, name, name);
        item->setData(0, Description, v.isNull() || v.isEmpty() ? QString() : v.toText());
    }

    auto* system = new QTreeWidgetItem(m_tree, {tr("System variables")});
    for (const char* name : kSystemVariables)
        leaf(system, QLatin1String(name), QLatin1String(name));

    auto* functions = new QTreeWidgetItem(m_tree, {tr("Functions")});
    auto* builtIn = new QTreeWidgetItem(functions, {tr("Expressions and report")});
    QSet<QString> listed;
    const FunctionLibraryList& libraries = ExprGlobals::get().libraries;
    for (int i = 0; i < libraries.Count(); ++i) {
        const TfrFunctionLibrary* lib = libraries.Library(i);
        auto* item = new QTreeWidgetItem(functions, {lib->ClassName()});
        for (const QString& name : lib->FunctionNames) {
            leaf(item, name, name)->setData(0, Description, descriptionOf(name));
            listed.insert(name);
        }
    }
    for (const FunctionText& f : kFunctionTexts)
        if (!listed.contains(QLatin1String(f.name)))
            leaf(builtIn, QLatin1String(f.name), QLatin1String(f.name))
                ->setData(0, Description, descriptionOf(QLatin1String(f.name)));
    functions->addChild(functions->takeChild(0)); // the report's own after the libraries

    // The sections stay as they were; the first dataset opens on its fields when it first shows.
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = m_tree->topLevelItem(i);
        top->setExpanded(expanded.isEmpty() ? i < 3 : expanded.contains(top->text(0)));
    }
    if (!m_queriesShown && queries->childCount() > 0) {
        queries->setExpanded(true);
        queries->child(0)->setExpanded(true);
        m_queriesShown = true;
    }
}

QString DataTree::descriptionOf(const QString& function) const
{
    for (const FunctionText& f : kFunctionTexts)
        if (function.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0)
            return tr(f.text);
    if (const TfrInstalledFunctions::Entry* e = ExprGlobals::get().installedFunctions.Find(function))
        return e->description;
    return {};
}

QStringList DataTree::completions() const
{
    QStringList out;
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
        const QString insert = item->data(0, InsertText).toString();
        if (!insert.isEmpty() && !out.contains(insert))
            out << insert;
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i));
    };
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        walk(m_tree->topLevelItem(i));
    return out;
}

QStringList DataTree::datasetNames() const
{
    QStringList out;
    for (const QString& caption : {tr("Datasets"), tr("Report datasets")})
        if (QTreeWidgetItem* s = section(caption))
            for (int i = 0; i < s->childCount(); ++i)
                out << s->child(i)->data(0, InsertText).toString();
    return out;
}

QMimeData* DataTree::mimeDataOf(const QTreeWidgetItem& item)
{
    const int width = item.data(0, FieldWidth).toInt();
    if (width <= 0)
        return nullptr;
    auto* data = new QMimeData;
    const QString ref = item.data(0, InsertText).toString();
    data->setData(QLatin1String(kFieldMimeType), (ref + QLatin1Char('\n') + QString::number(width)).toUtf8());
    data->setText(QLatin1Char('[') + ref + QLatin1Char(']'));
    return data;
}

} // namespace vaskel
