#pragma once
// What owns named components: the query window (and, for names of the form A.B, any window or
// data module known application-wide by name). Report datasets and field references are found
// through it; names are compared without regard to case.
#include <QString>

namespace vaskel {

class DatasetComponent;

class DatasetComponentOwner {
public:
    virtual ~DatasetComponentOwner() = default;

    // The owner's component of that name, or none.
    virtual DatasetComponent* findComponent(const QString& name) const = 0;

    // The window or data module of that name that the application knows, for names of the form
    // A.B and A.B.C. None by default.
    virtual DatasetComponentOwner* findApplicationOwner(const QString& name) const;
};

} // namespace vaskel
