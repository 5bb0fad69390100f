#pragma once
// The prepared pages store: the finished pages of a report run, each kept as one byte stream of
// object records and turned back into live views only while it is drawn or hit-tested; and the
// prepared-report file (.frp) that holds the whole store.
#include "report/model/TfrPage.h"
#include "report/model/TfrPageMetrics.h"

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;
class QPainter;

namespace vaskel {

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

    explicit TfrEMFPages(TfrReport* owner);
    ~TfrEMFPages();
    TfrEMFPages(const TfrEMFPages&) = delete;
    TfrEMFPages& operator=(const TfrEMFPages&) = delete;

    TfrReport* owner() const { return m_owner; }

    int Count() const { return static_cast<int>(m_pages.size()); }
    TfrPreparedPage& PageAt(int index);
    const TfrPreparedPage& PageAt(int index) const;

    void InsertPage(int index, const TfrPage& templatePage);
    // InsertPage(Count) and fires the running report's OnBeginPage with the run state's PageNumber.
    void AddPage(const TfrPage& templatePage);
    void DeletePage(int index);
    void Clear();

    // Appends object records (written by a view's EmitPrepared) to the page's data.
    void AppendRecords(int index, const QByteArray& records);

    void MaterializePage(int index);
    void DrawPage(int index, QPainter& canvas, const QRect& target);
    bool ObjectAt(int index, QPoint point, HitMode mode, QString& target, Qt::CursorShape& cursor);

    // The prepared-report file layout. LoadFrom clears the store first; a fault keeps the complete
    // pages read before it and throws EStreamError.
    void SaveTo(QIODevice& stream);
    void LoadFrom(QIODevice& stream);

private:
    TfrReport* m_owner; // not owned
    std::vector<std::unique_ptr<TfrPreparedPage>> m_pages;
};

} // namespace vaskel
