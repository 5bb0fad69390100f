#include "designer/PageCanvas.h"

#include "designer/DataTree.h"
#include "designer/DesignCommands.h"
#include "designer/DesignDocument.h"
#include "designer/ViewInsertion.h"
#include "platform/Rounding.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrPrinter.h"
#include "report/model/TfrView.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace vaskel {

namespace {

QRect rectOf(const TfrView& v)
{
    return QRect(v.Left, v.Top, v.Width, v.Height);
}

void setRect(TfrView& v, const QRect& r)
{
    v.Left = r.left();
    v.Top = r.top();
    v.Width = r.width();
    v.Height = r.height();
}

bool isBand(const TfrView& v)
{
    return v.TypeCode == 2;
}

// Paints `view` as the designer shows it. Drawing places a view by its band alignment; the
// stored geometry is what the template keeps, so it is put back afterwards.
void paintView(QPainter& p, TfrView& view, const PrintContext& ctx)
{
    const QRect stored = rectOf(view);
    p.save();
    try {
        view.Paint(p, ctx);
    } catch (const std::exception&) {
        // A view that cannot draw its content still shows its rectangle.
        p.setPen(QPen(Qt::red, 0, Qt::DashLine));
        p.drawRect(stored);
    }
    p.restore();
    setRect(view, stored);
}

} // namespace

PageCanvas::PageCanvas(DesignDocument& doc, QWidget* parent) : QWidget(parent), m_doc(doc)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAcceptDrops(true);
    connect(&m_doc, &DesignDocument::changed, this, &PageCanvas::documentChanged);
}

void PageCanvas::setPage(TfrPage* page)
{
    m_page = page;
    m_selection.clear();
    m_drag = Drag::None;
    resize(sizeHint());
    update();
    emit selectionChanged();
}

void PageCanvas::setZoom(double zoom)
{
    zoom = std::clamp(zoom, 0.5, 4.0);
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    resize(sizeHint());
    update();
    emit zoomChanged(m_zoom);
}

double PageCanvas::zoomToFit(int width) const
{
    const int paper = paperUnits().width();
    return paper > 0 ? std::clamp(double(width - 2 * kPaperOffset) / paper, 0.5, 4.0) : 1.0;
}

void PageCanvas::setGridVisible(bool on)
{
    m_gridVisible = on;
    update();
}

void PageCanvas::setSelection(const std::vector<TfrView*>& views)
{
    repaintUnits(selectionArea());
    m_selection = views;
    repaintUnits(selectionArea());
    emit selectionChanged();
}

QSize PageCanvas::paperUnits() const
{
    if (!m_page)
        return {};
    const TfrPageMetrics& m = m_page->Metrics;
    if (m.UnitPaperWidth > 0 && m.UnitPaperHeight > 0)
        return QSize(m.UnitPaperWidth, m.UnitPaperHeight);
    // Without a printer model: the stored paper (tenths of a millimetre) in report units.
    QSize s(roundToInt(m_page->PaperSizeX / 254.0 * TfrPrinter::kUnitsPerInch),
        roundToInt(m_page->PaperSizeY / 254.0 * TfrPrinter::kUnitsPerInch));
    if (m_page->PaperOrientation == 1 && s.width() < s.height())
        s.transpose();
    return s;
}

QPointF PageCanvas::toUnits(const QPointF& pixels) const
{
    return (pixels - QPointF(kPaperOffset, kPaperOffset)) / m_zoom;
}

QPointF PageCanvas::toPixels(const QPointF& units) const
{
    return units * m_zoom + QPointF(kPaperOffset, kPaperOffset);
}

QRect PageCanvas::toPixels(const QRect& units) const
{
    const QPointF tl = toPixels(QPointF(units.topLeft()));
    const QPointF br = toPixels(QPointF(units.left() + units.width(), units.top() + units.height()));
    return QRectF(tl, br).toAlignedRect();
}

QSize PageCanvas::sizeHint() const
{
    const QSize paper = paperUnits();
    return QSize(roundToInt(paper.width() * m_zoom) + 2 * kPaperOffset,
        roundToInt(paper.height() * m_zoom) + 2 * kPaperOffset);
}

