#include "ui/xplook/XPControlPainter.h"

#include "ui/xplook/XPColor.h"
#include "ui/xplook/XPControlKinds.h"

#include <QComboBox>
#include <QPushButton>
#include <QStyle>

namespace vaskel::XPControlPainter {

using XPColor::Lighten;
using XPColor::Shade;
using namespace XPControlKinds;

namespace {

// A rectangle outline through the pixels of `r` (its left, top, right and bottom pixel lines).
void frameRect(QPainter& p, const QRect& r, const QColor& color)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.fillRect(r.left(), r.top(), r.width(), 1, color);
    p.fillRect(r.left(), r.bottom(), r.width(), 1, color);
    p.fillRect(r.left(), r.top(), 1, r.height(), color);
    p.fillRect(r.right(), r.top(), 1, r.height(), color);
}

// A caption with its access key underlined; disabled captions are embossed (a light copy one
// pixel down and right under the shadow-coloured text).
void drawCaption(QPainter& p, const QRect& r, const QString& text, const QWidget* w, const XPPaintContext& c)
{
    const int flags = Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
    p.setFont(w->font());
    if (w->isEnabled()) {
        p.setPen(w->palette().color(QPalette::ButtonText));
        p.drawText(r, flags, text);
    } else {
        p.setPen(c.colors.btnHighlight);
        p.drawText(r.translated(1, 1), flags, text);
        p.setPen(c.colors.btnShadow);
        p.drawText(r, flags, text);
    }
}

// Where glyph and caption go inside `area`: the glyph beside the caption by the button's layout
// ("glyphLayout": left, right, top, bottom; left by default) with "spacing" pixels between them
// (4 by default, none when the caption is blank), the pair centred.
void layoutGlyph(
    const QPushButton* b, const QRect& area, const QSize& glyph, QRect& glyphRect, QRect& textRect)
{
    const QString caption = b->text();
    const QString layout = b->property("glyphLayout").toString().toLower();
    const QVariant spacingProperty = b->property("spacing");
    int spacing = spacingProperty.isValid() ? spacingProperty.toInt() : 4;
    if (caption.trimmed().isEmpty())
        spacing = 0;
    const QSize text = b->fontMetrics().size(Qt::TextShowMnemonic, caption);
    const bool vertical = layout == QLatin1String("top") || layout == QLatin1String("bottom");
    const int total
        = vertical ? glyph.height() + spacing + text.height() : glyph.width() + spacing + text.width();
    const QPoint c = area.center();
    if (vertical) {
        const int top = area.top() + (area.height() - total) / 2;
        const bool glyphFirst = layout == QLatin1String("top");
        const int gy = glyphFirst ? top : top + text.height() + spacing;
        const int ty = glyphFirst ? top + glyph.height() + spacing : top;
        glyphRect = QRect(QPoint(c.x() - glyph.width() / 2, gy), glyph);
        textRect = QRect(area.left(), ty, area.width(), text.height());
    } else {
        const int left = area.left() + (area.width() - total) / 2;
        const bool glyphFirst = layout != QLatin1String("right");
        const int gx = glyphFirst ? left : left + text.width() + spacing;
        const int tx = glyphFirst ? left + glyph.width() + spacing : left;
        glyphRect = QRect(QPoint(gx, area.top() + (area.height() - glyph.height()) / 2), glyph);
        textRect = QRect(tx, area.top(), text.width(), area.height());
    }
}

} // namespace

QColor controlColor(const QWidget* w)
{
    return w->palette().color(w->backgroundRole());
}

QColor parentColor(const QWidget* w)
{
    const QWidget* parent = w->parentWidget();
    return parent ? parent->palette().color(parent->backgroundRole()) : controlColor(w);
}

void paintButton(QPainter& p, const QPushButton* b, const XPPaintContext& c, bool bitmapButton)
{
    const XPPaintState& s = c.state;
    const int tag = tagOf(b);
    const bool parentFace = bitmapButton ? hasTagBits(tag, kParentColorTag) : tag == kParentColorTag;
    const bool faceBorder = bitmapButton && hasTagBits(tag, kFaceBorderTag);
    const bool hot = s.Hot || (bitmapButton && s.SpaceDown);
    const QColor base = parentFace ? parentColor(b) : c.colors.btnFace;
    QColor face;
    if (hot)
        face = Lighten(base, XPPalette::HotTint);
    else
        face = parentFace ? Lighten(parentColor(b), XPPalette::ParentTint) : c.palette.IconFill;
    const QColor borderBase = (hot || s.Focused) ? Lighten(c.palette.SelectBorder, 60) : c.colors.btnShadow;

    const QRect r = b->rect();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(r, controlColor(b));
    p.setPen(faceBorder ? face : Lighten(borderBase, 30));
    p.setBrush(face);
    p.drawRoundedRect(r.adjusted(0, 0, -1, -1), 4, 4);
    if (b->isEnabled() && !faceBorder) {
        // The edge line: light from the bottom right, pressed in from the top left. The rounded
        // corners (4 pixels) are left out.
        const bool pressed = s.SpaceDown || (s.LeftButtonDown && s.Hot);
        const QColor edge = Shade(borderBase, 50);
        if (pressed) {
            p.fillRect(1, 3, 1, r.height() - 6, edge);
            p.fillRect(3, 1, r.width() - 6, 1, edge);
        } else {
            p.fillRect(r.width() - 2, 3, 1, r.height() - 6, edge);
            p.fillRect(3, r.height() - 2, r.width() - 6, 1, edge);
        }
    }
    p.setBrush(Qt::NoBrush);

    QRect area = r.adjusted(2, 2, -2, -2);
    if (bitmapButton && hasTagBits(tag, kInsetCaptionTag))
        area.translate(4, 2);
    if (!bitmapButton || b->icon().isNull()) {
        drawCaption(p, area, b->text(), b, c);
        return;
    }
    const QSize glyphSize = b->iconSize();
    QRect glyphRect, textRect;
    layoutGlyph(b, area, glyphSize, glyphRect, textRect);
    QImage glyph = b->icon().pixmap(glyphSize, 1.0).toImage();
    if (!b->isEnabled())
        glyph = XPColor::grayed(glyph, c.grayLevel);
    p.drawImage(glyphRect.topLeft(), glyph);
    drawCaption(p, textRect, b->text(), b, c);
}

