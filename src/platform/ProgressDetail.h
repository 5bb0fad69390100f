#pragma once
// The second line of a progress window, which a report's script writes through PROGRESS while
// the first line counts pages. A progress window that has such a line implements this beside
// `ProgressControl`; the report looks for it on the window it runs in and writes nothing where
// there is none (headless runs).
#include <QString>

namespace vaskel {

class ProgressDetail {
public:
    virtual ~ProgressDetail() = default;
    // Emptied each time the window shows.
    virtual void setDetail(const QString& line) = 0;
};

} // namespace vaskel