TfrView* PageCanvas::viewAt(const QPoint& pixels) const
{
    if (!m_page)
        return nullptr;
    const QPointF u = toUnits(QPointF(pixels));
    const auto& list = m_page->ObjectList;
    // Views lie on their bands: a click finds the view first, then the band.
    for (int pass = 0; pass < 2; ++pass) {
        for (auto it = list.rbegin(); it != list.rend(); ++it) {
            TfrView& v = **it;
            if (isBand(v) != (pass == 1))
                continue;
            const QRectF r(DesignDocument::placedRect(v));
            if (r.adjusted(-0.5, -0.5, 0.5, 0.5).contains(u))
                return &v;
        }
    }
    return nullptr;
}

void PageCanvas::setInsertTool(int typeCode, int bandKind)
{
    m_insertType = typeCode;
    m_insertBandKind = bandKind;
    setCursor(typeCode >= 0 ? Qt::CrossCursor : Qt::ArrowCursor);
}

// ---- painting ---------------------------------------------------------------------------------

void PageCanvas::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.fillRect(event->rect(), QColor(128, 128, 128));
    if (!m_page)
        return;
    const QSize paper = paperUnits();
    p.fillRect(toPixels(QRect(QPoint(0, 0), paper)), Qt::white);

    // The area in units this paint covers, a little larger for frames drawn outside a view.
    const QRectF unitsF(
        toUnits(QPointF(event->rect().topLeft())), toUnits(QPointF(event->rect().bottomRight())));
    const QRect units = unitsF.toAlignedRect().adjusted(-2, -2, 2, 2);
    if (m_gridVisible)
        paintGrid(p, units);

    p.save();
    p.translate(kPaperOffset, kPaperOffset);
    p.scale(m_zoom, m_zoom);
    // The margins the bands lay out within.
    p.setPen(QPen(QColor(160, 160, 160), 0, Qt::DotLine));
    p.drawRect(QRect(QPoint(m_page->LeftLimit(), m_page->TopLimit()),
        QPoint(m_page->RightLimit(), m_page->BottomLimit())));
    const PrintContext ctx = DesignDocument::designContext(m_page);
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& v : m_page->ObjectList) {
            if (isBand(*v) != (pass == 0))
                continue;
            // Bands span the paper; other views are drawn only where this paint reaches.
            const QRect r = DesignDocument::placedRect(*v);
            const int reach = qRound(qAbs(v->FrameWidth)) * 3 + 4;
            if (!isBand(*v) && !r.adjusted(-reach, -reach, reach, reach).intersects(units))
                continue;
            if (isBand(*v) && (r.bottom() + 2 < units.top() || r.top() - 16 > units.bottom()))
                continue;
            paintView(p, *v, ctx);
        }
    }
    paintBandNotes(p);
    p.restore();

    for (TfrView* v : m_selection)
        paintHandles(p, *v);
    p.setPen(QPen(QColor(0, 120, 215), 1, Qt::DashLine));
    if (m_guideX >= 0)
        p.drawLine(QPointF(toPixels(QPointF(m_guideX, 0)).x(), 0),
            QPointF(toPixels(QPointF(m_guideX, 0)).x(), height()));
    if (m_guideY >= 0)
        p.drawLine(QPointF(0, toPixels(QPointF(0, m_guideY)).y()),
            QPointF(width(), toPixels(QPointF(0, m_guideY)).y()));
    if (m_drag == Drag::RubberBand || m_drag == Drag::Insert) {
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.setBrush(QColor(0, 120, 215, 40));
        p.drawRect(m_rubber.normalized());
    }
}

QString PageCanvas::bandNote(const TfrView& v)
{
    if (!isBand(v))
        return {};
    const auto& band = static_cast<const TfrBandView&>(v);
    QStringList notes;
    switch (band.FrameTyp) {
    case MasterData:
    case DetailData:
    case SubdetailData:
    case CrossData:
        notes << (band.FormatText.isEmpty() ? tr("no dataset") : band.FormatText);
        break;
    case GroupHeader:
        notes << (band.FormatText.isEmpty() ? tr("no condition") : band.FormatText);
        break;
    default:
        break;
    }
    if (band.Columns > 1 && !band.isCrossBand())
        notes << tr("%1 columns").arg(band.Columns);
    return notes.join(QStringLiteral(" · "));
}

