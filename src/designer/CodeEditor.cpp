#include "designer/CodeEditor.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStringListModel>
#include <QSyntaxHighlighter>
#include <QTimer>

namespace vaskel {

namespace {

// Colours of the report language: expressions blue, keywords bold navy, strings green,
// comments grey.
class CodeHighlighter : public QSyntaxHighlighter {
public:
    CodeHighlighter(CodeCheck::Mode mode, QTextDocument* doc) : QSyntaxHighlighter(doc), m_mode(mode)
    {
        m_expression.setForeground(QColor(0, 0, 192));
        m_expression.setBackground(QColor(235, 240, 255));
        m_keyword.setForeground(QColor(0, 0, 128));
        m_keyword.setFontWeight(QFont::Bold);
        m_string.setForeground(QColor(0, 128, 0));
        m_comment.setForeground(QColor(128, 128, 128));
        m_comment.setFontItalic(true);
    }

protected:
    void highlightBlock(const QString& text) override
    {
        if (m_mode == CodeCheck::Mode::Memo) {
            // Plain text with expressions in it: only the brackets' contents are code.
            int depth = 0, start = -1;
            for (int i = 0; i < text.size(); ++i) {
                if (text[i] == QLatin1Char('[') && depth++ == 0)
                    start = i;
                else if (text[i] == QLatin1Char(']') && depth > 0 && --depth == 0) {
                    setFormat(start, i - start + 1, m_expression);
                    highlightCode(text, start + 1, i);
                }
            }
            if (depth > 0)
                setFormat(start, text.size() - start, m_expression);
            return;
        }
        highlightCode(text, 0, static_cast<int>(text.size()));
    }

private:
    void highlightCode(const QString& text, int from, int to)
    {
        static const QRegularExpression word(QStringLiteral("\\b[A-Za-z]+\\b"));
        for (auto it = word.globalMatch(text, from); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (m.capturedEnd() > to)
                break;
            if (CodeCheck::keywords().contains(m.captured().toUpper()))
                setFormat(
                    static_cast<int>(m.capturedStart()), static_cast<int>(m.capturedLength()), m_keyword);
        }
        for (int i = from; i < to; ++i) {
            if (text[i] == QLatin1Char('\'')) {
                const int end = text.indexOf(QLatin1Char('\''), i + 1);
                const int stop = end < 0 || end >= to ? to : end + 1;
                setFormat(i, stop - i, m_string);
                i = stop - 1;
            } else if (m_mode == CodeCheck::Mode::Script && text.mid(i, 2) == QLatin1String("//")) {
                setFormat(i, to - i, m_comment);
                return;
            } else if (m_mode == CodeCheck::Mode::Script && text[i] == QLatin1Char('{')) {
                const int end = text.indexOf(QLatin1Char('}'), i + 1);
                const int stop = end < 0 || end >= to ? to : end + 1;
                setFormat(i, stop - i, m_comment);
                i = stop - 1;
            }
        }
    }

    CodeCheck::Mode m_mode;
    QTextCharFormat m_expression, m_keyword, m_string, m_comment;
};

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.') || c == QLatin1Char('"')
        || c == QLatin1Char('#');
}

} // namespace

CodeEditor::CodeEditor(CodeCheck::Mode mode, QWidget* parent)
    : QPlainTextEdit(parent), m_mode(mode), m_completer(new QCompleter(this)), m_checkTimer(new QTimer(this))
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    new CodeHighlighter(mode, document());
    m_completer->setObjectName(QStringLiteral("completer"));
    m_completer->setWidget(this);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    m_completer->setModel(new QStringListModel(m_completer));
    connect(
        m_completer, qOverload<const QString&>(&QCompleter::activated), this, &CodeEditor::insertCompletion);
    m_checkTimer->setSingleShot(true);
    m_checkTimer->setInterval(300);
    connect(m_checkTimer, &QTimer::timeout, this, &CodeEditor::checkNow);
    connect(this, &QPlainTextEdit::textChanged, m_checkTimer, qOverload<>(&QTimer::start));
}

void CodeEditor::setCompletions(const QStringList& names)
{
    static_cast<QStringListModel*>(m_completer->model())->setStringList(names);
}

QTextCursor CodeEditor::errorRange() const
{
    if (m_result.ok || m_result.line <= 0)
        return {};
    const QTextBlock block = document()->findBlockByNumber(m_result.line - 1);
    if (!block.isValid())
        return {};
    // From the error's column to the end of the word there (at least one character; at the end
    // of a line the last character).
    const QString text = block.text();
    int start = qBound(0, m_result.column - 1, qMax(0, static_cast<int>(text.size()) - 1));
    int end = start + 1;
    while (end < text.size() && isNameChar(text[end]) && isNameChar(text[start]))
        ++end;
    QTextCursor c(block);
    c.setPosition(block.position() + start);
    c.setPosition(
        block.position() + qMin(end, qMax(1, static_cast<int>(text.size()))), QTextCursor::KeepAnchor);
    return c;
}

void CodeEditor::checkNow()
{
    m_checkTimer->stop();
    const QString text = toPlainText();
    m_result = CodeCheck::check(m_mode, text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n')));
    QList<QTextEdit::ExtraSelection> marks;
    const QTextCursor range = errorRange();
    if (!range.isNull() && range.hasSelection()) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = range;
        mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        mark.format.setUnderlineColor(Qt::red);
        marks << mark;
    }
    setExtraSelections(marks);
    emit checked(m_result.message);
}

QString CodeEditor::wordBeforeCursor() const
{
    const QTextCursor c = textCursor();
    const QString text = c.block().text();
    int start = c.positionInBlock();
    while (start > 0 && isNameChar(text[start - 1]))
        --start;
    return text.mid(start, c.positionInBlock() - start);
}

void CodeEditor::complete()
{
    m_completer->setCompletionPrefix(wordBeforeCursor());
    QRect r = cursorRect();
    r.setWidth(m_completer->popup()->sizeHintForColumn(0)
        + m_completer->popup()->verticalScrollBar()->sizeHint().width());
    m_completer->complete(r);
    // The first name is chosen: Enter takes it.
    m_completer->popup()->setCurrentIndex(m_completer->completionModel()->index(0, 0));
}

void CodeEditor::insertCompletion(const QString& name)
{
    QTextCursor c = textCursor();
    const int prefix = static_cast<int>(wordBeforeCursor().size());
    c.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, prefix);
    // In a memo's plain text a name becomes an expression; inside brackets it is one already.
    bool inBrackets = true;
    if (m_mode == CodeCheck::Mode::Memo) {
        const QString before = c.block().text().left(c.selectionStart() - c.block().position());
        inBrackets = before.count(QLatin1Char('[')) > before.count(QLatin1Char(']'));
    }
    c.insertText(inBrackets ? name : QLatin1Char('[') + name + QLatin1Char(']'));
    setTextCursor(c);
}

void CodeEditor::keyPressEvent(QKeyEvent* event)
{
    if (m_completer->popup()->isVisible()) {
        switch (event->key()) {
        case Qt::Key_Enter:
        case Qt::Key_Return:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            event->ignore(); // the popup takes them
            return;
        default:
            break;
        }
    }
    if (event->key() == Qt::Key_Space && (event->modifiers() & Qt::ControlModifier)) {
        complete();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
    if (m_completer->popup()->isVisible())
        m_completer->setCompletionPrefix(wordBeforeCursor());
}

} // namespace vaskel
