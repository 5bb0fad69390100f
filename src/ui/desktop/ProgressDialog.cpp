#include "ui/desktop/ProgressDialog.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vaskel {

ProgressDialog::ProgressDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    setModal(true);
    m_line = new QLabel(this);
    m_line->setAlignment(Qt::AlignCenter);
    m_detail = new QLabel(this);
    m_detail->setAlignment(Qt::AlignCenter);
    m_cancel = new QPushButton(tr("Cancel"), this);
    // Enter must not cancel a run by accident; Escape does, through reject().
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &ProgressDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_line);
    layout->addWidget(m_detail);
    layout->addLayout(buttons);
    setMinimumWidth(278);
}

ModalResult ProgressDialog::run(const std::function<void(ProgressControl&)>& work)
{
    m_work = &work;
    m_error = nullptr;
    m_result = ModalResult::None;
    m_started = false;
    exec();
    m_work = nullptr;
    if (m_error)
        std::rethrow_exception(std::exchange(m_error, nullptr));
    return m_result == ModalResult::None ? ModalResult::Ok : m_result;
}

void ProgressDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_detail->clear();
    if (m_work && !m_started) {
        m_started = true;
        // Queued, so that the modal loop of exec() is running when the work starts.
        QMetaObject::invokeMethod(this, &ProgressDialog::startWork, Qt::QueuedConnection);
    }
}

void ProgressDialog::startWork()
{
    if (!m_work)
        return;
    try {
        (*m_work)(*this);
    } catch (...) {
        m_error = std::current_exception();
    }
    // Ends the modal loop unless Cancel or the work's close() already did.
    close(m_error ? ModalResult::Abort : ModalResult::Ok);
}

void ProgressDialog::setCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void ProgressDialog::setText(const QString& line)
{
    m_line->setText(line);
}

void ProgressDialog::setDetail(const QString& line)
{
    m_detail->setText(line);
}

QString ProgressDialog::text() const
{
    return m_line->text();
}

QString ProgressDialog::detail() const
{
    return m_detail->text();
}

bool ProgressDialog::cancelRequested()
{
    QCoreApplication::processEvents();
    return m_result == ModalResult::Cancel;
}

void ProgressDialog::close(ModalResult result)
{
    // The first result stands: a Cancel pressed before the work finished is not overwritten.
    if (m_result != ModalResult::None)
        return;
    m_result = result;
    done(static_cast<int>(result));
}

void ProgressDialog::reject()
{
    close(ModalResult::Cancel);
}

} // namespace vaskel