void PageCanvas::paintBandNotes(QPainter& p)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    p.setFont(font);
    const int left = m_page->LeftLimit(), right = m_page->RightLimit();
    const int columns = m_page->Columns;
    const int columnWidth = columns > 1 ? (right - left - (columns - 1) * m_page->ColumnGap) / columns : 0;
    for (const auto& v : m_page->ObjectList) {
        if (!isBand(*v) || static_cast<const TfrBandView&>(*v).isCrossBand())
            continue;
        const QRect strip = DesignDocument::placedRect(*v);
        // The page's columns: where each column's bands end.
        if (columns > 1) {
            p.setPen(QPen(QColor(0, 128, 128), 0, Qt::DashLine));
            for (int i = 1; i < columns; ++i) {
                const int x = left + i * columnWidth + (i - 1) * m_page->ColumnGap;
                p.drawLine(x, strip.top(), x, strip.top() + strip.height());
                p.drawLine(
                    x + m_page->ColumnGap, strip.top(), x + m_page->ColumnGap, strip.top() + strip.height());
            }
        }
        QString note = bandNote(*v);
        if (columns > 1)
            note
                += (note.isEmpty() ? QString() : QStringLiteral(" · ")) + tr("page: %1 columns").arg(columns);
        if (note.isEmpty())
            continue;
        p.setPen(QColor(0, 90, 160));
        const QRect area(strip.left() + kBandLabelWidth, strip.top() + 1,
            qMax(0, qMin(strip.width(), paperUnits().width()) - kBandLabelWidth - 4), kBandLabelHeight);
        p.drawText(area, Qt::AlignRight | Qt::AlignTop, note);
    }
}

void PageCanvas::paintGrid(QPainter& p, const QRect& units)
{
    const QSize paper = paperUnits();
    // Too dense to help below 4 pixels a step: every other line then.
    int step = m_gridStep;
    while (step * m_zoom < 4)
        step *= 2;
    p.setPen(QPen(QColor(190, 190, 210), 1));
    const int x0 = qMax(0, units.left() / step * step), x1 = qMin(paper.width(), units.right());
    const int y0 = qMax(0, units.top() / step * step), y1 = qMin(paper.height(), units.bottom());
    for (int y = y0; y <= y1; y += step)
        for (int x = x0; x <= x1; x += step)
            p.drawPoint(toPixels(QPointF(x, y)));
}

QRect PageCanvas::handleRect(const QRect& r, int index, int size)
{
    const int xs[3] = {r.left(), r.left() + r.width() / 2, r.left() + r.width()};
    const int ys[3] = {r.top(), r.top() + r.height() / 2, r.top() + r.height()};
    // Clockwise from the top-left corner: TL, T, TR, R, BR, B, BL, L.
    static const int col[8] = {0, 1, 2, 2, 2, 1, 0, 0};
    static const int row[8] = {0, 0, 0, 1, 2, 2, 2, 1};
    return QRect(xs[col[index]] - size / 2, ys[row[index]] - size / 2, size, size);
}

void PageCanvas::paintHandles(QPainter& p, TfrView& view)
{
    const QRect r = toPixels(DesignDocument::placedRect(view));
    const bool fixed = view.Restrictions & DesignRestrictions::NoResize;
    p.setPen(Qt::black);
    p.setBrush(fixed ? QColor(Qt::gray) : QColor(Qt::black));
    for (int i = 0; i < 8; ++i)
        p.drawRect(handleRect(r, i, kHandleSize - 1));
}

QRect PageCanvas::selectionArea() const
{
    QRect area;
    for (TfrView* v : m_selection)
        area |= DesignDocument::placedRect(*v);
    return area;
}

void PageCanvas::repaintUnits(const QRect& units)
{
    if (units.isNull())
        return;
    const int margin = kHandleSize + 2;
    update(toPixels(units).adjusted(-margin, -margin, margin, margin));
}

void PageCanvas::documentChanged(TfrPage* page, const QRect& area)
{
    if (page != m_page && page)
        return;
    if (area.isNull()) {
        // Views a command took away leave the selection (a change in place takes none away).
        const size_t before = m_selection.size();
        std::erase_if(m_selection, [this](TfrView* v) {
            return !m_page
                || std::none_of(m_page->ObjectList.begin(), m_page->ObjectList.end(),
                    [v](const auto& p) { return p.get() == v; });
        });
        resize(sizeHint());
        update();
        if (m_selection.size() != before)
            emit selectionChanged();
    } else {
        repaintUnits(area);
    }
}

