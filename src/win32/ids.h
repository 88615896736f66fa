#pragma once

// Control identifiers, and what a window is asked to do by the message loop.
#include <windows.h>

enum : int {
    kFaceList = 10,
    kCopyButton,
    kEditButton,
    kAboutButton,
    kAlwaysOnTopBox,
    kCurrentList = 20,
    kPoolList,
    kMoveToPoolButton,
    kMoveToCurrentButton,
    kCreateButton,
    kUpButton,
    kDownButton,
    kEraseButton,
    kOkButton,
    kCancelButton,
    kImportButton,
    kVersionButton,
};

// The copy key (Ctrl+C) was pressed on the list box in lParam.
inline constexpr UINT kCopyKey = WM_APP + 1;
// Shift+Enter was pressed on the list box in lParam: the face goes into the previous window.
inline constexpr UINT kPasteKey = WM_APP + 2;
// The context menu's entries.
enum : int { kCopyCommand = 40, kPasteCommand };
