#pragma once
// The prepared pages store: the finished pages of a report run, each kept as one byte stream of
// object records and turned back into live views only while it is drawn or hit-tested; and the
// prepared-report file (.frp) that holds the whole store.
//
// Memory stays bounded at any report size: beyond a budget of plain page data, each finished page
// is kept compressed (a page of list lines shrinks about twenty times) and expanded only while it
// is drawn, searched or saved. Files are written and read page by page, never whole.
//
// Page text is held in UTF-8, so every character a database gives a report survives preview,
// search, printing and PDF; pages read from a file keep the file's code page until they are saved
// in another one. Only saving in a legacy code page can meet a character it lacks, and then the
// save is refused with the character named and the store unchanged.
#include "report/model/ReportStreamWriter.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrPageMetrics.h"
#include "report/model/ViewFactory.h"

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;
class QPainter;

namespace vaskel {

class CodePage;
class ReportStreamReader;
class TfrReport;
class TfrView;

// A band as it printed on a prepared page: exports tell page headers and footers, data rows and
// group lines apart by it. Report units from the top of the paper.
struct PreparedBandSpan {
    qint32 Top = 0;
    qint32 Height = 0;
    quint16 Kind = 0; // TfrBandKind
};

// A memo that printed one number, date or time through its display format: the value before it
// became text, so that a spreadsheet gets a number or a date. Found again by the memo's place.
struct PreparedValue {
    qint32 Left = 0, Top = 0, Width = 0, Height = 0;
    double Number = 0; // the number, or days since 1899-12-30 for dates and times
    qint32 FormatCode = 0;
    QString FormatText;
};

// A header of a report page's outermost group as it printed on a prepared page: the PDF's outline
// leads to it. Top in report units from the paper's top; Text is what the band's memos printed,
// read left to right, or the group's condition value when they printed none.
struct PreparedOutlineEntry {
    qint32 Top = 0;
    QString Text;
};

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
    // Version byte 25, then the object records: the only authoritative copy while the page is
    // plain. A packed page holds them compressed in PackedData (PlainSize bytes once expanded)
    // and PageData is empty; TfrEMFPages::PageBytes gives either form.
    QByteArray PageData;
    QByteArray PackedData;
    qsizetype PlainSize = 0;
    // The code page of the page's text: null for UTF-8, else the file code page a prepared page
    // was started in or the code page of the file the page was read from (shared by the pages of
    // that file or run).
    std::shared_ptr<const CodePage> TextCodePage;
    std::unique_ptr<TfrPage> LivePage; // decoded from the page's records while needed
    // Kept in memory beside the records while a report is prepared; a .frp holds none of them,
    // so pages read from a file have none.
    std::vector<PreparedBandSpan> Bands;
    std::vector<PreparedValue> Values;
    std::vector<PreparedOutlineEntry> Outline; // in print order
};

enum class HitMode { Click, Hover };

