#include "designer/PropertyInspector.h"

#include "designer/CodeCheck.h"
#include "designer/DesignCommands.h"
#include "designer/DesignDocument.h"
#include "designer/TextEditDialog.h"
#include "platform/PlatformError.h"
#include "report/model/ReportLimits.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrView.h"
#include "ui/desktop/TfrFmtForm.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QCompleter>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace vaskel {

namespace {

const char* const kNameProperty = "inspectorEntry";

// The window system's colour 0x00BBGGRR as a Qt colour, and back.
QColor qtColour(quint32 c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
quint32 reportColour(const QColor& c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

// The values a field's stored width holds, for kinds without a reader's range.
QString widthProblem(FieldKind kind, double v)
{
    double lo = 0, hi = 0;
    switch (kind) {
    case FieldKind::Int32:
        lo = std::numeric_limits<qint32>::min();
        hi = std::numeric_limits<qint32>::max();
        break;
    case FieldKind::UInt8:
        hi = 255;
        break;
    case FieldKind::UInt16:
        hi = 65535;
        break;
    case FieldKind::UInt32:
    case FieldKind::Colour:
        hi = 4294967295.0;
        break;
    case FieldKind::Fraction:
        return std::isfinite(v) && std::abs(v) <= std::numeric_limits<float>::max()
            ? QString()
            : PropertyInspector::tr("A number is expected.");
    default:
        return {};
    }
    if (v >= lo && v <= hi)
        return {};
    return PropertyInspector::tr("The value must lie between %1 and %2.").arg(qint64(lo)).arg(qint64(hi));
}

// Typed text as a value of `kind`; nothing when it is not one.
std::optional<FieldValue> parseValue(FieldKind kind, const QString& typed)
{
    const QString text = typed.trimmed();
    bool ok = false;
    switch (kind) {
    case FieldKind::Int32:
    case FieldKind::UInt8:
    case FieldKind::UInt16:
    case FieldKind::UInt32:
    case FieldKind::Colour:
    case FieldKind::BandKind: {
        const qint64 n = text.toLongLong(&ok, 0);
        return ok ? std::optional<FieldValue>(n) : std::nullopt;
    }
    case FieldKind::Fraction: {
        const double d = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        return ok ? std::optional<FieldValue>(d) : std::nullopt;
    }
    case FieldKind::Boolean:
    case FieldKind::FlagBit:
        if (text == u"1" || text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return FieldValue(true);
        if (text == u"0" || text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return FieldValue(false);
        return std::nullopt;
    case FieldKind::Text:
        return FieldValue(typed);
    case FieldKind::Lines:
        return FieldValue(typed.isEmpty() ? QStringList() : typed.split(QLatin1Char('\n')));
    default:
        return std::nullopt;
    }
}

// A page property's value as an editor shows it; Null (no value) shows as nothing.
QString pageText(const Value& v)
{
    if (v.isNull() || v.isEmpty())
        return {};
    try {
        return v.toText();
    } catch (const VaskelError&) {
        return {};
    }
}

// The field behind an inspector entry: the field of that name, or for a band's "DataSource" the
// text a band keeps its data source name in.
const ViewField* inspectedField(const TfrView& view, const QString& name)
{
    if (const ViewField* f = valueFieldOf(view, name))
        return f;
    if (view.TypeCode == 2 && name == u"DataSource")
        return fieldByKey(view, "formatText");
    return nullptr;
}

} // namespace

PropertyInspector::PropertyInspector(DesignDocument& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_table(new QTableWidget(0, 2, this)), m_message(new QLabel(this))
{
    m_table->setObjectName(QStringLiteral("properties"));
    m_table->setHorizontalHeaderLabels({tr("Property"), tr("Value")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_message->setObjectName(QStringLiteral("message"));
    m_message->setWordWrap(true);
    m_message->setStyleSheet(QStringLiteral("color: #b00000"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);
    layout->addWidget(m_message);
    // Values re-read after every change; queued, so that an editor whose signal made the change
    // is not deleted while it is still in its handler.
    connect(&m_doc, &DesignDocument::changed, this, [this] {
        if (m_rebuildQueued)
            return;
        m_rebuildQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_rebuildQueued = false;
            refresh();
        });
    });
}

void PropertyInspector::inspect(TfrPage* page, const std::vector<TfrView*>& views)
{
    m_page = page;
    m_views = views;
    m_message->clear();
    rebuild();
}

QStringList PropertyInspector::entryNames() const
{
    QStringList names;
    for (int r = 0; r < m_table->rowCount(); ++r)
        names << m_table->item(r, 0)->text();
    return names;
}

QWidget* PropertyInspector::editorOf(const QString& name) const
{
    for (int r = 0; r < m_table->rowCount(); ++r)
        if (m_table->item(r, 0)->text() == name)
            return m_table->cellWidget(r, 1);
    return nullptr;
}

QString PropertyInspector::message() const
{
    return m_message->text();
}

QString PropertyInspector::textOf(const FieldValue& v)
{
    if (const auto* n = std::get_if<qint64>(&v))
        return QString::number(*n);
    if (const auto* d = std::get_if<double>(&v))
        return QString::number(*d, 'g', 9);
    if (const auto* b = std::get_if<bool>(&v))
        return *b ? QStringLiteral("true") : QStringLiteral("false");
    if (const auto* s = std::get_if<QString>(&v))
        return *s;
    if (const auto* l = std::get_if<QStringList>(&v))
        return l->join(QLatin1Char('\n'));
    return {};
}

void PropertyInspector::addRow(const QString& name, QWidget* editor)
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    m_table->setItem(row, 0, new QTableWidgetItem(name));
    editor->setObjectName(name);
    editor->setProperty(kNameProperty, name);
    m_table->setCellWidget(row, 1, editor);
    m_values.push_back(shownValue(name));
}

QString PropertyInspector::shownValue(const QString& name) const
{
    if (m_views.empty())
        return m_page ? pageText(m_page->ReadProp(name)) : QString();
    const TfrView& view = *m_views.front();
    if (name == u"Font") {
        QStringList parts;
        for (const char* key : {"font.name", "font.size", "font.style"})
            if (const ViewField* f = fieldByKey(view, key))
                parts << textOf(f->valueOf(view));
        return parts.join(QLatin1Char(','));
    }
    if (name == u"Restrictions")
        return QString::number(view.RestrictionsWord());
    const ViewField* f = inspectedField(view, name);
    return f && f->kind != FieldKind::Picture && f->kind != FieldKind::Listed ? textOf(f->valueOf(view))
                                                                              : QString();
}

void PropertyInspector::refresh()
{
    // A change in place (a view moved by the mouse, one value typed) updates the typed fields it
    // touched; anything else (views gone, entries that come and go, a list's value) rebuilds.
    const size_t shown = m_views.size();
    std::erase_if(m_views, [](TfrView* v) {
        return !v->OwnerPage
            || std::none_of(v->OwnerPage->ObjectList.begin(), v->OwnerPage->ObjectList.end(),
                [v](const auto& p) { return p.get() == v; });
    });
    if (m_views.size() != shown || m_values.size() != size_t(m_table->rowCount()))
        return rebuild();
    QTableWidget* table = m_table;
    for (int r = 0; r < table->rowCount(); ++r) {
        const QString now = shownValue(table->item(r, 0)->text());
        if (now == m_values[r])
            continue;
        auto* edit = qobject_cast<QLineEdit*>(table->cellWidget(r, 1));
        if (!edit || edit->hasFocus())
            return rebuild();
        edit->setText(now);
        m_values[r] = now;
    }
}

void PropertyInspector::rebuild()
{
    // Views a command took away are no longer shown.
    std::erase_if(m_views, [](TfrView* v) {
        return !v->OwnerPage
            || std::none_of(v->OwnerPage->ObjectList.begin(), v->OwnerPage->ObjectList.end(),
                [v](const auto& p) { return p.get() == v; });
    });
    m_table->setRowCount(0);
    m_values.clear();
    if (!m_views.empty()) {
        TfrView& view = *m_views.front();
        view.BuildPropertyTable();
        for (const TfrPropRec& rec : view.PropertyTable()) {
            // Entries without kind flags are reachable by name only, not for editing.
            if (rec.typeFlags == 0)
                continue;
            addRow(rec.name, viewEditor(view, rec.name, rec.typeFlags, rec.enumNames, rec.enumValues));
        }
    } else if (m_page) {
        m_page->BuildPropertyTable();
        for (const TfrPropRec& rec : m_page->PropertyTable()) {
            // The page's kind (report or dialog) is not changed in the designer.
            if (rec.typeFlags == 0 || (rec.typeFlags & PropFlags::Editor) || rec.name == u"Type")
                continue;
            addRow(rec.name, pageEditor(rec.name, rec.typeFlags, rec.enumNames, rec.enumValues));
        }
    }
    m_table->resizeColumnToContents(0);
}

QWidget* PropertyInspector::viewEditor(TfrView& view, const QString& name, quint16 flags,
    const QStringList& enumNames, const std::optional<QList<qint32>>& enumValues)
{
    using namespace PropFlags;
    auto button = [this](const QString& text, auto handler) {
        auto* b = new QPushButton(text);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    if (name == u"Font")
        return button(QStringLiteral("%1, %2").arg(fieldByKey(view, "font.name")
                              ? textOf(fieldByKey(view, "font.name")->valueOf(view))
                              : QString(),
                          fieldByKey(view, "font.size") ? textOf(fieldByKey(view, "font.size")->valueOf(view))
                                                        : QString()),
            [this] { editFont(); });
    if (name == u"DisplayFormat")
        return button(tr("Format…"), [this] { editFormat(); });
    // Bit sets (restrictions, frame sides) are a menu of checkable entries, one per bit.
    auto bitsButton = [this, &view, &name](const std::vector<std::pair<quint16, QString>>& bits) {
        const ViewField* f = inspectedField(view, name);
        const quint16 value = quint16(std::get<qint64>(f->valueOf(view)));
        auto* b = new QToolButton;
        b->setText(QString::number(value));
        b->setPopupMode(QToolButton::InstantPopup);
        auto* menu = new QMenu(b);
        for (const auto& [bit, text] : bits) {
            QAction* a = menu->addAction(text);
            a->setCheckable(true);
            a->setChecked(value & bit);
            connect(a, &QAction::toggled, this, [this, f, name = name, bit = bit](bool on) {
                const quint16 now = quint16(std::get<qint64>(f->valueOf(*m_views.front())));
                commit(name, FieldValue(qint64(on ? (now | bit) : (now & ~bit))));
            });
        }
        b->setMenu(menu);
        return b;
    };
    if (name == u"Restrictions")
        return bitsButton({{DesignRestrictions::NoMove, tr("Do not move")},
            {DesignRestrictions::NoResize, tr("Do not resize")},
            {DesignRestrictions::NoDelete, tr("Do not delete")},
            {DesignRestrictions::NoMemoEdit, tr("Do not edit the text")},
            {DesignRestrictions::NoScriptEdit, tr("Do not edit the script")},
            {DesignRestrictions::NoContentsEdit, tr("Do not edit the contents")}});
    if (name == u"FrameTyp" && view.TypeCode != 2)
        return bitsButton({{FrameSides::Left, tr("Left")}, {FrameSides::Top, tr("Top")},
            {FrameSides::Right, tr("Right")}, {FrameSides::Bottom, tr("Bottom")}});

    const ViewField* f = inspectedField(view, name);
    // Pictures and entries that are only an editor of their own are not edited here.
    if (!f || f->kind == FieldKind::Picture || f->kind == FieldKind::Listed)
        return new QLabel(QStringLiteral("…"));
    const FieldValue value = f->valueOf(view);
    const bool readOnly = !f->set && f->kind != FieldKind::FlagBit;
    if (readOnly)
        return new QLabel(textOf(value));

    if (f->kind == FieldKind::Boolean || f->kind == FieldKind::FlagBit || (flags & Boolean)) {
        auto* box = new QCheckBox;
        box->setChecked(std::holds_alternative<bool>(value) && std::get<bool>(value));
        connect(box, &QCheckBox::toggled, this, [this, name](bool on) { commit(name, FieldValue(on)); });
        return box;
    }
    if (flags & Enumeration) {
        auto* combo = new QComboBox;
        combo->addItems(enumNames);
        int current = -1;
        if (enumValues) {
            const qint64 n = std::holds_alternative<qint64>(value) ? std::get<qint64>(value) : -1;
            current = enumValues->indexOf(qint32(n));
        } else {
            current = enumNames.indexOf(textOf(value));
            if (current < 0) {
                combo->insertItem(0, textOf(value));
                current = 0;
            }
        }
        combo->setCurrentIndex(current);
        connect(combo, &QComboBox::activated, this, [this, name, enumValues, combo](int index) {
            if (enumValues)
                commit(name, FieldValue(qint64(enumValues->value(index))));
            else
                commit(name, FieldValue(combo->itemText(index)));
        });
        return combo;
    }
    if (f->kind == FieldKind::Colour) {
        auto* w = new QWidget;
        auto* row = new QHBoxLayout(w);
        row->setContentsMargins(0, 0, 0, 0);
        const quint32 c = quint32(std::get<qint64>(value));
        auto* pick = new QPushButton(
            c == clNone ? tr("None") : QStringLiteral("0x%1").arg(c, 8, 16, QLatin1Char('0')));
        if (c != clNone)
            pick->setIcon([&] {
                QPixmap swatch(12, 12);
                swatch.fill(qtColour(c));
                return QIcon(swatch);
            }());
        connect(pick, &QPushButton::clicked, this, [this, name] { editColour(name); });
        auto* none = new QToolButton;
        none->setText(QStringLiteral("×"));
        none->setToolTip(tr("No colour"));
        connect(
            none, &QToolButton::clicked, this, [this, name] { commit(name, FieldValue(qint64(clNone))); });
        row->addWidget(pick, 1);
        row->addWidget(none);
        return w;
    }
    if (f->kind == FieldKind::Lines) {
        // The first line, shortened, names the text; the editor shows all of it.
        const QString first = textOf(value).section(QLatin1Char('\n'), 0, 0).left(24);
        return button(first.isEmpty() ? QStringLiteral("…") : first + QStringLiteral(" …"),
            [this, name] { editLines(name); });
    }
    return typedEditor(name, textOf(value));
}

QWidget* PropertyInspector::pageEditor(const QString& name, quint16 flags, const QStringList& enumNames,
    const std::optional<QList<qint32>>& enumValues)
{
    const Value value = m_page->ReadProp(name);
    if (flags & PropFlags::Boolean) {
        auto* box = new QCheckBox;
        const QString text = pageText(value);
        box->setChecked(
            value.kind() == TfrValueKind::Boolean ? value.boolValue() : (!text.isEmpty() && text != u"0"));
        connect(box, &QCheckBox::toggled, this, [this, name](bool on) { commitPage(name, Value(on)); });
        return box;
    }
    if (flags & PropFlags::Enumeration) {
        auto* combo = new QComboBox;
        combo->addItems(enumNames);
        const int current
            = enumValues ? enumValues->indexOf(pageText(value).toInt()) : enumNames.indexOf(pageText(value));
        combo->setCurrentIndex(current);
        connect(combo, &QComboBox::activated, this, [this, name, enumValues, combo](int index) {
            commitPage(
                name, enumValues ? Value(qint32(enumValues->value(index))) : Value(combo->itemText(index)));
        });
        return combo;
    }
    return typedEditor(name, pageText(value));
}

QWidget* PropertyInspector::typedEditor(const QString& name, const QString& text)
{
    // The value is taken when the person leaves the field or presses Enter, once per edit.
    auto* edit = new QLineEdit(text);
    edit->setObjectName(name);
    if (!m_views.empty() && m_views.front()->TypeCode == 2
        && (name == u"Condition" || name == u"DataSource")) {
        // A band's data source and group condition complete from the data tree; the condition
        // is checked as it is typed, as the text editors check theirs.
        if (completions) {
            auto* completer = new QCompleter(completions(), edit);
            completer->setCaseSensitivity(Qt::CaseInsensitive);
            edit->setCompleter(completer);
        }
        if (name == u"Condition") {
            auto check = [this, edit] {
                const CodeCheck::Result r = CodeCheck::checkExpression(edit->text());
                edit->setStyleSheet(r.ok ? QString() : QStringLiteral("QLineEdit { color: #b00000; }"));
                edit->setToolTip(r.message);
                m_message->setText(r.message);
            };
            connect(edit, &QLineEdit::textEdited, this, check);
            check();
        } else if (datasetNames) {
            // A data source is a dataset the report reaches, or a number of records to print
            // without one. A name nothing knows is marked, not refused: the report may get that
            // dataset from a data module the designer was not given.
            auto check = [this, edit] {
                const QString name = edit->text().trimmed();
                bool isCount = false;
                name.toInt(&isCount);
                const bool known
                    = name.isEmpty() || isCount || datasetNames().contains(name, Qt::CaseInsensitive);
                const QString message = known ? QString() : tr("No dataset named \"%1\" is known").arg(name);
                edit->setStyleSheet(known ? QString() : QStringLiteral("QLineEdit { color: #b00000; }"));
                edit->setToolTip(message);
                m_message->setText(message);
            };
            connect(edit, &QLineEdit::textEdited, this, check);
            check();
        }
    }
    connect(edit, &QLineEdit::editingFinished, this, [this, name, edit] {
        if (edit->isModified()) {
            edit->setModified(false);
            setText(name, edit->text());
        }
    });
    return edit;
}

bool PropertyInspector::setText(const QString& name, const QString& text)
{
    if (m_views.empty()) {
        if (!m_page)
            return false;
        bool ok = false;
        const qint32 n = text.trimmed().toInt(&ok);
        if (!ok) {
            refuse(name, tr("A whole number is expected."));
            return false;
        }
        return commitPage(name, Value(n));
    }
    const ViewField* f = inspectedField(*m_views.front(), name);
    if (!f)
        return false;
    const std::optional<FieldValue> value = parseValue(f->kind, text);
    if (!value) {
        refuse(name,
            f->kind == FieldKind::Fraction ? tr("A number is expected.") : tr("A whole number is expected."));
        return false;
    }
    return commit(name, *value);
}

bool PropertyInspector::commit(const QString& name, const FieldValue& value)
{
    struct Change {
        TfrView* view;
        const ViewField* field;
        FieldValue before;
    };
    std::vector<Change> changes;
    for (TfrView* view : m_views) {
        const ViewField* f = inspectedField(*view, name);
        if (!f)
            continue;
        const FieldValue before = f->valueOf(*view);
        if (before == value)
            continue;
        // The view's restrictions hold here as on the page.
        const std::pair<const char*, quint8> held[] = {{"Left", DesignRestrictions::NoMove},
            {"Top", DesignRestrictions::NoMove}, {"Width", DesignRestrictions::NoResize},
            {"Height", DesignRestrictions::NoResize}, {"Memo", DesignRestrictions::NoMemoEdit},
            {"OnBeforePrint", DesignRestrictions::NoScriptEdit}};
        for (const auto& [entry, bit] : held) {
            if (name.compare(QLatin1String(entry), Qt::CaseInsensitive) == 0 && (view->Restrictions & bit)) {
                refuse(name, tr("The restrictions of %1 do not allow this change.").arg(view->Name));
                return false;
            }
        }
        if (name.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0) {
            const QString newName = std::get<QString>(value).trimmed();
            if (newName.isEmpty() || m_views.size() > 1) {
                refuse(name, tr("Each object needs a name of its own."));
                return false;
            }
            for (const auto& page : m_doc.holder().Pages)
                for (const auto& other : page->ObjectList)
                    if (other.get() != view && other->Name.compare(newName, Qt::CaseInsensitive) == 0) {
                        refuse(name, tr("The name %1 is taken by another object.").arg(newName));
                        return false;
                    }
        }
        if (const auto* n = std::get_if<qint64>(&value)) {
            const QString why = f->range ? f->range->problem(double(*n)) : widthProblem(f->kind, double(*n));
            if (!why.isEmpty()) {
                refuse(name, why);
                return false;
            }
        } else if (const auto* d = std::get_if<double>(&value)) {
            const QString why = f->range ? f->range->problem(*d) : widthProblem(f->kind, *d);
            if (!why.isEmpty()) {
                refuse(name, why);
                return false;
            }
        }
        // The whole view as a reader checks it, with the new value in place for the moment.
        f->setValue(*view, value);
        const QString why = ReportLimits::viewProblem(*view);
        f->setValue(*view, before);
        if (!why.isEmpty()) {
            refuse(name, why);
            return false;
        }
        changes.push_back({view, f, before});
    }
    m_message->clear();
    if (changes.empty())
        return true;
    QUndoStack& undo = m_doc.undoStack();
    undo.beginMacro(tr("Change %1").arg(name));
    for (const Change& c : changes)
        undo.push(new FieldCommand(m_doc, c.view, c.field, c.before, value));
    undo.endMacro();
    return true;
}

bool PropertyInspector::commitPage(const QString& name, const Value& value)
{
    const PageSettings before = PageSettings::of(*m_page);
    // The page refuses a value outside the reader's limits itself; the refusal is shown at the
    // field like the inspector's own and the page keeps what it had.
    try {
        m_page->WriteProp(name, value);
    } catch (const VaskelError& e) {
        before.applyTo(*m_page);
        refuse(name, e.message());
        return false;
    }
    // The printer model answers for the paper: a size typed in is a custom size, a paper chosen
    // from the list brings its own size.
    if (name == u"Width" || name == u"Height")
        m_page->PaperCode = TfrPage::kCustomPaper;
    m_page->ChangePaper(m_page->PaperCode, m_page->PaperSizeX, m_page->PaperSizeY, m_page->PaperSource,
        m_page->PaperOrientation);
    const PageSettings after = PageSettings::of(*m_page);
    const QString why = ReportLimits::pageProblem(*m_page);
    before.applyTo(*m_page);
    if (!why.isEmpty()) {
        refuse(name, why);
        return false;
    }
    m_message->clear();
    if (!(after == before))
        m_doc.undoStack().push(new PageCommand(m_doc, m_page, before, after));
    return true;
}

void PropertyInspector::refuse(const QString& name, const QString& why)
{
    m_message->setText(QStringLiteral("%1: %2").arg(name, why));
    // The field shows the value the template still holds, marked until the next rebuild.
    rebuild();
    m_message->setText(QStringLiteral("%1: %2").arg(name, why));
    if (QWidget* editor = editorOf(name)) {
        editor->setStyleSheet(QStringLiteral("background: #ffd0d0"));
        editor->setToolTip(why);
    }
}

void PropertyInspector::editFont()
{
    TfrView& view = *m_views.front();
    const ViewField* fname = fieldByKey(view, "font.name");
    const ViewField* fsize = fieldByKey(view, "font.size");
    const ViewField* fstyle = fieldByKey(view, "font.style");
    if (!fname || !fsize || !fstyle)
        return;
    // The report's style bits: 1 italic, 2 bold, 4 underline, 8 strike-out.
    const int style = int(std::get<qint64>(fstyle->valueOf(view)));
    QFont font(std::get<QString>(fname->valueOf(view)));
    font.setPointSize(qMax(1, int(std::get<qint64>(fsize->valueOf(view)))));
    font.setItalic(style & 1);
    font.setBold(style & 2);
    font.setUnderline(style & 4);
    font.setStrikeOut(style & 8);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, this, tr("Font"));
    if (!ok)
        return;
    const qint64 newStyle = (chosen.italic() ? 1 : 0) | (chosen.bold() ? 2 : 0) | (chosen.underline() ? 4 : 0)
        | (chosen.strikeOut() ? 8 : 0);
    QUndoStack& undo = m_doc.undoStack();
    undo.beginMacro(tr("Change Font"));
    commit(QStringLiteral("Font.Name"), FieldValue(chosen.family()));
    commit(QStringLiteral("Font.Size"), FieldValue(qint64(chosen.pointSize())));
    commit(QStringLiteral("Font.Style"), FieldValue(newStyle));
    undo.endMacro();
}

void PropertyInspector::editFormat()
{
    TfrView& view = *m_views.front();
    const ViewField* code = fieldByKey(view, "formatCode");
    const ViewField* text = fieldByKey(view, "formatText");
    if (!code || !text)
        return;
    TfrFmtForm form(this);
    form.FormatCode = qint32(std::get<qint64>(code->valueOf(view)));
    form.FormatText = std::get<QString>(text->valueOf(view));
    if (form.exec() != QDialog::Accepted)
        return;
    QUndoStack& undo = m_doc.undoStack();
    undo.beginMacro(tr("Change DisplayFormat"));
    for (TfrView* v : m_views) {
        const ViewField* c = fieldByKey(*v, "formatCode");
        const ViewField* t = fieldByKey(*v, "formatText");
        if (!c || !t)
            continue;
        const FieldValue newCode(qint64(form.FormatCode)), newText(form.FormatText);
        if (c->valueOf(*v) != newCode)
            undo.push(new FieldCommand(m_doc, v, c, c->valueOf(*v), newCode));
        if (t->valueOf(*v) != newText)
            undo.push(new FieldCommand(m_doc, v, t, t->valueOf(*v), newText));
    }
    undo.endMacro();
}

void PropertyInspector::editColour(const QString& name)
{
    const ViewField* f = inspectedField(*m_views.front(), name);
    const quint32 c = quint32(std::get<qint64>(f->valueOf(*m_views.front())));
    const QColor chosen = QColorDialog::getColor(c == clNone ? QColor(Qt::white) : qtColour(c), this, name);
    if (chosen.isValid())
        commit(name, FieldValue(qint64(reportColour(chosen))));
}

void PropertyInspector::editLines(const QString& name)
{
    emit editLinesRequested(m_views.front(), name);
}

} // namespace vaskel
