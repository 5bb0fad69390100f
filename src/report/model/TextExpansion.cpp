#include "report/model/TextExpansion.h"

#include "platform/PlatformError.h"
#include "report/expr/ExprTokens.h"
#include "report/expr/ValueOperators.h"
#include "report/expr/ValueText.h"
#include "report/model/DisplayFormat.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrMemoView.h"

namespace vaskel {

namespace {

constexpr qint32 kNumberCode = 0x01000000; // number, kind 0
constexpr qint32 kFixedKind = 0x00010000; // kind 1: fixed notation with the given decimals
constexpr qint32 kCustomKind = 0x00040000; // kind 4: the format text is the pattern
constexpr qint32 kDateCustomCode = 0x02040000;
constexpr qint32 kBooleanCustomCode = 0x04040000;
constexpr int kMaxDecimals = 255; // the width of the decimals field

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// "N" formats: the last ",", "-" or "." (scanning back to the second character) becomes the
// decimal separator and is replaced by "." in the pattern; a digit right after the "N" makes it a
// fixed notation whose decimals are the digits after that separator.
void parseNumberSuffix(QString& fmt, qint32& code)
{
    const bool fixed = fmt.size() > 1 && isAsciiDigit(fmt.at(1));
    code = fixed ? kNumberCode + kFixedKind : kNumberCode;
    for (qsizetype k = fmt.size() - 1; k >= 1; --k) {
        const QChar c = fmt.at(k);
        if (c != QLatin1Char(',') && c != QLatin1Char('-') && c != QLatin1Char('.'))
            continue;
        code += c.unicode();
        fmt[k] = QLatin1Char('.');
        if (fixed) {
            qsizetype end = k + 1;
            while (end < fmt.size() && isAsciiDigit(fmt.at(end)))
                ++end;
            const qint32 decimals = ValueText::strToInt(QStringView(fmt).mid(k + 1, end - k - 1));
            code += qBound(0, decimals, kMaxDecimals) * 256;
        }
        break;
    }
    if (!fixed) {
        fmt.remove(0, 1);
        code += kCustomKind;
    }
}

// The code and format text of the view whose texts are being expanded; without one, the default
// of a new view (text, 2 decimals, the locale's separator).
void viewFormat(const TfrView* view, qint32& code, QString& formatText)
{
    if (view) {
        code = view->FormatCode;
        formatText = view->FormatText;
        return;
    }
    code = 0x200 + (PlatformGlobals::get().locale.decimalSeparator.unicode() & 0xFF);
    formatText.clear();
}

// HideZeros is a memo flag: other views use that bit of `Flags` for other things (a band's
// RepeatHeader), so only memo views hide zeros.
bool hidesZeros(const TfrView* view)
{
    return dynamic_cast<const TfrMemoView*>(view) != nullptr && (view->Flags & MemoFlags::HideZeros) != 0;
}

} // namespace

void ParseFormatSuffix(const QString& suffix, qint32& code, QString& formatText)
{
    formatText = suffix;
    if (suffix.isEmpty())
        return;
    const QChar first = suffix.at(0);
    if (isAsciiDigit(first))
        formatText.prepend(QLatin1Char('N'));
    switch (formatText.at(0).unicode()) {
    case 'N':
    case 'n':
        parseNumberSuffix(formatText, code);
        break;
    case 'D':
    case 'd':
    case 'T':
    case 't':
        code = kDateCustomCode;
        formatText.remove(0, 1);
        break;
    case 'B':
    case 'b':
        code = kBooleanCustomCode;
        formatText.remove(0, 1);
        break;
    default:
        break; // the view's code, with the suffix as its format text
    }
}

QString ResolveFormattedValue(const QString& expression, FormattedValue* resolved)
{
    RunState& run = frRun();
    // Each bracket starts without a name under evaluation, so an earlier failure cannot make a
    // later bracket look recursive.
    run.RecursionGuard.clear();
    const TfrView* view = run.CurrentView;
    qint32 code = 0;
    QString fmt;
    viewFormat(view, code, fmt);

    QString expr = expression;
    const qsizetype suffixAt = expression.indexOf(QLatin1String(" #"));
    if (suffixAt >= 0) {
        expr = expression.left(suffixAt);
        ParseFormatSuffix(expression.mid(suffixAt + 2), code, fmt);
    }

    run.MemoValue = Value::smallInt(0);
    Value value;
    const TfrParser& parser = ExprGlobals::get().parser;
    if (parser.LookupName) {
        value = Value::null();
        parser.LookupName(expr, value);
    }
    run.MemoValue = value;

    if (hidesZeros(view) && !value.isString()) {
        try {
            if (ValueOps::equalsZero(value))
                value = Value(QString());
        } catch (const VaskelError&) {
            // A value that does not compare with 0 is simply not a zero.
        }
    }
    if (run.RegisteringAggregates)
        return {};
    QString text = FormatForDisplay(value, code, fmt);
    if (resolved)
        *resolved = {std::move(value), code, std::move(fmt)};
    return text;
}

QString ExpandBrackets(const QString& text, std::optional<FormattedValue>* whole)
{
    if (whole)
        whole->reset();
    QString s = text;
    qsizetype i = 0;
    for (;;) {
        while (i < s.size() - 1 && s.at(i) != QLatin1Char('['))
            ++i;
        const BracketedText b = FindBracketed(s, i);
        if (b.close == b.open)
            break;
        const bool alone
            = whole && b.open == 0 && b.close == text.size() - 1 && text.at(b.close) == QLatin1Char(']');
        FormattedValue value;
        const QString replacement = ResolveFormattedValue(b.inner, alone ? &value : nullptr);
        if (alone)
            *whole = std::move(value);
        s.replace(b.open, b.close - b.open + 1, replacement);
        i = b.open + replacement.size();
    }
    return s;
}

} // namespace vaskel
