#pragma once
// The text of a PDF as poppler's pdftotext reads it back, laid out as on the page; pages end with
// a form feed.
#include <QList>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace vaskel::test {

inline QString pdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(20000))
        return QStringLiteral("pdftotext did not finish");
    return QString::fromUtf8(p.readAllStandardOutput());
}

// One word of a PDF as pdftotext -bbox reads it: its page (0-based) and its box in points from
// the page's top-left corner.
struct PdfWord {
    int page = 0;
    QRectF box;
    QString text;
};

inline QList<PdfWord> pdfWords(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(20000))
        return {};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression item(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<PdfWord> words;
    int page = -1;
    for (auto it = item.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
        words.append({page, QRectF(topLeft, bottomRight), m.captured(5)});
    }
    return words;
}

// The PDF's outline as poppler's pdftohtml reads it: "PAGE TITLE" per entry, in order.
inline QStringList pdfOutline(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftohtml"), {"-xml", "-i", "-q", "-stdout", pdf});
    if (!p.waitForFinished(20000))
        return {QStringLiteral("pdftohtml did not finish")};
    const QString xml = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression item(QStringLiteral(R"re(<item page="(\d+)">([^<]*)</item>)re"));
    QStringList outline;
    for (const QRegularExpressionMatch& m : item.globalMatch(xml))
        outline << m.captured(1) + u' ' + m.captured(2);
    return outline;
}

} // namespace vaskel::test
