#pragma once
// A small window with the controls the flat look paints on the query window (the query button,
// the print-preview bitmap button, the flat editable bill list and the total's edit box), on the
// query window's light blue, with a `TXPMenu` set up as the query window sets up `xmPer`; and the
// helpers that send the events a person's mouse and keyboard would.
#include "ui/xplook/TXPMenu.h"
#include "ui/xplook/XPColor.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <gtest/gtest.h>

namespace vaskel::test {

inline QIcon printerGlyph()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.fillRect(1, 6, 14, 7, QColor(0xC0, 0xC0, 0xC0));
    p.fillRect(4, 1, 8, 5, Qt::white);
    p.end();
    return QIcon(pm);
}

struct XPLookWindow {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QPushButton* button = nullptr;
    QPushButton* bitBtn = nullptr;
    QComboBox* combo = nullptr;
    QLineEdit* edit = nullptr;
    TXPMenu* look = nullptr;

    explicit XPLookWindow(bool active = true)
    {
        window->setGeometry(100, 100, 320, 160);
        QPalette pal = window->palette();
        pal.setColor(QPalette::Window, QColor(0x95, 0xBB, 0xFF));
        window->setPalette(pal);
        window->setAutoFillBackground(true);
        button = new QPushButton(QStringLiteral("查\u3000\u3000询"), window.get());
        button->setGeometry(10, 10, 75, 25);
        bitBtn = new QPushButton(printerGlyph(), QStringLiteral("&打印阅览"), window.get());
        bitBtn->setGeometry(100, 10, 100, 28);
        bitBtn->setIconSize(QSize(16, 16));
        combo = new QComboBox(window.get());
        combo->setEditable(true);
        combo->setFrame(false);
        combo->addItems({"HT23001", "HT23002"});
        combo->setGeometry(10, 50, 145, 21);
        edit = new QLineEdit(QStringLiteral("Edit1"), window.get());
        edit->setGeometry(10, 90, 161, 21);
        look = new TXPMenu(window.get());
        look->setActive(active);
    }

    void show()
    {
        window->show();
        window->activateWindow();
        QApplication::processEvents();
        // Showing gives the first control the focus; the cases start with none focused.
        if (QWidget* f = QApplication::focusWidget())
            f->clearFocus();
        QApplication::processEvents();
    }
};

inline QImage grabbed(QWidget* w)
{
    QApplication::processEvents();
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline void enter(QWidget* w)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QEnterEvent e(at, w->mapTo(w->window(), at), w->mapToGlobal(at));
    QApplication::sendEvent(w, &e);
}

inline void leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

inline void key(QWidget* w, QEvent::Type type, int k, bool autoRepeat = false)
{
    QKeyEvent e(type, k, Qt::NoModifier, k == Qt::Key_Space ? QStringLiteral(" ") : QString(), autoRepeat);
    QApplication::sendEvent(w, &e);
}

inline void focus(QWidget* w)
{
    w->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
}

} // namespace vaskel::test
