#include "report/expr/EditMask.h"

#include <algorithm>
#include <vector>

namespace vaskel {

namespace {

enum class CaseMode { Keep, Upper, Lower };

struct MaskItem {
    bool place = false; // a place for a text character, otherwise a literal
    QChar literal;
    CaseMode caseMode = CaseMode::Keep;
};

struct ParsedMask {
    std::vector<MaskItem> items;
    int places = 0;
    bool fromRight = false;
    bool textHasLiterals = true;
    QChar blank = '_';
};

bool isPlaceChar(QChar c)
{
    switch (c.unicode()) {
    case 'L':
    case 'l':
    case 'A':
    case 'a':
    case 'C':
    case 'c':
    case '0':
    case '9':
    case '#':
        return true;
    default:
        return false;
    }
}

ParsedMask parse(const QString& editMask, QChar dateSeparator, QChar timeSeparator)
{
    ParsedMask m;
    CaseMode caseMode = CaseMode::Keep;
    qsizetype i = 0;
    for (; i < editMask.size(); ++i) {
        const QChar c = editMask[i];
        if (c == ';')
            break;
        if (c == '\\') {
            if (i + 1 < editMask.size())
                m.items.push_back({false, editMask[++i], CaseMode::Keep});
        } else if (c == '!') {
            m.fromRight = true;
        } else if (c == '>') {
            caseMode = CaseMode::Upper;
        } else if (c == '<') {
            if (i + 1 < editMask.size() && editMask[i + 1] == '>') {
                caseMode = CaseMode::Keep;
                ++i;
            } else {
                caseMode = CaseMode::Lower;
            }
        } else if (isPlaceChar(c)) {
            m.items.push_back({true, QChar(), caseMode});
            ++m.places;
        } else if (c == '_') {
            m.items.push_back({false, QChar(' '), CaseMode::Keep});
        } else if (c == '/') {
            m.items.push_back({false, dateSeparator, CaseMode::Keep});
        } else if (c == ':') {
            m.items.push_back({false, timeSeparator, CaseMode::Keep});
        } else {
            m.items.push_back({false, c, CaseMode::Keep});
        }
    }
    // Fields: ";flag;blank".
    const QStringView rest = QStringView(editMask).mid(i);
    if (rest.size() >= 2)
        m.textHasLiterals = rest[1] != '0';
    if (rest.size() >= 4 && rest[2] == ';')
        m.blank = rest[3];
    return m;
}

QChar withCase(QChar c, CaseMode mode)
{
    switch (mode) {
    case CaseMode::Upper:
        return c.toUpper();
    case CaseMode::Lower:
        return c.toLower();
    case CaseMode::Keep:
        break;
    }
    return c;
}

// Lays the text into the items in the order given (reversed for masks filled from the right).
template <typename Items>
QString layOut(const Items& items, QStringView text, bool textHasLiterals, QChar blank, bool reversed)
{
    QString out;
    qsizetype t = 0;
    auto nextChar = [&](qsizetype k) { return text[reversed ? text.size() - 1 - k : k]; };
    for (const MaskItem& item : items) {
        if (!item.place) {
            out += item.literal;
            if (textHasLiterals && t < text.size() && nextChar(t) == item.literal)
                ++t;
        } else if (t < text.size()) {
            out += withCase(nextChar(t++), item.caseMode);
        } else {
            out += blank;
        }
    }
    if (reversed)
        std::reverse(out.begin(), out.end());
    return out;
}

QString format(const QString& editMask, const QString& text, QChar dateSeparator, QChar timeSeparator)
{
    const ParsedMask m = parse(editMask, dateSeparator, timeSeparator);
    if (!m.fromRight)
        return layOut(m.items, text, m.textHasLiterals, m.blank, false);
    struct Reversed {
        const std::vector<MaskItem>& v;
        auto begin() const { return v.rbegin(); }
        auto end() const { return v.rend(); }
    };
    return layOut(Reversed{m.items}, text, m.textHasLiterals, m.blank, true);
}

} // namespace

QString FormatMaskText(const QString& editMask, const QString& text)
{
    return format(editMask, text, '/', ':');
}

QString FormatMaskText(const QString& editMask, const QString& text, const LocaleSettings& locale)
{
    return format(editMask, text, locale.dateSeparator, locale.timeSeparator);
}

} // namespace vaskel
