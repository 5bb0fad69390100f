#pragma once
// The pages a print command asks for: the page list typed in the print dialog ("1,3,5-12"; empty
// for every page), narrowed to all, odd or even pages, and the order in which the sheets go to
// the printer for a number of copies, collated or not.
//
// The list is read as the dialog's help text describes it: numbers and ranges separated by
// commas, spaces ignored, "5-3" naming nothing and "1-3-5" restarting the range at 3. Ranges are
// clamped to the report's pages, so "1-2000000000" costs no more than the report has pages, and
// numbers outside the report select nothing.
#include <QString>

#include <vector>

namespace vaskel {

enum class PageParity : quint8 { All = 0, Odd = 1, Even = 2 };

class PageSelection {
public:
    static constexpr int kMinCopies = 1;
    static constexpr int kMaxCopies = 999;

    // Whether page k (1-based) of a report of `pageCount` pages is selected, as a list of flags.
    // Throws EConvertError ("'%s' is not a valid integer value") for a token that is no integer,
    // an empty one (as in "1-" or "1,,2") included.
    static std::vector<bool> parse(const QString& text, int pageCount);

    // The 0-based indices of the selected pages in store order, narrowed by parity (of the
    // page's 1-based number).
    static std::vector<int> selectedPages(const QString& text, int pageCount, PageParity parity);

    // The sheets to print: collated copies go 1..n, 1..n; uncollated ones 1,1,2,2,…
    static std::vector<int> sheetOrder(const std::vector<int>& pages, int copies, bool collate);

    // The copies text of the dialog or the command line as a count. Throws EConvertError for
    // text that is no integer and VaskelError for a count outside 1 to 999.
    static int copiesFrom(const QString& text);
};

} // namespace vaskel
