#pragma once
// The drawing state a metafile's records change and its drawing records read, as the old graphics
// device kept it per device context: the selected pen, brush and font, the mapping from logical
// units to the device, colours and modes, the clip area and the current position. The metafile
// canvas keeps one of these and a stack of saved copies (SaveDC/RestoreDC).
//
// Coordinates: "logical" are the units the records use; "device" are pixels of the reference
// device the metafile was recorded for (the canvas maps those onto the caller's target
// rectangle). The clip area is kept in device units so that it survives later mapping changes,
// as it did on the old device.
#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include <optional>

namespace vaskel {

struct MetafilePen {
    enum Style : quint32 {
        Solid = 0,
        Dash = 1,
        Dot = 2,
        DashDot = 3,
        DashDotDot = 4,
        Null = 5,
        InsideFrame = 6
    };
    quint32 style = Solid; // low four bits of the record's style; end cap and join bits kept too
    double width = 0; // logical units; 0 draws one device pixel
    QColor color = Qt::black;
    bool geometric = false; // extended pens: dashes are kept at any width
};

struct MetafileBrush {
    enum Style : quint32 { Solid = 0, Null = 1, Hatched = 2, Pattern = 3, DibPattern = 5, DibPatternPt = 6 };
    quint32 style = Solid;
    QColor color = Qt::white;
    quint32 hatch = 0;
    QImage pattern; // pattern brushes; a monochrome pattern takes the text and background colours
    bool monochrome = false;
};

struct MetafileFont {
    qint32 height = -12; // logical units: negative is the character height, positive the cell height
    qint32 width = 0;
    qint32 escapement = 0; // tenths of a degree, counter-clockwise
    qint32 weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    quint8 charSet = 1; // DEFAULT_CHARSET
    QString faceName = QStringLiteral("Arial");
};

// The mapping from logical units to device pixels.
struct MetafileMapping {
    enum Mode : quint32 {
        Text = 1,
        LoMetric = 2,
        HiMetric = 3,
        LoEnglish = 4,
        HiEnglish = 5,
        Twips = 6,
        Isotropic = 7,
        Anisotropic = 8
    };
    quint32 mode = Text;
    QPointF windowOrg, viewportOrg;
    QSizeF windowExt{1, 1}, viewportExt{1, 1};
    QTransform world; // world to logical (the page space of the records)
};

struct MetafileDeviceContext {
    MetafilePen pen;
    MetafileBrush brush;
    MetafileFont font;
    MetafileMapping mapping;
    QColor textColor = Qt::black;
    QColor backgroundColor = Qt::white;
    bool opaqueBackground = true; // background mode OPAQUE (2) is the device's default
    quint32 textAlign = 0;
    bool fillWinding = false; // polygon fill mode WINDING (2); ALTERNATE by default
    quint32 rop2 = 13; // R2_COPYPEN
    bool arcClockwise = false;
    qint32 characterExtra = 0;
    QPointF position; // current position, logical units
    std::optional<QPainterPath> clip; // device units; none = no clipping
    qint32 selectedPen = -1, selectedBrush = -1, selectedFont = -1; // object table indices
};

} // namespace vaskel
