#pragma once
// The template a designer window edits: the pages, views, dictionary and information block read
// from one .frf file (or a new, empty template), the file's name, and the undo stack through which
// every change goes. The canvas, the inspector and the window's commands change the template only
// by pushing commands (DesignCommands.h) onto `undoStack()`; the stack's clean state is the state
// of the file on disk, so "unsaved changes" is exactly "the stack is not clean".
//
// Geometry is in report units throughout (93 / 1.015 per inch), as the template stores it.
#include "report/model/PrintContext.h"
#include "report/model/TemplateHolder.h"

#include <QObject>
#include <QRect>
#include <QUndoStack>

#include <memory>
#include <vector>

namespace vaskel {

class TfrPage;
class TfrView;
struct ViewField;

// The designer's restriction bits of a view's `Restrictions`, as templates store them.
namespace DesignRestrictions {
inline constexpr quint8 NoMemoEdit = 0x01;
inline constexpr quint8 NoScriptEdit = 0x02;
inline constexpr quint8 NoContentsEdit = 0x04;
inline constexpr quint8 NoMove = 0x08;
inline constexpr quint8 NoResize = 0x10;
inline constexpr quint8 NoDelete = 0x20;
} // namespace DesignRestrictions

class DesignDocument : public QObject {
    Q_OBJECT
public:
    explicit DesignDocument(QObject* parent = nullptr);
    ~DesignDocument() override;

    // Reads a template file (or its JSON text form, by the name's ending). When the reader
    // reports anything (a damaged or unsupported file, a missing add-in, damaged objects left
    // out; seen through ObservedUi) the message is shown as the reader shows it, the document
    // keeps what it had and the answer is false with the message in `error`: saving a template
    // of which objects were left out would lose them.
    bool open(const QString& fileName, QString* error = nullptr);
    // An empty template with one report page of A4 paper, portrait.
    void newTemplate();

    TemplateHolder& holder() { return *m_holder; }
    const QString& fileName() const { return m_fileName; }
    QUndoStack& undoStack() { return m_undo; }
    bool isModified() const { return !m_undo.isClean(); }

    // Writes the template to `fileName` through a temporary file renamed over it, so that a
    // failed save leaves the old file as it was: the binary form, or the JSON text form when the
    // name ends in ".json". On success the file becomes the document's file and the undo stack
    // is marked clean; on failure `error` says why.
    bool save(const QString& fileName, QString* error = nullptr);

    // Where a designer draws and places `page`'s views: not printing, on that page.
    static PrintContext designContext(TfrPage* page);
    // The rectangle `view` shows at on its page: its band alignment applied as the page's limits
    // place it, the stored geometry left unchanged.
    static QRect placedRect(TfrView& view);
    // A name no view of the template has (nor any of `alsoTaken`): the view kind's prefix with
    // the smallest free number.
    QString uniqueName(const QString& prefix, const QStringList& alsoTaken = {}) const;

    // The views as the clipboard holds them: the template's JSON text with one page holding only
    // these views (so two designer windows, or a text editor, can pass them on).
    QByteArray viewsToJson(const std::vector<TfrView*>& views) const;
    // New views from such a text; empty (and the reason in `error`) when it holds none.
    static std::vector<std::unique_ptr<TfrView>> viewsFromJson(
        const QByteArray& json, QString* error = nullptr);

    // Called by the commands after they changed the template; `area` in report units on `page`,
    // null when the change can show anywhere (a page setting, views added or removed).
    void notifyChanged(TfrPage* page, const QRect& area);

signals:
    // The template changed; the canvas repaints `area` of `page` (everything when null), the
    // inspector re-reads its values.
    void changed(TfrPage* page, const QRect& area);
    // A new template was read or started: windows rebuild their page tabs.
    void reset();
    // A page was appended at the end of the template, or the last page was taken off: windows
    // add or remove that page's tab and keep the others.
    void pageAppended(TfrPage* page);
    void lastPageRemoved();

private:
    std::unique_ptr<TemplateHolder> m_holder;
    QString m_fileName;
    QUndoStack m_undo;
};

// The field of `view`'s kind that holds the value an inspector shows for entry `name` (an entry
// only listed, such as "Stretched", is the listing of a field of the same name); null for none.
const ViewField* valueFieldOf(const TfrView& view, const QString& name);
// The field with text-form key `key`, or null.
const ViewField* fieldByKey(const TfrView& view, const char* key);

} // namespace vaskel
