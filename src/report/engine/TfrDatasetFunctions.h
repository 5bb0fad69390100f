#pragma once
// The database access functions that the layout engine and the value lookup use to reach report
// datasets and fields: finding a dataset by the name a template gives, splitting a field reference
// such as ADOQuery1."LDLP_NO", reading a field with the substitutes the report uses for null, large
// objects, and the dataset a bare field name refers to while a band prints.
#include "report/engine/DatabaseDataset.h"
#include "report/engine/DatasetComponentOwner.h"
#include "report/engine/TfrDataset.h"
#include "report/engine/TvuVeveDataset.h"
#include "report/expr/Value.h"

#include <QIODevice>
#include <QImage>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

namespace vaskel {

// The owner's component of that name ("frDBDataSet1"); "A.B" is component B of the window or data
// module A known application-wide, "A.B.C" goes one step further. None when a step finds nothing;
// an error during the search throws EClassNotFound "Missing <name>".
DatasetComponent* FindDatasetComponent(const DatasetComponentOwner* owner, const QString& name);

struct FieldReference {
    DatabaseDataset* dataset = nullptr; // none when the reference names no database dataset
    QString fieldName; // empty when the dataset has no field of that name
};

// Splits a field reference at its dots (a double quote ends the splitting, so a quoted field name
// may hold dots): no dot uses `defaultDataset`; one to three dots name the dataset component.
FieldReference ResolveFieldReference(
    const QString& text, const DatasetComponentOwner* owner, DatabaseDataset* defaultDataset);

// The field's value for the report: opens a closed dataset; reads through the display-text handler
// when there is one and 64-bit integers as their text; null becomes "" for text fields, false for
// booleans and the integer 0 for every other kind.
Value DatabaseFieldValue(const DatabaseField& field);

bool IsBlobField(const DatabaseField& field);
// A stream receives the field's bytes and is rewound to its start.
void LoadBlob(const DatabaseField& field, QIODevice& stream);
// A picture takes the field's content as an image file.
void LoadBlob(const DatabaseField& field, QImage& picture);
// A string list takes the field's text, one line per entry.
void LoadBlob(const DatabaseField& field, QStringList& lines);

// Fills `list` with the dataset's field names; an error leaves the list as far as it got.
void GetFieldNames(const DatabaseDataset& dataset, QStringList& list);

// What the layout engine tells DefaultDataset about the band being printed. Band kinds are the
// band type codes 0 (report title) to 22 (no band).
class DefaultDatasetContext {
public:
    virtual ~DefaultDatasetContext() = default;
    // The report's `Dataset`.
    virtual TfrDataset* reportDataset() const = 0;
    // The kind of the band being processed on a band page; none outside band processing.
    virtual std::optional<int> currentBandKind() const = 0;
    // The report dataset of the current page's first band of that kind, or none.
    virtual TfrDataset* firstBandDataset(int bandKind) const = 0;
};

// The database dataset that a field name without dataset part refers to: the dataset of the data
// band that the current band belongs to, else the report's. None unless that is a TfrDBDataSet.
DatabaseDataset* DefaultDataset(const DefaultDatasetContext& context);

// The dataset a band's data source text gives, with StartRun already called. A number N (first
// digit 1 to 9) makes a counting dataset that the band owns; other texts name a report dataset
// component ("05" and "0" are names). Texts with ";" (a cross band's column list) and names that
// no component has give no dataset; a component that is not a report dataset throws
// EDatasetInvalidCast; a count that is not a whole number throws EConvertError.
struct BandDataSource {
    std::unique_ptr<TvuVeveDataset> counting; // owned counting dataset, if one was made
    TfrDataset* dataset = nullptr; // the dataset walked: counting.get() or a window's component

    // EndRun, then the counting dataset is freed. Called when the band is freed or its data source
    // is replaced.
    void release();
};
BandDataSource OpenBandDataSource(const QString& text, const DatasetComponentOwner* owner);

} // namespace vaskel
