#pragma once
// The changes a designer makes to a template, each one undoable: moving and resizing views,
// setting one field of a view, changing a page's paper and layout settings, removing and adding
// views. A command changes the template only in redo() and undo() and then tells the document
// which area of which page to repaint.
//
// Views that a command has taken out of their page live in the command until it is undone (or
// the stack drops it), so the views other commands point at stay valid for their whole life.
#include "report/model/TfrPage.h"
#include "report/model/ViewField.h"

#include <QRect>
#include <QUndoCommand>

#include <memory>
#include <vector>

namespace vaskel {

class DesignDocument;
class TfrPage;
class TfrView;

// One view's rectangle before and after, in report units.
struct GeometryChange {
    TfrView* view = nullptr;
    QRect before, after;
};

class GeometryCommand : public QUndoCommand {
public:
    GeometryCommand(DesignDocument& doc, const QString& text, std::vector<GeometryChange> changes);
    void redo() override;
    void undo() override;

private:
    void apply(bool forward);

    DesignDocument& m_doc;
    std::vector<GeometryChange> m_changes;
};

// Sets one field of a view through its kind's field table.
class FieldCommand : public QUndoCommand {
public:
    FieldCommand(DesignDocument& doc, TfrView* view, const ViewField* field, FieldValue before,
        FieldValue after, QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;

private:
    DesignDocument& m_doc;
    TfrView* m_view;
    const ViewField* m_field;
    FieldValue m_before, m_after;
};

// What a page's inspector changes: paper, margins, orientation, columns and flow.
struct PageSettings {
    qint32 PaperCode = 0, PaperSizeX = 0, PaperSizeY = 0;
    qint32 Margins[4] = {0, 0, 0, 0};
    quint8 PaperOrientation = 0;
    quint32 PaperSource = 0;
    qint32 Columns = 1, ColumnWidth = 0, ColumnGap = 0;
    bool PrintToPrevPage = false, MarginsFlag = true;

    static PageSettings of(const TfrPage& page);
    void applyTo(TfrPage& page) const;
    bool operator==(const PageSettings& o) const;
};

class PageCommand : public QUndoCommand {
public:
    PageCommand(DesignDocument& doc, TfrPage* page, PageSettings before, PageSettings after);
    void redo() override;
    void undo() override;

private:
    DesignDocument& m_doc;
    TfrPage* m_page;
    PageSettings m_before, m_after;
};

// Takes views out of their page (Delete, Cut); undo puts them back at their places in the order.
class RemoveViewsCommand : public QUndoCommand {
public:
    RemoveViewsCommand(DesignDocument& doc, TfrPage* page, const std::vector<TfrView*>& views);
    void redo() override;
    void undo() override;

private:
    DesignDocument& m_doc;
    TfrPage* m_page;
    std::vector<TfrView*> m_views;
    std::vector<std::pair<size_t, std::unique_ptr<TfrView>>> m_removed; // index in the page, view
};

// Appends new views to a page (Paste); undo takes them out again.
class AddViewsCommand : public QUndoCommand {
public:
    AddViewsCommand(DesignDocument& doc, TfrPage* page, std::vector<std::unique_ptr<TfrView>> views);
    void redo() override;
    void undo() override;
    const std::vector<TfrView*>& views() const { return m_views; }

private:
    DesignDocument& m_doc;
    TfrPage* m_page;
    std::vector<TfrView*> m_views;
    std::vector<std::unique_ptr<TfrView>> m_held; // while undone
};

// Appends an empty report page (the page a new sub-report prints); undone, it is taken off again.
class AddPageCommand : public QUndoCommand {
public:
    explicit AddPageCommand(DesignDocument& doc);
    void redo() override;
    void undo() override;
    // The page, also while undone.
    TfrPage* page() const { return m_page; }

private:
    DesignDocument& m_doc;
    TfrPage* m_page = nullptr;
    std::unique_ptr<TfrPage> m_held; // while undone
};

// Switches the report's two-pass preparing on or off (the total page count needs it).
class TwoPassCommand : public QUndoCommand {
public:
    TwoPassCommand(DesignDocument& doc, bool on);
    void redo() override;
    void undo() override;

private:
    DesignDocument& m_doc;
    bool m_on;
};

} // namespace vaskel
