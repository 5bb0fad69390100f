#include "report/preview/TfrPreview.h"

#include "report/engine/TfrEMFPages.h"
#include "report/engine/TfrReport.h"
#include "report/preview/TfrPreviewForm.h"

#include <QMenu>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace vaskel {

TfrPreview::TfrPreview(QWidget* parent) : QFrame(parent), m_form(std::make_unique<TfrPreviewForm>())
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(1, 1, 1, 1);
    m_layout->setSpacing(0);
    m_form->PageChangedHook = [this](int page) {
        if (OnPageChanged)
            OnPageChanged(*this, page);
    };
    setScrollBars(ScrollStyle::ssBoth);
}

TfrPreview::~TfrPreview()
{
    if (m_report && m_report->Preview == this)
        m_report->Preview = nullptr;
    // The borrowed panels go back to the window, which frees them (and the pages it holds).
    m_form->PreviewPanel->setParent(m_form.get());
    m_form->TPanel->setParent(m_form.get());
}

void TfrPreview::setScrollBars(ScrollStyle style)
{
    m_scrollBars = style;
    m_form->RPanel->setVisible(style == ScrollStyle::ssBoth || style == ScrollStyle::ssVertical);
    m_form->BPanel->setVisible(style == ScrollStyle::ssBoth || style == ScrollStyle::ssHorizontal);
}

void TfrPreview::setShowToolbar(bool on)
{
    m_showToolbar = on;
    if (on) {
        m_layout->insertWidget(0, m_form->TPanel);
        m_form->TPanel->show();
    } else if (m_form->TPanel->parentWidget() == this) {
        m_layout->removeWidget(m_form->TPanel);
        m_form->TPanel->setParent(m_form.get());
        m_form->layout()->addWidget(m_form->TPanel);
    }
    m_form->ToolbarLent = on;
}

void TfrPreview::setPopupMenu(QMenu* menu)
{
    m_popup = menu;
    m_form->HostPopupMenu = menu;
}

int TfrPreview::DisplayedPage() const
{
    return m_form->DisplayedPage;
}

void TfrPreview::Connect(TfrReport& report)
{
    m_report = &report;
    m_layout->addWidget(m_form->PreviewPanel, 1);
    if (m_showToolbar)
        setShowToolbar(true);
    m_form->PreviewPanel->show();
    m_form->ConnectReport(report);
    m_form->ApplyButtons();
    m_form->ResetView(true);
    m_form->HostPopupMenu = m_popup;
    if (QWidget* w = window(); w && w != this && w != m_wheelWindow) {
        // The wheel anywhere in the holding window scrolls the pages, three steps a notch.
        if (m_wheelWindow)
            m_wheelWindow->removeEventFilter(this);
        m_wheelWindow = w;
        w->installEventFilter(this);
        m_form->WheelFactor = 3;
    }
}

void TfrPreview::Disconnect()
{
    m_form->ReleasePages();
}

void TfrPreview::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    m_form->Relayout();
}

bool TfrPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_wheelWindow && event->type() == QEvent::Wheel && m_form->HeldPages) {
        const int dy = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (dy != 0)
            m_form->wheelSteps(dy > 0 ? 1 : -1);
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace vaskel
