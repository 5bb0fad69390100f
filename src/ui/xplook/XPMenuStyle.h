#pragma once
// The owner drawing of menus and menu bars: a proxy of the application's style set on each menu
// the component takes over. Items are measured and drawn by the component: an icon column in
// `IconFill`, the selected item in `SelectFill` framed in `SelectBorder` (with `DrawSelect`),
// checked items in `CheckedFill`, separators in `SeparatorLine`, disabled text in `DisabledText`.
// The palette is derived afresh each time a menu is drawn.
#include <QProxyStyle>

namespace vaskel {

class TXPMenu;

class XPMenuStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit XPMenuStyle(TXPMenu* menu);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
        const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;

private:
    TXPMenu* m_menu; // not owned: the component owns this style
};

} // namespace vaskel
