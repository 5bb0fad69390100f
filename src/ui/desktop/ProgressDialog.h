#pragma once
// A generic modal progress window: a caption, two centred lines of text and a Cancel button that
// also answers Escape. `run` shows it modally and starts the work by a queued call once the window
// is up, so the window's own event loop is running while the work runs and every
// `cancelRequested()` of the work lets Cancel be pressed. The report's own progress window, with
// its fixed layout, builds on the same idea; this one serves `QtUiServices::runWithProgress`.
#include "platform/ProgressDetail.h"
#include "platform/UiServices.h"

#include <QDialog>

#include <exception>
#include <functional>

class QLabel;
class QPushButton;

namespace vaskel {

class ProgressDialog : public QDialog, public ProgressControl, public ProgressDetail {
    Q_OBJECT
public:
    explicit ProgressDialog(QWidget* parent = nullptr);

    // Shows the window modally and runs `work` inside its modal loop. Returns Cancel when the user
    // cancelled (button, Escape or closing the window), otherwise what the work passed to close(),
    // or Ok when it did not close the window itself. An exception thrown by the work is held while
    // the modal loop ends and thrown again from here, after the window has closed: it never
    // crosses Qt's event loop.
    ModalResult run(const std::function<void(ProgressControl&)>& work);

    // ProgressControl
    void setCaption(const QString& caption) override;
    void setText(const QString& line) override;
    bool cancelRequested() override;
    void close(ModalResult result) override;

    // ProgressDetail
    void setDetail(const QString& line) override;

    QString text() const;
    QString detail() const;
    QPushButton* cancelButton() const { return m_cancel; }

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void startWork();

    QLabel* m_line = nullptr;
    QLabel* m_detail = nullptr;
    QPushButton* m_cancel = nullptr;
    const std::function<void(ProgressControl&)>* m_work = nullptr; // not owned; set during run()
    std::exception_ptr m_error;
    ModalResult m_result = ModalResult::None;
    bool m_started = false;
};

} // namespace vaskel
