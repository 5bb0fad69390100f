#pragma once
// A graphic push button with a glyph and an optional caption, used by the preview window's
// toolbar and page buttons and by the print dialog. It can latch in groups (buttons of one parent
// with the same non-zero GroupIndex), and can be drawn flat: with GrayedInactive its glyph stays
// grey until the mouse is over it, and a one-pixel frame shows where the mouse is.
//
// Glyphs are either bitmaps holding NumGlyphs images side by side (up, disabled, pressed, latched;
// the bottom-left pixel's colour is transparent), or SVG drawings, which are rendered at the
// screen's device pixel ratio so that they stay crisp on HiDPI screens. The disabled and grey
// images are derived from the up image once per state and device pixel ratio.
#include <QByteArray>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <map>

namespace vaskel {

class TfrSpeedButton : public QWidget {
    Q_OBJECT
public:
    // Drawing states; the numbers are the ones the glyph images are indexed by.
    enum class State : int { Up = 0, Disabled = 1, Pressed = 2, Latched = 3, Inactive = 4 };
    enum class GlyphLayout { GlyphLeft, GlyphRight, GlyphTop, GlyphBottom };

    explicit TfrSpeedButton(QWidget* parent = nullptr);

    bool AllowAllUp() const { return m_allowAllUp; }
    void setAllowAllUp(bool on);
    int GroupIndex() const { return m_groupIndex; }
    void setGroupIndex(int index);
    bool Down() const { return m_down; }
    void setDown(bool down);
    bool Flat() const { return m_flat; }
    void setFlat(bool flat);
    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    bool GrayedInactive() const { return m_grayedInactive; }
    void setGrayedInactive(bool on);
    GlyphLayout Layout() const { return m_layout; }
    void setLayout(GlyphLayout layout);
    int Margin() const { return m_margin; }
    void setMargin(int margin); // -1: glyph and caption centred; below -1 ignored
    int Spacing() const { return m_spacing; }
    void setSpacing(int spacing);
    int NumGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int n); // 1 to 4

    // A bitmap of NumGlyphs images side by side; a width that is a whole multiple (below 5) of
    // the height sets NumGlyphs.
    const QImage& Glyph() const { return m_glyph; }
    void setGlyph(const QImage& glyph);
    // An SVG drawing of `size` logical pixels (the preview's glyphs, from data/glyphs).
    void setSvgGlyph(const QByteArray& svg, QSize size = QSize(16, 16));

    // What the button draws now, and whether it thinks the mouse is over it.
    State drawState() const;
    bool mouseOver() const { return m_mouseOver; }
    // The glyph image of a state at a device pixel ratio (cached), as it is drawn.
    QImage stateImage(State state, qreal dpr) const;

    // Clicks as a press and release inside would.
    void click();

signals:
    void clicked();
    void doubleClicked();
    void mouseEntered();
    void mouseLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    QImage baseImage(int index, qreal dpr) const;
    void releaseOthersInGroup();
    void updateShortcut();
    void setState(State state);

    bool m_allowAllUp = false;
    int m_groupIndex = 0;
    bool m_down = false;
    bool m_flat = false;
    QString m_caption;
    bool m_grayedInactive = true;
    GlyphLayout m_layout = GlyphLayout::GlyphLeft;
    int m_margin = -1;
    int m_spacing = 4;
    int m_numGlyphs = 1;
    QImage m_glyph;
    QByteArray m_svg;
    QSize m_svgSize;

    State m_state = State::Up;
    bool m_dragging = false;
    bool m_mouseOver = false;
    int m_shortcutId = 0;
    // Derived glyph images by (state, device pixel ratio × 100); dropped when the glyph changes.
    mutable std::map<std::pair<int, int>, QImage> m_imageCache;
};

} // namespace vaskel
