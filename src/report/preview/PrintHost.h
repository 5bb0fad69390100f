#pragma once
// What the print command needs from the preview window: the page the page counter shows, the
// window that owns the dialogs, and handing the held pages to the report and taking them back.
class QWidget;

namespace vaskel {

class PrintHost {
public:
    virtual ~PrintHost() = default;

    // The page the page counter shows, 1-based.
    virtual int displayedPage() const = 0;
    virtual QWidget* dialogParent() = 0;
    // The held pages go back to the report's store (for printing or preparing again).
    virtual void releasePages() = 0;
    // The window takes the report's pages (again) and shows them from where it was.
    virtual void connectReport() = 0;
};

} // namespace vaskel
