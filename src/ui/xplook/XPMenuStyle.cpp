#include "ui/xplook/XPMenuStyle.h"

#include "ui/xplook/TXPMenu.h"
#include "ui/xplook/XPColor.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionMenuItem>

namespace vaskel {

namespace {

int iconColumn(const TXPMenu* menu, const QStyleOptionMenuItem* item)
{
    return std::max(menu->settings().IconWidth, item->maxIconWidth);
}

} // namespace

XPMenuStyle::XPMenuStyle(TXPMenu* menu) : QProxyStyle(QApplication::style()->name()), m_menu(menu)
{
}

int XPMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_MenuPanelWidth:
        return 1;
    case PM_MenuHMargin:
    case PM_MenuVMargin:
    case PM_MenuBarPanelWidth:
    case PM_MenuBarHMargin:
    case PM_MenuBarVMargin:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QSize XPMenuStyle::sizeFromContents(
    ContentsType type, const QStyleOption* option, const QSize& size, const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type != CT_MenuItem || !item)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    if (item->menuItemType == QStyleOptionMenuItem::Separator)
        return QSize(size.width(), 4);
    const QFontMetrics fm(m_menu->settings().Font);
    const QString text = item->text;
    const qsizetype tab = text.indexOf('\t');
    const QString caption = tab < 0 ? text : text.left(tab);
    int width = fm.horizontalAdvance(caption) + 5;
    if (tab >= 0)
        width += fm.horizontalAdvance(text.mid(tab + 1)) + fm.horizontalAdvance(QStringLiteral("WWW"));
    if (caption.contains('&'))
        width -= fm.horizontalAdvance('&');
    if (item->menuItemType == QStyleOptionMenuItem::SubMenu)
        width += 6;
    const int iconHeight = item->icon.isNull() ? 0 : item->maxIconWidth;
    width += iconColumn(m_menu, item);
    const int height = std::max(fm.height() + fm.height() * 3 / 4, iconHeight + 6);
    return QSize(width, height);
}

void XPMenuStyle::drawPrimitive(
    PrimitiveElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    if (element == PE_PanelMenu || element == PE_FrameMenu) {
        const XPPalette pal = m_menu->derivePalette();
        if (element == PE_PanelMenu)
            painter->fillRect(option->rect, pal.MenuFill);
        painter->setPen(pal.SeparatorLine);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        return;
    }
    if (element == PE_PanelMenuBar) {
        painter->fillRect(option->rect, m_menu->derivePalette().BarFill);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void XPMenuStyle::drawControl(
    ControlElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!item
        || (element != CE_MenuItem && element != CE_MenuBarItem && element != CE_MenuBarEmptyArea
            && element != CE_MenuEmptyArea)) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const XPPalette pal = m_menu->derivePalette();
    const XPMenuSettings& s = m_menu->settings();
    const QRect r = option->rect;
    const bool enabled = option->state & State_Enabled;
    const bool selected = enabled && (option->state & State_Selected);
    painter->save();
    painter->setFont(s.Font);
    const QColor fontColor = s.FontColor.resolve(m_menu->systemColors());
    const int textFlags = Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;

    if (element == CE_MenuBarEmptyArea) {
        painter->fillRect(r, pal.BarFill);
    } else if (element == CE_MenuEmptyArea) {
        painter->fillRect(r, pal.MenuFill);
    } else if (element == CE_MenuBarItem) {
        painter->fillRect(r, pal.BarFill);
        if (selected || (option->state & State_Sunken)) {
            painter->fillRect(r.adjusted(0, 0, -1, -1), pal.SelectFill);
            painter->setPen(pal.SelectBorder);
            painter->drawRect(r.adjusted(0, 0, -1, -1));
        }
        painter->setPen(enabled ? (selected ? pal.SelectText : fontColor) : pal.DisabledText);
        painter->drawText(r, textFlags | Qt::AlignHCenter, item->text);
    } else {
        const int column = iconColumn(m_menu, item);
        painter->fillRect(r, pal.MenuFill);
        painter->fillRect(QRect(r.left(), r.top(), column, r.height()), pal.IconFill);
        if (item->menuItemType == QStyleOptionMenuItem::Separator) {
            painter->fillRect(
                r.left() + column + 8, r.center().y(), r.width() - column - 8, 1, pal.SeparatorLine);
        } else {
            if (selected) {
                painter->fillRect(r, pal.SelectFill);
                if (s.DrawSelect) {
                    painter->setPen(pal.SelectBorder);
                    painter->setBrush(Qt::NoBrush);
                    painter->drawRect(r.adjusted(0, 0, -1, -1));
                }
            }
            const QRect iconRect(r.left(), r.top(), column, r.height());
            if (item->checked) {
                const QRect box = iconRect.adjusted(2, 2, -2, -2);
                painter->fillRect(box, selected ? pal.PressedFill : pal.CheckedFill);
                painter->setPen(pal.SelectBorder);
                painter->drawRect(box.adjusted(0, 0, -1, -1));
            }
            if (!item->icon.isNull()) {
                const int side = std::min(item->maxIconWidth > 0 ? item->maxIconWidth : 16, r.height() - 2);
                QImage icon = item->icon.pixmap(side, side).toImage();
                if (!enabled)
                    icon = XPColor::grayed(icon, s.GrayLevel);
                painter->drawImage(
                    QPoint(iconRect.center().x() - side / 2, iconRect.center().y() - side / 2), icon);
            } else if (item->checked) {
                // A check mark in the item's text colour.
                painter->setPen(QPen(selected ? pal.SelectText : fontColor, 2));
                const QPoint c = iconRect.center();
                painter->drawLine(c + QPoint(-4, 0), c + QPoint(-1, 3));
                painter->drawLine(c + QPoint(-1, 3), c + QPoint(4, -3));
            }
            painter->setPen(!enabled ? pal.DisabledText : selected ? pal.SelectText : fontColor);
            const QRect textRect = r.adjusted(column + 8, 0, -8, 0);
            const qsizetype tab = item->text.indexOf('\t');
            painter->drawText(
                textRect, textFlags | Qt::AlignLeft, tab < 0 ? item->text : item->text.left(tab));
            if (tab >= 0)
                painter->drawText(
                    textRect.adjusted(0, 0, -8, 0), textFlags | Qt::AlignRight, item->text.mid(tab + 1));
            if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
                const int x = r.right() - 8;
                const int y = r.center().y();
                for (int i = 0; i < 4; ++i)
                    painter->fillRect(x + i, y - 3 + i, 1, 7 - 2 * i, painter->pen().color());
            }
        }
    }
    painter->restore();
}

} // namespace vaskel
