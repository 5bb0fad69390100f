#include "platform/RecordingDevice.h"

#include "platform/RecordingPaintEngine.h"

namespace vaskel {

RecordingDevice::RecordingDevice(QSize size, int dotsPerInch)
    : m_size(size), m_dotsPerInch(dotsPerInch), m_engine(std::make_unique<RecordingPaintEngine>(*this))
{
}

RecordingDevice::~RecordingDevice() = default;

QPaintEngine* RecordingDevice::paintEngine() const
{
    return m_engine.get();
}

std::vector<RecordedOperation> RecordingDevice::textRuns() const
{
    std::vector<RecordedOperation> runs;
    for (const RecordedOperation& op : m_operations)
        if (op.kind == RecordedOperation::Kind::Text)
            runs.push_back(op);
    return runs;
}

void RecordingDevice::clear()
{
    m_operations.clear();
}

int RecordingDevice::record(RecordedOperation::Kind kind, const QRect& bounds, const QString& text)
{
    if (m_operations.empty() && kind != RecordedOperation::Kind::Header)
        record(RecordedOperation::Kind::Header, QRect(QPoint(0, 0), m_size));
    const int index = int(m_operations.size());
    m_operations.push_back({index, kind, bounds, text});
    return index;
}

int RecordingDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_size.width();
    case PdmHeight:
        return m_size.height();
    case PdmWidthMM:
        return int(m_size.width() * 25.4 / m_dotsPerInch);
    case PdmHeightMM:
        return int(m_size.height() * 25.4 / m_dotsPerInch);
    case PdmNumColors:
        return INT_MAX;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return m_dotsPerInch;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    }
    return 0;
}

} // namespace vaskel
