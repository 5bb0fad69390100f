#include "report/model/MemoPainter.h"

#include "platform/Rounding.h"
#include "report/model/MemoWrapper.h"
#include "report/model/ReportColor.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrMemoView.h"

#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace vaskel {

namespace {

int countBlanks(const QString& line)
{
    int n = 0;
    for (QChar c : line)
        n += (c == u' ' || c == QChar(0xA0)) ? 1 : 0;
    return n;
}

// Drops the paragraph mark; a line that had one (or is empty) closes its paragraph.
bool takeParagraphEnd(QString& line)
{
    if (line.endsWith(MemoWrapper::kParagraphMark)) {
        line.chop(1);
        return true;
    }
    return line.isEmpty();
}

} // namespace

MemoPainter::MemoPainter(TfrMemoView& memo, QPainter& canvas, bool printMode)
    : m_memo(memo), m_adapter(canvas), m_printMode(printMode)
{
}

void MemoPainter::selectDrawFont(bool rotated)
{
    const ReportFont& f = m_memo.Font;
    int height;
    if (m_memo.ForPrinter) {
        const QPaintDevice* device = m_adapter.painter().device();
        const int dpi = device ? device->logicalDpiY() : 96;
        height = roundToInt(f.Size * double(dpi) / 72.0);
    } else {
        const double h = f.Size * 96.0 / 72.0 * m_memo.ZoomY;
        height = m_memo.ZoomY == 1.0 ? roundToInt(h) : int(std::trunc(h));
    }
    m_adapter.setFont(DrawFont::select(f.Name, qMax(1, height), f.Style, rotated));
    m_adapter.setTextColor(ReportColor::toQColor(f.Color));
    m_adapter.setBackground(false);
}

void MemoPainter::drawUnderlines()
{
    TfrMemoView& m = m_memo;
    selectDrawFont(false);
    m_adapter.setPen(ReportColor::toQColor(m.FrameColor), roundToInt(m.FrameWidth));
    const int pitch = roundToInt(m.LineSpacing * m.ZoomY) + charHeight();
    if (pitch <= 0)
        return;
    const int offset = roundToInt(2 * m.ZoomY) + charHeight();
    for (int i = 0; i < m.Height / pitch; ++i) {
        const int y = m.Top + m.GapY + i * pitch + offset;
        m_adapter.drawLine(QPoint(m.Left, y), QPoint(m.Left + m.Width - 1, y));
    }
}

void MemoPainter::drawText()
{
    TfrMemoView& m = m_memo;
    const bool rotated = (m.Alignment & frtaVertical) != 0;
    selectDrawFont(false);
    m_adapter.setCharacterExtra(roundToInt(m.CharSpacing * m.ZoomX));
    const ReportRect& d = m.DrawRect;
    const QRect clip(QPoint(d.Left + 1, d.Top), QPoint(d.Right - 3, d.Bottom - 2));
    m.TextExtent = roundToInt(m.TextExtent * m.ZoomY);

    const qint32 savedLeft = m.Left;
    const qint32 savedTop = m.Top;
    const quint32 savedAlignment = m.Alignment;
    const quint32 vertical = m.Alignment & (frtaMiddle | frtaDown);
    if (vertical == frtaMiddle || vertical == frtaDown) {
        m.Alignment &= ~quint32(frtaMiddle | frtaDown);
        if (rotated) {
            if (vertical == frtaMiddle)
                m.Left += (d.Right - d.Left - m.TextExtent) / 2;
            else
                m.Left = d.Right - m.TextExtent;
        } else if (!m.FitOnly) {
            if (vertical == frtaMiddle)
                m.Top += (d.Bottom - d.Top - m.TextExtent) / 2;
            else
                m.Top = d.Bottom - m.TextExtent - 1;
        }
    }

    if (rotated)
        drawTurned(clip);
    else
        drawHorizontal(clip);

    m.Left = savedLeft;
    m.Top = savedTop;
    m.Alignment = savedAlignment;
}

void MemoPainter::drawHorizontal(const QRect& clip)
{
    TfrMemoView& m = m_memo;
    const ReportRect& d = m.DrawRect;
    int y = m.Top + m.GapY;
    const int pitch = roundToInt(m.LineSpacing * m.ZoomY) + charHeight();
    m.LinesOut = 0;

    quint32 align = m.Alignment & 3;
    // A lone expression too wide for the design view shows its end, where its name usually is.
    if (!m_printMode && m.ExpandedText.size() == 1 && m.ExpandedText[0].startsWith(u'[')
        && m_adapter.textWidth(m.ExpandedText[0]) > clip.width())
        align = frtaRight;

    const int inner = d.Right - d.Left - 2 * m.GapX;
    for (QString line : m.ExpandedText) {
        if (m.FitOnly && clip.bottom() + 1 < y + pitch)
            break;
        const bool last = takeParagraphEnd(line);
        // Only aligned and justified lines need their width; a left-aligned line is not measured.
        const int lineWidth = align == frtaLeft ? 0 : m_adapter.textWidth(line);
        DrawingAdapter::TextOptions options = lineOptions(clip);
        int x = m.Left + m.GapX;
        switch (align) {
        case frtaRight:
            x = d.Right + m.Left - d.Left - m.GapX - lineWidth - 1;
            break;
        case frtaCenter:
            x = m.Left + m.GapX + (inner - lineWidth) / 2;
            break;
        case 3:
            if (!last && countBlanks(line) > 0)
                options.justifySpare = inner - lineWidth;
            break;
        default:
            break;
        }
        m_adapter.drawText(QPoint(x, y), line, options);
        ++m.LinesOut;
        y += pitch;
    }
}

DrawingAdapter::TextOptions MemoPainter::lineOptions(const QRect& clip) const
{
    DrawingAdapter::TextOptions options;
    options.clipped = true;
    options.clip = clip;
    options.rightToLeft = (m_memo.Flags & MemoFlags::RTLReading) != 0;
    return options;
}

void MemoPainter::drawTurned(const QRect& clip)
{
    TfrMemoView& m = m_memo;
    const ReportRect& d = m.DrawRect;
    selectDrawFont(true);
    int x = m.Left + m.GapX;
    const int pitch = roundToInt(m.LineSpacing * m.ZoomX) + charHeight();
    m.LinesOut = 0;
    const int inner = d.Bottom - d.Top - 2 * m.GapY;
    for (QString line : m.ExpandedText) {
        const bool last = takeParagraphEnd(line);
        const int lineWidth = m_adapter.textWidth(line);
        DrawingAdapter::TextOptions options = lineOptions(clip);
        int y;
        switch (m.Alignment & 7) {
        case frtaVertical | frtaRight:
            y = lineWidth + m.Top + m.GapY;
            break;
        case frtaVertical | frtaCenter:
            y = d.Bottom - m.GapY - (inner - lineWidth) / 2 - 1;
            break;
        case frtaVertical | 3:
            y = d.Bottom + m.Top - d.Top - m.GapY;
            if (!last && countBlanks(line) > 0)
                options.justifySpare = inner - lineWidth;
            break;
        default:
            y = d.Bottom - m.GapY;
            break;
        }
        m_adapter.drawText(QPoint(x, y), line, options);
        ++m.LinesOut;
        x += pitch;
    }
}

} // namespace vaskel
