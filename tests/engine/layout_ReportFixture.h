#pragma once
// A report in a component host with in-memory queries, a template built in code, and the prepared
// pages read back as one line per printed object: "Name@top: text" (top in report units, lines
// joined with "|"). The template page's printable area runs from y 20 to y 400 (margins set so),
// so that band heights in tests read as plain numbers. The progress window is off unless a test
// turns it on.
//
// Prepare reads the template back after the run: pointers into the template do not survive it.
#include "dataset_MemoryDataset.h"
#include "support/TestGlobals.h"

#include "report/engine/ComponentHost.h"
#include "report/engine/PreparedPagesJson.h"
#include "report/engine/TfrCompressor.h"
#include "report/engine/TfrDBDataSet.h"
#include "report/engine/TfrReport.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPictureView.h"
#include "report/model/TfrSubReportView.h"

#include <QJsonArray>
#include <QJsonObject>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace vaskel::test {

class LayoutTest : public GlobalsTest {
protected:
    static constexpr qint32 kTop = 20; // report units
    static constexpr qint32 kBottom = 400; // report units

    LayoutTest() : report(host.make<TfrReport>(QStringLiteral("frReport1")))
    {
        report.ShowProgress = false;
        page = addPage();
        report.PreparedPages().SetFinishedPageSink(&handedOver);
    }

    // Every run here hands its final pages over as it goes, as to the PDF writer of `vaskel
    // render`: a page handed over must be the page the run ends with, unless the run went back to
    // it and said so.
    void TearDown() override
    {
        TfrEMFPages& store = report.PreparedPages();
        if (store.HandOverBroken())
            return;
        ASSERT_LE(handedOver.pages.size(), size_t(store.Count()));
        for (size_t i = 0; i < handedOver.pages.size(); ++i) {
            const TfrPreparedPage& copy = *handedOver.pages[i];
            const QByteArray bytes = copy.PackedData.isEmpty()
                ? copy.PageData
                : TfrCompressor::unpack(copy.PackedData, copy.PlainSize);
            EXPECT_EQ(bytes, store.PageBytes(int(i)))
                << "page " << i + 1 << " changed after it was handed over";
            EXPECT_EQ(copy.Bands.size(), store.PageAt(int(i)).Bands.size()) << "page " << i + 1;
        }
    }

    struct RecordedHandOver : FinishedPageSink {
        std::vector<std::unique_ptr<TfrPreparedPage>> pages;
        void pageFinished(std::unique_ptr<TfrPreparedPage> page) override
        {
            pages.push_back(std::move(page));
        }
    };

    TfrPage* addPage()
    {
        TfrPage* p = report.TemplatePages().Add();
        p->MarginsFlag = true;
        p->Margins[0] = 10;
        p->Margins[1] = kTop;
        p->Margins[2] = 10;
        p->Margins[3] = p->Metrics.UnitPaperHeight - kBottom;
        return p;
    }

    // A query "name" of one text column KEY (and optional further columns) with a report dataset
    // "<name>Set" over it.
    TfrDBDataSet& dataset(const QString& name, const QStringList& keys)
    {
        QList<QVariantList> rows;
        for (const QString& k : keys)
            rows.append(QVariantList{k});
        return dataset(name, {{QStringLiteral("KEY"), DatabaseFieldKind::String}}, rows);
    }
    // "name" with the keys R1 to Rn.
    TfrDBDataSet& numbered(const QString& name, int n)
    {
        QStringList keys;
        for (int i = 1; i <= n; ++i)
            keys << QStringLiteral("R%1").arg(i);
        return dataset(name, keys);
    }
    TfrDBDataSet& dataset(
        const QString& name, const QList<MemoryDataset::Column>& columns, const QList<QVariantList>& rows)
    {
        auto& q = host.make<MemoryDataset>(name, columns, rows);
        auto& set = host.make<TfrDBDataSet>(name + QStringLiteral("Set"));
        set.setDataSet(&q);
        return set;
    }

    TfrBandView* band(TfrBandKind kind, const QString& name, qint32 top, qint32 height,
        const QString& source = {}, TfrPage* on = nullptr)
    {
        auto b = std::make_unique<TfrBandView>();
        b->Name = name;
        b->FrameTyp = kind;
        b->Top = top;
        b->Height = height;
        b->Width = 500;
        b->FormatText = source;
        return static_cast<TfrBandView*>((on ? on : page)->Add(std::move(b)));
    }

