#pragma once

#include <string_view>

// The main window's design-time values as they are stored: each entry a property name, one space, then the
// value in the form of the property's declared type (Int32 4 bytes big-endian, Boolean 1 byte, String a
// 4-byte big-endian length and the bytes, Color 3 bytes red, green, blue). Names are matched without regard
// to case, which "MacProcID" and "ScrollbarHorizontal" rely on.
// clang-format off
namespace Window1PropertyLists {

using namespace std::string_view_literals;

// The window: 490 by 403, resizable between 64 by 64 and 32000 by 32000.
inline constexpr std::string_view kWindow =
    "Placement " "\x00\x00\x00\x00"
    "Width " "\x00\x00\x01\xEA"
    "Height " "\x00\x00\x01\x93"
    "MinWidth " "\x00\x00\x00\x40"
    "MinHeight " "\x00\x00\x00\x40"
    "MaxWidth " "\x00\x00\x7D\x00"
    "MaxHeight " "\x00\x00\x7D\x00"
    "Frame " "\x00\x00\x00\x00"
    "Composite " "\x00"
    "HasBackColor " "\x00"
    "BackColor " "\xFF\xFF\xFF"
    "Title " "\x00\x00\x00\x08" "Wrenfold"
    "Visible " "\x01"
    "FullScreen " "\x00"
    "MenuBarVisible " "\x01"
    "CloseButton " "\x01"
    "Resizeable " "\x01"
    "LiveResize " "\x01"
    "MaximizeButton " "\x01"
    "MinimizeButton " "\x01"
    "BalloonHelp " "\x00\x00\x00\x00"
    "MacProcID " "\x00\x00\x00\x00"sv;

// The add button, along the top edge.
inline constexpr std::string_view kPushButton1 =
    "Name " "\x00\x00\x00\x0B" "PushButton1"
    "Index " "\x80\x00\x00\x00"
    "Left " "\x00\x00\x00\x14"
    "Top " "\x00\x00\x00\x0E"
    "Width " "\x00\x00\x01\xC2"
    "Height " "\x00\x00\x00\x14"
    "LockLeft " "\x01"
    "LockTop " "\x01"
    "LockRight " "\x01"
    "LockBottom " "\x00"
    "TabPanelIndex " "\x00\x00\x00\x00"
    "TabIndex " "\x00\x00\x00\x00"
    "Caption " "\x00\x00\x00\x21" "Add Prophet 600 Patch File (.syx)"
    "Default " "\x00"
    "Cancel " "\x00"
    "Enabled " "\x01"
    "Visible " "\x01"
    "HelpTag " "\x00\x00\x00\x00"
    "AutoDeactivate " "\x01"
    "TextFont " "\x00\x00\x00\x06" "System"
    "TextSize " "\x00\x00\x00\x00"
    "Bold " "\x00"
    "Italic " "\x00"
    "Underline " "\x00"
    "InitialParent " "\x00\x00\x00\x00"sv;

// The patch list: a hidden path column, then name, size and patch number.
inline constexpr std::string_view kListbox1 =
    "Name " "\x00\x00\x00\x08" "Listbox1"
    "Index " "\x80\x00\x00\x00"
    "Left " "\x00\x00\x00\x14"
    "Top " "\x00\x00\x00\x2E"
    "Width " "\x00\x00\x01\xC2"
    "Height " "\x00\x00\x01\x31"
    "LockLeft " "\x01"
    "LockTop " "\x01"
    "LockRight " "\x01"
    "LockBottom " "\x01"
    "TabPanelIndex " "\x00\x00\x00\x00"
    "TabIndex " "\x00\x00\x00\x01"
    "Visible " "\x01"
    "HelpTag " "\x00\x00\x00\x00"
    "AutoDeactivate " "\x01"
    "Enabled " "\x01"
    "ColumnCount " "\x00\x00\x00\x04"
    "ColumnWidths " "\x00\x00\x00\x0D" "0,50%,25%,25%"
    "HasHeading " "\x01"
    "UseFocusRing " "\x01"
    "InitialValue " "\x00\x00\x00\x00"
    "HeadingIndex " "\xFF\xFF\xFF\xFF"
    "ScrollbarHorizontal " "\x00"
    "ScrollBarVertical " "\x01"
    "GridLinesHorizontal " "\x00\x00\x00\x00"
    "GridLinesVertical " "\x00\x00\x00\x00"
    "DefaultRowHeight " "\xFF\xFF\xFF\xFF"
    "_ScrollWidth " "\xFF\xFF\xFF\xFF"
    "_ScrollOffset " "\x00\x00\x00\x00"
    "TextFont " "\x00\x00\x00\x06" "System"
    "TextSize " "\x00\x00\x00\x00"
    "Bold " "\x00"
    "Italic " "\x00"
    "Underline " "\x00"
    "Hierarchical " "\x00"
    "EnableDrag " "\x00"
    "EnableDragReorder " "\x00"
    "RequiresSelection " "\x00"
    "SelectionType " "\x00\x00\x00\x00"
    "ColumnsResizable " "\x00"
    "AutoHideScrollbars " "\x01"
    "DataSource " "\x00\x00\x00\x00"
    "DataField " "\x00\x00\x00\x00"
    "InitialParent " "\x00\x00\x00\x00"sv;

// The merge button, along the bottom edge.
inline constexpr std::string_view kPushButton2 =
    "Name " "\x00\x00\x00\x0B" "PushButton2"
    "Index " "\x80\x00\x00\x00"
    "Left " "\x00\x00\x00\x14"
    "Top " "\x00\x00\x01\x6B"
    "Width " "\x00\x00\x01\xC2"
    "Height " "\x00\x00\x00\x14"
    "LockLeft " "\x01"
    "LockTop " "\x00"
    "LockRight " "\x01"
    "LockBottom " "\x01"
    "TabPanelIndex " "\x00\x00\x00\x00"
    "TabIndex " "\x00\x00\x00\x02"
    "Caption " "\x00\x00\x00\x1B" "Merge Patches Into One File"
    "Default " "\x00"
    "Cancel " "\x00"
    "Enabled " "\x01"
    "Visible " "\x01"
    "HelpTag " "\x00\x00\x00\x00"
    "AutoDeactivate " "\x01"
    "TextFont " "\x00\x00\x00\x06" "System"
    "TextSize " "\x00\x00\x00\x00"
    "Bold " "\x00"
    "Italic " "\x00"
    "Underline " "\x00"
    "InitialParent " "\x00\x00\x00\x00"sv;

} // namespace Window1PropertyLists
// clang-format on
