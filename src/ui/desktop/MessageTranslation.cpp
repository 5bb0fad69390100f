#include "ui/desktop/MessageTranslation.h"

#include "platform/InterfaceLanguage.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <vector>

namespace vaskel::MessageTranslation {

namespace {

// Every message the layers below the desktop raise for a person to read, as raised: "%1", "%2"
// stand for the parts filled in. The translation context is "Messages".
const char* const kPatterns[] = {
    QT_TRANSLATE_NOOP("Messages", "Stream read error"),
    QT_TRANSLATE_NOOP("Messages", "Stream write error"),
    QT_TRANSLATE_NOOP("Messages", "'%1' is not a valid integer value"),
    QT_TRANSLATE_NOOP("Messages", "'%1' is not a valid floating point value"),
    QT_TRANSLATE_NOOP("Messages", "'%1' is not a valid date"),
    QT_TRANSLATE_NOOP("Messages", "'%1' is not a valid time"),
    QT_TRANSLATE_NOOP("Messages", "Could not convert variant of type (%1) into type (%2)"),
    QT_TRANSLATE_NOOP("Messages", "There is no default printer currently selected"),
    QT_TRANSLATE_NOOP("Messages", "Printer selected is not valid"),
    QT_TRANSLATE_NOOP("Messages", "Printing in progress"),
    QT_TRANSLATE_NOOP("Messages", "No pages to print"),
    QT_TRANSLATE_NOOP("Messages", "Cannot create file \"%1\". %2"),
    QT_TRANSLATE_NOOP("Messages", "Cannot open file \"%1\". %2"),
    QT_TRANSLATE_NOOP("Messages", "Cannot open file \"%1\""),
    QT_TRANSLATE_NOOP("Messages", "Cannot read %1: %2"),
    QT_TRANSLATE_NOOP("Messages", "Cannot write %1: %2"),
    QT_TRANSLATE_NOOP("Messages", "Unknown code page \"%1\""),
    QT_TRANSLATE_NOOP("Messages", "The character %1 cannot be written in code page %2"),
    QT_TRANSLATE_NOOP("Messages", "The text cannot be written in code page %1"),
    QT_TRANSLATE_NOOP("Messages",
        "Page %1: %2. Save the prepared report in code page UTF-8 (--code-page UTF-8, or the setting "
        "Files/CodePage), which holds every character."),
    QT_TRANSLATE_NOOP("Messages", "A text of %1 bytes is too long for a report file"),
    QT_TRANSLATE_NOOP("Messages", "A component named %1 already exists"),
    QT_TRANSLATE_NOOP("Messages", "A report template can hold objects on its first 256 pages only"),
    QT_TRANSLATE_NOOP("Messages", "A text of %1 lines is too long for a report file"),
    QT_TRANSLATE_NOOP("Messages", "Unknown picture file extension (.%1)"),
    QT_TRANSLATE_NOOP(
        "Messages", "The report has reached %1 pages, the most a run may prepare; it was stopped"),
    QT_TRANSLATE_NOOP("Messages", "Child bands form a loop: %1"),
    QT_TRANSLATE_NOOP("Messages", "printer index %1 outside the list"),
    QT_TRANSLATE_NOOP("Messages", "printer %1 cannot be read"),
    QT_TRANSLATE_NOOP("Messages", "The number of copies must be between %1 and %2"),
    QT_TRANSLATE_NOOP("Messages", "\"%1\" is neither a report dataset nor a query"),
    QT_TRANSLATE_NOOP("Messages", "Property %1 of %2 cannot be set: %3"),
    QT_TRANSLATE_NOOP("Messages",
        "Code page \"%1\" is not byte-oriented: template and prepared-report files need one whose "
        "letters and digits take one byte each"),
    QT_TRANSLATE_NOOP("Messages", "Unable to open dataset %1"),
    QT_TRANSLATE_NOOP("Messages", "Record not found"),
    QT_TRANSLATE_NOOP("Messages", "%1Field '%2' not found"),
    QT_TRANSLATE_NOOP("Messages", "%1: Field '%2' not found"),
    QT_TRANSLATE_NOOP("Messages",
        "%1: Field '%2' holds the date %3, which lies outside the years 1 to 9999 (a database's -infinity "
        "arrives as such a date)"),
    QT_TRANSLATE_NOOP("Messages", "The print system cannot be reached at %1: printer \"%2\" cannot print"),
    QT_TRANSLATE_NOOP("Messages", "The print system cannot be reached at %1"),
    QT_TRANSLATE_NOOP("Messages", "There is no default printer currently selected: %1"),
    QT_TRANSLATE_NOOP("Messages",
        "The print system stopped or cannot be reached at %1: the job for printer \"%2\" was not printed"),
    QT_TRANSLATE_NOOP("Messages",
        "The temporary folder \"%1\" does not exist or is not a folder: the print job cannot be written (set "
        "TMPDIR to a "
        "folder that exists)"),
    QT_TRANSLATE_NOOP("Messages", "The temporary folder \"%1\" cannot hold the print job: %2"),
    QT_TRANSLATE_NOOP("Messages", "Sub-reports print each other without end: %1"),
    QT_TRANSLATE_NOOP("Messages", "Page %1 has no bands to print as a sub-report"),
    QT_TRANSLATE_NOOP("Messages", "Invalid class typecast"),
    QT_TRANSLATE_NOOP("Messages", "No room on the page for band %1"),
    QT_TRANSLATE_NOOP("Messages", "Script stopped after %1 steps"),
    QT_TRANSLATE_NOOP("Messages", "Expression nested too deeply (more than %1 levels)"),
    QT_TRANSLATE_NOOP("Messages", "Expression too complex: more than %1 values at once"),
    QT_TRANSLATE_NOOP("Messages", "Invalid expression: an operator has no operand"),
    QT_TRANSLATE_NOOP(
        "Messages", "%1 cannot be changed: its result has no key that identifies a row of a table"),
    QT_TRANSLATE_NOOP("Messages", "%1: no such row to %2"),
    QT_TRANSLATE_NOOP("Messages", "%1: no such row to change"),
    QT_TRANSLATE_NOOP("Messages",
        "The row was changed or deleted by someone else since it was read; nothing was written. Query "
        "again to see the current data"),
    QT_TRANSLATE_NOOP("Messages",
        "The row cannot be %1: %2 rows of %3 hold the same values and the table has no key to tell them "
        "apart; nothing was written"),
    QT_TRANSLATE_NOOP("Messages",
        "The row was changed by someone else while it was written; nothing was written. Query again to "
        "see the current data"),
    // The parts a refused property fills in: the page without a name, and the range it left.
    QT_TRANSLATE_NOOP("Messages", "the page"),
    QT_TRANSLATE_NOOP("Messages", "object geometry %1 outside %2 .. %3"),
    QT_TRANSLATE_NOOP("Messages", "frame width %1 outside %2 .. %3"),
    QT_TRANSLATE_NOOP("Messages", "font size %1 outside %2 .. %3"),
    QT_TRANSLATE_NOOP("Messages", "line or character spacing %1 outside %2 .. %3"),
    QT_TRANSLATE_NOOP("Messages", "column count %1 outside %2 .. %3"),
    QT_TRANSLATE_NOOP("Messages", "column width or gap %1 outside %2 .. %3"),
    QT_TRANSLATE_NOOP("Messages", "margin %1 outside %2 .. %3"),
    QT_TRANSLATE_NOOP("Messages", "%1 is not a picture"),
    QT_TRANSLATE_NOOP("Messages", "paper size %1 outside %2 .. %3"),
    QT_TRANSLATE_NOOP("Messages", "dialog geometry %1 outside %2 .. %3"),
};

struct Compiled {
    const char* pattern;
    QRegularExpression match;
    QList<int> places; // the place number of each captured part, in order
};

const std::vector<Compiled>& compiled()
{
    static const std::vector<Compiled> list = [] {
        std::vector<Compiled> out;
        static const QRegularExpression place(QStringLiteral("%(\\d)"));
        for (const char* p : kPatterns) {
            const QString pattern = QString::fromUtf8(p);
            QString regex = QStringLiteral("^");
            QList<int> places;
            qsizetype at = 0;
            for (auto it = place.globalMatch(pattern); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                regex += QRegularExpression::escape(pattern.mid(at, m.capturedStart() - at));
                regex += QStringLiteral("(.*)");
                places << m.captured(1).toInt();
                at = m.capturedEnd();
            }
            regex += QRegularExpression::escape(pattern.mid(at)) + QStringLiteral("$");
            out.push_back(
                {p, QRegularExpression(regex, QRegularExpression::DotMatchesEverythingOption), places});
        }
        return out;
    }();
    return list;
}

QString translateLine(const QString& line, int depth)
{
    for (const Compiled& c : compiled()) {
        const QRegularExpressionMatch m = c.match.match(line);
        if (!m.hasMatch())
            continue;
        QString text = QCoreApplication::translate("Messages", c.pattern);
        for (int i = 0; i < c.places.size(); ++i) {
            const QString part = depth > 0 ? translateLine(m.captured(i + 1), depth - 1) : m.captured(i + 1);
            text.replace(QStringLiteral("%%1").arg(c.places[i]), part);
        }
        return text;
    }
    return line;
}

} // namespace

QString translate(const QString& text)
{
    if (InterfaceLanguage::current().isEmpty())
        return text;
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        // The error box adds a full stop to a message; the pattern is the message without it.
        const bool stop = line.endsWith(u'.') && translateLine(line, 1) == line;
        if (stop) {
            const QString bare = line.left(line.size() - 1);
            const QString done = translateLine(bare, 1);
            line = done == bare ? line : done + QStringLiteral("。");
        } else {
            line = translateLine(line, 1);
        }
    }
    return lines.join(u'\n');
}

QStringList patterns()
{
    QStringList out;
    for (const char* p : kPatterns)
        out << QString::fromUtf8(p);
    return out;
}

} // namespace vaskel::MessageTranslation