// Takes the pages of a report run as they become final, so that an export can write them while
// the next ones are prepared.
class FinishedPageSink {
public:
    virtual ~FinishedPageSink() = default;
    // A copy of a final page: its records (shared, never changed again) and notes, no live views.
    // Called on the preparing thread, pages in order from the first.
    virtual void pageFinished(std::unique_ptr<TfrPreparedPage> page) = 0;
};

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
    // Plain page data kept before finished pages are packed: the first hundreds of pages of a
    // report are drawn without expanding anything.
    static constexpr qint64 kPlainPageBudget = qint64(32) << 20;
    qint64 PlainPageBudget = kPlainPageBudget;

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
    ReportStreamWriter RecordWriter(int index) const;
    static constexpr qsizetype kRecordReserve = 256;
    // Appends object records (written by a view's EmitPrepared through RecordWriter). Records
    // that went over to UTF-8 turn the whole page into UTF-8 first.
    void AppendRecords(int index, ReportStreamWriter& records);
    // Appends bytes as they are: records already in the page's code page.
    void AppendRecords(int index, const QByteArray& records);
    // The page's records (version byte first), expanded when the page is packed.
    QByteArray PageBytes(int index) const;
    bool IsPacked(int index) const { return !page(index).PackedData.isEmpty(); }

    // Decodes the page's records into LivePage (nothing when it exists). A damaged record throws
    // EStreamError (EClassNotFound for an unknown add-in class); the views read before it stay.
    void MaterializePage(int index);
    // While a sink is set, the final pass of the owner's run hands it a copy of each page once two
    // more pages follow it: a run writes to its last page, and to the one before it only where a
    // band continues there. A run that goes back further (cross bands spreading over pages, side
    // by side sub-reports) changes a page already handed over; the hand-over then stops and
    // HandOverBroken() says so: the pages are to be taken from the store once the run is over.
    void SetFinishedPageSink(FinishedPageSink* sink);
    // Hands over every page not handed over yet: the run is over.
    void HandOverRemaining();
    bool HandOverBroken() const { return m_handOverBroken; }
    // Set for a store whose pages are drawn on a thread other than the run's (see TfrPage).
    bool OffRunThread = false;
    // Appends a page taken from another store (a sink's copy), as it is.
    void AdoptPage(std::unique_ptr<TfrPreparedPage> page);

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

    // The prepared-report file layout, text in `codePage` (null: the configured file code page;
    // a copy of the store kept in memory may use UTF-8 to hold every character). LoadFrom clears
    // the store first and reads page by page; a fault keeps the complete pages read before it and
    // throws EStreamError. SaveTo writes page by page as it goes, so a failure may leave part of
    // the file written; a character the code page lacks fails before anything of its page is
    // written, naming the character and the page.
    void SaveTo(QIODevice& stream, const CodePage* codePage = nullptr);
    void LoadFrom(QIODevice& stream, const CodePage* codePage = nullptr);
    // The file forms: "Cannot open file …" leaves the store as it was; saving writes a temporary
    // file renamed over the target, so a failed save leaves the old file intact.
    void SaveToFile(const QString& fileName);
    void LoadFromFile(const QString& fileName);

private:
    TfrPreparedPage& page(int index) const;
    // The code page new pages start their text in: the configured file code page (null for
    // UTF-8), so that saving them is a copy.
    std::shared_ptr<const CodePage> newPageCodePage();
    // Entries of pages, each part in its own code page, written again as one page in `to`.
    struct EntryPart {
        QByteArray entries; // object records, no version byte
        const CodePage* codePage;
    };
    QByteArray rewritePage(quint8 version, const QList<EntryPart>& parts, const CodePage& to);
    // Page `number`'s data (`page`) as a file in `fileCodePage` holds it.
    QByteArray pageForFile(
        const TfrPreparedPage& record, const QByteArray& page, int number, const CodePage& fileCodePage);
    void releaseLivePage(TfrPreparedPage& page);
    // The page's plain records, expanded in place when it was packed.
    QByteArray& plainData(TfrPreparedPage& page);
    // Packs a finished page when the plain pages exceed the budget.
    void finishPage(TfrPreparedPage& page);
    // Sets the printer model's paper to the page's and takes its metrics back.
    void applyPaper(TfrPreparedPage& page);
    void readCountedLayout(QIODevice& stream, quint8 version, quint8 compression, qint64 base,
        const std::shared_ptr<const CodePage>& codePage);
    void readLegacyLayout(QIODevice& stream, qint64 base);

    // A page of the run is about to change: the end of the hand-over when it was handed over.
    void touchPage(int index)
    {
        if (index < m_handedOver)
            breakHandOver();
    }
    void breakHandOver();
    void handOverUpTo(int end);

    TfrReport* m_owner; // not owned; null for a store without a report
    FinishedPageSink* m_sink = nullptr;
    int m_handedOver = 0; // pages [0, m_handedOver) went to the sink
    bool m_handOverBroken = false;
    std::vector<std::unique_ptr<TfrPreparedPage>> m_pages;
    qint64 m_plainBytes = 0; // PageData held by the pages, about (direct edits are not counted)
    std::shared_ptr<const CodePage> m_newPageCodePage;
    ViewFactory m_viewFactory;
};

} // namespace vaskel