// ---- mouse ------------------------------------------------------------------------------------

int PageCanvas::handleAt(const QPoint& pixels, TfrView** view) const
{
    for (TfrView* v : m_selection) {
        const QRect r = toPixels(DesignDocument::placedRect(*v));
        for (int i = 0; i < 8; ++i) {
            if (handleRect(r, i, kHandleSize + 2).contains(pixels)) {
                *view = v;
                return i;
            }
        }
    }
    return -1;
}

void PageCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_page)
        return;
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    m_pressPixels = pos;
    m_held.clear();
    const bool shift = event->modifiers() & Qt::ShiftModifier;

    if (m_insertType >= 0) {
        m_drag = Drag::Insert;
        m_rubber = QRect(pos, pos);
        return;
    }

    TfrView* handled = nullptr;
    const int handle = shift ? -1 : handleAt(pos, &handled);
    if (handle >= 0) {
        if (handled->Restrictions & DesignRestrictions::NoResize)
            return;
        m_drag = Drag::Resize;
        m_handle = handle;
        m_held.push_back({handled, rectOf(*handled)});
        return;
    }

    TfrView* hit = viewAt(pos);
    // A band is taken by its name strip at its top left; elsewhere a press on a band starts a
    // rubber band over its views (a click without dragging still selects the band).
    m_pressedBand = nullptr;
    if (hit && isBand(*hit)) {
        const QRect r = DesignDocument::placedRect(*hit);
        const QPointF u = toUnits(QPointF(pos));
        if (!QRectF(r.left(), r.top(), kBandLabelWidth, kBandLabelHeight).contains(u)) {
            m_pressedBand = hit;
            hit = nullptr;
        }
    }
    if (!hit) {
        if (!shift && !m_pressedBand)
            setSelection({});
        m_drag = Drag::RubberBand;
        m_rubber = QRect(pos, pos);
        return;
    }
    std::vector<TfrView*> selection = m_selection;
    const auto found = std::find(selection.begin(), selection.end(), hit);
    if (shift) {
        if (found != selection.end())
            selection.erase(found);
        else
            selection.push_back(hit);
        setSelection(selection);
        return;
    }
    if (found == selection.end())
        setSelection({hit});
    m_drag = Drag::Move;
    for (TfrView* v : selectionWithout(DesignRestrictions::NoMove))
        m_held.push_back({v, rectOf(*v)});
}

void PageCanvas::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    emit pointerMoved(toUnits(QPointF(pos)));
    if (m_drag == Drag::None) {
        TfrView* v = nullptr;
        const int h = handleAt(pos, &v);
        static const Qt::CursorShape shapes[8]
            = {Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor,
                Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor};
        setCursor(h >= 0 ? shapes[h] : m_insertType >= 0 ? Qt::CrossCursor : Qt::ArrowCursor);
        return;
    }
    if (m_drag == Drag::RubberBand || m_drag == Drag::Insert) {
        const QRect before = m_rubber.normalized();
        m_rubber.setBottomRight(pos);
        update(before.united(m_rubber.normalized()).adjusted(-2, -2, 2, 2));
        return;
    }
    if (m_held.empty())
        return;
    const QPointF deltaF = QPointF(pos - m_pressPixels) / m_zoom;
    QPoint d(qRound(deltaF.x()), qRound(deltaF.y()));
    QRect dirty;
    for (const Held& h : m_held)
        dirty |= DesignDocument::placedRect(*h.view);
    const int oldGuideX = m_guideX, oldGuideY = m_guideY;

    if (m_drag == Drag::Move) {
        QRect group;
        for (const Held& h : m_held)
            group |= h.start;
        d = snappedOffset(group, d);
        // The group stays on the paper as a whole.
        d += keptOnPaper(group.translated(d)).topLeft() - group.translated(d).topLeft();
        for (const Held& h : m_held)
            setRect(*h.view, h.start.translated(d));
    } else {
        QRect r = m_held.front().start;
        int left = r.left(), top = r.top(), right = r.left() + r.width(), bottom = r.top() + r.height();
        const bool movesLeft = m_handle == 0 || m_handle == 6 || m_handle == 7;
        const bool movesRight = m_handle >= 2 && m_handle <= 4;
        const bool movesTop = m_handle <= 2;
        const bool movesBottom = m_handle >= 4 && m_handle <= 6;
        m_guideX = m_guideY = -1;
        const std::vector<int> xs = otherEdges(true), ys = otherEdges(false);
        const QSize paper = paperUnits();
        if (movesLeft)
            left = std::clamp(snapValue(left + d.x(), xs, m_guideX), 0, right - 1);
        if (movesRight)
            right
                = std::clamp(snapValue(right + d.x(), xs, m_guideX), left + 1, qMax(left + 1, paper.width()));
        if (movesTop)
            top = std::clamp(snapValue(top + d.y(), ys, m_guideY), 0, bottom - 1);
        if (movesBottom)
            bottom
                = std::clamp(snapValue(bottom + d.y(), ys, m_guideY), top + 1, qMax(top + 1, paper.height()));
        setRect(*m_held.front().view, QRect(left, top, right - left, bottom - top));
    }
    for (const Held& h : m_held)
        dirty |= DesignDocument::placedRect(*h.view);
    repaintUnits(dirty);
    if (oldGuideX != m_guideX || oldGuideY != m_guideY)
        update();
}

void PageCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const Drag drag = m_drag;
    m_drag = Drag::None;
    if (drag == Drag::Insert) {
        const QRect drawn = m_rubber.normalized();
        const QPointF tl = toUnits(QPointF(drawn.topLeft())), br = toUnits(QPointF(drawn.bottomRight()));
        QRect units(QPoint(qRound(tl.x()), qRound(tl.y())), QPoint(qRound(br.x()), qRound(br.y())));
        if (m_snap)
            units.moveTopLeft(QPoint(qRound(double(units.left()) / m_gridStep) * m_gridStep,
                qRound(double(units.top()) / m_gridStep) * m_gridStep));
        const auto kind = static_cast<ViewInsertion::Kind>(m_insertType);
        m_insertType = -1;
        setCursor(Qt::ArrowCursor);
        update();
        if (TfrView* v = ViewInsertion::insertView(m_doc, m_page, kind, units, m_insertBandKind)) {
            setSelection({v});
            emit viewInserted(v);
        }
        return;
    }
    if (drag == Drag::RubberBand) {
        const QRect band = m_rubber.normalized();
        std::vector<TfrView*> selection
            = (event->modifiers() & Qt::ShiftModifier) ? m_selection : std::vector<TfrView*>{};
        if (band.width() > 2 || band.height() > 2) {
            for (const auto& v : m_page->ObjectList) {
                if (toPixels(DesignDocument::placedRect(*v)).intersects(band)
                    && std::find(selection.begin(), selection.end(), v.get()) == selection.end())
                    selection.push_back(v.get());
            }
        } else if (m_pressedBand) {
            const auto found = std::find(selection.begin(), selection.end(), m_pressedBand);
            if (found != selection.end())
                selection.erase(found);
            else
                selection.push_back(m_pressedBand);
        }
        setSelection(selection);
        update();
        return;
    }
    if (drag == Drag::Move || drag == Drag::Resize) {
        pushGeometry(drag == Drag::Move ? tr("Move") : tr("Resize"), m_held);
        m_held.clear();
        if (m_guideX >= 0 || m_guideY >= 0) {
            m_guideX = m_guideY = -1;
            update();
        }
    }
}

void PageCanvas::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (TfrView* v = viewAt(event->position().toPoint()))
        emit editRequested(v);
}

void PageCanvas::pushGeometry(const QString& text, const std::vector<Held>& held)
{
    std::vector<GeometryChange> changes;
    for (const Held& h : held) {
        if (rectOf(*h.view) != h.start)
            changes.push_back({h.view, h.start, rectOf(*h.view)});
    }
    if (!changes.empty())
        m_doc.undoStack().push(new GeometryCommand(m_doc, text, std::move(changes)));
}

// ---- snapping ---------------------------------------------------------------------------------

