#pragma once
// The editor of the report's dictionary: its variables (each a name and an expression) grouped
// under categories (headings kept as entries whose name begins with a blank, as the template
// stores them). The expression of the chosen variable is edited in the code editor and checked as
// it is typed; names complete from the data tree. OK hands the whole list to one undoable command.
#include "designer/CodeCheck.h"
#include "report/expr/TfrVariables.h"

#include <QDialog>
#include <QUndoCommand>

class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace vaskel {

class CodeEditor;
class DesignDocument;

// One dictionary entry as the editor holds it: a category heading or a variable.
struct DictionaryEntry {
    QString name; // without the heading's blank
    QString expression;
    bool category = false;
    bool operator==(const DictionaryEntry&) const = default;
};

// The entries of a variables list in stored order, and back.
QList<DictionaryEntry> entriesOf(const TfrVariables& variables);
TfrVariables variablesOf(const QList<DictionaryEntry>& entries);

// Replaces the dictionary's variables; undo puts the old ones back.
class DictionaryCommand : public QUndoCommand {
public:
    DictionaryCommand(DesignDocument& doc, QList<DictionaryEntry> before, QList<DictionaryEntry> after);
    void redo() override;
    void undo() override;

private:
    DesignDocument& m_doc;
    QList<DictionaryEntry> m_before, m_after;
};

class DictionaryEditor : public QDialog {
    Q_OBJECT
public:
    DictionaryEditor(DesignDocument& doc, const QStringList& completions, QWidget* parent = nullptr);

    const QList<DictionaryEntry>& entries() const { return m_entries; }
    // Adds a category or a variable after the chosen entry (at the end without one) and chooses
    // it; a variable added under a category belongs to it.
    void addCategory(const QString& name);
    void addVariable(const QString& name, const QString& expression);
    void removeCurrent();
    // Chooses entry `index` for editing.
    void choose(int index);
    CodeEditor* expressionEditor() const { return m_expression; }
    QLineEdit* nameEditor() const { return m_name; }
    QLabel* messageLabel() const { return m_message; }
    // The first variable whose expression does not read, as "NAME: Line 1/3: …"; empty when all do.
    QString firstError() const;
    // Pushes the command when something changed (what OK does).
    bool apply();

private:
    void rebuild();
    void takeEdits();

    DesignDocument& m_doc;
    QList<DictionaryEntry> m_entries;
    int m_current = -1;
    QTreeWidget* m_tree;
    QLineEdit* m_name;
    CodeEditor* m_expression;
    QLabel* m_message;
};

} // namespace vaskel
