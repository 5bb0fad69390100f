#pragma once
// The paper table of the virtual printer: the 67 standard paper size codes with their sizes in
// tenths of a millimetre, in the order the paper lists show them; 256 is the custom size, whose
// width and height come from the page. The virtual printer takes paper sizes from here when no
// real printer is available. Row names are string-table entries 55008 + row (the table holds no
// text for them, so they are empty unless a localisation supplies them).
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>
#include <vector>

namespace vaskel {

struct TPaperInfo {
    qint32 Code = 0;
    QString Name;
    qint32 Width = 0; // tenths of a millimetre
    qint32 Height = 0; // tenths of a millimetre
};

class PaperTable {
public:
    struct Row {
        qint32 code;
        qint32 width;
        qint32 height;
    };
    static constexpr int kRows = 67;
    static constexpr int kFirstNameString = 55008;
    static constexpr qint32 kCustomCode = 256;

    static const std::array<Row, kRows>& rows();
    // The row with that code, if the table has one.
    static std::optional<Row> find(qint32 code);
    // The rows with their names read through the string loader.
    static std::vector<TPaperInfo> withNames();
};

} // namespace vaskel
