#include "report/model/TemplateJson.h"

#include "report/model/JsonObjectReader.h"
#include "report/model/ReportLimits.h"
#include "report/model/TemplateHolder.h"
#include "report/model/TfrBandView.h"
#include "report/model/ViewFactory.h"
#include "report/model/ViewFieldTable.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <optional>

namespace vaskel::TemplateJson {

namespace {

const char* const kViewTypes[] = {"memo", "picture", "band", "subReport", "line"};
const char* const kPictureKinds[] = {"none", "bitmap", "metafile", "icon", "jpeg"};
const char* const kBandKinds[] = {"ReportTitle", "ReportSummary", "PageHeader", "PageFooter", "MasterHeader",
    "MasterData", "MasterFooter", "DetailHeader", "DetailData", "DetailFooter", "SubdetailHeader",
    "SubdetailData", "SubdetailFooter", "Overlay", "ColumnHeader", "ColumnFooter", "GroupHeader",
    "GroupFooter", "CrossHeader", "CrossData", "CrossFooter", "Child", "NoBand"};

// A new view of a type named in kViewTypes; any later code makes a line, as the last name does.
std::unique_ptr<TfrView> newView(int type)
{
    return ViewFactory::CreateBuiltIn(static_cast<quint8>(std::clamp(type, 0, 4)));
}

// ---- writing ----------------------------------------------------------------------------------

QString colourText(quint32 c)
{
    return QStringLiteral("0x") + QString::number(c, 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

// The shortest decimal that reads back as the same float, so 0.7 is written as 0.7.
double floatForJson(float f)
{
    for (int digits = 6; digits <= 9; ++digits) {
        const double d = QString::number(double(f), 'g', digits).toDouble();
        if (static_cast<float>(d) == f)
            return d;
    }
    return f;
}

QJsonArray linesToJson(const QStringList& lines)
{
    return QJsonArray::fromStringList(lines);
}

QJsonArray listToJson(const TfrVariables& list)
{
    QJsonArray out;
    for (int i = 0; i < list.Count(); ++i) {
        const Value v = list.Values(i);
        out.append(QJsonArray{list.Names(i), v.isNull() || v.isEmpty() ? QString() : v.toText()});
    }
    return out;
}

template <typename T> void putIf(QJsonObject& o, const char* key, T value, T fallback)
{
    if (value != fallback)
        o.insert(QLatin1String(key), static_cast<qint64>(value));
}

void putText(QJsonObject& o, const char* key, const QString& value, const QString& fallback = {})
{
    if (value != fallback)
        o.insert(QLatin1String(key), value);
}

void putLines(QJsonObject& o, const char* key, const QStringList& value)
{
    if (!value.isEmpty())
        o.insert(QLatin1String(key), linesToJson(value));
}

void putColour(QJsonObject& o, const char* key, quint32 value, quint32 fallback)
{
    if (value != fallback)
        o.insert(QLatin1String(key), colourText(value));
}

// "object.key" as the object's name (empty for a key of the view itself) and the key.
std::pair<QByteArray, QByteArray> splitKey(const char* key)
{
    const QByteArray k(key);
    const qsizetype dot = k.indexOf('.');
    return dot < 0 ? std::pair{QByteArray(), k} : std::pair{k.left(dot), k.mid(dot + 1)};
}

QJsonValue fieldToJson(const ViewField& f, const FieldValue& x)
{
    switch (f.kind) {
    case FieldKind::Colour:
        return colourText(static_cast<quint32>(wholeOf(x)));
    case FieldKind::Fraction:
        return floatForJson(static_cast<float>(fractionOf(x)));
    case FieldKind::Boolean:
        return truthOf(x);
    case FieldKind::Text:
        return textOf(x);
    case FieldKind::Lines:
        return linesToJson(linesOf(x));
    case FieldKind::BandKind: {
        const qint64 kind = wholeOf(x);
        return kind <= NoBand ? QJsonValue(QLatin1String(kBandKinds[kind])) : QJsonValue(kind);
    }
    case FieldKind::Picture: {
        const auto& p = std::get<PictureBytes>(x);
        return QJsonObject{{QStringLiteral("kind"), QLatin1String(kPictureKinds[p.kind])},
            {QStringLiteral("data"), QString::fromLatin1(p.bytes.toBase64())}};
    }
    default:
        return wholeOf(x);
    }
}

// The fields of the view's kind that the text form stores; those written when changed only when
// they differ from a new view of the same kind.
QJsonObject viewToJson(TfrView& v)
{
    QJsonObject o;
    o.insert(QStringLiteral("type"), QLatin1String(kViewTypes[v.TypeCode]));
    const std::unique_ptr<TfrView> fresh = newView(v.TypeCode);
    std::map<QByteArray, QJsonObject> nested;
    for (const ViewField& f : v.Fields().fields()) {
        if (!f.key || f.write == JsonWrite::Never)
            continue;
        const FieldValue x = f.valueOf(v);
        if (f.write == JsonWrite::WhenChanged && x == f.valueOf(*fresh))
            continue;
        const auto [object, key] = splitKey(f.key);
        (object.isEmpty() ? o : nested[object]).insert(QLatin1String(key), fieldToJson(f, x));
    }
    for (const auto& [name, object] : nested) {
        if (!object.isEmpty())
            o.insert(QLatin1String(name), object);
    }
    return o;
}

QJsonObject pageToJson(const TfrPage& p)
{
    QJsonObject o;
    o.insert(QStringLiteral("name"), p.Name);
    o.insert(QStringLiteral("paperCode"), p.PaperCode);
    o.insert(QStringLiteral("paperWidth"), p.PaperSizeX);
    o.insert(QStringLiteral("paperHeight"), p.PaperSizeY);
    o.insert(QStringLiteral("margins"), QJsonArray{p.Margins[0], p.Margins[1], p.Margins[2], p.Margins[3]});
    o.insert(QStringLiteral("orientation"), p.PaperOrientation);
    o.insert(QStringLiteral("paperSource"), static_cast<qint64>(p.PaperSource));
    o.insert(QStringLiteral("printToPrevPage"), p.PrintToPrevPage);
    o.insert(QStringLiteral("marginsFlag"), p.MarginsFlag);
    o.insert(QStringLiteral("columns"), p.Columns);
    o.insert(QStringLiteral("columnGap"), p.ColumnGap);
    o.insert(
        QStringLiteral("kind"), p.PageKind == ptDialog ? QStringLiteral("dialog") : QStringLiteral("report"));
    const TfrPage d(nullptr, 9, 2100, 2970, TfrPage::kDefaultBin, 0);
    QJsonObject dialog;
    putIf(dialog, "borderStyle", p.BorderStyle, d.BorderStyle);
    putText(dialog, "caption", p.Caption, d.Caption);
    putColour(dialog, "color", p.Color, d.Color);
    putIf(dialog, "left", p.DialogLeft, d.DialogLeft);
    putIf(dialog, "top", p.DialogTop, d.DialogTop);
    putIf(dialog, "width", p.DialogWidth, d.DialogWidth);
    putIf(dialog, "height", p.DialogHeight, d.DialogHeight);
    putIf(dialog, "position", p.Position, d.Position);
    if (!dialog.isEmpty())
        o.insert(QStringLiteral("dialog"), dialog);
    putLines(o, "script", p.PageScript);
    QJsonArray views;
    for (const auto& v : p.ObjectList)
        views.append(viewToJson(*v));
    o.insert(QStringLiteral("views"), views);
    return o;
}

// ---- reading ----------------------------------------------------------------------------------

void readList(const JsonObjectReader& in, const char* key, TfrVariables& list)
{
    const QJsonArray pairs = in.array(key);
    for (const QJsonValue& pair : pairs) {
        const QJsonArray a = pair.toArray();
        if (a.size() != 2 || !a.at(0).isString() || !a.at(1).isString())
            in.bad(key, "a list of [name, value] text pairs");
        list.SetValue(a.at(0).toString(), Value(a.at(1).toString()));
    }
}

// The value of a field the key holds; nothing when the key is absent.
std::optional<FieldValue> fieldFromJson(const JsonObjectReader& in, const char* key, const ViewField& f)
{
    if (!in.has(key))
        return std::nullopt;
    switch (f.kind) {
    case FieldKind::Int32:
        return qint64(in.i32(key, 0));
    case FieldKind::UInt8:
        return qint64(in.u8(key, 0));
    case FieldKind::UInt16:
        return qint64(in.u16(key, 0));
    case FieldKind::UInt32:
        return qint64(in.u32(key, 0));
    case FieldKind::Colour:
        return qint64(in.colour(key, 0));
    case FieldKind::Fraction: {
        // Checked before it is narrowed to the view's float.
        const double d = in.number(key, 0);
        if (f.range && !f.range->problem(d).isEmpty())
            in.bad(key, QByteArray("a ").append(f.range->what).append(" in range").constData());
        return d;
    }
    case FieldKind::Boolean:
        return in.boolean(key, false);
    case FieldKind::Text:
        return in.text(key);
    case FieldKind::Lines:
        return in.lines(key);
    case FieldKind::BandKind: {
        // A band kind by name, or by number for kinds beyond the named ones.
        const int named = in.matchName(key, kBandKinds, NoBand + 1);
        return qint64(named >= 0 ? named : in.u16(key, 0));
    }
    case FieldKind::Picture: {
        const JsonObjectReader pic = in.object(key);
        const int kind = pic.nameIndex("kind", kPictureKinds, 5, 0);
        const QByteArray data = pic.text("data").toLatin1();
        auto decoded = QByteArray::fromBase64Encoding(data, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            pic.bad("data", "base64 text");
        pic.rejectUnknownKeys();
        return PictureBytes{kind, *decoded};
    }
    case FieldKind::FlagBit:
    case FieldKind::Listed:
        break;
    }
    return std::nullopt;
}

// A new view of the named type with every field its kind's table has a key for; absent keys
// keep the class defaults.
std::unique_ptr<TfrView> viewFromJson(const JsonObjectReader& in)
{
    const int type = in.nameIndex("type", kViewTypes, 5, -1);
    if (type < 0)
        in.bad("type", "a view type");
    std::unique_ptr<TfrView> view = newView(type);
    QByteArray objectName;
    std::optional<JsonObjectReader> object; // the nested object the last keys were in
    for (const ViewField& f : view->Fields().fields()) {
        if (!f.key)
            continue;
        const auto [name, key] = splitKey(f.key);
        if (name != objectName) {
            if (object)
                object->rejectUnknownKeys();
            object.reset();
            objectName = name;
            if (!name.isEmpty())
                object.emplace(in.object(name.constData()));
        }
        if (std::optional<FieldValue> x = fieldFromJson(object ? *object : in, key.constData(), f))
            f.setValue(*view, *x);
    }
    if (object)
        object->rejectUnknownKeys();
    in.rejectUnknownKeys();
    if (const QString bad = ReportLimits::viewProblem(*view); !bad.isEmpty())
        throw TemplateJsonError(QStringLiteral("%1: %2").arg(in.path(), bad));
    return view;
}

void pageFromJson(const JsonObjectReader& in, TfrPage& p)
{
    p.Name = in.text("name");
    p.PaperCode = in.i32("paperCode", p.PaperCode);
    p.PaperSizeX = in.i32("paperWidth", p.PaperSizeX);
    p.PaperSizeY = in.i32("paperHeight", p.PaperSizeY);
    const QJsonArray margins = in.array("margins");
    if (!margins.isEmpty() && margins.size() != 4)
        in.bad("margins", "four whole numbers");
    for (int i = 0; i < margins.size(); ++i) {
        const double margin = margins.at(i).toDouble(0.5);
        if (!margins.at(i).isDouble() || margin != std::floor(margin)
            || !ReportLimits::within(margin, ReportLimits::kMaxCoordinate))
            in.bad("margins", "four whole numbers in range");
        p.Margins[i] = static_cast<qint32>(margin);
    }
    p.PaperOrientation = in.u8("orientation", p.PaperOrientation);
    p.PaperSource = in.u32("paperSource", p.PaperSource);
    p.PrintToPrevPage = in.boolean("printToPrevPage", false);
    p.MarginsFlag = in.boolean("marginsFlag", true);
    p.Columns = in.i32("columns", p.Columns);
    p.ColumnGap = in.i32("columnGap", p.ColumnGap);
    const char* const kinds[] = {"report", "dialog"};
    p.PageKind = static_cast<quint8>(in.nameIndex("kind", kinds, 2, 0));
    const JsonObjectReader d = in.object("dialog");
    p.BorderStyle = d.u8("borderStyle", p.BorderStyle);
    p.Caption = d.text("caption", p.Caption);
    p.Color = d.colour("color", p.Color);
    p.DialogLeft = d.i32("left", p.DialogLeft);
    p.DialogTop = d.i32("top", p.DialogTop);
    p.DialogWidth = d.i32("width", p.DialogWidth);
    p.DialogHeight = d.i32("height", p.DialogHeight);
    p.Position = d.u8("position", p.Position);
    d.rejectUnknownKeys();
    p.PageScript = in.lines("script");
    const QJsonArray views = in.array("views");
    for (int i = 0; i < views.size(); ++i)
        p.Add(viewFromJson(JsonObjectReader::element(views, i, in.path() + QStringLiteral(".views"))));
    in.rejectUnknownKeys();
    if (const QString bad = ReportLimits::pageProblem(p); !bad.isEmpty())
        throw TemplateJsonError(QStringLiteral("%1: %2").arg(in.path(), bad));
}

// ---- text form --------------------------------------------------------------------------------

// A plain value in JSON's own spelling (quotes and escapes, shortest numbers).
QByteArray scalarText(const QJsonValue& v)
{
    const QByteArray wrapped = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}

// Lists of plain values go on one line; lists of lists (dictionary pairs) one entry a line.
bool isFlat(const QJsonArray& a)
{
    for (const QJsonValue& v : a) {
        if (v.isObject() || v.isArray())
            return false;
    }
    return true;
}

void writeText(const QJsonValue& v, int depth, QByteArray& out)
{
    const QByteArray indent(4 * (depth + 1), ' ');
    const QByteArray closing(4 * depth, ' ');
    if (v.isObject()) {
        const QJsonObject o = v.toObject();
        if (o.isEmpty()) {
            out += "{}";
            return;
        }
        out += "{\n";
        const QStringList keys = o.keys(); // sorted
        for (qsizetype i = 0; i < keys.size(); ++i) {
            out += indent + scalarText(keys[i]) + ": ";
            writeText(o.value(keys[i]), depth + 1, out);
            out += i + 1 < keys.size() ? ",\n" : "\n";
        }
        out += closing + "}";
    } else if (v.isArray()) {
        const QJsonArray a = v.toArray();
        if (isFlat(a)) {
            out += "[";
            for (qsizetype i = 0; i < a.size(); ++i) {
                if (i > 0)
                    out += ", ";
                writeText(a.at(i), depth + 1, out);
            }
            out += "]";
            return;
        }
        out += "[\n";
        for (qsizetype i = 0; i < a.size(); ++i) {
            out += indent;
            writeText(a.at(i), depth + 1, out);
            out += i + 1 < a.size() ? ",\n" : "\n";
        }
        out += closing + "]";
    } else {
        out += scalarText(v);
    }
}

} // namespace

QByteArray toText(const QJsonValue& value, int depth)
{
    QByteArray out;
    writeText(value, depth, out);
    return out;
}

QByteArray toText(const QJsonDocument& json)
{
    QByteArray out;
    writeText(json.isArray() ? QJsonValue(json.array()) : QJsonValue(json.object()), 0, out);
    out += '\n';
    return out;
}

QJsonDocument toJson(const TemplateHolder& h)
{
    QJsonObject o;
    o.insert(QStringLiteral("version"), 25);
    o.insert(QStringLiteral("useDefaultPrinter"), h.UseDefaultPrinter);
    o.insert(QStringLiteral("twoPass"), h.TwoPass);
    o.insert(QStringLiteral("printerName"), h.CurrentPrinterName());
    QJsonArray pages;
    for (const auto& p : h.Pages)
        pages.append(pageToJson(*p));
    o.insert(QStringLiteral("pages"), pages);
    QJsonObject dictionary;
    dictionary.insert(QStringLiteral("variables"), listToJson(h.Dictionary.Variables));
    dictionary.insert(QStringLiteral("aliases"), listToJson(h.Dictionary.AliasList));
    dictionary.insert(QStringLiteral("bandSources"), listToJson(h.Dictionary.BandSourceList));
    o.insert(QStringLiteral("dictionary"), dictionary);
    const ReportInfo& i = h.Info;
    QJsonObject info;
    info.insert(QStringLiteral("comment"), i.Comment);
    info.insert(QStringLiteral("name"), i.Name);
    info.insert(QStringLiteral("author"), i.Author);
    info.insert(QStringLiteral("version"),
        QJsonArray{i.VersionMajor, i.VersionMinor, i.VersionRelease, i.VersionBuild});
    info.insert(QStringLiteral("password"), i.Password);
    info.insert(QStringLiteral("passwordProtected"), i.PasswordProtected);
    info.insert(QStringLiteral("created"), i.Created);
    info.insert(QStringLiteral("lastChanged"), i.LastChanged);
    o.insert(QStringLiteral("info"), info);
    return QJsonDocument(o);
}

void fromJson(const QJsonDocument& json, TemplateHolder& h)
{
    if (!json.isObject())
        throw TemplateJsonError(QStringLiteral("template: an object is expected"));
    const JsonObjectReader in(json.object(), QStringLiteral("template"));
    h.UseDefaultPrinter = in.boolean("useDefaultPrinter", false);
    h.TwoPass = in.boolean("twoPass", false);
    h.PrinterName = in.text("printerName");
    const QJsonArray pages = in.array("pages");
    h.Pages.Clear();
    for (int i = 0; i < pages.size(); ++i)
        pageFromJson(JsonObjectReader::element(pages, i, QStringLiteral("template.pages")), *h.Pages.Add());
    const JsonObjectReader d = in.object("dictionary");
    h.Dictionary.Clear();
    readList(d, "variables", h.Dictionary.Variables);
    readList(d, "aliases", h.Dictionary.AliasList);
    readList(d, "bandSources", h.Dictionary.BandSourceList);
    d.rejectUnknownKeys();
    const JsonObjectReader info = in.object("info");
    ReportInfo& i = h.Info;
    i.Comment = info.text("comment");
    i.Name = info.text("name");
    i.Author = info.text("author");
    const QStringList version = info.lines("version");
    if (!version.isEmpty() && version.size() != 4)
        info.bad("version", "four texts");
    if (version.size() == 4) {
        i.VersionMajor = version[0], i.VersionMinor = version[1];
        i.VersionRelease = version[2], i.VersionBuild = version[3];
    }
    i.Password = info.text("password");
    i.PasswordProtected = info.boolean("passwordProtected", false);
    i.Created = info.number("created", 0);
    i.LastChanged = info.number("lastChanged", 0);
    info.rejectUnknownKeys();
    in.i32("version", 25); // written for the reader's information; the writer always writes 25
    in.rejectUnknownKeys();
}

} // namespace vaskel::TemplateJson
