#include "report/engine/LayoutGuards.h"

#include "platform/PlatformError.h"
#include "report/engine/TfrBand.h"
#include "report/model/TfrBandView.h"

#include <QSet>
#include <QStringList>

namespace vaskel::LayoutGuards {

namespace {

QString nameOf(const TfrBand& band)
{
    return band.BandView ? band.BandView->Name : QStringLiteral("(band)");
}

} // namespace

void checkChildBandLoops(const std::vector<TfrBand*>& bands)
{
    QSet<const TfrBand*> cleared; // bands whose chain of children is known to end
    for (const TfrBand* start : bands) {
        QList<const TfrBand*> path;
        for (const TfrBand* b = start; b && !cleared.contains(b); b = b->ChildLink) {
            if (const qsizetype at = path.indexOf(b); at >= 0) {
                QStringList names;
                for (qsizetype i = at; i < path.size(); ++i)
                    names << nameOf(*path.at(i));
                names << nameOf(*b);
                throw VaskelError(
                    QStringLiteral("Child bands form a loop: %1").arg(names.join(QLatin1String(" -> "))));
            }
            path << b;
        }
        for (const TfrBand* b : path)
            cleared.insert(b);
    }
}

void checkRoomOnPage(const TfrBand& band, qint32 room)
{
    if (room < 1)
        throw VaskelError(QStringLiteral("No room on the page for band %1").arg(nameOf(band)));
}

} // namespace vaskel::LayoutGuards
