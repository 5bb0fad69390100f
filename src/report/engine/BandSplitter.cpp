#include "report/engine/BandSplitter.h"

#include "report/engine/LayoutGuards.h"
#include "report/engine/PageFormer.h"
#include "report/engine/TfrReport.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrStretcheable.h"

#include <algorithm>

namespace vaskel {

void BandSplitter::moveViewsBelow(TfrBand& band, TfrView& split, qint32 by)
{
    const qint32 bottom = split.Top + split.Height;
    for (TfrView* v : band.Views) {
        if (v != &split && v->Top >= bottom && v->Left >= split.Left && v->Left <= split.Left + split.Width)
            v->Top += by;
    }
}

void BandSplitter::DrawSplit(TfrBand& band)
{
    for (TfrView* v : band.Views) {
        v->LayoutPending = true;
        v->LayoutDeferred = false;
        v->LayoutSavedBounds = {v->Left, v->Top, v->Left + v->Width, v->Top + v->Height};
        if (v->BandAlign == baBottom)
            v->Top = band.MeasuredHeight - v->Height;
    }
    if (!m_former.m_printer.CheckFit(band, band.Top, band.PrintedHeight, true)) {
        m_former.m_printer.DrawViews(band);
    } else {
        qint32 used = 0;
        // Pages on which nothing could be printed, in a row: a view taller than any page that
        // cannot be split would otherwise move from page to page for ever.
        int idlePages = 0;
        bool pending = true;
        while (pending && !m_former.stopped()) {
            const qint32 room = m_former.m_bottomY - m_former.columnFooterHeight() - band.Top - 2;
            const qint32 fullRoom
                = m_former.m_bottomY - m_former.columnFooterHeight() - m_former.topLimit() - 2;
            LayoutGuards::checkRoomOnPage(band, fullRoom);
            bool drew = false;
            for (TfrView* v : band.Views) {
                if (!v->LayoutPending)
                    continue;
                auto* s = dynamic_cast<TfrStretcheable*>(v);
                // A view taller than any page, or one still waiting after a page on which nothing
                // printed, prints whole where it is: moving it on would never end.
                const bool forced = idlePages >= 1 || v->Height > fullRoom;
                if (v->Top >= 0 && v->Top < room) {
                    bool printNow = v->Top + v->Height < room;
                    if (!printNow && s) {
                        const qint32 height = v->Height;
                        v->Height = room - v->Top + 1;
                        const qint32 d = s->LeftoverHeight();
                        const qint32 e = s->MinimumHeight();
                        if (e < v->Height) {
                            s->SplitMode = SplitStep::Remainder;
                            m_former.m_printer.DrawView(band, *v);
                            drew = true;
                            v->Height = height;
                            moveViewsBelow(band, *v, d);
                            v->Height += d;
                        } else {
                            v->Height = height;
                            printNow = forced;
                            if (!forced) {
                                moveViewsBelow(band, *v, d);
                                v->Height += d;
                            }
                        }
                    } else if (!printNow) {
                        printNow = forced;
                        if (!forced)
                            v->Top = room;
                    }
                    if (printNow) {
                        BandPrinter::makeCurrent(v);
                        m_former.m_printer.DrawView(band, *v);
                        v->LayoutPending = false;
                        used = std::max(used, v->Top + v->Height);
                        drew = true;
                    }
                } else if (v->Top < 0 && s) {
                    const qint32 rest = v->Top + v->Height;
                    if (rest < 0) {
                        v->LayoutPending = false;
                    } else if (rest < room) {
                        v->Height = rest;
                        v->Top = 0;
                        s->SplitMode = SplitStep::Remainder;
                        v->LayoutPending = false;
                        used = std::max(used, rest);
                        if (v->Flags & ViewFlags::Stretched)
                            v->LayoutDeferred = true;
                        else
                            m_former.m_printer.DrawView(band, *v);
                        drew = true;
                    } else {
                        const qint32 top = v->Top;
                        const qint32 height = v->Height;
                        v->Top = 0;
                        v->Height = room;
                        const qint32 e = s->LeftoverHeight();
                        s->SplitMode = SplitStep::Remainder;
                        m_former.m_printer.DrawView(band, *v);
                        v->Top = top;
                        v->Height = height;
                        moveViewsBelow(band, *v, e);
                        v->Height += e;
                        drew = true;
                    }
                } else if (v->Top < 0) {
                    // Only text views are carried across a page end; any other one prints at the top.
                    v->Top = 0;
                    m_former.m_printer.DrawView(band, *v);
                    v->LayoutPending = false;
                    used = std::max(used, v->Height);
                    drew = true;
                }
            }
            idlePages = drew ? 0 : idlePages + 1;
            pending = false;
            for (TfrView* v : band.Views) {
                if (v->LayoutPending) {
                    v->Top -= room;
                    pending = true;
                }
            }
            if (pending)
                m_former.m_printer.CheckFit(band, band.Top, 10000, false);
            BandPrinter::makeCurrent(band);
            band.Top = m_former.m_curY;
        }
        band.PrintedHeight = used;
    }
    for (TfrView* v : band.Views) {
        if (v->LayoutDeferred) {
            v->Height = band.PrintedHeight;
            m_former.m_printer.DrawView(band, *v);
        }
        const ReportRect& saved = v->LayoutSavedBounds;
        v->Top = saved.Top;
        v->Height = saved.Bottom - saved.Top;
        v->LayoutPending = false;
        v->LayoutDeferred = false;
        if (auto* s = dynamic_cast<TfrStretcheable*>(v))
            s->EndSplit();
    }
    m_former.m_curY += band.PrintedHeight;
}

} // namespace vaskel
