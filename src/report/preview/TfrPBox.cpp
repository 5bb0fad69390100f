#include "report/preview/TfrPBox.h"

#include "platform/PlatformError.h"
#include "platform/PlatformGlobals.h"
#include "platform/Rounding.h"
#include "report/engine/TfrEMFPages.h"
#include "report/model/TfrGlobals.h"
#include "report/preview/TfrPreviewForm.h"

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include <optional>

namespace vaskel {

namespace {

// Drawing a prepared page decodes views, which points the run state's current page at them.
// A preview repainting while another report is being prepared (preparing lets window events
// run) must leave that run exactly as it was.
class RunStateKeeper {
public:
    RunStateKeeper() : m_saved(frRun()) { }
    ~RunStateKeeper() { frRun() = m_saved; }
    RunStateKeeper(const RunStateKeeper&) = delete;
    RunStateKeeper& operator=(const RunStateKeeper&) = delete;

private:
    RunState m_saved;
};

// The number after the "@" of a page-jump target, or nothing when the target is no page jump.
// `ok` says whether the text after the "@" is an integer.
std::optional<QString> pageJumpText(const QString& target)
{
    const qsizetype at = target.indexOf(u'@');
    if (at < 0 || at + 1 >= target.size())
        return std::nullopt;
    return target.mid(at + 1);
}

} // namespace

TfrPBox::TfrPBox(TfrPreviewForm* owner, QWidget* parent) : QWidget(parent), m_owner(owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setProperty("helpContext", kHelpContext);
}

QRect TfrPBox::pageTarget(int index) const
{
    const TfrPreparedPage& page = m_owner->HeldPages->PageAt(index);
    const QRect r = page.LayoutRect.translated(m_owner->ScrollX, m_owner->ScrollY);
    if (page.MarginsFlag)
        return r;
    // The printable area inside the margins, report units scaled by the zoom.
    const double z = m_owner->ZoomFactor;
    const TfrPageMetrics& m = page.Metrics;
    const int left = r.left() + roundToInt((m.UnitOffsetX + page.Margins[0]) * z);
    const int top = r.top() + roundToInt((m.UnitOffsetY + page.Margins[1]) * z);
    const int width = roundToInt((double(m.UnitPrintWidth) - page.Margins[0] - page.Margins[2]) * z);
    const int height = roundToInt((double(m.UnitPrintHeight) - page.Margins[1] - page.Margins[3]) * z);
    return QRect(left, top, width, height);
}

QRect TfrPBox::pixelRect(int index, const QRect& unitsRect) const
{
    const TfrPreparedPage& page = m_owner->HeldPages->PageAt(index);
    const QRect target = pageTarget(index);
    const TfrPageMetrics& m = page.Metrics;
    if (m.UnitPaperWidth <= 0 || m.UnitPaperHeight <= 0)
        return {};
    const double kx = double(target.width()) / m.UnitPaperWidth;
    const double ky = double(target.height()) / m.UnitPaperHeight;
    const QPoint tl(
        target.left() + roundToInt(unitsRect.left() * kx), target.top() + roundToInt(unitsRect.top() * ky));
    const QPoint br(target.left() + roundToInt((unitsRect.right() + 1) * kx),
        target.top() + roundToInt((unitsRect.bottom() + 1) * ky));
    return QRect(tl, br - QPoint(1, 1));
}

void TfrPBox::markRect(int pageIndex, const QRect& unitsRect)
{
    if (!m_owner->HeldPages || pageIndex < 0 || pageIndex >= m_owner->HeldPages->Count())
        return;
    const QRect r = pixelRect(pageIndex, unitsRect);
    // The mark is drawn once, over what is on screen; the next paint of the area removes it.
    m_owner->MarkedRect = r;
    repaint(r);
}

void TfrPBox::reportFault(int index, const QString& message)
{
    if (m_reportedFaults.contains(index))
        return;
    m_reportedFaults.insert(index);
    // Never a modal box from inside a paint or mouse handler: shown once the handler returned.
    QTimer::singleShot(0, this, [message] { PlatformGlobals::get().ui().showError(message); });
}

void TfrPBox::paintEvent(QPaintEvent* event)
{
    if (!m_owner->PaintEnabled)
        return;
    m_lastPainted = event->region();
    ++m_paints;
    QPainter p(this);
    TfrEMFPages* pages = m_owner->HeldPages.get();
    if (!pages) {
        p.fillRect(event->rect(), palette().button());
        return;
    }
    const RunStateKeeper keeper;
    const QRegion clip = event->region();
    QRegion around = clip;
    // A page is in use when it meets the painted region; "in view" is decided by the area's
    // real height, so tall screens show every page they can hold.
    std::vector<char> inUse(size_t(pages->Count()), 0);
    for (int i = 0; i < pages->Count(); ++i) {
        TfrPreparedPage& page = pages->PageAt(i);
        const QRect r = page.LayoutRect.translated(m_owner->ScrollX, m_owner->ScrollY);
        const bool use = !r.isEmpty() && r.top() <= height() && r.bottom() >= 0 && clip.intersects(r);
        page.InUse = use;
        inUse[size_t(i)] = use;
        if (use)
            around -= r.adjusted(1, 1, -1, -1);
    }
    p.setClipRegion(around);
    p.fillRect(clip.boundingRect(), QColor(128, 128, 128));
    p.setClipRegion(clip);
    p.setPen(QPen(Qt::black, 1, Qt::SolidLine));
    p.setBrush(Qt::white);
    for (int i = 0; i < pages->Count(); ++i) {
        if (!inUse[size_t(i)])
            continue;
        const QRect r = pages->PageAt(i).LayoutRect.translated(m_owner->ScrollX, m_owner->ScrollY);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        // A one-pixel shadow just outside the bottom and right edges.
        p.drawLine(r.left() + 1, r.bottom() + 1, r.right() + 1, r.bottom() + 1);
        p.drawLine(r.right() + 1, r.bottom() + 1, r.right() + 1, r.top() + 1);
    }
    for (int i = 0; i < pages->Count(); ++i) {
        try {
            if (!inUse[size_t(i)]) {
                pages->DrawPage(i, p, QRect()); // releases the page's live views
                continue;
            }
            p.save();
            pages->DrawPage(i, p, pageTarget(i));
            p.restore();
        } catch (const VaskelError& e) {
            // What was decoded before the fault is drawn; the page says so once.
            p.restore();
            reportFault(i, e.message());
        }
    }
    if (m_owner->MarkedRect.isValid()) {
        p.setClipRegion(clip);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.fillRect(m_owner->MarkedRect, Qt::white);
        m_owner->MarkedRect = QRect();
    }
}

QPoint TfrPBox::unitsPoint(int index, QPoint p) const
{
    const QRect r = m_owner->HeldPages->PageAt(index).LayoutRect;
    const double z = m_owner->ZoomFactor;
    return QPoint(roundToInt((p.x() - r.left()) / z), roundToInt((p.y() - r.top()) / z));
}

void TfrPBox::followLink(const QString& target)
{
    const std::optional<QString> number = pageJumpText(target);
    if (!number)
        return; // other targets were opened by the store, or mean nothing here
    bool ok = false;
    int n = number->trimmed().toInt(&ok);
    if (!ok) {
        PlatformGlobals::get().ui().showError(
            QStringLiteral("'%1' is not a valid integer value").arg(*number));
        return;
    }
    if (n <= 0)
        n = 1;
    if (n > m_owner->HeldPages->Count())
        return;
    m_owner->DisplayedPage = n;
    m_owner->UpdatePageLabel();
    m_owner->ScrollToCurrentPage();
}

void TfrPBox::mousePressEvent(QMouseEvent* event)
{
    if (m_doubleClickSeen) {
        m_doubleClickSeen = false;
        return;
    }
    if (event->button() == Qt::RightButton) {
        if (QMenu* menu = m_owner->popupMenu())
            menu->popup(event->globalPosition().toPoint());
        return;
    }
    TfrEMFPages* pages = m_owner->HeldPages.get();
    if (event->button() != Qt::LeftButton || !pages)
        return;
    m_lastClickedPage = m_owner->DisplayedPage;
    const QPoint pos = event->position().toPoint();
    const QPoint p = pos - QPoint(m_owner->ScrollX, m_owner->ScrollY);
    for (int i = 0; i < pages->Count(); ++i) {
        if (!pages->PageAt(i).LayoutRect.contains(p))
            continue;
        m_lastClickedPage = i + 1;
        QString target;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        bool hit = false;
        try {
            const RunStateKeeper keeper;
            hit = pages->ObjectAt(i, unitsPoint(i, p), HitMode::Click, target, cursor);
        } catch (const VaskelError& e) {
            reportFault(i, e.message());
        }
        if (hit) {
            followLink(target);
            return;
        }
    }
    m_dragging = true;
    m_lastX = pos.x();
    m_lastY = pos.y();
    m_owner->DisplayedPage = m_lastClickedPage;
    m_owner->UpdatePageLabel();
}

void TfrPBox::mouseMoveEvent(QMouseEvent* event)
{
    TfrEMFPages* pages = m_owner->HeldPages.get();
    if (!pages)
        return;
    const QPoint pos = event->position().toPoint();
    if (m_dragging) {
        m_owner->HScrollBar->setValue(m_owner->HScrollBar->value() + m_lastX - pos.x());
        m_owner->VScrollBar->setValue(m_owner->VScrollBar->value() + m_lastY - pos.y());
        m_lastX = pos.x();
        m_lastY = pos.y();
        return;
    }
    if (!m_owner->OwnerReport)
        return;
    const QPoint p = pos - QPoint(m_owner->ScrollX, m_owner->ScrollY);
    for (int i = 0; i < pages->Count(); ++i) {
        if (!pages->PageAt(i).LayoutRect.contains(p))
            continue;
        QString target;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        bool hit = false;
        try {
            const RunStateKeeper keeper;
            hit = pages->ObjectAt(i, unitsPoint(i, p), HitMode::Hover, target, cursor);
        } catch (const VaskelError& e) {
            reportFault(i, e.message());
        }
        setCursor(hit ? cursor : Qt::ArrowCursor);
        QString shown = target;
        if (const std::optional<QString> number = pageJumpText(target)) {
            // A target that names no page shows nothing; the click says why.
            bool ok = false;
            const int n = number->trimmed().toInt(&ok);
            shown = ok ? TfrPreviewForm::pageText(n) : QString();
        }
        m_owner->Label2->setText(shown);
        return;
    }
}

void TfrPBox::resizeEvent(QResizeEvent*)
{
    // The arrangement follows the area's size (window resized, bars or toolbar shown or hidden).
    m_owner->Relayout();
}

void TfrPBox::mouseReleaseEvent(QMouseEvent*)
{
    m_dragging = false;
}

void TfrPBox::mouseDoubleClickEvent(QMouseEvent*)
{
    m_dragging = false;
    m_doubleClickSeen = true;
    if (m_owner->HeldPages && m_lastClickedPage > 0) {
        m_owner->DisplayedPage = m_lastClickedPage;
        m_owner->UpdatePageLabel();
    }
}

} // namespace vaskel
