#pragma once
// A prepared-report file in the oldest layout, where every page is one enhanced metafile, built
// with the tests' metafile writer: page 1 a title in Unicode and a line in GB2312 bytes, page 2
// one line of text.
#include "support/MetafileWriter.h"

#include <QByteArray>
#include <QStringEncoder>
#include <QtEndian>

#include <vector>

namespace vaskel::test {

struct LegacyFrp {
    static QString title() { return QStringLiteral("Stock archive 1998"); }
    static QString chinese() { return QString::fromUtf8("库存合计"); }
    static QString second() { return QStringLiteral("Closing balance carried forward"); }

    // One A4 page (840 × 1188 reference pixels): `text` at the top, the Chinese line when asked.
    static QByteArray page(const QString& text, bool withChinese)
    {
        EmfWriter w(QSize(840, 1188));
        w.createFont(1, -40, QStringLiteral("Arial"));
        w.select(1);
        w.setBkMode(1);
        w.textW({80, 80}, text);
        if (withChinese) {
            w.createFont(2, -32, QString::fromUtf8("宋体"), 134);
            w.select(2);
            w.textA({80, 200}, QStringEncoder("GBK").encode(chinese()));
        }
        return w.finish();
    }

    // The printer name and a zero byte, the page count, then per page its Next offset, paper code,
    // size, orientation, margins flag and metafile.
    static QByteArray file()
    {
        const std::vector<QByteArray> pages{page(title(), true), page(second(), false)};
        // Written on another office's machine: a printer this one does not have.
        QByteArray f("Accounts LaserJet 4050", 23);
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
};

} // namespace vaskel::test
