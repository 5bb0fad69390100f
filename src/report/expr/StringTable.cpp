#include "report/expr/StringTable.h"

#include <algorithm>
#include <iterator>

namespace vaskel::StringTable {

namespace {

struct Entry {
    int number;
    const char* text; // UTF-8
};

// Sorted by number.
const Entry kEntries[] = {
    {55000, "OK"},
    {55001, "Cancel"},
    {55007, "Virtual printer"},
    {55206, "Error"},
    {55337, "1"},
    {55345, "Unsupported FRF format"},
    {55439, "Undefined symbol"},
};

} // namespace

QString text(int number)
{
    const auto it = std::lower_bound(std::begin(kEntries), std::end(kEntries), number,
                                     [](const Entry& e, int n) { return e.number < n; });
    if (it == std::end(kEntries) || it->number != number)
        return {};
    return QString::fromUtf8(it->text);
}

} // namespace vaskel::StringTable
