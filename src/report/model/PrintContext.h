#pragma once
// What a view needs to know while the layout engine prints it into a prepared page, measures it,
// or while a prepared page is drawn: the page it aligns to, the band being printed, the report's
// before-print step, the pass and whether it prints at all (a template in a designer does not).
// The layout engine hands one down to each view it measures or prints; drawing a prepared page
// makes its own. Views read nothing else about the run: the run state is what expression and
// script callbacks see (see CallbackScope), and drawing a prepared page never touches it, so a
// page can be painted while another report is being prepared.
#include <QtGlobal>

#include <optional>

namespace vaskel {

class ReportPrintHooks;
class TfrBand;
class TfrPage;
struct RunState;

// The geometry of the band being printed, in report units, as the band's views align to it.
struct PrintingBand {
    qint32 Top = 0;
    qint32 Width = 0;
    qint32 MeasuredHeight = 0; // the height the band takes on the page this time
    int Kind = 0; // band type code (18 to 20: cross bands)
    bool Stretched = false; // the band grows with its views
};

struct PrintContext {
    // The page the view aligns to and keeps within: the template page being formed, or the
    // prepared page being drawn. Not owned; none outside a run.
    TfrPage* Page = nullptr;
    // The engine band being printed, or none; not owned. A full-width view of a band that prints
    // keeps the place the band printing gave it.
    TfrBand* Band = nullptr;
    // Where and how tall `Band` prints this time; none when no band prints or when the view is
    // measured by a script.
    std::optional<PrintingBand> BandGeometry;
    // While a view of `Band` is written into a prepared page its Top is its place on the page: its
    // place in the band moved down by this many report units. The band's other views keep their
    // places in the band, and the views outside every band (those of `LooseBand`) their places on
    // the page. None while a view is measured or drawn.
    std::optional<qint32> PrintedShiftY;
    const TfrBand* LooseBand = nullptr; // not owned
    // The running report's before-print step; none for drawing, tools and tests without a report.
    ReportPrintHooks* Hooks = nullptr;
    // Views print into prepared pages or draw a prepared page (not a template in a designer).
    bool PrintMode = false;
    // The first of two passes: scripts run and pages are counted, nothing is drawn.
    bool FirstPass = false;

    // The context a prepared page is drawn in: printing, on that page, no band, no report.
    static PrintContext forDrawing(TfrPage* page)
    {
        PrintContext c;
        c.Page = page;
        c.PrintMode = true;
        return c;
    }
    // The context of a script callback that measures a view ("CALCHEIGHT"): what the run state
    // says the running report is doing.
    static PrintContext ofRunState(const RunState& run);
};

} // namespace vaskel
