#pragma once
// The published settings of the flat-look component `TXPMenu`, with the component's defaults.
// The query window changes only `Active` and the font (see TForm1).
#include "ui/xplook/XPSystemColors.h"

#include <QFont>

#include <optional>

#include <cstdint>

namespace vaskel {

// Kinds of control the component may paint, in bit order from bit 0.
enum TXPControl : std::uint32_t {
    xcMainMenu,
    xcPopupMenu,
    xcToolbar,
    xcControlbar,
    xcCombo,
    xcListBox,
    xcEdit,
    xcMaskEdit,
    xcMemo,
    xcRichEdit,
    xcMiscEdit,
    xcCheckBox,
    xcRadioButton,
    xcButton,
    xcBitBtn,
    xcSpeedButton,
    xcUpDown,
    xcPanel,
    xcGroupBox,
    xcTreeView,
    xcListView,
    xcProgressBar,
    xcHotKey
};

// Kinds of parent whose controls may be painted, in bit order from bit 0.
enum TXPContainer : std::uint32_t {
    xccForm,
    xccFrame,
    xccToolbar,
    xccCoolbar,
    xccControlbar,
    xccPanel,
    xccScrollBox,
    xccGroupBox,
    xccTabSheet,
    xccPageScroller
};

constexpr std::uint32_t kAllXPControls = (1u << 23) - 1;
constexpr std::uint32_t kAllXPContainers = (1u << 10) - 1;

struct XPMenuSettings {
    bool AutoDetect = false;
    bool DisableSubclassing = false;
    QFont Font; // the menu font; its colour is FontColor
    XPColorSetting FontColor = SystemColor::MenuText;
    XPColorSetting Color = SystemColor::BtnFace;
    XPColorSetting IconBackColor = SystemColor::BtnFace;
    XPColorSetting MenuBarColor = SystemColor::BtnFace;
    XPColorSetting SelectColor = SystemColor::Highlight;
    XPColorSetting SelectBorderColor = SystemColor::Highlight;
    // Unset means "the font colour".
    std::optional<XPColorSetting> SelectFontColor;
    XPColorSetting DisabledColor = SystemColor::InactiveCaption;
    XPColorSetting SeparatorColor = SystemColor::BtnFace;
    XPColorSetting CheckedColor = SystemColor::Highlight;
    int IconWidth = 24;
    bool DrawSelect = true;
    bool UseSystemColors = true;
    bool UseDimColor = false;
    bool OverrideOwnerDraw = false;
    bool Gradient = false;
    bool FlatMenu = false;
    bool DrawMenuBar = false;
    std::uint8_t GrayLevel = 10;
    std::uint8_t DimLevel = 30;
    std::uint32_t XPContainers = kAllXPContainers;
    std::uint32_t XPControls = kAllXPControls;

    bool hasControl(TXPControl c) const { return (XPControls >> c) & 1u; }
    bool hasContainer(TXPContainer c) const { return (XPContainers >> c) & 1u; }
};

} // namespace vaskel
