#pragma once
// The designer's property inspector: one row per entry of the selected view's property table (its
// kind's field table, in that order; entries the table marks as not for editing are left out), or
// of the page's when nothing is selected. Enumerations are lists, booleans checkboxes, colours,
// fonts, the display format, restrictions and text lists open their editors, numbers and texts
// are typed. A value is checked against the limits every template reader applies before anything
// changes; a refused value is named under the table, its field is marked, and the template stays
// as it was. Accepted values go onto the undo stack; with several views selected an entry changes
// every selected view that has it.
#include "report/expr/Value.h"
#include "report/model/ViewField.h"

#include <QWidget>

#include <functional>

#include <vector>

class QLabel;
class QTableWidget;

namespace vaskel {

class DesignDocument;
class TfrPage;
class TfrView;

class PropertyInspector : public QWidget {
    Q_OBJECT
public:
    PropertyInspector(DesignDocument& doc, QWidget* parent = nullptr);

    // What the inspector shows: the views (first one's entries), or the page when there are none.
    void inspect(TfrPage* page, const std::vector<TfrView*>& views);

    // The entry names in the order shown, and the editor of one (object name = entry name).
    QStringList entryNames() const;
    QWidget* editorOf(const QString& name) const;
    // Why the last value was refused; empty after an accepted one.
    QString message() const;

    // Sets entry `name` of the shown views from typed text, as the editor does; false when refused.
    bool setText(const QString& name, const QString& text);
    // The text form of a value for an editor.
    static QString textOf(const FieldValue& value);

    // The names a band's data source and group condition complete from (the data tree's).
    std::function<QStringList()> completions;
    // The dataset names a band's data source is checked against; no check without it.
    std::function<QStringList()> datasetNames;

signals:
    // A memo's text is to be edited (the window opens the editor).
    void editLinesRequested(TfrView* view, const QString& name);

private:
    void rebuild();
    void refresh();
    // The value entry `name` shows, as text: what a refresh compares.
    QString shownValue(const QString& name) const;
    void addRow(const QString& name, QWidget* editor);
    QWidget* viewEditor(TfrView& view, const QString& name, quint16 flags, const QStringList& enumNames,
        const std::optional<QList<qint32>>& enumValues);
    QWidget* pageEditor(const QString& name, quint16 flags, const QStringList& enumNames,
        const std::optional<QList<qint32>>& enumValues);
    QWidget* typedEditor(const QString& name, const QString& text);
    // Checks and pushes a new value of entry `name` for every shown view; false when refused.
    bool commit(const QString& name, const FieldValue& value);
    bool commitPage(const QString& name, const Value& value);
    void refuse(const QString& name, const QString& why);
    void editFont();
    void editFormat();
    void editColour(const QString& name);
    void editLines(const QString& name);

    DesignDocument& m_doc;
    TfrPage* m_page = nullptr;
    std::vector<TfrView*> m_views;
    QTableWidget* m_table;
    QLabel* m_message;
    std::vector<QString> m_values; // per row, the value it shows
    bool m_rebuildQueued = false;
};

} // namespace vaskel
