#include "report/expr/TfrStdFunctionLibrary.h"

#include "report/expr/DateTimePattern.h"
#include "report/expr/EditMask.h"
#include "report/expr/ExprGlobals.h"
#include "report/expr/NumberPattern.h"
#include "report/expr/ValueOperators.h"
#include "report/expr/ValueText.h"

namespace vaskel {

namespace {

// Indices into FunctionNames; the order is the library's published order.
enum Function {
    fnAvg,
    fnCount,
    fnDayOf,
    fnFormatDateTime,
    fnFormatFloat,
    fnFormatText,
    fnInput,
    fnLength,
    fnLowerCase,
    fnMax,
    fnMaxNum,
    fnMessageBox,
    fnMin,
    fnMinNum,
    fnMonthOf,
    fnNameCase,
    fnPos,
    fnSum,
    fnTrim,
    fnUpperCase,
    fnYearOf,
};

Value evaluate(const Value& argument)
{
    return ExprGlobals::get().parser.Evaluate(argument.stringValue());
}

QString evaluateText(const Value& argument)
{
    return evaluate(argument).toText();
}

// Day, month and year are read back from the formatted date, so they follow the pattern code
// exactly (and a value that is no date fails the same way).
Value datePart(const QString& pattern, const Value& argument)
{
    const double date = evaluate(argument).toDateTime();
    return Value::integer(
        ValueText::strToInt(FormatDateTime(pattern, date, PlatformGlobals::get().locale)));
}

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 32;
}

QString trimmed(const QString& s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlankOrControl(s.at(b)))
        ++b;
    while (e > b && isBlankOrControl(s.at(e - 1)))
        --e;
    return s.mid(b, e - b);
}

// Positions and lengths count characters, so a character outside the basic plane counts once.
qint32 characterCount(QStringView s)
{
    return static_cast<qint32>(s.toUcs4().size());
}

QString nameCase(const QString& text, const LocaleSettings& locale)
{
    const QString lower = locale.toLower(text);
    if (lower.isEmpty())
        return lower;
    const qsizetype first = lower.at(0).isHighSurrogate() && lower.size() > 1 ? 2 : 1;
    return locale.toUpper(lower.left(first)) + lower.mid(first);
}

MessageButtons buttonsOf(int flags)
{
    switch (flags & 0x0F) {
    case 1:
        return MessageButtons::OkCancel;
    case 3:
        return MessageButtons::YesNoCancel;
    case 4:
        return MessageButtons::YesNo;
    default:
        return MessageButtons::Ok;
    }
}

MessageIcon iconOf(int flags)
{
    switch (flags & 0xF0) {
    case 16:
        return MessageIcon::Error;
    case 32:
        return MessageIcon::Question;
    case 48:
        return MessageIcon::Warning;
    case 64:
        return MessageIcon::Information;
    default:
        return MessageIcon::None;
    }
}

void aggregate(AggregateOp op, const Value& p1, const Value& p2, const Value& p3, Value& value)
{
    if (AggregateHook* hook = ExprGlobals::get().aggregateHook)
        hook->AggregateCall(op, p1, p2, p3, value);
}

} // namespace

TfrStdFunctionLibrary::TfrStdFunctionLibrary()
{
    FunctionNames = QStringList{"AVG", "COUNT", "DAYOF", "FORMATDATETIME", "FORMATFLOAT", "FORMATTEXT",
        "INPUT", "LENGTH", "LOWERCASE", "MAX", "MAXNUM", "MESSAGEBOX", "MIN", "MINNUM", "MONTHOF", "NAMECASE",
        "POS", "SUM", "TRIM", "UPPERCASE", "YEAROF"};
    // Only the report-information names have category and description texts in the string table;
    // the registry would ignore the other functions' entries (empty category) anyway.
    static constexpr const char* kReportInfo[] = {"REPORTCOMMENT", "REPORTNAME", "REPORTAUTOR", "VMAJOR",
        "VMINOR", "VRELEASE", "VBUILD", "REPORTDATE", "REPORTLASTCHANGE"};
    const QString category = LoadStr(55622);
    int number = 55623;
    for (const char* name : kReportInfo)
        AddDescription(QString::fromLatin1(name), category, LoadStr(number++));
}

void TfrStdFunctionLibrary::Compute(
    int index, const Value& p1, const Value& p2, const Value& p3, Value& value)
{
    const LocaleSettings& locale = PlatformGlobals::get().locale;
    switch (index) {
    case fnAvg:
        aggregate(AggregateOp::Avg, p1, p2, p3, value);
        break;
    case fnCount:
        aggregate(AggregateOp::Count, p1, p2, p3, value);
        break;
    case fnMax:
        aggregate(AggregateOp::Max, p1, p2, p3, value);
        break;
    case fnMin:
        aggregate(AggregateOp::Min, p1, p2, p3, value);
        break;
    case fnSum:
        aggregate(AggregateOp::Sum, p1, p2, p3, value);
        break;
    case fnDayOf:
        value = datePart(QStringLiteral("d"), p1);
        break;
    case fnMonthOf:
        value = datePart(QStringLiteral("m"), p1);
        break;
    case fnYearOf:
        value = datePart(QStringLiteral("yyyy"), p1);
        break;
    case fnFormatDateTime: {
        const QString pattern = evaluateText(p1);
        value = Value(FormatDateTime(pattern, evaluate(p2).toDateTime(), locale));
        break;
    }
    case fnFormatFloat: {
        const QString pattern = evaluateText(p1);
        value = Value(FormatFloat(pattern, evaluate(p2).toNumber(), locale));
        break;
    }
    case fnFormatText: {
        const QString mask = evaluateText(p1);
        value = Value(FormatMaskText(mask + QStringLiteral(";0; "), evaluateText(p2), locale));
        break;
    }
    case fnInput: {
        const QString prompt = evaluateText(p1);
        const QString defaultText = evaluateText(p2);
        const std::optional<QString> answer
            = PlatformGlobals::get().ui().inputBox(QString(), prompt, defaultText);
        value = Value(answer.value_or(defaultText));
        break;
    }
    case fnMessageBox: {
        const QString text = evaluateText(p1);
        const QString caption = evaluateText(p2);
        const int flags = evaluate(p3).toInt();
        const ModalResult r
            = PlatformGlobals::get().ui().messageBox(caption, text, iconOf(flags), buttonsOf(flags));
        value = Value::integer(static_cast<qint32>(r));
        break;
    }
    case fnLength:
        value = Value::integer(characterCount(evaluateText(p1)));
        break;
    case fnLowerCase:
        value = Value(locale.toLower(evaluateText(p1)));
        break;
    case fnUpperCase:
        value = Value(locale.toUpper(evaluateText(p1)));
        break;
    case fnNameCase:
        value = Value(nameCase(evaluateText(p1), locale));
        break;
    case fnTrim:
        value = Value(trimmed(evaluateText(p1)));
        break;
    case fnPos: {
        const QString part = evaluateText(p1);
        const QString text = evaluateText(p2);
        const qsizetype at = part.isEmpty() ? -1 : text.indexOf(part, 0, Qt::CaseSensitive);
        value = Value::integer(at < 0 ? 0 : characterCount(QStringView(text).left(at)) + 1);
        break;
    }
    case fnMaxNum:
    case fnMinNum: {
        const Value a = evaluate(p1);
        const Value b = evaluate(p2);
        const int order = ValueOps::compare(a, b);
        const bool takeA = index == fnMaxNum ? order == 1 : order == -1;
        value = takeA ? a : b;
        break;
    }
    default:
        break;
    }
}

} // namespace vaskel
