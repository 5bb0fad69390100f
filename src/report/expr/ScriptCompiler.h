#pragma once
// The compiler of the script language: reads the statement of a script (one statement, usually a
// begin … end block) and turns it into the interpreter's compiled lines. Only TfrInterpretator uses
// it; the compiled-line format is described there.
//
// The grammar decides where each statement and expression ends and reports errors; the text of
// every expression is then handed to the expression parser, whose priorities apply when it runs.
// Compilation stops at the first error: the error list gets one "Line N/M: message" line (none for
// a malformed number, an unterminated string or an operand missing where one must be) and the
// lines compiled so far stay. Jump targets that an error left unknown, and gotos to labels the
// script does not define, end the script when reached; no jump ever leads inside the program to a
// place the script did not name.
#include <QString>
#include <QStringList>

#include <map>
#include <vector>

namespace vaskel {

class TfrParser;

class ScriptCompiler {
public:
    // A jump target that ends the script (at or past the end of every compiled list this compiler
    // can produce).
    static constexpr int kEndOfScript = 0xFFFF;
    // Compiled lines a script may have: every target must fit the two target characters and stay
    // below kEndOfScript.
    static constexpr int kMaxLines = kEndOfScript - 1;
    // Nested statements and expression levels, so that a script of ten thousand "(" fails with a
    // message instead of exhausting the machine's stack.
    static constexpr int kMaxNesting = 200;
    // A label's text (digits and the colon) is cut to this many characters.
    static constexpr int kLabelLength = 16;

    ScriptCompiler(const QStringList& source, const TfrParser& parser);

    // Compiles and leaves the result in `compiled` and `errors` (both replaced).
    void compile(QStringList& compiled, QStringList& errors);

    // What checking one expression found: nothing (`ok`), an error with its "Line N/M: …"
    // message, or a place where the grammar stops without a message (a malformed number, an
    // unterminated string, no operand where one must be; `message` empty). Line and column are
    // 1-based.
    struct ExpressionCheck {
        bool ok = true;
        QString message;
        int line = 0, column = 0;
    };
    // Reads `text` as one expression and nothing after it, as a script's expressions are read,
    // and runs nothing: for editors that check what an author types. Names are read as the
    // expression parser reads them (any letters, "#", quoted parts: PAGE#, Q1."Field name").
    static ExpressionCheck checkExpression(const QString& text, const TfrParser& parser);

    // Where compilation stopped without an error line (a malformed number, an unterminated string,
    // a missing operand): 1-based line and column; 0 when it did not stop that way.
    int faultLine() const { return m_faultLine; }
    int faultColumn() const { return m_faultColumn; }

private:
    enum class Kind { Conditional, Jump, Call, Assignment };
    struct Line {
        Kind kind;
        QString text; // the expression (for an assignment: name, one space, expression)
        int target = -1; // -1: not known yet
        QString label; // a goto's label text until resolved
        qsizetype position = 0; // where the statement starts, for messages
    };
    struct Stop { }; // thrown to end compilation after the first error or fault

    // Statements.
    void statement();
    void compound();
    void conditional();
    void repeatLoop();
    void whileLoop();
    void forLoop();
    void jump();
    void designatorStatement();
    bool label();

    // Expressions: each returns after its last token; `expression` returns its text.
    QString expression();
    void relation();
    void simple();
    void term();
    void factor();
    void arguments();

    // Scanning.
    void skipBlanks();
    bool atKeyword(QLatin1StringView word);
    // Steps over the keyword, or stops compiling with "Need "<keyword>" here".
    void expectKeyword(QLatin1StringView word);
    // Statements separated by ";" up to and over the closing keyword (END, UNTIL).
    void statementsUntil(QLatin1StringView closing);
    bool atWordBoundary(qsizetype i, bool semicolonEnds) const;
    bool atOperatorWord(QLatin1StringView word);
    bool standsAlone();
    QString readDesignator();
    QString readDigits();
    QString textWithoutComments(qsizetype from, qsizetype to) const;

    int addLine(Kind kind, const QString& text, qsizetype position, int target = -1);
    int next() const { return static_cast<int>(m_lines.size()); }
    void resolveLabels();
    void writeLines(QStringList& compiled);

    [[noreturn]] void fail(const QString& message, qsizetype position);
    [[noreturn]] void fault(qsizetype position);
    void lineAndColumn(qsizetype position, int& line, int& column) const;

    class Nesting;

    const TfrParser& m_parser;
    QString m_text; // the source lines, each followed by a carriage return, tabs made blanks
    std::vector<qsizetype> m_lineStarts;
    qsizetype m_pos = 0;
    qsizetype m_lastEnd = 0; // end of the last token an expression consumed
    // Start → end of every comment met; an empty range is a place where a blank is added.
    std::map<qsizetype, qsizetype> m_comments;
    std::vector<Line> m_lines;
    std::map<QString, int> m_labels; // label text with its colon → line index
    QStringList m_errors;
    int m_depth = 0;
    int m_faultLine = 0;
    int m_faultColumn = 0;
    bool m_expressionNames = false; // names as the expression parser reads them
    int m_errorLine = 0; // where the error line's message points
    int m_errorColumn = 0;
};

} // namespace vaskel
