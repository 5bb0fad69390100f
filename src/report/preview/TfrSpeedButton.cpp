#include "report/preview/TfrSpeedButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QShortcutEvent>
#include <QSvgRenderer>
#include <qdrawutil.h>

namespace vaskel {

namespace {

int dprKey(qreal dpr)
{
    return qRound(dpr * 100);
}

// Sets the alpha of every pixel of `colour` to 0: the bitmap glyph's transparent colour.
void makeTransparent(QImage& image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == (colour & 0xFFFFFF))
                line[x] = 0;
        }
    }
}

// The glyph's shape as the disabled look sees it: covered pixels that are not white.
bool inShape(QRgb p)
{
    return qAlpha(p) >= 128 && !(qRed(p) >= 240 && qGreen(p) >= 240 && qBlue(p) >= 240);
}

// The embossed look of a disabled button: the shape in the highlight colour one pixel right and
// down, then in the shadow colour in place.
QImage embossed(const QImage& up, const QPalette& palette)
{
    const int shift = qMax(1, qRound(up.devicePixelRatio()));
    QImage out(up.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    const QRgb light = palette.color(QPalette::Light).rgb();
    const QRgb dark = palette.color(QPalette::Dark).rgb();
    for (int y = 0; y < up.height(); ++y) {
        for (int x = 0; x < up.width(); ++x) {
            if (!inShape(up.pixel(x, y)))
                continue;
            if (x + shift < out.width() && y + shift < out.height()
                && !inShape(up.pixel(x + shift, y + shift)))
                out.setPixel(x + shift, y + shift, light);
            out.setPixel(x, y, dark);
        }
    }
    out.setDevicePixelRatio(up.devicePixelRatio());
    return out;
}

// A disabled image of its own: white becomes the highlight colour, grey the shadow colour.
QImage recoloured(const QImage& image, const QPalette& palette)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x] & 0xFFFFFF;
            if (p == 0xFFFFFF)
                line[x] = palette.color(QPalette::Light).rgb();
            else if (p == 0x808080)
                line[x] = palette.color(QPalette::Dark).rgb();
        }
    }
    return out;
}

// The inactive look: every pixel in its own grey, except transparent and button-face pixels.
QImage greyed(const QImage& image, const QPalette& palette)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb face = palette.color(QPalette::Button).rgb() & 0xFFFFFF;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x];
            if (qAlpha(p) == 0 || (p & 0xFFFFFF) == face)
                continue;
            const int g = (77 * qRed(p) + 150 * qGreen(p) + 29 * qBlue(p)) / 256;
            line[x] = qRgba(g, g, g, qAlpha(p));
        }
    }
    return out;
}

} // namespace

TfrSpeedButton::TfrSpeedButton(QWidget* parent) : QWidget(parent)
{
    resize(22, 22);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
}

void TfrSpeedButton::setAllowAllUp(bool on)
{
    m_allowAllUp = on;
}

void TfrSpeedButton::setGroupIndex(int index)
{
    m_groupIndex = index;
    if (m_groupIndex == 0 && m_down) {
        m_down = false;
        setState(State::Up);
    }
}

void TfrSpeedButton::setDown(bool down)
{
    if (m_groupIndex == 0)
        down = false; // only a button of a group can stay down
    if (down == m_down)
        return;
    if (m_down && !m_allowAllUp)
        return;
    m_down = down;
    if (down)
        releaseOthersInGroup();
    setState(down ? State::Latched : State::Up);
}

void TfrSpeedButton::releaseOthersInGroup()
{
    if (!parentWidget())
        return;
    for (auto* other : parentWidget()->findChildren<TfrSpeedButton*>(Qt::FindDirectChildrenOnly)) {
        if (other == this || other->m_groupIndex != m_groupIndex)
            continue;
        other->m_allowAllUp = m_allowAllUp;
        if (other->m_down) {
            other->m_down = false;
            other->setState(State::Up);
        }
    }
}

void TfrSpeedButton::setFlat(bool flat)
{
    m_flat = flat;
    update();
}

void TfrSpeedButton::setCaption(const QString& caption)
{
    m_caption = caption;
    updateShortcut();
    update();
}

void TfrSpeedButton::setGrayedInactive(bool on)
{
    m_grayedInactive = on;
    update();
}

void TfrSpeedButton::setLayout(GlyphLayout layout)
{
    m_layout = layout;
    update();
}

void TfrSpeedButton::setMargin(int margin)
{
    if (margin < -1)
        return;
    m_margin = margin;
    update();
}

