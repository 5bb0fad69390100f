#include "platform/PrinterBackend.h"

namespace vaskel {

PrinterBackend::~PrinterBackend() = default;

QPagedPaintDevice* PrinterBackend::jobDevice(const QString&)
{
    return nullptr;
}

QString PrinterBackend::jobError() const
{
    return QString();
}

} // namespace vaskel