std::vector<int> PageCanvas::otherEdges(bool vertical) const
{
    std::vector<int> edges;
    if (!m_page)
        return edges;
    for (const auto& v : m_page->ObjectList) {
        const bool moving
            = std::any_of(m_held.begin(), m_held.end(), [&v](const Held& h) { return h.view == v.get(); });
        if (moving)
            continue;
        const QRect r = DesignDocument::placedRect(*v);
        if (vertical) {
            if (!isBand(*v)) {
                edges.push_back(r.left());
                edges.push_back(r.left() + r.width());
            }
        } else {
            edges.push_back(r.top());
            edges.push_back(r.top() + r.height());
        }
    }
    return edges;
}

int PageCanvas::snapValue(int value, const std::vector<int>& edges, int& guide) const
{
    if (!m_snap)
        return value;
    const int reach = qMax(1, qRound(kSnapDistance / m_zoom));
    int best = -1, bestDistance = reach + 1;
    for (int e : edges) {
        const int distance = qAbs(e - value);
        if (distance < bestDistance) {
            best = e;
            bestDistance = distance;
        }
    }
    if (best >= 0) {
        guide = best;
        return best;
    }
    return qRound(double(value) / m_gridStep) * m_gridStep;
}

QPoint PageCanvas::snappedOffset(const QRect& moving, QPoint d)
{
    m_guideX = m_guideY = -1;
    if (!m_snap)
        return d;
    const std::vector<int> xs = otherEdges(true), ys = otherEdges(false);
    // The nearer of the two edges decides; without an edge near, the left and top go to the grid.
    auto snapAxis = [this](int lo, int hi, int delta, const std::vector<int>& edges, int& guide) {
        int g1 = -1, g2 = -1;
        const int a = snapValue(lo + delta, edges, g1);
        const int b = snapValue(hi + delta, edges, g2);
        if (g1 >= 0 && (g2 < 0 || qAbs(a - (lo + delta)) <= qAbs(b - (hi + delta)))) {
            guide = g1;
            return a - lo;
        }
        if (g2 >= 0) {
            guide = g2;
            return b - hi;
        }
        return a - lo;
    };
    d.setX(snapAxis(moving.left(), moving.left() + moving.width(), d.x(), xs, m_guideX));
    d.setY(snapAxis(moving.top(), moving.top() + moving.height(), d.y(), ys, m_guideY));
    return d;
}

QRect PageCanvas::keptOnPaper(QRect r) const
{
    const QSize paper = paperUnits();
    if (r.left() + r.width() > paper.width())
        r.moveLeft(paper.width() - r.width());
    if (r.top() + r.height() > paper.height())
        r.moveTop(paper.height() - r.height());
    if (r.left() < 0)
        r.moveLeft(0);
    if (r.top() < 0)
        r.moveTop(0);
    return r;
}

// ---- keyboard and commands --------------------------------------------------------------------

std::vector<TfrView*> PageCanvas::selectionWithout(quint8 restriction) const
{
    std::vector<TfrView*> views;
    for (TfrView* v : m_selection)
        if (!(v->Restrictions & restriction))
            views.push_back(v);
    return views;
}

void PageCanvas::moveSelection(int dx, int dy, const QString& text)
{
    std::vector<Held> held;
    QRect group;
    for (TfrView* v : selectionWithout(DesignRestrictions::NoMove)) {
        held.push_back({v, rectOf(*v)});
        group |= rectOf(*v);
    }
    if (held.empty())
        return;
    const QRect moved = group.translated(dx, dy);
    const QPoint d = keptOnPaper(moved).topLeft() - group.topLeft();
    for (const Held& h : held)
        setRect(*h.view, h.start.translated(d));
    pushGeometry(text, held);
}

void PageCanvas::resizeSelection(int dw, int dh)
{
    std::vector<Held> held;
    const QSize paper = paperUnits();
    for (TfrView* v : selectionWithout(DesignRestrictions::NoResize)) {
        held.push_back({v, rectOf(*v)});
        const int w = std::clamp(v->Width + dw, 1, qMax(1, paper.width() - v->Left));
        const int h = std::clamp(v->Height + dh, 1, qMax(1, paper.height() - v->Top));
        v->Width = w;
        v->Height = h;
    }
    pushGeometry(tr("Resize"), held);
}

