#include "designer/ViewInsertion.h"

#include "designer/DesignCommands.h"
#include "designer/DesignDocument.h"
#include "platform/Rounding.h"
#include "report/expr/ExprGlobals.h"
#include "report/expr/StringTable.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrPrinter.h"
#include "report/model/TfrSubReportView.h"
#include "report/model/ViewFactory.h"

#include <algorithm>

namespace vaskel::ViewInsertion {

namespace {

// The order in which a page's band strips print from top to bottom: the page's head, the data
// levels from the outside in with their groups, then back out, and the page's foot. Overlay and
// child bands print where they are called from and go last.
constexpr int kPrintOrder[] = {ReportTitle, PageHeader, ColumnHeader, MasterHeader, GroupHeader, MasterData,
    DetailHeader, DetailData, SubdetailHeader, SubdetailData, SubdetailFooter, DetailFooter, GroupFooter,
    MasterFooter, ColumnFooter, ReportSummary, PageFooter, Overlay, Child};

bool isCross(int kind)
{
    return kind >= CrossHeader && kind <= CrossFooter;
}

QSize paperOf(const TfrPage& page)
{
    if (page.Metrics.UnitPaperWidth > 0 && page.Metrics.UnitPaperHeight > 0)
        return QSize(page.Metrics.UnitPaperWidth, page.Metrics.UnitPaperHeight);
    QSize s(roundToInt(page.PaperSizeX / 254.0 * TfrPrinter::kUnitsPerInch),
        roundToInt(page.PaperSizeY / 254.0 * TfrPrinter::kUnitsPerInch));
    if (page.PaperOrientation == 1 && s.width() < s.height())
        s.transpose();
    return s;
}

bool isBandView(const TfrView& v)
{
    return v.TypeCode == 2;
}

// The views whose top edge lies on `band`'s strip: the views the band prints.
std::vector<TfrView*> viewsOn(const TfrPage& page, const TfrView& band)
{
    std::vector<TfrView*> out;
    for (const auto& v : page.ObjectList)
        if (!isBandView(*v) && v->Top >= band.Top && v->Top <= band.Top + band.Height)
            out.push_back(v.get());
    return out;
}

} // namespace

QSize defaultSize(Kind kind)
{
    switch (kind) {
    case Kind::Memo:
        return {100, 19};
    case Kind::Picture:
        return {100, 100};
    case Kind::Band:
        return {0, 40};
    case Kind::SubReport:
        return {200, 60};
    case Kind::Line:
        return {0, 50};
    }
    return {};
}

QString bandKindName(int bandKind)
{
    return LoadStr(StringTable::sBandNameFirst + bandKind);
}

bool isOncePerPage(int bandKind)
{
    switch (bandKind) {
    case ReportTitle:
    case ReportSummary:
    case PageHeader:
    case PageFooter:
    case Overlay:
    case ColumnHeader:
    case ColumnFooter:
    case CrossHeader:
    case CrossData:
    case CrossFooter:
        return true;
    default:
        return false;
    }
}

std::vector<int> offeredBandKinds(const TfrPage& page)
{
    std::vector<int> kinds;
    for (int k = ReportTitle; k < NoBand; ++k) {
        const bool present = std::any_of(page.ObjectList.begin(), page.ObjectList.end(),
            [k](const auto& v) { return isBandView(*v) && v->FrameTyp == k; });
        if (!present || !isOncePerPage(k))
            kinds.push_back(k);
    }
    return kinds;
}

int printRank(int bandKind)
{
    const auto it = std::find(std::begin(kPrintOrder), std::end(kPrintOrder), bandKind);
    return it == std::end(kPrintOrder) ? -1 : static_cast<int>(it - std::begin(kPrintOrder));
}

std::vector<TfrView*> bandsInPrintOrder(const TfrPage& page)
{
    std::vector<TfrView*> bands;
    for (const auto& v : page.ObjectList)
        if (isBandView(*v) && printRank(v->FrameTyp) >= 0)
            bands.push_back(v.get());
    // Bands of one kind print in the order of their strips.
    std::stable_sort(bands.begin(), bands.end(), [](const TfrView* a, const TfrView* b) {
        const int ra = printRank(a->FrameTyp), rb = printRank(b->FrameTyp);
        return ra != rb ? ra < rb : a->Top < b->Top;
    });
    return bands;
}

std::unique_ptr<TfrView> newView(
    DesignDocument& doc, const TfrPage& page, Kind kind, const QRect& drawn, int bandKind)
{
    std::unique_ptr<TfrView> v = ViewFactory::CreateBuiltIn(static_cast<quint8>(kind));
    v->Name = doc.uniqueName(v->NamePrefix);
    const QRect r = drawn.normalized();
    const QSize size = defaultSize(kind);
    // A click (or a drag too small to mean a size) takes the kind's size.
    const bool clicked = r.width() < 4 && r.height() < 4;
    v->Left = r.left();
    v->Top = r.top();
    v->Width = clicked ? size.width() : qMax(1, r.width());
    v->Height = clicked ? size.height() : qMax(1, r.height());
    const QSize paper = paperOf(page);
    switch (kind) {
    case Kind::Band:
        v->FrameTyp = static_cast<quint16>(bandKind);
        if (isCross(bandKind)) {
            v->Top = 0;
            v->Height = paper.height();
            v->Width = clicked ? 100 : v->Width;
        } else {
            v->Left = 0;
            v->Width = paper.width();
        }
        break;
    case Kind::Line:
        // A line lies along one edge: the longer side of what was drawn decides which.
        if (!clicked && r.width() > r.height()) {
            v->FrameTyp = FrameSides::Top;
            v->Height = 0;
        } else {
            v->Width = 0;
        }
        break;
    default:
        break;
    }
    return v;
}

TfrView* insertView(DesignDocument& doc, TfrPage* page, Kind kind, const QRect& rect, int bandKind)
{
    if (kind == Kind::Band) {
        const std::vector<int> offered = offeredBandKinds(*page);
        if (std::find(offered.begin(), offered.end(), bandKind) == offered.end())
            return nullptr;
    }
    std::unique_ptr<TfrView> view = newView(doc, *page, kind, rect, bandKind);
    std::vector<GeometryChange> moves;
    if (kind == Kind::Band && printRank(bandKind) >= 0) {
        // The strip goes where its kind prints: below the last band printing before it (at the
        // place clicked when that is lower and leaves room), and the bands printing after it
        // move down when it would overlap them.
        // A page may hold several data sections (a header, data and footer each): only the bands
        // above the place clicked say where the section's order puts the new one.
        const int rank = printRank(bandKind);
        const int clicked = view->Top;
        int lowest = page->TopLimit();
        for (TfrView* b : bandsInPrintOrder(*page))
            if (printRank(b->FrameTyp) <= rank && b->Top <= clicked)
                lowest = qMax(lowest, b->Top + b->Height);
        std::vector<TfrView*> after;
        for (TfrView* b : bandsInPrintOrder(*page))
            if (printRank(b->FrameTyp) > rank && b->Top >= lowest)
                after.push_back(b);
        int top = qMax(view->Top, lowest);
        int nextTop = INT_MAX;
        for (TfrView* b : after)
            nextTop = qMin(nextTop, b->Top);
        if (top + view->Height > nextTop)
            top = lowest;
        view->Top = top;
        // Bands below move down as far as the new strip needs; a gap wide enough takes the rest,
        // so a page footer at the paper's foot stays where it is.
        std::sort(after.begin(), after.end(), [](TfrView* a, TfrView* b) { return a->Top < b->Top; });
        int push = 0, previousBottom = -1;
        for (TfrView* b : after) {
            if (previousBottom < 0)
                push = top + view->Height - b->Top; // how far the new strip reaches into it
            else if (b->Top - previousBottom >= push)
                push = 0;
            if (push <= 0)
                break;
            previousBottom = b->Top + b->Height;
            std::vector<TfrView*> moving = viewsOn(*page, *b);
            moving.push_back(b);
            for (TfrView* m : moving) {
                const QRect before(m->Left, m->Top, m->Width, m->Height);
                if (std::none_of(moves.begin(), moves.end(), [m](const auto& c) { return c.view == m; }))
                    moves.push_back({m, before, before.translated(0, push)});
            }
        }
    }
    const QString what = kind == Kind::Band ? bandKindName(bandKind) : view->NamePrefix;
    doc.undoStack().beginMacro(QObject::tr("Insert %1").arg(what));
    if (!moves.empty())
        doc.undoStack().push(new GeometryCommand(doc, QObject::tr("Move"), std::move(moves)));
    if (kind == Kind::SubReport) {
        // A sub-report prints a page of its own: a new, empty one at the end of the template,
        // which the author fills next. Pointing it at an existing page would print that page
        // twice, or print two sub-reports into each other.
        doc.undoStack().push(new AddPageCommand(doc));
        static_cast<TfrSubReportView&>(*view).PageIndex = doc.holder().Pages.Count() - 1;
    }
    std::vector<std::unique_ptr<TfrView>> views;
    views.push_back(std::move(view));
    auto* add = new AddViewsCommand(doc, page, std::move(views));
    TfrView* added = add->views().front();
    doc.undoStack().push(add);
    doc.undoStack().endMacro();
    return added;
}

std::vector<TfrView*> insertField(
    DesignDocument& doc, TfrPage* page, const QPoint& at, const QString& reference, int width)
{
    TfrView* band = nullptr;
    for (const auto& v : page->ObjectList)
        if (isBandView(*v) && !isCross(v->FrameTyp) && at.y() >= v->Top && at.y() <= v->Top + v->Height)
            band = v.get();
    if (!band)
        return {};
    // The header of a data level (master, detail, subdetail) captions the level's data band: the
    // first one below it, as the band tree pairs them.
    TfrView* data = nullptr;
    if (band->FrameTyp == MasterHeader || band->FrameTyp == DetailHeader
        || band->FrameTyp == SubdetailHeader) {
        for (const auto& v : page->ObjectList)
            if (isBandView(*v) && v->FrameTyp == band->FrameTyp + 1 && v->Top > band->Top + band->Height
                && (!data || v->Top < data->Top))
                data = v.get();
    }
    const QSize paper = paperOf(*page);
    const int height = defaultSize(Kind::Memo).height();
    width = qBound(8, width, qMax(8, paper.width()));
    const int left = qBound(0, at.x(), qMax(0, paper.width() - width));
    auto memoOn = [&](const TfrView& on, const QString& text, int y) {
        const int h = qMin(height, qMax(1, on.Height));
        const int top = qBound(on.Top, y, on.Top + on.Height - h);
        std::unique_ptr<TfrView> memo = newView(doc, *page, Kind::Memo, QRect(left, top, width, h), 0);
        memo->Memo = QStringList{text};
        return memo;
    };
    std::vector<std::unique_ptr<TfrView>> views;
    if (data) {
        // The caption is the field's name as the database spells it.
        QString caption = reference.mid(reference.indexOf(QLatin1Char('.')) + 1);
        if (caption.startsWith(QLatin1Char('"')) && caption.endsWith(QLatin1Char('"')))
            caption = caption.mid(1, caption.size() - 2);
        views.push_back(memoOn(*band, caption, at.y()));
        views.push_back(memoOn(*data, QLatin1Char('[') + reference + QLatin1Char(']'), data->Top));
        // Both are new: the second takes the next name the first leaves free.
        views.back()->Name = doc.uniqueName(QStringLiteral("Memo"), {views.front()->Name});
    } else {
        views.push_back(memoOn(*band, QLatin1Char('[') + reference + QLatin1Char(']'), at.y()));
    }
    auto* add = new AddViewsCommand(doc, page, std::move(views));
    add->setText(QObject::tr("Insert field"));
    const std::vector<TfrView*> added = add->views();
    doc.undoStack().push(add);
    return added;
}

bool fitBandHeights(DesignDocument& doc, const std::vector<TfrView*>& bands)
{
    std::vector<GeometryChange> changes;
    for (TfrView* band : bands) {
        if (!isBandView(*band) || isCross(band->FrameTyp) || !band->OwnerPage)
            continue;
        int bottom = band->Top + 1;
        for (TfrView* v : viewsOn(*band->OwnerPage, *band))
            bottom = qMax(bottom, v->Top + v->Height);
        const QRect before(band->Left, band->Top, band->Width, band->Height);
        if (bottom - band->Top != band->Height)
            changes.push_back(
                {band, before, QRect(before.left(), before.top(), before.width(), bottom - band->Top)});
    }
    if (changes.empty())
        return false;
    doc.undoStack().push(new GeometryCommand(doc, QObject::tr("Fit band height"), std::move(changes)));
    return true;
}

bool arrangeBands(DesignDocument& doc, TfrPage* page)
{
    std::vector<GeometryChange> changes;
    int y = page->TopLimit();
    for (TfrView* band : bandsInPrintOrder(*page)) {
        const int dy = y - band->Top;
        if (dy != 0) {
            std::vector<TfrView*> moving = viewsOn(*page, *band);
            moving.push_back(band);
            for (TfrView* m : moving) {
                // A view on the edge of two strips goes with the first.
                if (std::any_of(changes.begin(), changes.end(), [m](const auto& c) { return c.view == m; }))
                    continue;
                const QRect before(m->Left, m->Top, m->Width, m->Height);
                changes.push_back({m, before, before.translated(0, dy)});
            }
        }
        y += band->Height + kArrangeGap;
    }
    if (changes.empty())
        return false;
    doc.undoStack().push(new GeometryCommand(doc, QObject::tr("Arrange bands"), std::move(changes)));
    return true;
}

} // namespace vaskel::ViewInsertion
