#pragma once
// Prepared pages built by hand: A4 pages from the virtual printer, and memos, lines and pictures
// written into them as printed copies, the way the layout engine appends them.
#include "support/TestGlobals.h"

#include "platform/PlatformError.h"
#include "report/engine/TfrEMFPages.h"
#include "report/model/PreparedObjectEntry.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/TfrLineView.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrPictureView.h"

#include <QBuffer>

#include <functional>

namespace vaskel::test {

class PreparedPagesTest : public GlobalsTest {
protected:
    // The message of the error `f` throws, "no error" when it throws none.
    static QString messageOf(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const VaskelError& e) {
            return e.message();
        }
        return QStringLiteral("no error");
    }

    // An A4 portrait template page with the virtual printer's metrics.
    TfrPage& a4()
    {
        if (!m_a4)
            m_a4 = std::make_unique<TfrPage>(&frPrinter(), 9, 2100, 2970, TfrPage::kDefaultBin, 0);
        return *m_a4;
    }

    // A view of type V named `name` at (left, top), `width` × `height` report units.
    template <typename V>
    static std::unique_ptr<V> placed(
        const QString& name, qint32 left, qint32 top, qint32 width, qint32 height)
    {
        auto v = std::make_unique<V>();
        v->Name = name;
        v->Left = left;
        v->Top = top;
        v->Width = width;
        v->Height = height;
        return v;
    }

    static std::unique_ptr<TfrMemoView> memo(
        const QString& name, qint32 left, qint32 top, qint32 width, qint32 height, const QStringList& lines)
    {
        auto m = placed<TfrMemoView>(name, left, top, width, height);
        m->Memo = lines;
        m->Font.Name = QStringLiteral("Arial");
        m->Font.Size = 10;
        return m;
    }

    // A horizontal line along the top edge.
    static std::unique_ptr<TfrLineView> line(const QString& name, qint32 left, qint32 top, qint32 width)
    {
        auto l = placed<TfrLineView>(name, left, top, width, 0);
        l->FrameTyp = FrameSides::Top;
        return l;
    }

    // A picture view holding a 2 × 2 BMP file image.
    static std::unique_ptr<TfrPictureView> picture(const QString& name, qint32 left, qint32 top, qint32 size)
    {
        auto p = placed<TfrPictureView>(name, left, top, size, size);
        QImage image(2, 2, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QByteArray bmp;
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "BMP");
        p->Picture.setData(StoredPicture::Bitmap, bmp);
        return p;
    }

    // Written as the printing of a band writes it: the printed copy carries its expanded text.
    static void emitView(TfrEMFPages& store, int page, TfrView& view)
    {
        view.ExpandedText = view.Memo;
        ReportStreamWriter w = store.RecordWriter(page);
        PreparedObjectEntry::write(view, w);
        store.AppendRecords(page, w);
    }

    // A page appended to `store` holding `views` in drawing order.
    void addPage(TfrEMFPages& store, const std::vector<TfrView*>& views)
    {
        store.InsertPage(store.Count(), a4());
        for (TfrView* v : views)
            emitView(store, store.Count() - 1, *v);
    }

    static QByteArray save(TfrEMFPages& store)
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        store.SaveTo(buffer);
        return buffer.data();
    }

    static void load(TfrEMFPages& store, const QByteArray& bytes)
    {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        store.LoadFrom(buffer);
    }

private:
    std::unique_ptr<TfrPage> m_a4;
};

} // namespace vaskel::test