void PageCanvas::alignSelection(Align how)
{
    const std::vector<TfrView*> views = selectionWithout(DesignRestrictions::NoMove);
    if (m_selection.size() < 2 || views.empty())
        return;
    // The first selected view is the one the others align to.
    const QRect ref = rectOf(*m_selection.front());
    std::vector<Held> held;
    for (TfrView* v : views) {
        held.push_back({v, rectOf(*v)});
        QRect r = rectOf(*v);
        switch (how) {
        case Align::Lefts:
            r.moveLeft(ref.left());
            break;
        case Align::Rights:
            r.moveLeft(ref.left() + ref.width() - r.width());
            break;
        case Align::Tops:
            r.moveTop(ref.top());
            break;
        case Align::Bottoms:
            r.moveTop(ref.top() + ref.height() - r.height());
            break;
        case Align::HorizontalCentres:
            r.moveLeft(ref.left() + (ref.width() - r.width()) / 2);
            break;
        case Align::VerticalCentres:
            r.moveTop(ref.top() + (ref.height() - r.height()) / 2);
            break;
        }
        setRect(*v, keptOnPaper(r));
    }
    pushGeometry(tr("Align"), held);
}

void PageCanvas::sameSizeSelection(SameSize how)
{
    const std::vector<TfrView*> views = selectionWithout(DesignRestrictions::NoResize);
    if (m_selection.size() < 2 || views.empty())
        return;
    const TfrView& ref = *m_selection.front();
    std::vector<Held> held;
    for (TfrView* v : views) {
        held.push_back({v, rectOf(*v)});
        if (how != SameSize::Height)
            v->Width = ref.Width;
        if (how != SameSize::Width)
            v->Height = ref.Height;
        setRect(*v, keptOnPaper(rectOf(*v)));
    }
    pushGeometry(tr("Same size"), held);
}

void PageCanvas::cycleSelection(bool forward)
{
    if (!m_page || m_page->ObjectList.empty())
        return;
    const auto& list = m_page->ObjectList;
    const int n = static_cast<int>(list.size());
    int index = forward ? -1 : n;
    if (m_selection.size() == 1) {
        for (int i = 0; i < n; ++i)
            if (list[i].get() == m_selection.front())
                index = i;
    }
    index = ((forward ? index + 1 : index - 1) % n + n) % n;
    setSelection({list[index].get()});
}

void PageCanvas::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(QLatin1String(DataTree::kFieldMimeType)))
        event->acceptProposedAction();
}

void PageCanvas::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasFormat(QLatin1String(DataTree::kFieldMimeType)))
        event->acceptProposedAction();
}

void PageCanvas::dropEvent(QDropEvent* event)
{
    const QStringList parts
        = QString::fromUtf8(event->mimeData()->data(QLatin1String(DataTree::kFieldMimeType)))
              .split(QLatin1Char('\n'));
    if (!m_page || parts.size() != 2)
        return;
    const QPointF u = toUnits(event->position());
    const std::vector<TfrView*> added = ViewInsertion::insertField(
        m_doc, m_page, QPoint(qRound(u.x()), qRound(u.y())), parts.at(0), parts.at(1).toInt());
    if (added.empty())
        return;
    event->acceptProposedAction();
    setSelection(added);
    setFocus(Qt::OtherFocusReason);
}

bool PageCanvas::focusNextPrevChild(bool)
{
    // Tab belongs to the canvas: it walks the views.
    return false;
}

void PageCanvas::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    int dx = 0, dy = 0;
    switch (event->key()) {
    case Qt::Key_Tab:
        cycleSelection(true);
        return;
    case Qt::Key_Backtab:
        cycleSelection(false);
        return;
    case Qt::Key_Escape:
        if (m_insertType >= 0 && m_drag == Drag::None) {
            setInsertTool(-1);
            emit viewInserted(nullptr);
        } else if (m_drag == Drag::None && !m_selection.empty())
            setSelection({});
        return;
    case Qt::Key_Left:
        dx = -1;
        break;
    case Qt::Key_Right:
        dx = 1;
        break;
    case Qt::Key_Up:
        dy = -1;
        break;
    case Qt::Key_Down:
        dy = 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (m_selection.empty() || m_drag != Drag::None)
        return;
    if (mods & Qt::ControlModifier) {
        const int step = (mods & Qt::ShiftModifier) ? m_gridStep : 1;
        resizeSelection(dx * step, dy * step);
    } else {
        const int step = (mods & Qt::ShiftModifier) ? m_gridStep : 1;
        moveSelection(dx * step, dy * step, tr("Move"));
    }
}

} // namespace vaskel
