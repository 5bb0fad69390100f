#pragma once
// The preview window: a toolbar, the page area with its scroll bars and page buttons, a status
// line with the page counter and the link under the mouse, the zoom menu and the keyboard. It
// holds a report's prepared pages while it shows them (the report keeps an empty store), loads
// and saves prepared-report files, and keeps its placement in the settings store.
//
// The report's ShowPrepared creates one for every showing (through PreviewWindows); an embedded
// TfrPreview keeps one hidden and borrows its page area and toolbar.
//
// Search, printing and page setup are built elsewhere: the Find, Print and Page setup buttons,
// F3 and Ctrl+P call FindText(), FindNext(), Print() and PageSetup(), which run the matching
// hook when one is set and do nothing otherwise. The page area offers what search needs:
// PageArea->markRect(), pixelRect(), and ScrollToPage() below.
#include "report/engine/TfrReport.h"
#include "report/preview/PageArrangement.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QFrame;
class QLabel;
class QMenu;
class QScrollBar;

namespace vaskel {

class SettingsStore;
class VaskelError;
class TfrEMFPages;
class TfrPBox;
class TfrSpeedButton;
class TfrTBButton;
class TfrTBSeparator;
struct ZoomMemory;

class TfrPreviewForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSmallStep = 10;
    static constexpr int kLargeStep = 200;
    // The page counter ("Page 3/12") and a page named by a link ("Page 4"), in the interface's
    // language.
    static QString pageCounterText(int page, int count);
    static QString pageText(int page);
    // The settings section of the window's placement.
    static QString settingsSection() { return QStringLiteral("Form/TfrPreviewForm/"); }

    // `zoom` is the zoom memory shared by the previews of the process (the installed host's);
    // null uses the host's, or a memory of the window's own when no host is installed.
    explicit TfrPreviewForm(QWidget* parent = nullptr, ZoomMemory* zoom = nullptr);
    ~TfrPreviewForm() override;

    // ---- the window's state --------------------------------------------------------------------
    TfrReport* OwnerReport = nullptr; // not owned
    std::unique_ptr<TfrEMFPages> HeldPages;
    TfrPBox* PageArea = nullptr;
    int DisplayedPage = 1; // 1-based
    double ZoomFactor = 1.0; // screen pixels per report unit
    PreviewZoomMode ZoomMode = PreviewZoomMode::Fixed;
    int ScrollX = 0, ScrollY = 0; // drawing offsets: the negated scroll bar positions
    int LastHScroll = 0, LastVScroll = 0;
    bool PaintEnabled = true;
    int WheelFactor = 1;
    QString SavedHelpFile;
    std::function<void(int displayedPage)> PageChangedHook;
    QRect MarkedRect; // a search mark waiting to be drawn, area pixels
    // The name a saved file is offered under when the report has no title (a bill number).
    QString FileNameHint;
    // Where placement is read and written; null: the per-user store. Not owned.
    SettingsStore* Settings = nullptr;

    // ---- controls ------------------------------------------------------------------------------
    QWidget* TPanel = nullptr;
    QFrame* Bevel2 = nullptr;
    QWidget* Panel1 = nullptr;
    TfrTBButton *ZoomBtn = nullptr, *LoadBtn = nullptr, *SaveBtn = nullptr, *PrintBtn = nullptr,
                *PageSetupBtn = nullptr, *FindBtn = nullptr, *HelpBtn = nullptr, *ExitBtn = nullptr;
    // Export, after Save, and its menu of formats (added by the preview's commands; null without
    // them).
    TfrTBButton* ExportBtn = nullptr;
    QMenu* ExportMenu = nullptr;
    TfrTBSeparator *frTBSeparator1 = nullptr, *frTBSeparator2 = nullptr, *frTBSeparator3 = nullptr;
    QWidget* PreviewPanel = nullptr;
    QWidget* ScrollBox1 = nullptr;
    QWidget* RPanel = nullptr;
    QWidget* BPanel = nullptr;
    QScrollBar* VScrollBar = nullptr;
    QScrollBar* HScrollBar = nullptr;
    TfrSpeedButton *PgUp = nullptr, *PgDown = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr;
    QMenu* ProcMenu = nullptr;
    // The popup menu of a hosting TfrPreview, used in place of ProcMenu. Not owned.
    QPointer<QMenu> HostPopupMenu;
    // Set while a TfrPreview has the toolbar (Help and Exit then stay hidden).
    bool ToolbarLent = false;

