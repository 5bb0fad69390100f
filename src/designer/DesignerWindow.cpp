#include "designer/DesignerWindow.h"

#include "designer/DataTree.h"
#include "designer/DesignCommands.h"
#include "designer/DesignDocument.h"
#include "designer/DictionaryEditor.h"
#include "designer/PageCanvas.h"
#include "designer/PageView.h"
#include "designer/PropertyInspector.h"
#include "designer/TextEditDialog.h"
#include "designer/ViewInsertion.h"
#include "platform/PlatformGlobals.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrPrinter.h"
#include "report/model/TfrView.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

namespace vaskel {

namespace {

UiServices& ui()
{
    return PlatformGlobals::get().ui();
}

const int kZoomSteps[] = {50, 75, 100, 150, 200, 300, 400};

} // namespace

DesignerWindow::DesignerWindow(QWidget* parent)
    : QMainWindow(parent),
      m_doc(new DesignDocument(this)),
      m_tabs(new QTabWidget(this)),
      m_inspector(new PropertyInspector(*m_doc, this)),
      m_dataTree(new DataTree(*m_doc, this))
{
    setObjectName(QStringLiteral("DesignerWindow"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_tabs->setObjectName(QStringLiteral("pages"));
    m_tabs->setTabPosition(QTabWidget::South);
    setCentralWidget(m_tabs);
    auto* dock = new QDockWidget(tr("Properties"), this);
    dock->setObjectName(QStringLiteral("propertiesDock"));
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    dock->setWidget(m_inspector);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    auto* dataDock = new QDockWidget(tr("Data"), this);
    dataDock->setObjectName(QStringLiteral("dataDock"));
    dataDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    dataDock->setWidget(m_dataTree);
    addDockWidget(Qt::LeftDockWidgetArea, dataDock);
    m_position = new QLabel(this);
    statusBar()->addPermanentWidget(m_position);

    m_inspector->completions = [this] { return m_dataTree->completions(); };
    m_inspector->datasetNames = [this] { return m_dataTree->datasetNames(); };
    buildActions();
    buildInsertBar();
    connect(m_doc, &DesignDocument::reset, this, &DesignerWindow::rebuildTabs);
    connect(m_doc, &DesignDocument::pageAppended, this, [this](TfrPage* page) {
        addPageTab(page, m_tabs->count());
        setZoomPercent(m_zoomPercent);
    });
    connect(m_doc, &DesignDocument::lastPageRemoved, this, [this] {
        const int last = m_tabs->count() - 1;
        if (last < 0)
            return;
        QWidget* w = m_tabs->widget(last);
        if (m_tabs->currentIndex() == last)
            m_inspector->inspect(nullptr, {});
        m_tabs->removeTab(last);
        // Not at once: the undo may come from within the page's own key or mouse handling.
        w->deleteLater();
    });
    connect(&m_doc->undoStack(), &QUndoStack::cleanChanged, this, &DesignerWindow::updateTitle);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
        // A tool chosen on another page is put away.
        if (QAction* checked = m_insertGroup ? m_insertGroup->checkedAction() : nullptr)
            checked->setChecked(false);
        else
            chooseInsertTool(-1);
        setZoomPercent(m_zoomPercent);
        selectionChanged();
    });
    connect(m_inspector, &PropertyInspector::editLinesRequested, this, &DesignerWindow::editLines);
    rebuildTabs();
    resize(1100, 800);
}

DesignerWindow::~DesignerWindow()
{
    // The tabs point into the document's pages: they go first; the title no longer follows the
    // undo stack, which the document clears as it goes.
    disconnect(&m_doc->undoStack(), nullptr, this, nullptr);
    delete m_tabs;
}

void DesignerWindow::buildActions()
{
    auto add = [this](QMenu* menu, const QString& text, const QList<QKeySequence>& keys, auto slot) {
        QAction* a = menu->addAction(text);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu* file = menuBar()->addMenu(tr("&File"));
    add(file, tr("&Open…"), {QKeySequence::Open}, [this] {
        if (!maybeSave())
            return;
        const QString name = ui().openFileName(tr("Open template"), QFileInfo(m_doc->fileName()).path(),
            tr("Report templates (*.frf);;Templates as JSON (*.json)"));
        if (!name.isEmpty())
            openFile(name);
    });
    add(file, tr("&Save"), {QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { save(); });
    add(file, tr("Save &as…"), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}, [this] { saveAs(); });
    file->addSeparator();
    add(file, tr("&Preview"), {QKeySequence(Qt::Key_F9)}, [this] {
        if (previewHandler)
            previewHandler(*m_doc);
    });
    file->addSeparator();
    add(file, tr("&Dictionary…"), {QKeySequence(Qt::CTRL | Qt::Key_D)}, [this] {
        DictionaryEditor editor(*m_doc, m_dataTree->completions(), this);
        editor.exec();
    })->setObjectName(QStringLiteral("dictionary"));
    QAction* twoPass = add(file, tr("&Two passes (for the total page count)"), {}, [this](bool on) {
        if (on != m_doc->holder().TwoPass)
            m_doc->undoStack().push(new TwoPassCommand(*m_doc, on));
    });
    twoPass->setObjectName(QStringLiteral("twoPass"));
    twoPass->setCheckable(true);
    // The check follows the template (a file read, an undo).
    auto showTwoPass = [this, twoPass] { twoPass->setChecked(m_doc->holder().TwoPass); };
    connect(m_doc, &DesignDocument::reset, twoPass, showTwoPass);
    connect(m_doc, &DesignDocument::changed, twoPass, showTwoPass);
    file->addSeparator();
    add(file, tr("&Close"), {QKeySequence(Qt::CTRL | Qt::Key_W)}, [this] { close(); });

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    QAction* undo = m_doc->undoStack().createUndoAction(this, tr("&Undo"));
    undo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    QAction* redo = m_doc->undoStack().createRedoAction(this, tr("&Redo"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    add(edit, tr("&Copy"), {QKeySequence(Qt::CTRL | Qt::Key_C)}, [this] { copySelection(); });
    add(edit, tr("&Paste"), {QKeySequence(Qt::CTRL | Qt::Key_V)}, [this] { paste(); });
    add(edit, tr("&Delete"), {QKeySequence(Qt::Key_Delete)}, [this] { deleteSelection(); });
    add(edit, tr("Select &all"), {QKeySequence(Qt::CTRL | Qt::Key_A)}, [this] {
        if (PageCanvas* c = currentCanvas()) {
            std::vector<TfrView*> all;
            for (const auto& v : c->page()->ObjectList)
                all.push_back(v.get());
            c->setSelection(all);
        }
    });

    QMenu* view = menuBar()->addMenu(tr("&View"));
    QAction* grid = add(view, tr("Show &grid"), {QKeySequence(Qt::CTRL | Qt::Key_G)}, [this](bool on) {
        m_gridVisible = on;
        if (PageCanvas* c = currentCanvas())
            c->setGridVisible(on);
    });
    grid->setCheckable(true);
    QAction* snap = add(view, tr("&Snap to grid and edges"), {}, [this](bool on) {
        m_snapping = on;
        if (PageCanvas* c = currentCanvas())
            c->setSnapping(on);
    });
    snap->setCheckable(true);
    snap->setChecked(true);
    add(view, tr("Zoom &in"), {QKeySequence::ZoomIn}, [this] {
        for (int z : kZoomSteps)
            if (z > m_zoomPercent && m_zoomPercent > 0)
                return setZoomPercent(z);
    });
    add(view, tr("Zoom &out"), {QKeySequence::ZoomOut}, [this] {
        for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
            if (*it < m_zoomPercent)
                return setZoomPercent(*it);
    });

    QMenu* arrange = menuBar()->addMenu(tr("&Arrange"));
    using A = PageCanvas::Align;
    const std::pair<QString, A> aligns[] = {{tr("Align &left edges"), A::Lefts},
        {tr("Align &right edges"), A::Rights}, {tr("Align &top edges"), A::Tops},
        {tr("Align &bottom edges"), A::Bottoms}, {tr("Centre &horizontally"), A::HorizontalCentres},
        {tr("Centre &vertically"), A::VerticalCentres}};
    for (const auto& [text, how] : aligns)
        add(arrange, text, {}, [this, how = how] {
            if (PageCanvas* c = currentCanvas())
                c->alignSelection(how);
        });
    arrange->addSeparator();
    using S = PageCanvas::SameSize;
    const std::pair<QString, S> sizes[]
        = {{tr("Same &width"), S::Width}, {tr("Same h&eight"), S::Height}, {tr("Same &size"), S::Both}};
    for (const auto& [text, how] : sizes)
        add(arrange, text, {}, [this, how = how] {
            if (PageCanvas* c = currentCanvas())
                c->sameSizeSelection(how);
        });

    arrange->addSeparator();
    QAction* fit = add(arrange, tr("&Fit band height to its views"), {}, [this] {
        if (PageCanvas* c = currentCanvas())
            ViewInsertion::fitBandHeights(*m_doc, c->selection());
    });
    fit->setObjectName(QStringLiteral("fitBandHeight"));
    QAction* order = add(arrange, tr("Arrange bands in &print order"), {}, [this] {
        if (PageCanvas* c = currentCanvas())
            ViewInsertion::arrangeBands(*m_doc, c->page());
    });
    order->setObjectName(QStringLiteral("arrangeBands"));

    QToolBar* bar = addToolBar(tr("Designer"));
    bar->setObjectName(QStringLiteral("designerToolBar"));
    bar->addAction(undo);
    bar->addAction(redo);
    bar->addSeparator();
    m_zoom = new QComboBox(bar);
    m_zoom->setObjectName(QStringLiteral("zoom"));
    for (int z : kZoomSteps)
        m_zoom->addItem(QStringLiteral("%1 %").arg(z), z);
    m_zoom->addItem(tr("Fit width"), 0);
    m_zoom->setCurrentIndex(2);
    connect(
        m_zoom, &QComboBox::activated, this, [this](int i) { setZoomPercent(m_zoom->itemData(i).toInt()); });
    bar->addWidget(m_zoom);
    bar->addAction(grid);
    bar->addAction(snap);
}

void DesignerWindow::buildInsertBar()
{
    QToolBar* bar = addToolBar(tr("Insert"));
    bar->setObjectName(QStringLiteral("insertToolBar"));
    m_insertGroup = new QActionGroup(this);
    m_insertGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    using K = ViewInsertion::Kind;
    const std::tuple<QString, const char*, K> kinds[]
        = {{tr("Memo"), "insertMemo", K::Memo}, {tr("Picture"), "insertPicture", K::Picture},
            {tr("Line"), "insertLine", K::Line}, {tr("Sub-report"), "insertSubReport", K::SubReport}};
    for (const auto& [text, name, kind] : kinds) {
        QAction* a = bar->addAction(text);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        a->setToolTip(tr("Insert a %1: click or drag on the page").arg(text.toLower()));
        m_insertGroup->addAction(a);
        connect(a, &QAction::toggled, this,
            [this, kind = kind](bool on) { chooseInsertTool(on ? static_cast<int>(kind) : -1); });
    }
    // Bands: the kind is chosen from the band names; kinds a page has once are offered only while
    // the page lacks them.
    auto* band = new QToolButton(bar);
    band->setObjectName(QStringLiteral("insertBand"));
    band->setText(tr("Band"));
    band->setToolTip(tr("Insert a band of the chosen kind: click or drag on the page"));
    band->setPopupMode(QToolButton::InstantPopup);
    m_bandMenu = new QMenu(band);
    m_bandMenu->setObjectName(QStringLiteral("bandKinds"));
    connect(m_bandMenu, &QMenu::aboutToShow, this, &DesignerWindow::fillBandMenu);
    band->setMenu(m_bandMenu);
    bar->addWidget(band);
    fillBandMenu();
}

void DesignerWindow::fillBandMenu()
{
    m_bandMenu->clear();
    PageCanvas* c = currentCanvas();
    if (!c)
        return;
    for (int kind : ViewInsertion::offeredBandKinds(*c->page())) {
        QAction* a = m_bandMenu->addAction(ViewInsertion::bandKindName(kind));
        a->setData(kind);
        connect(a, &QAction::triggered, this, [this, kind] {
            if (QAction* checked = m_insertGroup->checkedAction())
                checked->setChecked(false);
            chooseInsertTool(static_cast<int>(ViewInsertion::Kind::Band), kind);
        });
    }
}

void DesignerWindow::chooseInsertTool(int typeCode, int bandKind)
{
    // The tool belongs to the page shown; the other pages keep none.
    for (int i = 0; i < m_tabs->count(); ++i)
        if (auto* v = qobject_cast<PageView*>(m_tabs->widget(i)))
            v->canvas()->setInsertTool(-1);
    if (PageCanvas* c = currentCanvas())
        c->setInsertTool(typeCode, bandKind);
    if (typeCode >= 0)
        statusBar()->showMessage(tr("Click or drag on the page to place the new object; Esc cancels."));
    else
        statusBar()->clearMessage();
}

void DesignerWindow::rebuildTabs()
{
    // The old tabs and the inspector point into the pages that were just replaced: nothing may
    // reach them while they go.
    m_inspector->inspect(nullptr, {});
    {
        const QSignalBlocker quiet(m_tabs);
        while (m_tabs->count() > 0) {
            QWidget* w = m_tabs->widget(0);
            m_tabs->removeTab(0);
            delete w;
        }
    }
    for (int i = 0; i < m_doc->holder().Pages.Count(); ++i)
        addPageTab(m_doc->holder().Pages.Page(i), i);
    setZoomPercent(m_zoomPercent);
    updateTitle();
    selectionChanged();
}

void DesignerWindow::addPageTab(TfrPage* page, int index)
{
    auto* view = new PageView(*m_doc, page);
    PageCanvas* canvas = view->canvas();
    canvas->setGridVisible(m_gridVisible);
    canvas->setSnapping(m_snapping);
    connect(canvas, &PageCanvas::selectionChanged, this, &DesignerWindow::selectionChanged);
    connect(canvas, &PageCanvas::viewInserted, this, [this] {
        if (QAction* checked = m_insertGroup->checkedAction())
            checked->setChecked(false);
    });
    connect(canvas, &PageCanvas::editRequested, this, [this](TfrView* v) {
        editLines(v, v->TypeCode == 2 ? QStringLiteral("OnBeforePrint") : QStringLiteral("Memo"));
    });
    connect(canvas, &PageCanvas::pointerMoved, this, [this](QPointF u) {
        const double perMm = TfrPrinter::kUnitsPerInch / 25.4;
        m_position->setText(tr("%1 mm, %2 mm").arg(u.x() / perMm, 0, 'f', 1).arg(u.y() / perMm, 0, 'f', 1));
    });
    m_tabs->addTab(view, page->Name.isEmpty() ? tr("Page %1").arg(index + 1) : page->Name);
}

void DesignerWindow::updateTitle()
{
    const QString name
        = m_doc->fileName().isEmpty() ? tr("Untitled") : QFileInfo(m_doc->fileName()).fileName();
    setWindowTitle(tr("Designer - %1").arg(name) + QStringLiteral("[*]"));
    setWindowModified(m_doc->isModified());
}

void DesignerWindow::selectionChanged()
{
    PageCanvas* c = currentCanvas();
    m_inspector->inspect(c ? c->page() : nullptr, c ? c->selection() : std::vector<TfrView*>{});
}

PageView* DesignerWindow::currentView() const
{
    return qobject_cast<PageView*>(m_tabs->currentWidget());
}

PageCanvas* DesignerWindow::currentCanvas() const
{
    PageView* v = currentView();
    return v ? v->canvas() : nullptr;
}

void DesignerWindow::setZoomPercent(int percent)
{
    m_zoomPercent = percent;
    if (m_zoom) {
        const int index = m_zoom->findData(percent);
        if (index >= 0)
            m_zoom->setCurrentIndex(index);
    }
    if (PageView* v = currentView())
        v->canvas()->setZoom(percent > 0 ? percent / 100.0 : v->fitWidthZoom());
}

bool DesignerWindow::openFile(const QString& fileName)
{
    return m_doc->open(fileName);
}

bool DesignerWindow::save()
{
    if (m_doc->fileName().isEmpty())
        return saveAs();
    QString error;
    if (!m_doc->save(m_doc->fileName(), &error)) {
        ui().showError(tr("The template cannot be saved as %1: %2").arg(m_doc->fileName(), error));
        return false;
    }
    updateTitle();
    return true;
}

bool DesignerWindow::saveAs()
{
    const QString name = ui().saveFileName(tr("Save template as"), m_doc->fileName(),
        tr("Report templates (*.frf);;Templates as JSON (*.json)"), QStringLiteral("frf"));
    if (name.isEmpty())
        return false;
    QString error;
    if (!m_doc->save(name, &error)) {
        ui().showError(tr("The template cannot be saved as %1: %2").arg(name, error));
        return false;
    }
    updateTitle();
    return true;
}

bool DesignerWindow::maybeSave()
{
    if (!m_doc->isModified())
        return true;
    const ModalResult answer = ui().messageBox(windowTitle().remove(QStringLiteral("[*]")),
        tr("The template has unsaved changes. Save them?"), MessageIcon::Question,
        MessageButtons::YesNoCancel);
    if (answer == ModalResult::Yes)
        return save();
    return answer == ModalResult::No;
}

void DesignerWindow::closeEvent(QCloseEvent* event)
{
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

void DesignerWindow::deleteSelection()
{
    PageCanvas* c = currentCanvas();
    if (!c)
        return;
    std::vector<TfrView*> views;
    for (TfrView* v : c->selection())
        if (!(v->Restrictions & DesignRestrictions::NoDelete))
            views.push_back(v);
    if (!views.empty())
        m_doc->undoStack().push(new RemoveViewsCommand(*m_doc, c->page(), views));
}

void DesignerWindow::copySelection()
{
    PageCanvas* c = currentCanvas();
    if (!c || c->selection().empty())
        return;
    const QByteArray json = m_doc->viewsToJson(c->selection());
    auto* data = new QMimeData;
    data->setData(QLatin1String(kViewsMimeType), json);
    data->setText(QString::fromUtf8(json));
    QApplication::clipboard()->setMimeData(data);
}

void DesignerWindow::paste()
{
    PageCanvas* c = currentCanvas();
    if (!c)
        return;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data)
        return;
    const QByteArray json = data->hasFormat(QLatin1String(kViewsMimeType))
        ? data->data(QLatin1String(kViewsMimeType))
        : data->text().toUtf8();
    QString error;
    std::vector<std::unique_ptr<TfrView>> views = DesignDocument::viewsFromJson(json, &error);
    if (views.empty()) {
        statusBar()->showMessage(error, 5000);
        return;
    }
    // Each pasted view gets a name no view has yet, and lands one grid step away from where it
    // was copied, so that it does not hide its original.
    QStringList taken;
    for (auto& v : views) {
        QString name = m_doc->uniqueName(v->NamePrefix);
        for (int n = 1; taken.contains(name, Qt::CaseInsensitive); ++n)
            name = v->NamePrefix + QString::number(name.mid(v->NamePrefix.size()).toInt() + 1);
        taken << name;
        v->Name = name;
        v->Left += c->gridStep();
        v->Top += c->gridStep();
    }
    auto* command = new AddViewsCommand(*m_doc, c->page(), std::move(views));
    const std::vector<TfrView*> added = command->views();
    m_doc->undoStack().push(command);
    c->setSelection(added);
}

void DesignerWindow::editLines(TfrView* view, const QString& name)
{
    const ViewField* f = valueFieldOf(*view, name);
    if (!f || !f->set || f->kind != FieldKind::Lines)
        return;
    const bool script = name == u"OnBeforePrint";
    if (view->Restrictions & (script ? DesignRestrictions::NoScriptEdit : DesignRestrictions::NoMemoEdit)) {
        statusBar()->showMessage(tr("%1 of %2 may not be edited.").arg(name, view->Name), 5000);
        return;
    }
    const QStringList before = std::get<QStringList>(f->valueOf(*view));
    const std::optional<QStringList> after
        = TextEditDialog::edit(this, QStringLiteral("%1 - %2").arg(view->Name, name), before,
            script ? CodeCheck::Mode::Script : CodeCheck::Mode::Memo, m_dataTree->completions());
    if (after && *after != before)
        m_doc->undoStack().push(new FieldCommand(*m_doc, view, f, before, *after));
}

} // namespace vaskel
