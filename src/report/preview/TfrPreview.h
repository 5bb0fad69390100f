#pragma once
// A preview inside any window of the application: a framed panel that borrows the page area (and,
// with ShowToolbar, the toolbar) of a hidden preview window it owns. The report shows its pages
// here when its `Preview` names the control.
#include "report/engine/ReportPreviewHost.h"

#include <QFrame>
#include <QPointer>

#include <functional>
#include <memory>

class QMenu;
class QVBoxLayout;

namespace vaskel {

class TfrPreviewForm;

class TfrPreview : public QFrame, public ReportPreviewControl {
    Q_OBJECT
public:
    enum class ScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

    explicit TfrPreview(QWidget* parent = nullptr);
    ~TfrPreview() override;

    TfrPreviewForm& previewWindow() { return *m_form; }
    ScrollStyle ScrollBars() const { return m_scrollBars; }
    void setScrollBars(ScrollStyle style);
    bool ShowToolbar() const { return m_showToolbar; }
    void setShowToolbar(bool on);
    // The control's own popup menu, shown on the right button in place of the zoom menu.
    void setPopupMenu(QMenu* menu);
    int DisplayedPage() const;

    // Raised on every page-counter update with the displayed page (1-based).
    std::function<void(TfrPreview& sender, int pageNo)> OnPageChanged;

    // ReportPreviewControl
    void Connect(TfrReport& report) override;
    void Disconnect() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<TfrPreviewForm> m_form;
    QVBoxLayout* m_layout = nullptr;
    ScrollStyle m_scrollBars = ScrollStyle::ssBoth;
    bool m_showToolbar = false;
    QPointer<QMenu> m_popup;
    TfrReport* m_report = nullptr; // not owned: the report last connected
    QPointer<QWidget> m_wheelWindow;
};

} // namespace vaskel
