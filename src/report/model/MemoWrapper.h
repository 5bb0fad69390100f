#pragma once
// Breaks the paragraphs of a memo into lines that fit an available width, measured on the scratch
// surface with the font and character spacing already selected there. Lines that close a paragraph
// end with the paragraph mark (code 1); a line cut inside a word by hyphenation ends with "-".
//
// Wrapping is the hot path of report preparation: the loop measures the growing prefix of a line
// once per character. The wrapper therefore sums the advances of the scratch surface's per-font
// cache into running prefix widths, one look-up per character, instead of asking the platform for
// every candidate prefix. Because fonts are selected without kerning, these sums are exactly the
// widths drawing produces.
//
// Text is Unicode: the loop steps over whole characters (surrogate pairs included), so a line
// never breaks inside a character. Chinese text has no blanks and breaks before the character that
// does not fit.
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

namespace vaskel {

class ScratchSurface;

class MemoWrapper {
public:
    static constexpr QChar kParagraphMark = QChar(1);

    // `available` in pixels at 96 per inch; `wordBreak` hyphenates words that do not fit.
    MemoWrapper(ScratchSurface& scratch, int available, bool wordBreak);

    // Appends the lines of one paragraph (which may itself hold CR and LF) to `out`.
    void wrapParagraph(const QString& text, QStringList& out);

    // Hyphenation points of a word: 1-based positions after which a hyphen may stand, increasing.
    // The rules know the Russian alphabet only (vowels Ё А Е И О У Ы Э Ю Я, signs Ъ Ь, compared
    // after upper-casing); words in other alphabets get none.
    static QList<int> hyphenationPoints(QStringView word);

private:
    // Width in pixels of text[from .. last character starting at `to`], both inclusive.
    int width(qsizetype from, qsizetype to) const;
    qsizetype charEnd(qsizetype index) const;
    void measure(const QString& text);

    ScratchSurface& m_scratch;
    int m_available;
    bool m_wordBreak;
    int m_hyphenWidth = 0;
    QStringView m_text;
    std::vector<int> m_prefix; // m_prefix[i]: width of the first i code units
};

} // namespace vaskel
