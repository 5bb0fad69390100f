#pragma once
// The report's data dictionary as the template stores it: report variables (name and expression
// text; names beginning with a blank are category headings), aliases of datasets and fields, and
// the band data sources an editing tool keeps. The lookup of names during a run reads these lists;
// this class loads and saves them, including the conversions of the two older stored forms.
#include "report/expr/TfrVariables.h"

#include <QStringList>

#include <functional>

namespace vaskel {

class ReportStreamReader;
class ReportStreamWriter;

class TfrDataDictionary {
public:
    TfrDataDictionary();

    TfrVariables Variables;
    TfrVariables AliasList;
    TfrVariables BandSourceList;
    QStringList HiddenDatasetList; // not stored

    // Whether a name such as Q1."AMT" resolves to a dataset field; installed by the report so
    // that a block of the intermediate form can drop aliases of fields that no longer exist.
    // Without it every alias is kept.
    std::function<bool(const QString&)> fieldResolver;

    void Clear();
    void ReadDictionaryBlock(ReportStreamReader& reader);
    void WriteDictionaryBlock(ReportStreamWriter& writer) const;

private:
    void readLists(ReportStreamReader& reader);
    void readLegacyForm(ReportStreamReader& reader);
    void toggleCategoryMarks();
};

} // namespace vaskel
