#pragma once
// The designer's data tree: what a report can name, for the author to see, drag and complete.
//   Datasets            the queries of the bill data module (on the demo data or the given
//                       connection) with their fields and field types
//   Report datasets     the module's report datasets with the query each walks, and the data
//                       sources the template's data bands name
//   Variables           the template's dictionary, by category
//   System variables    PAGE#, TOTALPAGES, …
//   Functions           each function library with its functions and their descriptions
// A field dragged onto the page carries `Dataset."FIELD"` and a width that fits the field
// (`kFieldMimeType`); the canvas makes the memo. `completions()` gives the same names to the
// editors' Ctrl+Space.
#include <QList>
#include <QTreeWidget>

class QLabel;

namespace vaskel {

class DesignDocument;

class DataTree : public QWidget {
    Q_OBJECT
public:
    // A dragged field: "Dataset.\"FIELD\"", a line break, and the memo's width in report units.
    static constexpr const char* kFieldMimeType = "application/x-vaskel-field";

    struct Field {
        QString name;
        QString type; // as the tree shows it: "String(40)", "Float", "Date"…
        int width = 0; // report units a memo showing the field needs
    };
    struct Dataset {
        QString name;
        QString walks; // report datasets: the query walked; empty for queries
        QList<Field> fields;
    };

    DataTree(DesignDocument& doc, QWidget* parent = nullptr);

    // The queries and report datasets of the bill data module on an ODBC connection, its
    // queries opened as the window opens them. Throws VaskelError when the data cannot be read.
    static QList<Dataset> datasetsOf(const QString& odbcConnection);
    void setDatasets(const QList<Dataset>& datasets);

    // Re-reads the template's part (dictionary, band data sources).
    void refresh();
    QTreeWidget* tree() const { return m_tree; }
    // The top-level item of that caption.
    QTreeWidgetItem* section(const QString& caption) const;
    // Every name the tree offers, as an expression writes it.
    QStringList completions() const;
    // The datasets a data band may walk: the module's queries and report datasets, and the data
    // sources the template's bands already name.
    QStringList datasetNames() const;
    // The description of a function (empty for names that are no function).
    QString descriptionOf(const QString& function) const;

    // The mime data a drag of `item` carries; null for items that are no field.
    static QMimeData* mimeDataOf(const QTreeWidgetItem& item);

private:
    DesignDocument& m_doc;
    QTreeWidget* m_tree;
    QLabel* m_description;
    QList<Dataset> m_datasets;
    bool m_queriesShown = false;
};

} // namespace vaskel
