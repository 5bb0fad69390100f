#include "report/expr/StringTable.h"

#include <algorithm>
#include <iterator>

namespace vaskel::StringTable {

namespace {

struct Entry {
    int number;
    const char* text; // UTF-8
};

// Sorted by number, each number once (checked by the tests). Numbers that the windows ask for but
// that have no text here (paper names, the format editor's labels, the picture placeholder, the
// default bin) are left out on purpose: they come out empty.
constexpr Entry kEntries[] = {
    // Search dialog.
    {53000, "Find text"},
    {53001, "Text to &find"},
    {53002, "Options"},
    {53003, "&Case sensitive"},
    {53004, "Origin"},
    {53005, "&1st page"},
    {53006, "Current &page"},

    // Preview window.
    {53020, "&Page width"},
    {53021, "&Whole page"},
    {53022, "&Two pages"},
    {53023, "Close preview"},
    {53024, "Scale"},
    {53025, "Open report"},
    {53026, "Save report"},
    {53027, "Print report"},
    {53028, "Find text"},
    {53032, "Show help"},

    // Print dialog.
    {53040, "Print"},
    {53041, "Printer"},
    {53042, "&Name:"},
    {53043, "Properties"},
    {53044, "Page range"},
    {53045, "&All"},
    {53046, "Current pa&ge"},
    {53047, "&Pages:"},
    {53048, "Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12"},
    {53049, "Copies"},
    {53050, "Number of &copies:"},
    {53051, "Co&llate"},
    {53052, "P&rint"},
    {53053, "All pages"},
    {53054, "Odd pages"},
    {53055, "Even pages"},

    {55000, "OK"},
    {55001, "Cancel"},
    {55007, "Virtual printer"},

    // Band names by band kind.
    {55077, "Report title"},
    {55078, "Report summary"},
    {55079, "Page header"},
    {55080, "Page footer"},
    {55081, "Master header"},
    {55082, "Master data"},
    {55083, "Master footer"},
    {55084, "Detail header"},
    {55085, "Detail data"},
    {55086, "Detail footer"},
    {55087, "Subdetail header"},
    {55088, "Subdetail data"},
    {55089, "Subdetail footer"},
    {55090, "Overlay"},
    {55091, "Column header"},
    {55092, "Column footer"},
    {55093, "Group header"},
    {55094, "Group footer"},
    {55095, "Cross header"},
    {55096, "Cross data"},
    {55097, "Cross footer"},
    {55098, "Child"},
    {55099, "None"},

    // Display format categories.
    {55130, "Text"},
    {55131, "Number"},
    {55132, "Date"},
    {55133, "Time"},
    {55134, "Boolean"},

    // Display format samples, 55150 + 5 × category + kind; the text category has one kind only.
    {55150, "[None]"},
    {55155, "1234,5"},
    {55156, "1234,50"},
    {55157, "1 234,5"},
    {55158, "1 234,50"},
    {55159, "Custom"},
    {55160, "11.15.98"},
    {55161, "11.15.1998"},
    {55162, "15 nov 1998"},
    {55163, "15 november 1998"},
    {55164, "Custom"},
    {55165, "02:43:35"},
    {55166, "2:43:35"},
    {55167, "02:43"},
    {55168, "2:43"},
    {55169, "Custom"},
    // The boolean samples are also the false;true pairs that boolean kinds 0 to 3 print.
    {55170, "0;1"},
    {55171, "No;Yes"},
    {55172, "_;x"},
    {55173, "False;True"},
    {55174, "Custom"},
    // Date patterns of date kinds 0 to 3, then time patterns of time kinds 0 to 3.
    {55175, "mm.dd.yy"},
    {55176, "mm.dd.yyyy"},
    {55177, "d mmm yyyy"},
    {55178, "d mmmm yyyy"},
    {55179, "hh:nn:ss"},
    {55180, "h:nn:ss"},
    {55181, "hh:nn"},
    {55182, "h:nn"},

    // Report run and progress window.
    {55199, "from"},
    {55200, "An error occured during calculating"},
    {55201, "Report:"},
    {55202, "Object:"},
    {55203, "Preparing report"},
    {55204, "Performing 1st pass:"},
    {55205, "Processing page:"},
    {55206, "Error"},
    {55207, "Preview"},
    {55208, "Printing page:"},
    {55209, "Untitled"},

    {55337, "1"},
    {55345, "Unsupported FRF format"},
    {55439, "Undefined symbol"},

    // Function categories and descriptions: call syntax, "/", explanation.
    {55620, "Database"},
    {55621, "FIELDISNULL(<FieldName>)/Returns 'true' if DB-field is null"},
    {55622, "Report info"},
    {55623, "REPORTCOMMENT/Returns the comment of the report"},
    {55624, "REPORTNAME/Returns the name of the report"},
    {55625, "REPORTAUTOR/Returns the author of the report"},
    {55626, "VMAJOR/Returns the major version of the report"},
    {55627, "VMINOR/Returns the minor version of the report"},
    {55628, "VRELEASE/Returns the release of the report"},
    {55629, "VBUILD/Returns the build of the report"},
    {55630, "REPORTDATE/Returns the creation date of the report"},
    {55631, "REPORTLASTCHANGE/Returns the date of the last change of the report"},

    // Password window.
    {55653, "Password"},
    {55654, "Enter password for opening report"},
    {55655, "Retype password for validate"},
};

constexpr bool strictlyAscending()
{
    for (std::size_t i = 1; i < std::size(kEntries); ++i) {
        if (kEntries[i - 1].number >= kEntries[i].number)
            return false;
    }
    return true;
}
// The lookup is a binary search.
static_assert(strictlyAscending(), "string table entries must be sorted by number, each number once");

} // namespace

QString text(int number)
{
    const auto it = std::lower_bound(
        std::begin(kEntries), std::end(kEntries), number, [](const Entry& e, int n) { return e.number < n; });
    if (it == std::end(kEntries) || it->number != number)
        return {};
    return QString::fromUtf8(it->text);
}

QList<int> numbers()
{
    QList<int> out;
    out.reserve(static_cast<qsizetype>(std::size(kEntries)));
    for (const Entry& e : kEntries)
        out.append(e.number);
    return out;
}

} // namespace vaskel::StringTable
