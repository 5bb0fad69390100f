#pragma once
// The designer's editor of report texts: a memo's text, a script, an expression (group condition,
// band data source, dictionary variable). It highlights `[ ]` expressions, script keywords,
// strings and comments; completes names from the data tree with Ctrl+Space; and checks the text
// shortly after each change (CodeCheck: the report language's own grammar, nothing is run),
// underlining the error's place with a wavy red line and handing its message to `checked`.
#include "designer/CodeCheck.h"

#include <QPlainTextEdit>

class QCompleter;
class QTimer;

namespace vaskel {

class CodeEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CodeEditor(CodeCheck::Mode mode, QWidget* parent = nullptr);

    CodeCheck::Mode mode() const { return m_mode; }
    // The names Ctrl+Space offers.
    void setCompletions(const QStringList& names);
    QCompleter* completer() const { return m_completer; }

    // Checks at once (the editor otherwise waits for a pause in typing).
    void checkNow();
    const CodeCheck::Result& lastCheck() const { return m_result; }
    // The underlined range of the document, empty when the text is sound.
    QTextCursor errorRange() const;

    // Ctrl+Space: the completions that start with the word before the cursor.
    void complete();

signals:
    // The check's message, empty when the text is sound.
    void checked(const QString& message);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void insertCompletion(const QString& name);
    QString wordBeforeCursor() const;

    CodeCheck::Mode m_mode;
    QCompleter* m_completer;
    QTimer* m_checkTimer;
    CodeCheck::Result m_result;
};

} // namespace vaskel
