#pragma once
// What the text search needs from the window that shows its results: the page the page counter
// shows, switching the page area's painting off while pages are drawn for searching, showing a
// hit, a status-line text, and a way for the user to stop a long search (Escape).
#include <QRect>
#include <QString>

namespace vaskel {

class SearchHost {
public:
    virtual ~SearchHost() = default;

    // The page the page counter shows, 1-based (0 when there are no pages).
    virtual int displayedPage() const = 0;
    virtual void setPaintingEnabled(bool enabled) = 0;
    // Makes page `pageIndex` (0-based) current, scrolls the hit into view and marks it; `bounds`
    // is the matching text run's box in report units from the paper's top-left corner.
    virtual void showHit(int pageIndex, const QRect& bounds) = 0;
    virtual void showStatus(const QString& text) = 0;
    // Lets pending window events be handled; true once the user asked the search to stop.
    virtual bool cancelRequested() = 0;
};

} // namespace vaskel
