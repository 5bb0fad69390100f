#include "designer/DesignCommands.h"

#include "designer/DesignDocument.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrView.h"

#include <algorithm>

namespace vaskel {

namespace {

// What a view covers on screen: its rectangle, its frame and handles, and its band's strip when
// it is a band (bands are drawn across the whole page).
QRect dirtyArea(TfrView& v)
{
    QRect r = DesignDocument::placedRect(v);
    if (v.TypeCode == 2 && v.OwnerPage)
        r = QRect(0, r.top() - 14, qMax(v.OwnerPage->Metrics.UnitPaperWidth, r.right()), r.height() + 14);
    const int frame = qRound(qAbs(v.FrameWidth)) * 3;
    return r.adjusted(-frame - 8, -frame - 8, frame + 8, frame + 8);
}

} // namespace

// ---- geometry ---------------------------------------------------------------------------------

GeometryCommand::GeometryCommand(
    DesignDocument& doc, const QString& text, std::vector<GeometryChange> changes)
    : QUndoCommand(text), m_doc(doc), m_changes(std::move(changes))
{
}

void GeometryCommand::redo()
{
    apply(true);
}

void GeometryCommand::undo()
{
    apply(false);
}

void GeometryCommand::apply(bool forward)
{
    QRect area;
    TfrPage* page = nullptr;
    for (const GeometryChange& c : m_changes) {
        area |= dirtyArea(*c.view);
        const QRect& r = forward ? c.after : c.before;
        c.view->Left = r.left();
        c.view->Top = r.top();
        c.view->Width = r.width();
        c.view->Height = r.height();
        area |= dirtyArea(*c.view);
        page = c.view->OwnerPage;
    }
    // A view aligned to its neighbours moves with them: repaint the whole line.
    const bool aligned = std::any_of(m_changes.begin(), m_changes.end(), [](const GeometryChange& c) {
        return c.view->OwnerPage
            && std::any_of(c.view->OwnerPage->ObjectList.begin(), c.view->OwnerPage->ObjectList.end(),
                [](const auto& v) { return v->BandAlign != baNone; });
    });
    m_doc.notifyChanged(page, aligned ? QRect() : area);
}

// ---- one field --------------------------------------------------------------------------------

FieldCommand::FieldCommand(DesignDocument& doc, TfrView* view, const ViewField* field, FieldValue before,
    FieldValue after, QUndoCommand* parent)
    : QUndoCommand(parent),
      m_doc(doc),
      m_view(view),
      m_field(field),
      m_before(std::move(before)),
      m_after(std::move(after))
{
    setText(QObject::tr("Change %1").arg(QLatin1String(field->id())));
}

void FieldCommand::redo()
{
    m_field->setValue(*m_view, m_after);
    m_doc.notifyChanged(m_view->OwnerPage, QRect());
}

void FieldCommand::undo()
{
    m_field->setValue(*m_view, m_before);
    m_doc.notifyChanged(m_view->OwnerPage, QRect());
}

// ---- page settings ----------------------------------------------------------------------------

PageSettings PageSettings::of(const TfrPage& p)
{
    PageSettings s;
    s.PaperCode = p.PaperCode;
    s.PaperSizeX = p.PaperSizeX;
    s.PaperSizeY = p.PaperSizeY;
    std::copy(std::begin(p.Margins), std::end(p.Margins), s.Margins);
    s.PaperOrientation = p.PaperOrientation;
    s.PaperSource = p.PaperSource;
    s.Columns = p.Columns;
    s.ColumnWidth = p.ColumnWidth;
    s.ColumnGap = p.ColumnGap;
    s.PrintToPrevPage = p.PrintToPrevPage;
    s.MarginsFlag = p.MarginsFlag;
    return s;
}

void PageSettings::applyTo(TfrPage& p) const
{
    // The printer model fills the page's metrics for the paper; the stored values are put back
    // exactly as they were, whatever the printer rounded.
    p.ChangePaper(PaperCode, PaperSizeX, PaperSizeY, PaperSource, PaperOrientation);
    p.PaperCode = PaperCode;
    p.PaperSizeX = PaperSizeX;
    p.PaperSizeY = PaperSizeY;
    p.PaperOrientation = PaperOrientation;
    p.PaperSource = PaperSource;
    std::copy(std::begin(Margins), std::end(Margins), p.Margins);
    p.Columns = Columns;
    p.ColumnWidth = ColumnWidth;
    p.ColumnGap = ColumnGap;
    p.PrintToPrevPage = PrintToPrevPage;
    p.MarginsFlag = MarginsFlag;
}

bool PageSettings::operator==(const PageSettings& o) const
{
    return PaperCode == o.PaperCode && PaperSizeX == o.PaperSizeX && PaperSizeY == o.PaperSizeY
        && std::equal(std::begin(Margins), std::end(Margins), std::begin(o.Margins))
        && PaperOrientation == o.PaperOrientation && PaperSource == o.PaperSource && Columns == o.Columns
        && ColumnWidth == o.ColumnWidth && ColumnGap == o.ColumnGap && PrintToPrevPage == o.PrintToPrevPage
        && MarginsFlag == o.MarginsFlag;
}

PageCommand::PageCommand(DesignDocument& doc, TfrPage* page, PageSettings before, PageSettings after)
    : QUndoCommand(QObject::tr("Change page")), m_doc(doc), m_page(page), m_before(before), m_after(after)
{
}

void PageCommand::redo()
{
    m_after.applyTo(*m_page);
    m_doc.notifyChanged(m_page, QRect());
}

void PageCommand::undo()
{
    m_before.applyTo(*m_page);
    m_doc.notifyChanged(m_page, QRect());
}

// ---- removing and adding views ----------------------------------------------------------------

RemoveViewsCommand::RemoveViewsCommand(DesignDocument& doc, TfrPage* page, const std::vector<TfrView*>& views)
    : QUndoCommand(QObject::tr("Delete")), m_doc(doc), m_page(page), m_views(views)
{
}

void RemoveViewsCommand::redo()
{
    auto& list = m_page->ObjectList;
    m_removed.clear();
    for (size_t i = 0; i < list.size();) {
        if (std::find(m_views.begin(), m_views.end(), list[i].get()) != m_views.end()) {
            m_removed.emplace_back(i + m_removed.size(), std::move(list[i]));
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    m_doc.notifyChanged(m_page, QRect());
}

void RemoveViewsCommand::undo()
{
    // Ascending original indices: each lands where it was once those before it are back.
    auto& list = m_page->ObjectList;
    for (auto& [index, view] : m_removed)
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(qMin(index, list.size())), std::move(view));
    m_removed.clear();
    m_doc.notifyChanged(m_page, QRect());
}

AddViewsCommand::AddViewsCommand(
    DesignDocument& doc, TfrPage* page, std::vector<std::unique_ptr<TfrView>> views)
    : QUndoCommand(QObject::tr("Paste")), m_doc(doc), m_page(page), m_held(std::move(views))
{
    for (const auto& v : m_held)
        m_views.push_back(v.get());
}

void AddViewsCommand::redo()
{
    for (auto& v : m_held)
        m_page->Add(std::move(v));
    m_held.clear();
    m_doc.notifyChanged(m_page, QRect());
}

void AddViewsCommand::undo()
{
    auto& list = m_page->ObjectList;
    for (TfrView* v : m_views) {
        auto it = std::find_if(list.begin(), list.end(), [v](const auto& p) { return p.get() == v; });
        if (it != list.end()) {
            m_held.push_back(std::move(*it));
            list.erase(it);
        }
    }
    m_doc.notifyChanged(m_page, QRect());
}

AddPageCommand::AddPageCommand(DesignDocument& doc) : QUndoCommand(QObject::tr("New page")), m_doc(doc)
{
}

void AddPageCommand::redo()
{
    TfrPages& pages = m_doc.holder().Pages;
    m_page = m_held ? pages.Append(std::move(m_held)) : pages.Add();
    emit m_doc.pageAppended(m_page);
    m_doc.notifyChanged(nullptr, QRect());
}

void AddPageCommand::undo()
{
    // Commands are undone in the reverse order of their doing, so the page is the last one again.
    m_held = m_doc.holder().Pages.TakeLast();
    emit m_doc.lastPageRemoved();
    m_doc.notifyChanged(nullptr, QRect());
}

// ---- report settings --------------------------------------------------------------------------

TwoPassCommand::TwoPassCommand(DesignDocument& doc, bool on)
    : QUndoCommand(QObject::tr("Two passes")), m_doc(doc), m_on(on)
{
}

void TwoPassCommand::redo()
{
    m_doc.holder().TwoPass = m_on;
    m_doc.notifyChanged(nullptr, QRect());
}

void TwoPassCommand::undo()
{
    m_doc.holder().TwoPass = !m_on;
    m_doc.notifyChanged(nullptr, QRect());
}

} // namespace vaskel
