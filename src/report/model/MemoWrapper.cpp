#include "report/model/MemoWrapper.h"

#include "platform/GlyphAdvanceCache.h"
#include "platform/PlatformGlobals.h"
#include "platform/ScratchSurface.h"

namespace vaskel {

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Characters that end the word hyphenation looks at.
bool isWordEnd(QChar c)
{
    return c == u' ' || c == u',' || c == u'-' || c == u'.';
}

bool isVowel(QChar c)
{
    switch (c.unicode()) {
    case 0x0401: // Ё
    case 0x0410: // А
    case 0x0415: // Е
    case 0x0418: // И
    case 0x041E: // О
    case 0x0423: // У
    case 0x042B: // Ы
    case 0x042D: // Э
    case 0x042E: // Ю
    case 0x042F: // Я
        return true;
    default:
        return false;
    }
}

bool isSign(QChar c)
{
    return c == QChar(0x042A) || c == QChar(0x042C); // Ъ Ь
}

QString upperCased(QStringView word)
{
    QString upper = PlatformGlobals::exists() ? PlatformGlobals::get().locale.toUpper(word.toString())
                                              : word.toString().toUpper();
    if (upper.size() == word.size())
        return upper;
    // Positions must keep pointing at the same characters: casing that changes the length (ß → SS)
    // falls back to one character at a time.
    upper = word.toString();
    for (QChar& c : upper)
        c = c.toUpper();
    return upper;
}

} // namespace

MemoWrapper::MemoWrapper(ScratchSurface& scratch, int available, bool wordBreak)
    : m_scratch(scratch), m_available(available), m_wordBreak(wordBreak)
{
    m_hyphenWidth = m_scratch.textWidth(u"-");
}

QList<int> MemoWrapper::hyphenationPoints(QStringView word)
{
    QList<int> points;
    const qsizetype n = word.size();
    if (n < 4)
        return points;
    const QString w = upperCased(word);
    // i is the 1-based position the hyphen would follow; w[i - 1] is that character.
    for (qsizetype i = 2; i <= n - 2; ++i) {
        const QChar c = w[i - 1];
        const QChar next = w[i];
        const QChar after = w[i + 1];
        const bool point = (isVowel(c) && (isVowel(next) || isVowel(after)))
            || (isSign(c) && !isWordEnd(after))
            || (!isVowel(c) && !isVowel(next) && !isSign(next) && isVowel(after));
        if (point)
            points.append(int(i));
    }
    return points;
}

void MemoWrapper::measure(const QString& text)
{
    m_text = text;
    m_prefix.assign(size_t(text.size()) + 1, 0);
    GlyphAdvanceCache& cache = m_scratch.advances();
    const int extra = m_scratch.spacing();
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype start = i;
        const int w = cache.advance(GlyphAdvanceCache::nextCodePoint(text, i)) + extra;
        for (qsizetype k = start; k < i; ++k)
            m_prefix[size_t(k) + 1] = m_prefix[size_t(start)] + (k + 1 == i ? w : 0);
    }
}

qsizetype MemoWrapper::charEnd(qsizetype index) const
{
    if (index + 1 < m_text.size() && m_text[index].isHighSurrogate() && m_text[index + 1].isLowSurrogate())
        return index + 2;
    return index + 1;
}

int MemoWrapper::width(qsizetype from, qsizetype to) const
{
    if (to < from)
        return 0;
    return m_prefix[size_t(charEnd(to))] - m_prefix[size_t(from)];
}

void MemoWrapper::wrapParagraph(const QString& s, QStringList& out)
{
    const QString mark(kParagraphMark);
    const qsizetype n = s.size();
    measure(s);

    const bool hasBreaks = s.contains(u'\r') || s.contains(u'\n');
    if (!hasBreaks && (n == 0 || charEnd(0) >= n || m_prefix[size_t(n)] <= m_available)) {
        out.append(s + mark);
        return;
    }

    // Positions are 0-based code-unit indices; `a` always stands at the start of a character.
    qsizetype lineStart = 0;
    qsizetype breakPos = 0; // the last blank, or the line start while the line has none
    qsizetype lastFail = -1;
    qsizetype a = 0;
    auto add = [&](qsizetype from, qsizetype end, const QString& tail) {
        out.append(s.mid(from, qMax<qsizetype>(0, end - from)) + tail);
    };

    while (a < n) {
        if (isLineBreak(s[a])) {
            add(lineStart, a, mark);
            a = qMin(a + 1, n - 1);
            while (a < n - 1 && isLineBreak(s[a]))
                ++a;
            lineStart = breakPos = a;
            if (isLineBreak(s[a]))
                return; // the text ends with line breaks
            continue;
        }

        // A character alone on its line stays there even when it is wider than the line: ending
        // the line before it would only add an empty line.
        if (s[a] != u' ' && a > lineStart && width(lineStart, a) > m_available) {
            const qsizetype overflow = a;
            const qsizetype oldStart = lineStart;
            bool hyphenated = false;
            if (m_wordBreak) {
                qsizetype wordEnd = a;
                while (wordEnd < n && !isWordEnd(s[wordEnd]))
                    ++wordEnd;
                const qsizetype wordStart = breakPos + 1;
                const QList<int> points = wordStart < wordEnd
                    ? hyphenationPoints(QStringView(s).sliced(wordStart, wordEnd - wordStart))
                    : QList<int>();
                if (!points.isEmpty()) {
                    a = breakPos;
                    for (int p : points) {
                        const qsizetype last = breakPos + p;
                        if (s[last].isHighSurrogate())
                            break; // a hyphen never splits a character
                        if (width(lineStart, last) + m_hyphenWidth > m_available)
                            break;
                        hyphenated = true;
                        a = last;
                    }
                    breakPos = a;
                }
            } else if (breakPos == lineStart) {
                breakPos = a;
            }

            if (hyphenated) {
                add(lineStart, breakPos + 1, QStringLiteral("-"));
            } else if (s[breakPos] == u' ') {
                add(lineStart, breakPos, QString());
            } else {
                if (breakPos == lineStart)
                    breakPos = a;
                add(lineStart, breakPos, QString());
                breakPos -= 1;
            }

            if (breakPos + 1 <= oldStart) {
                // No hyphen fitted and the line would not move on: an empty line was added at the
                // same place, and going on would repeat it for ever. Break before the character
                // that did not fit instead.
                out.removeLast();
                add(oldStart, overflow, QString());
                a = overflow;
                lineStart = breakPos = overflow;
            } else {
                if (m_wordBreak && !hyphenated && a == breakPos + 1) {
                    if (a == lastFail) {
                        // Hyphenation made no progress twice at the same place: the rest of the
                        // paragraph becomes one line.
                        add(a, n, mark);
                        return;
                    }
                    lastFail = a;
                }
                lineStart = breakPos + 1;
                breakPos = lineStart;
            }
        }

        if (s[a] == u' ')
            breakPos = a;
        a = charEnd(a);
    }
    if (lineStart < n)
        add(lineStart, n, mark);
}

} // namespace vaskel
