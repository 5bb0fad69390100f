#pragma once
// The prepared pages store: the finished pages of a report run, each kept as one byte stream of
// object records and turned back into live views only while it is drawn or hit-tested; and the
// prepared-report file (.frp) that holds the whole store.
#include "report/model/ReportStreamWriter.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrPageMetrics.h"
#include "report/model/ViewFactory.h"

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;
class QPainter;

namespace vaskel {

class ReportStreamReader;
class TfrReport;
class TfrView;

struct TfrPreparedPage {
    QRect LayoutRect; // where the preview lays the page out, screen pixels before scrolling
    quint16 PaperCode = 0;
    qint32 PaperSizeX = 0, PaperSizeY = 0; // tenths of a millimetre
    quint8 PaperOrientation = 0;
    qint32 PaperSource = 0;
    quint8 MarginsFlag = 0;
    qint32 Margins[4] = {0, 0, 0, 0}; // left, top, right, bottom; report units
    TfrPageMetrics Metrics;
    bool InUse = false;
    QByteArray PageData; // version byte 25, then the object records: the only authoritative copy
    std::unique_ptr<TfrPage> LivePage; // decoded from PageData while needed
};

enum class HitMode { Click, Hover };

class TfrEMFPages {
public:
    static constexpr quint8 kPageStreamVersion = 25;
    // What the compressed pages of one file may expand to in all, far above any real report
    // (2,000 pages of 20 memos take 8 MB); beyond it the file is refused as damaged.
    static constexpr qint64 kMaxDecompressedBytes = qint64(1) << 30;

    explicit TfrEMFPages(TfrReport* owner);
    ~TfrEMFPages();
    TfrEMFPages(const TfrEMFPages&) = delete;
    TfrEMFPages& operator=(const TfrEMFPages&) = delete;

    TfrReport* owner() const { return m_owner; }

    // The store's budget for decompressed page data of a file it loads (see kMaxDecompressedBytes).
    qint64 DecompressionBudget = kMaxDecompressedBytes;

    int Count() const { return static_cast<int>(m_pages.size()); }
    TfrPreparedPage& PageAt(int index);
    const TfrPreparedPage& PageAt(int index) const;

    void InsertPage(int index, const TfrPage& templatePage);
    // InsertPage(Count) and fires the running report's OnBeginPage with the run state's PageNumber.
    void AddPage(const TfrPage& templatePage);
    void DeletePage(int index);
    void Clear();

    // A writer for the page's next records: its positions continue the page's data, so that the
    // end positions pictures store are positions in the page. Write with it, then AppendRecords
    // its data before anything else is appended to the page.
    ReportStreamWriter RecordWriter(int index) const
    {
        return ReportStreamWriter(page(index).PageData.size());
    }
    // Appends object records (written by a view's EmitPrepared through RecordWriter).
    void AppendRecords(int index, const QByteArray& records);

    // Decodes the page's records into LivePage (nothing when it exists). A damaged record throws
    // EStreamError (EClassNotFound for an unknown add-in class); the views read before it stay.
    void MaterializePage(int index);
    // Frees the page's live objects; its PageData stays.
    void ReleasePage(int index) { releaseLivePage(page(index)); }
    // Decoding, drawing and hit-testing read and change no run state: a preview may paint pages
    // while a report is being prepared.
    // Draws the page scaled into `target` (pixels of the canvas). A page whose InUse flag is clear
    // is released instead. On screens, views that miss the clip area by more than 10 pixels are
    // skipped; printers, PDF writers and the recording device get every view.
    void DrawPage(int index, QPainter& canvas, const QRect& target);
    // `point` in report units from the paper's top-left corner. A click on a "URL…" view whose
    // Tag has no "@" opens the Tag through the UI services; otherwise the Tag is the target.
    bool ObjectAt(int index, QPoint point, HitMode mode, QString& target, Qt::CursorShape& cursor);

    // The prepared-report file layout. LoadFrom clears the store first; a fault keeps the complete
    // pages read before it and throws EStreamError. SaveTo writes nothing when it fails.
    void SaveTo(QIODevice& stream);
    void LoadFrom(QIODevice& stream);
    // The file forms: "Cannot open file …" leaves the store as it was; saving writes a temporary
    // file renamed over the target, so a failed save leaves the old file intact.
    void SaveToFile(const QString& fileName);
    void LoadFromFile(const QString& fileName);

private:
    TfrPreparedPage& page(int index) const;
    void releaseLivePage(TfrPreparedPage& page);
    // Sets the printer model's paper to the page's and takes its metrics back.
    void applyPaper(TfrPreparedPage& page);
    void readCountedLayout(ReportStreamReader& reader, quint8 version, quint8 compression, qint64 base);
    void readLegacyLayout(ReportStreamReader& reader, qint64 base);

    TfrReport* m_owner; // not owned; null for a store without a report
    std::vector<std::unique_ptr<TfrPreparedPage>> m_pages;
    ViewFactory m_viewFactory;
};

} // namespace vaskel
