#include "report/preview/TfrPreviewForm.h"

#include "platform/DataPaths.h"
#include "platform/GuardedHandler.h"
#include "platform/InterfaceLanguage.h"
#include "platform/PlatformError.h"
#include "platform/PlatformGlobals.h"
#include "platform/Rounding.h"
#include "report/engine/TfrEMFPages.h"
#include "report/expr/StringTable.h"
#include "report/model/TfrGlobals.h"
#include "report/preview/PreviewSearch.h"
#include "report/preview/PreviewWindows.h"
#include "report/preview/TfrPBox.h"
#include "report/preview/TfrTBButton.h"
#include "report/preview/TfrTBSeparator.h"

#include <QActionGroup>
#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QVBoxLayout>

namespace vaskel {

namespace {

QByteArray glyphSvg(const QString& name)
{
    QFile file(DataPaths::dataFile(QStringLiteral("glyphs/%1.svg").arg(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QHBoxLayout* rowLayout(QWidget* w)
{
    auto* l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    return l;
}

QVBoxLayout* columnLayout(QWidget* w)
{
    auto* l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    return l;
}

QScrollBar* scrollBar(Qt::Orientation orientation, QWidget* parent)
{
    auto* bar = new QScrollBar(orientation, parent);
    bar->setSingleStep(TfrPreviewForm::kSmallStep);
    bar->setPageStep(TfrPreviewForm::kLargeStep);
    bar->setRange(0, 32000);
    // The bars never take the keyboard: the keys belong to the window's own table.
    bar->setFocusPolicy(Qt::NoFocus);
    return bar;
}

QLabel* statusLabel(int width, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFixedWidth(width);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setProperty("helpContext", 206);
    return label;
}

} // namespace

TfrPreviewForm::TfrPreviewForm(QWidget* parent, ZoomMemory* zoom) : QWidget(parent, Qt::Window)
{
    if (zoom) {
        m_zoom = zoom;
    } else if (PreviewWindows* host = PreviewWindows::installed()) {
        m_zoom = &host->zoom();
    } else {
        m_ownZoom = std::make_unique<ZoomMemory>();
        m_zoom = m_ownZoom.get();
    }
    setObjectName(QStringLiteral("TfrPreviewForm"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(InterfaceLanguage::interfaceFont(font));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    resize(459, 293);

    auto* main = columnLayout(this);
    buildToolbar();
    buildPageArea();
    buildZoomMenu();
    main->addWidget(TPanel);
    main->addWidget(PreviewPanel, 1);
    qApp->installEventFilter(this);
}

TfrPreviewForm::~TfrPreviewForm()
{
    if (m_helpMode)
        QApplication::restoreOverrideCursor();
}

void TfrPreviewForm::buildToolbar()
{
    TPanel = new QWidget(this);
    TPanel->setFixedHeight(33);
    auto* strip = columnLayout(TPanel);
    Bevel2 = new QFrame(TPanel);
    Bevel2->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel2->setFixedHeight(2);
    strip->addWidget(Bevel2);
    strip->addSpacing(4);
    auto* row = rowLayout(nullptr);
    row->addSpacing(4);
    strip->addLayout(row);
    strip->addStretch();
    Panel1 = new QWidget(TPanel);
    Panel1->setFixedHeight(24);
    row->addWidget(Panel1);
    row->addStretch();
    auto* buttons = rowLayout(Panel1);

    const auto button = [&](const char* glyph, int hint, int context) {
        auto* b = new TfrTBButton(Panel1);
        b->setSvgGlyph(glyphSvg(QString::fromLatin1(glyph)));
        if (hint)
            b->setToolTip(LoadStr(hint));
        b->setProperty("helpContext", context);
        buttons->addWidget(b);
        return b;
    };
    const auto separator = [&] {
        auto* s = new TfrTBSeparator(Panel1);
        s->setFixedWidth(8);
        s->setDrawBevel(false);
        buttons->addWidget(s);
        return s;
    };
    ZoomBtn = button("zoom", StringTable::sScaleHint, 200);
    ZoomBtn->setFixedWidth(53);
    ZoomBtn->setMargin(3);
    ZoomBtn->setCaption(QStringLiteral("100%"));
    frTBSeparator1 = separator();
    LoadBtn = button("open", StringTable::sOpenReportHint, 201);
    SaveBtn = button("save", StringTable::sSaveReportHint, 202);
    PrintBtn = button("print", StringTable::sPrintReportHint, 203);
    PageSetupBtn = button("pagesetup", 0, 203);
    frTBSeparator2 = separator();
    FindBtn = button("find", StringTable::sFindTextHint, 204);
    HelpBtn = button("help", StringTable::sShowHelpHint, 0);
    frTBSeparator3 = separator();
    ExitBtn = button("close", StringTable::sClosePreviewHint, 205);
    buttons->addStretch();

    connect(ZoomBtn, &TfrSpeedButton::clicked, this, [this] { ZoomBtnClick(); });
    connect(LoadBtn, &TfrSpeedButton::clicked, this, [this] { LoadBtnClick(); });
    connect(SaveBtn, &TfrSpeedButton::clicked, this, [this] { SaveBtnClick(); });
    connect(PrintBtn, &TfrSpeedButton::clicked, this, [this] { guarded([this] { Print(); }); });
    connect(PageSetupBtn, &TfrSpeedButton::clicked, this, [this] { guarded([this] { PageSetup(); }); });
    connect(FindBtn, &TfrSpeedButton::clicked, this, [this] { guarded([this] { FindText(); }); });
    connect(HelpBtn, &TfrSpeedButton::clicked, this, [this] { HelpBtnClick(); });
    connect(ExitBtn, &TfrSpeedButton::clicked, this, [this] { ExitBtnClick(); });
}

void TfrPreviewForm::buildPageArea()
{
    PreviewPanel = new QWidget(this);
    auto* panel = columnLayout(PreviewPanel);
    ScrollBox1 = new QWidget(PreviewPanel);
    ScrollBox1->setFocusPolicy(Qt::StrongFocus);
    panel->addWidget(ScrollBox1, 1);
    auto* box = rowLayout(ScrollBox1);
    PageArea = new TfrPBox(this, ScrollBox1);
    box->addWidget(PageArea, 1);

    RPanel = new QWidget(ScrollBox1);
    RPanel->setFixedWidth(16);
    box->addWidget(RPanel);
    auto* right = columnLayout(RPanel);
    VScrollBar = scrollBar(Qt::Vertical, RPanel);
    right->addWidget(VScrollBar, 1);
    right->addSpacing(1);
    const auto pageButton = [&](const char* glyph) {
        auto* b = new TfrSpeedButton(RPanel);
        b->setFixedSize(16, 16);
        b->setSvgGlyph(glyphSvg(QString::fromLatin1(glyph)), QSize(12, 12));
        right->addWidget(b);
        return b;
    };
    PgUp = pageButton("pageup");
    PgUp->setToolTip(QCoreApplication::translate("vaskel", "Previous page"));
    PgDown = pageButton("pagedown");
    PgDown->setToolTip(QCoreApplication::translate("vaskel", "Next page"));
    connect(PgUp, &TfrSpeedButton::clicked, this, [this] { PgUpClick(); });
    connect(PgDown, &TfrSpeedButton::clicked, this, [this] { PgDownClick(); });

    BPanel = new QWidget(PreviewPanel);
    BPanel->setFixedHeight(18);
    panel->addWidget(BPanel);
    auto* bottom = rowLayout(BPanel);
    Label1 = statusLabel(77, BPanel);
    Label2 = statusLabel(154, BPanel);
    HScrollBar = scrollBar(Qt::Horizontal, BPanel);
    bottom->addWidget(Label1);
    bottom->addWidget(Label2);
    bottom->addWidget(HScrollBar, 1);
    connect(HScrollBar, &QScrollBar::valueChanged, this, [this](int v) { onHScroll(v); });
    connect(VScrollBar, &QScrollBar::valueChanged, this, [this](int v) { onVScroll(v); });
}

void TfrPreviewForm::buildZoomMenu()
{
    ProcMenu = new QMenu(this);
    auto* group = new QActionGroup(ProcMenu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const auto entry = [&](const QString& text, int tag) {
        QAction* a = ProcMenu->addAction(text);
        a->setCheckable(true);
        a->setData(tag);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, tag] { ChooseZoom(tag); });
        return a;
    };
    for (int percent : {200, 150, 100, 75, 50, 25, 10})
        entry(QStringLiteral("%1%").arg(percent), percent)->setChecked(percent == 100);
    entry(LoadStr(StringTable::sPageWidth), 1);
    entry(LoadStr(StringTable::sWholePage), 2);
    entry(LoadStr(StringTable::sTwoPages), 3);
}

void TfrPreviewForm::guarded(const std::function<void()>& handler)
{
    runShowingErrors(handler);
}

// ---- showing ----------------------------------------------------------------------------------

void TfrPreviewForm::ShowReport(TfrReport& report)
{
    ConnectReport(report);
    ApplyButtons();
    ResetView(true);
    SavedHelpFile = qApp->property("helpFile").toString();
    restorePlacement();
    if (!report.ModalPreview) {
        show();
        return;
    }
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    connect(this, &TfrPreviewForm::closed, &loop, &QEventLoop::quit);
    m_modalRunning = true;
    loop.exec();
    m_modalRunning = false;
}

void TfrPreviewForm::ConnectReport(TfrReport& report)
{
    OwnerReport = &report;
    HeldPages = report.TakePreparedPages();
}

void TfrPreviewForm::ReleasePages()
{
    if (OwnerReport && HeldPages)
        OwnerReport->GivePreparedPages(std::move(HeldPages));
    HeldPages.reset();
}

void TfrPreviewForm::ApplyButtons()
{
    if (!OwnerReport)
        return;
    const quint8 set = OwnerReport->PreviewButtons;
    const auto has = [set](TfrPreviewButton b) { return (set & (1u << b)) != 0; };
    ZoomBtn->setVisible(has(pbZoom));
    LoadBtn->setVisible(has(pbLoad));
    SaveBtn->setVisible(has(pbSave));
    // Exporting is another way of saving the pages: a report that hides Save hides it too.
    if (ExportBtn)
        ExportBtn->setVisible(has(pbSave));
    PrintBtn->setVisible(has(pbPrint));
    PageSetupBtn->setVisible(has(pbPageSetup));
    FindBtn->setVisible(has(pbFind));
    const bool help = has(pbHelp) && !ToolbarLent;
    HelpBtn->setVisible(help);
    ExitBtn->setVisible(has(pbExit) && !ToolbarLent);
    frTBSeparator1->setVisible(has(pbZoom));
    frTBSeparator3->setVisible(has(pbFind) || help);

    // The printer list holds the system's printers before the virtual printer.
    const TfrPrinter& printer = frPrinter();
    const bool printers = printer.PlatformPrinter && printer.VirtualIndex > 0;
    PrintBtn->setEnabled(printers);
    PageSetupBtn->setEnabled(printers);

    switch (OwnerReport->InitialZoom) {
    case pzPageWidth:
        m_zoom->LastZoomMode = PreviewZoomMode::PageWidth;
        break;
    case pzOnePage:
        m_zoom->LastZoomMode = PreviewZoomMode::WholePage;
        break;
    case pzTwoPages:
        m_zoom->LastZoomMode = PreviewZoomMode::TwoPages;
        break;
    case pzDefault:
        break; // the zoom last chosen in any preview of the process
    }
    for (auto* b : Panel1->findChildren<TfrTBButton*>())
        b->setGrayedInactive(OwnerReport->GrayedButtons);
}

// ---- view -------------------------------------------------------------------------------------

void TfrPreviewForm::ResetView(bool restart)
{
    ZoomFactor = m_zoom->LastZoomFactor;
    ZoomMode = m_zoom->LastZoomMode;
    if (restart) {
        DisplayedPage = 1;
        ScrollX = ScrollY = 0;
        LastHScroll = LastVScroll = 0;
        const QSignalBlocker hb(HScrollBar), vb(VScrollBar);
        HScrollBar->setValue(0);
        VScrollBar->setValue(0);
    }
    UpdatePageLabel();
    Relayout();
    if (HeldPages) {
        for (int i = 0; i < HeldPages->Count(); ++i) {
            HeldPages->PageAt(i).InUse = false;
            HeldPages->ReleasePage(i);
        }
    }
    PageArea->update();
}

QString TfrPreviewForm::pageCounterText(int page, int count)
{
    return QCoreApplication::translate("vaskel", "Page %1/%2").arg(page).arg(count);
}

QString TfrPreviewForm::pageText(int page)
{
    return QCoreApplication::translate("vaskel", "Page %1").arg(page);
}

void TfrPreviewForm::UpdatePageLabel()
{
    if (!HeldPages) {
        Label1->clear();
        return;
    }
    if (PageChangedHook)
        PageChangedHook(DisplayedPage);
    Label1->setText(pageCounterText(DisplayedPage, HeldPages->Count()));
}

void TfrPreviewForm::ScrollToCurrentPage()
{
    if (!HeldPages || DisplayedPage < 1 || DisplayedPage > HeldPages->Count())
        return;
    VScrollBar->setValue(HeldPages->PageAt(DisplayedPage - 1).LayoutRect.top() - 10);
}

QString TfrPreviewForm::zoomCaption() const
{
    return ZoomBtn->Caption();
}

int TfrPreviewForm::checkedZoomTag() const
{
    for (QAction* a : ProcMenu->actions()) {
        if (a->isChecked())
            return a->data().toInt();
    }
    return 0;
}

void TfrPreviewForm::Relayout()
{
    // The menu entry of the mode, or of the percentage that equals the zoom.
    const auto markEntry = [this] {
        const int want = ZoomMode == PreviewZoomMode::Fixed ? roundToInt(ZoomFactor * 100) : int(ZoomMode);
        for (QAction* a : ProcMenu->actions())
            a->setChecked(a->data().toInt() == want);
    };
    if (!HeldPages) {
        markEntry();
        return;
    }
    const QSize area = PageArea->size();
    if (DisplayedPage > HeldPages->Count())
        DisplayedPage = qMax(1, HeldPages->Count());
    if (HeldPages->Count() > 0) {
        const TfrPageMetrics& m = HeldPages->PageAt(DisplayedPage - 1).Metrics;
        ZoomFactor = PageArrangement::zoomFor(
            ZoomMode, ZoomFactor, QSize(m.UnitPaperWidth, m.UnitPaperHeight), area);
    }
    markEntry();
    ZoomBtn->setCaption(QStringLiteral("%1%").arg(roundToInt(ZoomFactor * 100)));

    PaintEnabled = false;
    const Arrangement a = PageArrangement::arrange(*HeldPages, ZoomFactor, ZoomMode, area);
    HScrollBar->setMaximum(a.horizontalRange);
    HScrollBar->setEnabled(a.horizontalRange != 0);
    VScrollBar->setMaximum(a.verticalRange);
    VScrollBar->setEnabled(a.verticalRange != 0);
    if (isVisible() && PreviewPanel->window() == window())
        ScrollBox1->setFocus();
    ScrollToCurrentPage();
    PaintEnabled = true;
    PageArea->update();
}

void TfrPreviewForm::onHScroll(int value)
{
    ScrollX = -value;
    // Only the strip the move uncovers is painted again.
    PageArea->scroll(LastHScroll - value, 0);
    LastHScroll = value;
}

void TfrPreviewForm::onVScroll(int value)
{
    ScrollY = -value;
    PageArea->scroll(0, LastVScroll - value);
    LastVScroll = value;
    if (!HeldPages)
        return;
    const int line = value + 11;
    for (int i = 0; i < HeldPages->Count(); ++i) {
        const QRect& r = HeldPages->PageAt(i).LayoutRect;
        if (!r.isEmpty() && r.top() < line && r.bottom() + 1 > line) {
            if (DisplayedPage != i + 1) {
                DisplayedPage = i + 1;
                UpdatePageLabel();
            }
            return;
        }
    }
}

void TfrPreviewForm::ScrollToPage(int page, const QRect& unitsRect)
{
    if (!HeldPages || page < 1 || page > HeldPages->Count())
        return;
    DisplayedPage = page;
    UpdatePageLabel();
    if (unitsRect.isNull()) {
        ScrollToCurrentPage();
        return;
    }
    // The page's corner comes 10 pixels inside the area unless the text would then lie below
    // (or right of) it: then the text ends at the area's edge. The scroll bars keep to their ranges.
    const HitPlacement placed
        = placeHit(unitsRect, ZoomFactor, HeldPages->PageAt(page - 1).LayoutRect, PageArea->size());
    VScrollBar->setValue(placed.scrollY);
    HScrollBar->setValue(placed.scrollX);
}

void TfrPreviewForm::ChooseZoom(int tag)
{
    if (!HeldPages)
        return;
    ScrollX = 0;
    if (tag >= 1 && tag <= 3) {
        ZoomMode = static_cast<PreviewZoomMode>(tag);
    } else {
        ZoomMode = PreviewZoomMode::Fixed;
        ZoomFactor = tag / 100.0;
    }
    HScrollBar->setValue(0);
    Relayout();
    m_zoom->LastZoomFactor = ZoomFactor;
    m_zoom->LastZoomMode = ZoomMode;
    PageArea->update();
}

QMenu* TfrPreviewForm::popupMenu() const
{
    return HostPopupMenu ? HostPopupMenu.data() : ProcMenu;
}

} // namespace vaskel
