#pragma once
// The text of a PDF as poppler's pdftotext reads it back, laid out as on the page; pages end with
// a form feed.
#include <QProcess>
#include <QString>

namespace vaskel::test {

inline QString pdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(20000))
        return QStringLiteral("pdftotext did not finish");
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace vaskel::test
