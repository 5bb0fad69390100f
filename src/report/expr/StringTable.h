#pragma once
// The program's own table of numbered texts (53000 to 55670): captions, hints, messages, band
// names, format samples and the date, time and boolean patterns. Read through TfrLocale, never
// directly by the windows, so that a localisation callback can replace any of them.
#include <QList>
#include <QString>

namespace vaskel::StringTable {

// The text with that number, or empty text when the table holds none.
QString text(int number);

// Every number the table holds, ascending (tools that list the texts, and the table's own checks).
QList<int> numbers();

// Named numbers of texts that code refers to directly. A "First" name starts a run of consecutive
// numbers that code indexes (band kind, format category and kind, pattern index).
enum Id : int {
    // Search dialog of the preview.
    sFindText = 53000, // dialog caption
    sFindTextLabel = 53001,
    sFindOptions = 53002,
    sFindCaseSensitive = 53003,
    sFindOrigin = 53004,
    sFindFirstPage = 53005,
    sFindCurrentPage = 53006,

    // Preview window: zoom menu entries and button hints.
    sPageWidth = 53020,
    sWholePage = 53021,
    sTwoPages = 53022,
    sClosePreviewHint = 53023,
    sScaleHint = 53024,
    sOpenReportHint = 53025,
    sSaveReportHint = 53026,
    sPrintReportHint = 53027,
    sFindTextHint = 53028,
    sShowHelpHint = 53032,

    // Print dialog.
    sPrintCaption = 53040,
    sPrinterGroup = 53041,
    sPrinterName = 53042,
    sPrinterProperties = 53043,
    sPageRangeGroup = 53044,
    sRangeAll = 53045,
    sRangeCurrentPage = 53046,
    sRangePages = 53047,
    sRangeHelp = 53048,
    sCopiesGroup = 53049,
    sNumberOfCopies = 53050,
    sCollate = 53051,
    sPrintWhich = 53052,
    sAllPages = 53053,
    sOddPages = 53054,
    sEvenPages = 53055,

    // Display-format editor (no texts in this table: the window shows empty captions).
    sFormatEditorCaption = 53420,
    sDecimalDigits = 53422,
    sFracDelimiter = 53423,
    sFormatLabel = 53424,

    sOk = 55000,
    sCancel = 55001,
    sVirtualPrinter = 55007,
    sPaperNameFirst = 55008, // to 55074, no texts in this table
    sBandNameFirst = 55077, // to 55099, by band kind

    sFormatCategoryFirst = 55130, // to 55134, by category
    sFormatSampleFirst = 55150, // + 5 × category + kind; empty where a category has no such kind
    sBooleanPairFirst = 55170, // to 55173
    sDateFormatFirst = 55175, // to 55178
    sTimeFormatFirst = 55179, // to 55182

    // Report run.
    sFrom = 55199,
    sCalcError = 55200,
    sReportLabel = 55201,
    sObjectLabel = 55202,
    sPreparingReport = 55203,
    sFirstPass = 55204,
    sProcessingPage = 55205,
    sError = 55206,
    sPreview = 55207,
    sPrintingPage = 55208,
    sUntitled = 55209,

    sPictureHint = 55228, // no text in this table
    sCharset = 55337,
    sUnsupportedFormat = 55345,
    sDefaultBin = 55435, // no text in this table
    sUndefinedSymbol = 55439,

    // Function descriptions.
    sCategoryDatabase = 55620,
    sDescFieldIsNull = 55621,
    sCategoryReportInfo = 55622,
    sDescReportInfoFirst = 55623, // to 55631

    // Password window.
    sPassword = 55653,
    sEnterPassword = 55654,
    sRetypePassword = 55655,
};

} // namespace vaskel::StringTable
