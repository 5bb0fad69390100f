#include "report/engine/PageSelection.h"

#include "platform/PlatformError.h"
#include "report/expr/ValueText.h"

#include <algorithm>

namespace vaskel {

std::vector<bool> PageSelection::parse(const QString& text, int pageCount)
{
    std::vector<bool> selected(static_cast<size_t>(std::max(pageCount, 0)), false);
    QString list = text;
    list.remove(QLatin1Char(' '));
    if (list.isEmpty()) {
        std::fill(selected.begin(), selected.end(), true);
        return selected;
    }
    list += QLatin1Char(',');
    const auto select = [&](qint64 from, qint64 to) {
        // Only the report's own pages can be selected; the rest of a range costs nothing.
        from = std::max<qint64>(from, 1);
        to = std::min<qint64>(to, pageCount);
        for (qint64 k = from; k <= to; ++k)
            selected[static_cast<size_t>(k - 1)] = true;
    };
    qsizetype start = 0;
    bool range = false;
    qint32 low = 1;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QChar c = list.at(i);
        if (c == QLatin1Char(',')) {
            const qint32 value = ValueText::strToInt(QStringView(list).mid(start, i - start));
            if (range)
                select(low, value);
            else
                select(value, value);
            range = false;
            start = i + 1;
        } else if (c == QLatin1Char('-')) {
            range = true;
            low = ValueText::strToInt(QStringView(list).mid(start, i - start));
            start = i + 1;
        }
    }
    return selected;
}

std::vector<int> PageSelection::selectedPages(const QString& text, int pageCount, PageParity parity)
{
    const std::vector<bool> selected = parse(text, pageCount);
    std::vector<int> pages;
    for (int i = 0; i < pageCount; ++i) {
        const int number = i + 1;
        if (!selected[static_cast<size_t>(i)])
            continue;
        if ((parity == PageParity::Odd && number % 2 == 0) || (parity == PageParity::Even && number % 2 != 0))
            continue;
        pages.push_back(i);
    }
    return pages;
}

std::vector<int> PageSelection::sheetOrder(const std::vector<int>& pages, int copies, bool collate)
{
    std::vector<int> sheets;
    sheets.reserve(pages.size() * static_cast<size_t>(std::max(copies, 0)));
    if (collate) {
        for (int c = 0; c < copies; ++c)
            sheets.insert(sheets.end(), pages.begin(), pages.end());
    } else {
        for (const int page : pages)
            sheets.insert(sheets.end(), static_cast<size_t>(std::max(copies, 0)), page);
    }
    return sheets;
}

int PageSelection::copiesFrom(const QString& text)
{
    const qint32 copies = ValueText::strToInt(QStringView(text).trimmed());
    if (copies < kMinCopies || copies > kMaxCopies) {
        throw VaskelError(
            QStringLiteral("The number of copies must be between %1 and %2").arg(kMinCopies).arg(kMaxCopies));
    }
    return copies;
}

} // namespace vaskel
