#include "designer/DictionaryEditor.h"

#include "designer/CodeEditor.h"
#include "designer/DesignDocument.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vaskel {

QList<DictionaryEntry> entriesOf(const TfrVariables& variables)
{
    QList<DictionaryEntry> out;
    for (int i = 0; i < variables.Count(); ++i) {
        const QString name = variables.Names(i);
        const Value v = variables.Values(i);
        const QString text = v.isNull() || v.isEmpty() ? QString() : v.toText();
        if (name.startsWith(QLatin1Char(' ')))
            out.append({name.mid(1), {}, true});
        else
            out.append({name, text, false});
    }
    return out;
}

TfrVariables variablesOf(const QList<DictionaryEntry>& entries)
{
    TfrVariables vars;
    for (const DictionaryEntry& e : entries)
        vars.SetValue(
            e.category ? QLatin1Char(' ') + e.name : e.name, e.category ? Value() : Value(e.expression));
    return vars;
}

DictionaryCommand::DictionaryCommand(
    DesignDocument& doc, QList<DictionaryEntry> before, QList<DictionaryEntry> after)
    : QUndoCommand(QObject::tr("Change dictionary")),
      m_doc(doc),
      m_before(std::move(before)),
      m_after(std::move(after))
{
}

void DictionaryCommand::redo()
{
    m_doc.holder().Dictionary.Variables = variablesOf(m_after);
    m_doc.notifyChanged(nullptr, QRect());
}

void DictionaryCommand::undo()
{
    m_doc.holder().Dictionary.Variables = variablesOf(m_before);
    m_doc.notifyChanged(nullptr, QRect());
}

DictionaryEditor::DictionaryEditor(DesignDocument& doc, const QStringList& completions, QWidget* parent)
    : QDialog(parent),
      m_doc(doc),
      m_entries(entriesOf(doc.holder().Dictionary.Variables)),
      m_tree(new QTreeWidget(this)),
      m_name(new QLineEdit(this)),
      m_expression(new CodeEditor(CodeCheck::Mode::Expression, this)),
      m_message(new QLabel(this))
{
    setObjectName(QStringLiteral("DictionaryEditor"));
    setWindowTitle(tr("Dictionary"));
    m_tree->setObjectName(QStringLiteral("variables"));
    m_tree->setHeaderHidden(true);
    m_name->setObjectName(QStringLiteral("name"));
    m_expression->setObjectName(QStringLiteral("expression"));
    m_expression->setCompletions(completions);
    m_message->setObjectName(QStringLiteral("message"));
    m_message->setStyleSheet(QStringLiteral("color: #b00000"));
    m_message->setWordWrap(true);

    auto* newCategory = new QPushButton(tr("New &category"), this);
    auto* newVariable = new QPushButton(tr("New &variable"), this);
    auto* remove = new QPushButton(tr("&Delete"), this);
    connect(newCategory, &QPushButton::clicked, this, [this] {
        const QString name = QInputDialog::getText(this, windowTitle(), tr("Category name:"));
        if (!name.trimmed().isEmpty())
            addCategory(name.trimmed());
    });
    connect(newVariable, &QPushButton::clicked, this, [this] {
        const QString name = QInputDialog::getText(this, windowTitle(), tr("Variable name:"));
        if (!name.trimmed().isEmpty())
            addVariable(name.trimmed(), QString());
    });
    connect(remove, &QPushButton::clicked, this, &DictionaryEditor::removeCurrent);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            choose(item->data(0, Qt::UserRole).toInt());
    });
    connect(m_name, &QLineEdit::textEdited, this, [this] { takeEdits(); });
    connect(m_expression, &QPlainTextEdit::textChanged, this, [this] { takeEdits(); });
    connect(m_expression, &CodeEditor::checked, m_message, &QLabel::setText);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        apply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(tr("Name:"), m_name);
    form->addRow(tr("Expression:"), m_expression);
    form->addRow(m_message);
    auto* side = new QHBoxLayout;
    auto* list = new QVBoxLayout;
    list->addWidget(m_tree, 1);
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(newCategory);
    listButtons->addWidget(newVariable);
    listButtons->addWidget(remove);
    list->addLayout(listButtons);
    side->addLayout(list, 1);
    side->addLayout(form, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(side, 1);
    layout->addWidget(buttons);
    resize(720, 400);
    m_current = m_entries.isEmpty() ? -1 : 0;
    rebuild();
    choose(m_current);
}

