#include "report/model/ViewFieldTable.h"

#include "platform/PlatformError.h"
#include "report/model/TfrView.h"

#include <algorithm>
#include <cstring>

namespace vaskel {

FieldValue ViewField::valueOf(const TfrView& view) const
{
    if (kind == FieldKind::FlagBit)
        return (view.Flags & bit) != 0;
    return get(view);
}

void ViewField::setValue(TfrView& view, const FieldValue& value) const
{
    if (kind == FieldKind::FlagBit)
        view.Flags = truthOf(value) ? (view.Flags | bit) : (view.Flags & ~bit);
    else
        set(view, value);
}

namespace {

bool sameId(const ViewField& a, const ViewField& b)
{
    return a.id() && b.id() && std::strcmp(a.id(), b.id()) == 0;
}

// The value a script sees: whole numbers as 32-bit integers (colours and other unsigned fields
// keep their bits), text lists as one text.
Value scriptValue(const ViewField& f, const FieldValue& v)
{
    switch (f.kind) {
    case FieldKind::Fraction:
        return Value(fractionOf(v));
    case FieldKind::Boolean:
    case FieldKind::FlagBit:
        return Value(truthOf(v));
    case FieldKind::Text:
        return Value(textOf(v));
    case FieldKind::Lines:
        return Value(linesOf(v).join(QStringLiteral("\r\n")));
    default:
        return Value(static_cast<qint32>(wholeOf(v)));
    }
}

FieldValue fromScript(const ViewField& f, const Value& v)
{
    switch (f.kind) {
    case FieldKind::Fraction:
        return v.toNumber();
    case FieldKind::Boolean:
    case FieldKind::FlagBit:
        return v.toBool();
    case FieldKind::Text:
        return v.toText();
    case FieldKind::Lines:
        return splitTextLines(v.toText());
    default:
        return qint64(v.toInt());
    }
}

bool named(const ViewField& f, const std::vector<const char*>& names)
{
    return f.name && std::any_of(names.begin(), names.end(), [&f](const char* n) {
        return std::strcmp(n, f.name) == 0;
    });
}

} // namespace

ViewFieldTable::ViewFieldTable(std::vector<ViewField> shared, std::vector<ViewField> own)
    : m_fields(std::move(shared))
{
    const auto sharedEnd = static_cast<std::ptrdiff_t>(m_fields.size());
    for (const ViewField& f : own) {
        // A listing-only entry never replaces a field: it lists the field in another place.
        const auto end = m_fields.begin() + sharedEnd;
        const auto same = f.kind == FieldKind::Listed
            ? end
            : std::find_if(m_fields.begin(), end, [&f](const ViewField& s) { return sameId(s, f); });
        if (same != end)
            *same = f;
        else
            m_fields.push_back(f);
    }
    for (const ViewField& f : m_fields)
        m_upperNames.push_back(f.name ? QString::fromLatin1(f.name).toUpper() : QString());
}

const ViewField* ViewFieldTable::byName(const QString& name, bool forWriting) const
{
    const QString upper = name.toUpper();
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const ViewField& f = m_fields[i];
        if (m_upperNames[i] == upper && (forWriting ? f.isScriptWritable() : f.isScriptReadable()))
            return &f;
    }
    return nullptr;
}

namespace {

// The number a field's value stands for in range checks.
double rangeValue(const ViewField& f, const FieldValue& v)
{
    return f.kind == FieldKind::Fraction ? fractionOf(v) : double(wholeOf(v));
}

} // namespace

bool ViewFieldTable::writeProp(TfrView& view, const QString& name, const Value& value) const
{
    const ViewField* f = byName(name, true);
    if (!f)
        return false;
    const FieldValue v = fromScript(*f, value);
    // A script may set only what a template could hold: the page and drawing arithmetic relies
    // on the same limits the template readers keep.
    if (f->range) {
        if (const QString bad = f->range->problem(rangeValue(*f, v)); !bad.isEmpty())
            throw VaskelError(QStringLiteral("Property %1 of %2 cannot be set: %3")
                                  .arg(QLatin1String(f->name), view.Name, bad));
    }
    f->setValue(view, v);
    return true;
}

Value ViewFieldTable::readProp(const TfrView& view, const QString& name) const
{
    const ViewField* f = byName(name, false);
    return f ? scriptValue(*f, f->valueOf(view)) : Value::null();
}

void ViewFieldTable::buildPropertyTable(TfrView& view) const
{
    view.ClearPropertyTable();
    for (const ViewField& f : m_fields) {
        if (!f.listed || (f.listedWhen && !f.listedWhen(view)))
            continue;
        const QString name = QString::fromLatin1(f.name);
        if (f.enumNamesOf) {
            view.AppendEnumProperty(name, f.enumNamesOf(view), std::nullopt);
        } else if (f.enumNames) {
            const QString names = QString::fromLatin1(f.enumNames);
            QList<qint32> values;
            for (qint32 i = 0; i <= qint32(names.count(QLatin1Char(';'))); ++i)
                values << i;
            view.AppendEnumProperty(name, names, values);
        } else {
            view.AppendProperty(name, f.listFlags);
        }
    }
}

QString ViewFieldTable::problem(const TfrView& view) const
{
    for (const ViewField& f : m_fields) {
        if (!f.range)
            continue;
        if (QString bad = f.range->problem(rangeValue(f, f.valueOf(view))); !bad.isEmpty())
            return bad;
    }
    return {};
}

std::vector<ViewField> listingOnly(std::vector<ViewField> fields, const std::vector<const char*>& names)
{
    for (ViewField& f : fields)
        f.listed = named(f, names);
    return fields;
}

std::vector<ViewField> listingWithout(std::vector<ViewField> fields, const std::vector<const char*>& names)
{
    for (ViewField& f : fields)
        f.listed = f.listed && !named(f, names);
    return fields;
}

} // namespace vaskel
