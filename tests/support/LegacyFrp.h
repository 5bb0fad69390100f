#pragma once
// Prepared-report files in the oldest layout, where every page is one enhanced metafile, built
// with the tests' metafile writer; and the one such file the print and search tests share: page 1
// a title in Unicode and a line in GB2312 bytes, page 2 one line of text, written for a printer
// this machine does not have.
#include "support/MetafileWriter.h"

#include <QByteArray>
#include <QStringEncoder>
#include <QtEndian>

#include <vector>

namespace vaskel::test {

// One A4 page (840 × 1188 reference pixels at 4 per millimetre): `text` at the top in Unicode,
// `chinese` (when given) below it in GB2312 bytes, and with `redBox` a red box at 100..300 ×
// 400..500 pixels.
inline QByteArray legacyPage(const QString& text, const QString& chinese = {}, bool redBox = false)
{
    EmfWriter w(QSize(840, 1188));
    w.createFont(1, -40, QStringLiteral("Arial"));
    w.select(1);
    w.setBkMode(1);
    w.textW({80, 80}, text);
    if (!chinese.isEmpty()) {
        w.createFont(2, -32, QString::fromUtf8("宋体"), 134);
        w.select(2);
        w.textA({80, 200}, QStringEncoder("GBK").encode(chinese));
    }
    if (redBox) {
        w.createBrush(3, 0, Qt::red);
        w.select(3);
        w.rectangle(QRect(100, 400, 200, 100));
    }
    return w.finish();
}

// The printer name ended by a zero byte, the page count, then per page its Next offset, paper
// code, size, orientation, margins flag and the page's metafile (A4 portrait, margins kept).
inline QByteArray legacyFrp(const QByteArray& printer, const std::vector<QByteArray>& pages)
{
    QByteArray f = printer;
    f.append('\0');
    const auto put32 = [&f](quint32 v) {
        char c[4];
        qToLittleEndian(v, c);
        f.append(c, 4);
    };
    put32(quint32(pages.size()));
    for (const QByteArray& p : pages) {
        const qsizetype at = f.size();
        put32(0);
        f.append(char(9)).append('\0'); // A4
        put32(2100);
        put32(2970);
        f.append('\0').append('\1'); // portrait, margins kept
        f += p;
        qToLittleEndian(quint32(f.size()), f.data() + at);
    }
    return f;
}

struct LegacyFrp {
    static QString title() { return QStringLiteral("Stock archive 1998"); }
    static QString chinese() { return QString::fromUtf8("库存合计"); }
    static QString second() { return QStringLiteral("Closing balance carried forward"); }

    static QByteArray file()
    {
        // Written on another office's machine: a printer this one does not have.
        return legacyFrp("Accounts LaserJet 4050", {legacyPage(title(), chinese()), legacyPage(second())});
    }
};

} // namespace vaskel::test
