#pragma once
// The designer's main window: a tab per template page (each a PageView with its canvas and
// rulers), the property inspector beside them, the data tree on the left, the Insert toolbar, and the
// commands of the menus and toolbar: open, save, save as (binary or JSON), preview, undo and redo, delete,
// copy and paste, select all, zoom, grid and snapping, align and same size. The title names the file
// ("Designer - FILE") and marks unsaved changes; closing with unsaved changes asks first. Questions, file
// dialogs and error messages go through the UI services, as everywhere in the program.
#include <QMainWindow>

#include <functional>
#include <vector>

class QActionGroup;
class QComboBox;
class QMenu;
class QLabel;
class QTabWidget;

namespace vaskel {

class DataTree;
class DesignDocument;
class PageCanvas;
class PageView;
class TfrPage;
class PropertyInspector;
class TfrView;

class DesignerWindow : public QMainWindow {
    Q_OBJECT
public:
    // The MIME type under which the clipboard holds views (the template's JSON form).
    static constexpr const char* kViewsMimeType = "application/x-vaskel-views+json";

    explicit DesignerWindow(QWidget* parent = nullptr);
    ~DesignerWindow() override;

    DesignDocument& document() { return *m_doc; }
    // Reads a template; false (and nothing changed) when the reader reported a problem.
    bool openFile(const QString& fileName);
    bool save();
    bool saveAs();

    PageCanvas* currentCanvas() const;
    PageView* currentView() const;
    PropertyInspector* inspector() const { return m_inspector; }
    DataTree* dataTree() const { return m_dataTree; }
    QTabWidget* pageTabs() const { return m_tabs; }

    void deleteSelection();
    void copySelection();
    void paste();
    // Zoom as a percentage (50 to 400); 0 fits the page's width.
    void setZoomPercent(int percent);
    // Arms the insert tool on the current page (type code 0 to 4, band kind for bands); -1 puts
    // it away. The toolbar's buttons call it.
    void chooseInsertTool(int typeCode, int bandKind = 0);
    // The band kinds the toolbar's band menu offers on the current page.
    QMenu* bandMenu() const { return m_bandMenu; }

    // Opens the editor of a view's text list ("Memo", "OnBeforePrint"), unless restricted.
    void editLines(TfrView* view, const QString& name);

    // What F9 does with the template's current state (the tools layer installs the preview run
    // on the chosen data); without it, F9 does nothing.
    std::function<void(DesignDocument&)> previewHandler;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildActions();
    void buildInsertBar();
    void fillBandMenu();
    void rebuildTabs();
    // A tab for `page`, the template's page number `index` (from 0), added at the end.
    void addPageTab(TfrPage* page, int index);
    void updateTitle();
    void selectionChanged();
    // Asks whether to save unsaved changes; false when the person cancelled.
    bool maybeSave();

    DesignDocument* m_doc;
    QTabWidget* m_tabs;
    PropertyInspector* m_inspector;
    DataTree* m_dataTree;
    QComboBox* m_zoom = nullptr;
    QLabel* m_position = nullptr;
    QActionGroup* m_insertGroup = nullptr;
    QMenu* m_bandMenu = nullptr;
    bool m_gridVisible = false;
    bool m_snapping = true;
    int m_zoomPercent = 100;
};

} // namespace vaskel
