#include "report/engine/DatasetComponentOwner.h"

namespace vaskel {

DatasetComponentOwner* DatasetComponentOwner::findApplicationOwner(const QString&) const
{
    return nullptr;
}

} // namespace vaskel