    // A memo whose top lies in the band starting at `top`; its name is what the dump shows.
    TfrMemoView* memo(const QString& name, qint32 top, const QString& text, qint32 height = 10,
        qint32 left = 10, TfrPage* on = nullptr)
    {
        auto m = std::make_unique<TfrMemoView>();
        m->Name = name;
        m->Left = left;
        m->Top = top;
        m->Width = 200;
        m->Height = height;
        m->Memo = QStringList{text};
        m->Font.Name = QStringLiteral("Arial");
        m->Font.Size = 10;
        return static_cast<TfrMemoView*>((on ? on : page)->Add(std::move(m)));
    }

    // A band of that kind with one memo of the same name and text at its top.
    TfrBandView* printing(TfrBandKind kind, const QString& name, qint32 top, qint32 height,
        const QString& text, const QString& source = {}, TfrPage* on = nullptr)
    {
        TfrBandView* b = band(kind, name, top, height, source, on);
        memo(name, top, text, std::min<qint32>(height, 10), 10, on);
        return b;
    }

    // A sub-report view printing the template page `pageIndex` (0-based) from (left, top).
    TfrSubReportView* subReport(
        const QString& name, qint32 left, qint32 top, qint32 pageIndex, TfrPage* on = nullptr)
    {
        auto v = std::make_unique<TfrSubReportView>();
        v->Name = name;
        v->Left = left;
        v->Top = top;
        v->Width = 200;
        v->Height = 20;
        v->PageIndex = pageIndex;
        return static_cast<TfrSubReportView*>((on ? on : page)->Add(std::move(v)));
    }

    int pageCount() { return report.PreparedPages().Count(); }

    // Every page, objects in drawing order.
    QList<QStringList> pages()
    {
        QList<QStringList> out;
        const QJsonArray list
            = PreparedPagesJson::toJson(report.PreparedPages()).object().value("pages").toArray();
        for (const QJsonValue& p : list) {
            QStringList objects;
            for (const QJsonValue& o : p.toObject().value("objects").toArray()) {
                const QJsonObject obj = o.toObject();
                QStringList lines;
                for (const QJsonValue& l : obj.value("lines").toArray())
                    lines << l.toString();
                objects << QStringLiteral("%1@%2: %3")
                               .arg(obj.value("name").toString())
                               .arg(obj.value("rect").toArray().at(1).toInt())
                               .arg(lines.join('|'));
            }
            out << objects;
        }
        return out;
    }

    // The printed texts of all pages, pages separated by "--".
    QStringList texts()
    {
        QStringList out;
        const QList<QStringList> all = pages();
        for (int i = 0; i < all.size(); ++i) {
            if (i > 0)
                out << QStringLiteral("--");
            for (const QString& o : all[i])
                out << o.section(QStringLiteral(": "), 1);
        }
        return out;
    }

    // "text@left,top" of every printed object, pages separated by "--".
    QStringList positions()
    {
        QStringList out;
        const QJsonArray list
            = PreparedPagesJson::toJson(report.PreparedPages()).object().value("pages").toArray();
        for (const QJsonValue& p : list) {
            if (!out.isEmpty())
                out << QStringLiteral("--");
            for (const QJsonValue& o : p.toObject().value("objects").toArray()) {
                const QJsonObject obj = o.toObject();
                QStringList lines;
                for (const QJsonValue& l : obj.value("lines").toArray())
                    lines << l.toString();
                const QJsonArray rect = obj.value("rect").toArray();
                out << QStringLiteral("%1@%2,%3")
                           .arg(lines.join('|'))
                           .arg(rect.at(0).toInt())
                           .arg(rect.at(1).toInt());
            }
        }
        return out;
    }

    QStringList errorBoxes() const
    {
        QStringList out;
        for (const Interaction& i : scriptedUi->interactionsOf(Interaction::Kind::MessageBox))
            out << i.text;
        return out;
    }

    RecordedHandOver handedOver; // declared before the report's host, so it outlives the report
    ComponentHost host;
    TfrReport& report;
    TfrPage* page = nullptr; // the first template page; not valid after Prepare
};

} // namespace vaskel::test