void paintEdit(QPainter& p, const QWidget* edit, const XPPaintContext& c, bool hadFrame)
{
    const XPPaintState& s = c.state;
    const QColor own = controlColor(edit);
    QColor border;
    if (!hadFrame) {
        // An edit without a border shows one only while the mouse is over it.
        border = (s.Hot && !s.Focused) ? Lighten(XPColor::Average(own, parentColor(edit)), 40) : own;
    } else {
        border = (s.Hot || s.Focused) ? Lighten(c.palette.SelectBorder, 60) : Shade(parentColor(edit), 60);
    }
    frameRect(p, edit->rect(), border);
}

void paintFrame(QPainter& p, const QWidget* control, const XPPaintContext& c)
{
    paintEdit(p, control, c, true);
}

void paintCombo(QPainter& p, const QComboBox* combo, const QRect& rect, const XPPaintContext& c)
{
    const XPPaintState& s = c.state;
    // The combo box's colour is that of its edit field.
    const QColor own = combo->palette().color(QPalette::Base);
    const QColor parent = parentColor(combo);
    QColor border = own;
    QColor buttonFill
        = tagOf(combo) == kParentColorTag ? Lighten(parent, XPPalette::ParentTint) : c.colors.btnFace;
    QColor arrow = combo->isEnabled() ? QColor(Qt::black) : QColor(Qt::white);
    if (s.Hot) {
        border = c.palette.SelectBorder;
        buttonFill = c.palette.SelectFill;
    } else if (s.Focused) {
        border = Lighten(c.palette.SelectBorder, 60);
        buttonFill = c.palette.FocusFill;
    }
    if (s.DroppedDown) {
        border = c.palette.SelectBorder;
        buttonFill = c.palette.PressedFill;
        arrow = Qt::white;
    }

    // From the outside in: the parent's colour (with the top inner line), the combo's colour, the
    // border, which grows inwards by a pixel while hot or focused.
    const QRect r0 = rect;
    const QRect r1 = r0.adjusted(1, 1, -1, -1);
    const QRect r2 = r1.adjusted(1, 1, -1, -1);
    frameRect(p, r0, parent);
    frameRect(p, r1, own);
    p.fillRect(r1.left(), r1.top(), r1.width(), 1, parent);
    frameRect(p, r2, border);
    if (s.Hot || s.Focused || s.DroppedDown)
        frameRect(p, r2.adjusted(1, 1, -1, -1), border);

    // The drop-down button: as wide as a scroll bar's thumb plus one, at the reading end.
    const int width = combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, combo) + 1;
    const bool rtl = combo->layoutDirection() == Qt::RightToLeft;
    const QRect inner = r2.adjusted(1, 1, -1, -1);
    const QRect button = rtl ? QRect(inner.left(), inner.top(), width, inner.height())
                             : QRect(inner.right() - width + 1, inner.top(), width, inner.height());
    const QRect strip = rtl ? QRect(button.right() + 1, inner.top(), 5, inner.height())
                            : QRect(button.left() - 5, inner.top(), 5, inner.height());
    p.fillRect(button, buttonFill);
    p.fillRect(strip, own);
    const int lineX = rtl ? button.right() + 1 : button.left() - 1;
    p.fillRect(lineX, inner.top(), 1, inner.height(), border);

    // The arrow: lines of 5, 3 and 1 pixels, 10 pixels below the top, starting 10 pixels from the
    // right edge (5 from the left edge when reading right to left).
    const int x = rtl ? r0.left() + 5 : r0.right() + 1 - 10;
    const int y = r0.top() + 10;
    p.fillRect(x, y, 5, 1, arrow);
    p.fillRect(x + 1, y + 1, 3, 1, arrow);
    p.fillRect(x + 2, y + 2, 1, 1, arrow);
}

} // namespace vaskel::XPControlPainter