    // ---- operations ----------------------------------------------------------------------------
    // Shows the report's pages: modal (returns after the window closed) when its ModalPreview is on.
    void ShowReport(TfrReport& report);
    void ConnectReport(TfrReport& report);
    void ReleasePages();
    void ApplyButtons();
    void ResetView(bool restart);
    void UpdatePageLabel();
    void ScrollToCurrentPage();
    void Relayout();
    // Load and save keep the window's pages whatever happens; false after a reported failure.
    bool LoadFile(const QString& fileName);
    // The error box's text when `fileName` cannot be read: the message, then the file and the
    // place of the damage when the reader names one.
    static QString loadFailureText(const QString& fileName, const VaskelError& error);
    bool SaveFile(const QString& fileName);
    // Choosing an entry of the zoom menu by its tag (200 … 10 percent, 1 to 3 the modes).
    void ChooseZoom(int tag);
    // Shows page `page` (1-based) with `unitsRect` (report units) in view; search uses it.
    void ScrollToPage(int page, const QRect& unitsRect = QRect());
    // The zoom caption and the marked menu entry, as shown.
    QString zoomCaption() const;
    int checkedZoomTag() const;
    // The keyboard table; true when the key was consumed.
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);
    void wheelSteps(int steps); // positive: up
    QMenu* popupMenu() const;
    bool inHelpMode() const { return m_helpMode; }

    // ---- commands ------------------------------------------------------------------------------
    void ZoomBtnClick();
    void LoadBtnClick();
    void SaveBtnClick();
    void ExitBtnClick();
    void HelpBtnClick();
    void PgUpClick();
    void PgDownClick();
    // Entry points of search, printing and page setup: each runs its hook when set.
    virtual void FindText();
    virtual void FindNext();
    virtual void Print();
    virtual void PageSetup();
    std::function<void(TfrPreviewForm&)> OnFindText, OnFindNext, OnPrint, OnPageSetup;
    // Whether a search text exists (F3 finds the next place only then).
    std::function<bool()> HasSearchText;

    // Where the window opens without a stored placement: centred on the primary screen, four
    // fifths of its available width and height (at least `least`); with `large` off, `least`
    // itself centred.
    static QRect defaultPlacement(QSize least, bool large = true);
    // Where the file dialogs open: the folder last used for a file of the previews, with the
    // report's title (or FileNameHint) as the name offered, ending in `suffix` ("frp");
    // rememberFolder() notes the folder of a file chosen.
    QString suggestedFile(const QString& suffix) const;
    void rememberFolder(const QString& file);
    // Placement in the settings store.
    void savePlacement();
    void restorePlacement();

signals:
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void buildToolbar();
    void buildPageArea();
    void buildZoomMenu();
    void onHScroll(int value);
    void onVScroll(int value);
    bool ownsWidget(const QWidget* w) const;
    void endHelpMode(QPoint globalPos);
    // The help topic of `control`'s context number, when it has one.
    void showHelpFor(QWidget* control);
    // Runs a command; an error it throws ends in the standard error box, never in the event loop.
    void guarded(const std::function<void()>& handler);

    std::unique_ptr<ZoomMemory> m_ownZoom;
    ZoomMemory* m_zoom = nullptr; // not owned unless it is m_ownZoom
    bool m_modalRunning = false;
    bool m_helpMode = false;
    bool m_placementRestored = false;
};

} // namespace vaskel