void TfrSpeedButton::setSpacing(int spacing)
{
    m_spacing = spacing;
    update();
}

void TfrSpeedButton::setNumGlyphs(int n)
{
    m_numGlyphs = qBound(1, n, 4);
    m_imageCache.clear();
    update();
}

void TfrSpeedButton::setGlyph(const QImage& glyph)
{
    m_glyph = glyph.convertToFormat(QImage::Format_ARGB32);
    m_svg.clear();
    m_imageCache.clear();
    if (!glyph.isNull() && glyph.height() > 0 && glyph.width() % glyph.height() == 0) {
        const int n = glyph.width() / glyph.height();
        m_numGlyphs = n < 5 ? n : 1;
    }
    update();
}

void TfrSpeedButton::setSvgGlyph(const QByteArray& svg, QSize size)
{
    m_svg = svg;
    m_svgSize = size;
    m_glyph = QImage();
    m_numGlyphs = 1;
    m_imageCache.clear();
    update();
}

TfrSpeedButton::State TfrSpeedButton::drawState() const
{
    if (!isEnabled())
        return State::Disabled;
    if (m_grayedInactive && m_flat && !m_mouseOver)
        return State::Inactive;
    return m_state;
}

QImage TfrSpeedButton::baseImage(int index, qreal dpr) const
{
    if (!m_svg.isEmpty()) {
        QSvgRenderer renderer(m_svg);
        QImage image((QSizeF(m_svgSize) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        renderer.render(&p);
        p.end();
        image = image.convertToFormat(QImage::Format_ARGB32);
        image.setDevicePixelRatio(dpr);
        return image;
    }
    if (m_glyph.isNull())
        return {};
    const int w = m_glyph.width() / m_numGlyphs;
    QImage image = m_glyph.copy((index < m_numGlyphs ? index : 0) * w, 0, w, m_glyph.height());
    makeTransparent(image, image.pixel(0, image.height() - 1));
    return image;
}

QImage TfrSpeedButton::stateImage(State state, qreal dpr) const
{
    const auto key = std::make_pair(static_cast<int>(state), dprKey(dpr));
    if (auto it = m_imageCache.find(key); it != m_imageCache.end())
        return it->second;
    QImage image;
    switch (state) {
    case State::Disabled:
        image = m_numGlyphs >= 2 ? recoloured(baseImage(1, dpr), palette())
                                 : embossed(baseImage(0, dpr), palette());
        break;
    case State::Inactive:
        image = greyed(baseImage(0, dpr), palette());
        break;
    default:
        image = baseImage(static_cast<int>(state), dpr);
        break;
    }
    m_imageCache[key] = image;
    return image;
}

void TfrSpeedButton::paintEvent(QPaintEvent*)
{
    const State remembered = m_state;
    State draw = drawState();
    if (draw == State::Disabled)
        m_dragging = false;
    QPainter p(this);
    const QPalette& pal = palette();
    const QRect r = rect();
    const bool enabled = isEnabled();
    int shift = 0;
    if (m_flat) {
        p.fillRect(r, pal.button());
        if (draw == State::Pressed)
            shift = 1;
    } else {
        const bool sunken = draw == State::Pressed || draw == State::Latched;
        qDrawWinButton(&p, r, pal, sunken, &pal.button());
        if (sunken)
            shift = 1;
    }
    // The latched look: a fine white pattern over the button face.
    const bool latchedLook
        = (!m_flat && draw == State::Latched) || (m_flat && enabled && m_down && !m_mouseOver);
    if (latchedLook)
        p.fillRect(r.adjusted(1, 1, -1, -1), QBrush(pal.color(QPalette::Light), Qt::Dense4Pattern));

    // Glyph and caption, placed by Layout, Margin and Spacing (logical pixels).
    const QImage glyph = stateImage(draw, devicePixelRatioF());
    const QSize gs = glyph.isNull() ? QSize() : (QSizeF(glyph.size()) / glyph.devicePixelRatio()).toSize();
    const QString text = QString(m_caption).remove(QRegularExpression(QStringLiteral("&(?!&)")));
    const QSize ts = text.isEmpty() ? QSize() : fontMetrics().size(Qt::TextSingleLine, text);
    const bool horizontal = m_layout == GlyphLayout::GlyphLeft || m_layout == GlyphLayout::GlyphRight;
    const int gap = (gs.isEmpty() || ts.isEmpty()) ? 0 : m_spacing;
    const int total = horizontal ? gs.width() + gap + ts.width() : gs.height() + gap + ts.height();
    const int room = horizontal ? r.width() : r.height();
    const int start = m_margin < 0 ? (room - total) / 2 : m_margin;
    QPoint gp, tp;
    if (horizontal) {
        const bool glyphFirst = m_layout == GlyphLayout::GlyphLeft;
        const int gx = glyphFirst ? start : start + ts.width() + gap;
        const int tx = glyphFirst ? start + gs.width() + gap : start;
        gp = QPoint(gx, (r.height() - gs.height()) / 2);
        tp = QPoint(tx, (r.height() - ts.height()) / 2);
    } else {
        const bool glyphFirst = m_layout == GlyphLayout::GlyphTop;
        const int gy = glyphFirst ? start : start + ts.height() + gap;
        const int ty = glyphFirst ? start + gs.height() + gap : start;
        gp = QPoint((r.width() - gs.width()) / 2, gy);
        tp = QPoint((r.width() - ts.width()) / 2, ty);
    }
    if (!glyph.isNull())
        p.drawImage(gp + QPoint(shift, shift), glyph);
    if (!text.isEmpty()) {
        const QRect tr(tp + QPoint(shift, shift), ts);
        if (!enabled) {
            p.setPen(pal.color(QPalette::Light));
            p.drawText(tr.translated(1, 1), Qt::AlignCenter, text);
            p.setPen(pal.color(QPalette::Dark));
        } else {
            p.setPen(pal.color(QPalette::ButtonText));
        }
        p.drawText(tr, Qt::AlignCenter, text);
    }

    // The flat button's frame where the mouse is, or while it stays down.
    if (m_flat && enabled && (m_mouseOver || m_down)) {
        const bool sunken = remembered == State::Pressed || remembered == State::Latched;
        qDrawShadeRect(&p, r, pal, sunken, 1);
    }
}

void TfrSpeedButton::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    update();
}

void TfrSpeedButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    if (!m_down)
        setState(State::Pressed);
    m_dragging = true;
}