void DictionaryEditor::rebuild()
{
    const QSignalBlocker quiet(m_tree);
    m_tree->clear();
    QTreeWidgetItem* category = nullptr;
    QTreeWidgetItem* current = nullptr;
    for (int i = 0; i < m_entries.size(); ++i) {
        const DictionaryEntry& e = m_entries.at(i);
        QTreeWidgetItem* item = e.category || !category ? new QTreeWidgetItem(m_tree, {e.name})
                                                        : new QTreeWidgetItem(category, {e.name});
        item->setData(0, Qt::UserRole, i);
        if (e.category) {
            category = item;
            QFont bold = item->font(0);
            bold.setBold(true);
            item->setFont(0, bold);
        } else if (!CodeCheck::checkExpression(e.expression).ok) {
            item->setForeground(0, QColor(176, 0, 0));
        }
        if (i == m_current)
            current = item;
    }
    m_tree->expandAll();
    if (current)
        m_tree->setCurrentItem(current);
}

void DictionaryEditor::choose(int index)
{
    m_current = index >= 0 && index < m_entries.size() ? index : -1;
    const QSignalBlocker quietName(m_name);
    const QSignalBlocker quietExpression(m_expression);
    const bool variable = m_current >= 0 && !m_entries.at(m_current).category;
    m_name->setEnabled(m_current >= 0);
    m_expression->setEnabled(variable);
    m_name->setText(m_current >= 0 ? m_entries.at(m_current).name : QString());
    m_expression->setPlainText(variable ? m_entries.at(m_current).expression : QString());
    m_expression->checkNow();
}

void DictionaryEditor::takeEdits()
{
    if (m_current < 0)
        return;
    DictionaryEntry& e = m_entries[m_current];
    e.name = m_name->text();
    if (!e.category)
        e.expression = m_expression->toPlainText();
    if (QTreeWidgetItem* item = m_tree->currentItem()) {
        item->setText(0, e.name);
        item->setForeground(0,
            e.category || CodeCheck::checkExpression(e.expression).ok ? QColor(Qt::black)
                                                                      : QColor(176, 0, 0));
    }
}

void DictionaryEditor::addCategory(const QString& name)
{
    m_entries.append({name, {}, true});
    m_current = static_cast<int>(m_entries.size()) - 1;
    rebuild();
    choose(m_current);
}

void DictionaryEditor::addVariable(const QString& name, const QString& expression)
{
    // After the chosen entry, so that it joins the chosen entry's category.
    const int at = m_current < 0 ? static_cast<int>(m_entries.size()) : m_current + 1;
    m_entries.insert(at, {name, expression, false});
    m_current = at;
    rebuild();
    choose(at);
}

void DictionaryEditor::removeCurrent()
{
    if (m_current < 0)
        return;
    m_entries.removeAt(m_current);
    m_current = qMin(m_current, static_cast<int>(m_entries.size()) - 1);
    rebuild();
    choose(m_current);
}

QString DictionaryEditor::firstError() const
{
    for (const DictionaryEntry& e : m_entries) {
        if (e.category)
            continue;
        const CodeCheck::Result r = CodeCheck::checkExpression(e.expression);
        if (!r.ok)
            return e.name + QStringLiteral(": ") + r.message;
    }
    return {};
}

bool DictionaryEditor::apply()
{
    const QList<DictionaryEntry> before = entriesOf(m_doc.holder().Dictionary.Variables);
    if (before == m_entries)
        return false;
    m_doc.undoStack().push(new DictionaryCommand(m_doc, before, m_entries));
    return true;
}

} // namespace vaskel
