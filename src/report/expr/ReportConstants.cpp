#include "report/expr/ReportConstants.h"

namespace vaskel::ReportConstants {

namespace {

struct IntConstant {
    const char* name;
    qint64 value;
};

// Colours as 0x00BBGGRR; clTransparent is the "no colour" value.
constexpr IntConstant kColours[] = {
    {"clWhite", 0xFFFFFF},
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clTransparent", 0x1FFFFFFF},
};

// System colour references 0xFF000000 + n, in the order of n.
constexpr const char* kSystemColours[] = {"clScrollBar", "clBackground", "clActiveCaption",
    "clInactiveCaption", "clMenu", "clWindow", "clWindowFrame", "clMenuText", "clWindowText", "clCaptionText",
    "clActiveBorder", "clInactiveBorder", "clAppWorkSpace", "clHighlight", "clHighlightText", "clBtnFace",
    "clBtnShadow", "clGrayText", "clBtnText", "clInactiveCaptionText", "clBtnHighlight", "cl3DDkShadow",
    "cl3DLight", "clInfoText", "clInfoBk"};

// Small integers: dialog results, font styles, frames, text alignment, band alignment, line
// styles and message box flags.
constexpr IntConstant kSmall[] = {
    {"mrNone", 0},
    {"mrOk", 1},
    {"mrCancel", 2},
    {"mrYes", 6},
    {"mrNo", 7},
    {"fsBold", 2},
    {"fsItalic", 1},
    {"fsUnderline", 4},
    {"fsStrikeOut", 8},
    {"frftNone", 0},
    {"frftRight", 1},
    {"frftBottom", 2},
    {"frftLeft", 4},
    {"frftTop", 8},
    {"frtaLeft", 0},
    {"frtaRight", 1},
    {"frtaCenter", 2},
    {"frtaVertical", 4},
    {"frtaMiddle", 8},
    {"frtaDown", 16},
    {"baNone", 0},
    {"baLeft", 1},
    {"baRight", 2},
    {"baCenter", 3},
    {"baWidth", 4},
    {"baBottom", 5},
    {"baTop", 6},
    {"baRest", 7},
    {"psSolid", 0},
    {"psDash", 1},
    {"psDot", 2},
    {"psDashDot", 3},
    {"psDashDotDot", 4},
    {"psDouble", 5},
    {"mb_Ok", 0},
    {"mb_OkCancel", 1},
    {"mb_YesNo", 4},
    {"mb_YesNoCancel", 3},
    {"mb_IconError", 16},
    {"mb_IconQuestion", 32},
    {"mb_IconInformation", 64},
    {"mb_IconWarning", 48},
};

} // namespace

void fill(TfrVariables& constants)
{
    for (const IntConstant& c : kColours)
        constants.SetValue(QString::fromLatin1(c.name), Value::integer(static_cast<qint32>(c.value)));
    quint32 system = 0xFF000000u;
    for (const char* name : kSystemColours)
        constants.SetValue(QString::fromLatin1(name), Value::integer(static_cast<qint32>(system++)));
    for (const IntConstant& c : kSmall)
        constants.SetValue(QString::fromLatin1(c.name), Value::smallInt(static_cast<quint8>(c.value)));
    constants.SetValue(QStringLiteral("CRLF"), Value(QStringLiteral("\r\n")));
    constants.SetValue(QStringLiteral("Null"), Value::null());
}

} // namespace vaskel::ReportConstants