void TfrSpeedButton::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    const QPoint pos = event->position().toPoint();
    const bool inside = pos.x() >= 0 && pos.x() < width() && pos.y() >= 0 && pos.y() <= height();
    setState(m_down ? State::Latched : (inside ? State::Pressed : State::Up));
}

void TfrSpeedButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    const QPoint pos = event->position().toPoint();
    const bool inside = pos.x() >= 0 && pos.x() < width() && pos.y() >= 0 && pos.y() <= height();
    if (m_groupIndex == 0) {
        setState(State::Up);
        m_mouseOver = false;
    } else if (inside) {
        setDown(!m_down);
        setState(m_down ? State::Latched : State::Up);
    } else {
        setState(m_down ? State::Latched : State::Up);
    }
    if (m_flat)
        m_mouseOver = isEnabled() && rect().contains(mapFromGlobal(QCursor::pos()));
    update();
    if (inside)
        emit clicked();
}

void TfrSpeedButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_down)
        emit doubleClicked();
    else
        mousePressEvent(event); // a quick second click of a plain button is a click too
}

void TfrSpeedButton::enterEvent(QEnterEvent*)
{
    if (!m_flat || !isEnabled())
        return;
    m_mouseOver = true;
    emit mouseEntered();
    update();
}

void TfrSpeedButton::leaveEvent(QEvent*)
{
    if (!m_flat || !isEnabled())
        return;
    m_mouseOver = false;
    emit mouseLeft();
    update();
}

void TfrSpeedButton::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (isEnabled() && m_state != State::Pressed)
            m_state = m_down ? State::Latched : State::Up;
        if (!isEnabled())
            m_mouseOver = false;
        update();
        break;
    case QEvent::PaletteChange:
        m_imageCache.clear();
        update();
        break;
    case QEvent::FontChange:
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void TfrSpeedButton::updateShortcut()
{
    if (m_shortcutId)
        releaseShortcut(m_shortcutId);
    m_shortcutId = 0;
    const QKeySequence key = QKeySequence::mnemonic(m_caption);
    if (!key.isEmpty())
        m_shortcutId = grabShortcut(key);
}

bool TfrSpeedButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut
        && static_cast<QShortcutEvent*>(event)->shortcutId() == m_shortcutId) {
        if (isEnabled())
            click();
        return true;
    }
    return QWidget::event(event);
}

void TfrSpeedButton::click()
{
    if (!isEnabled())
        return;
    if (m_groupIndex != 0)
        setDown(!m_down);
    emit clicked();
}

} // namespace vaskel
