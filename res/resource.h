// Resource and command identifiers shared by the resource script and the code.
#pragma once

// Strings
#define IDS_APP_CAPTION 1
#define IDS_ABOUT_TEMPLATE 2

// Icons
#define IDI_NOTES 101
#define IDI_ERASE 105
#define IDI_HELP 106
#define IDI_INFO 107
#define IDI_OPTIONS 110

// Dialogs and the accelerator table
#define IDD_PREFERENCES 104
#define IDD_ABOUT 108
#define IDD_EXPORT 111
#define IDD_VERSIONS 112
#define IDD_HOTKEY 115
#define IDR_ACCELERATORS 109
// The keys that people expect of a Windows text program besides the three of the table above:
// those that act wherever the keyboard is, and those that edit the note, which the Find dialog
// keeps for its own box while it has the keyboard
#define IDR_MORE_KEYS 113
#define IDR_EDITING_KEYS 114

// Child controls of the main window
#define IDC_NOTEEDITOR 102
#define IDC_TABSTRIP 103

// Popup menu kinds
#define MENU_EDITOR 415
#define MENU_TRAY 416

// Commands of the tray menu, the editor menu and the accelerators
#define IDM_OPEN 421
#define IDM_ABOUT 422
#define IDM_EXIT 423
#define IDM_PREFERENCES 424
#define IDM_UNDO 425
#define IDM_CUT 426
#define IDM_COPY 427
#define IDM_PASTE 428
#define IDM_DELETE 429
#define IDM_SELECTALL 430
#define IDM_EXPORTPAGE 431
#define IDM_INSERTDATETIME 40002
#define IDM_INSERTLINE 40003
#define IDM_SAVEPAGE 40004
#define IDM_NEXTPAGE 40005
#define IDM_PREVIOUSPAGE 40006
#define IDM_DELETEWORD 40007
#define IDM_TEXTLARGER 40008
#define IDM_TEXTSMALLER 40009
#define IDM_TEXTNORMAL 40010
#define IDM_FIND 40011
#define IDM_FINDNEXT 40012
#define IDM_FINDPREVIOUS 40013
// The window menu's Previous Versions: a system command, so below 0xF000 with its low four
// bits clear.
#define IDM_PREVIOUSVERSIONS 0x01B0
#define IDM_THEME_WINDOWS 0x01C0
#define IDM_THEME_LIGHT 0x01D0
#define IDM_THEME_DARK 0x01E0
#define IDM_GLOBALHOTKEY 0x01F0
#define IDM_ALWAYSONTOP 0x0200

// Preferences dialog controls
#define IDC_PREF_NAME0 1000
#define IDC_PREF_CLEAR 1005
#define IDC_PREF_OK 1006
#define IDC_PREF_CANCEL 1007
#define IDC_PREF_APPLY 1008
#define IDC_PREF_HELP 1009
#define IDC_PREF_WORDWRAP 1010
#define IDC_PREF_AUTOSTART 1011
#define IDC_PREF_EXPORT 1012

// Export dialog controls
#define IDC_EXPORT_CANCEL 1007
#define IDC_EXPORT_PAGE0 1011
#define IDC_EXPORT_EXPORT 1016

// About dialog controls
#define IDC_ABOUT_OK 1006
#define IDC_ABOUT_TEXT 1007

// Previous Versions dialog controls
#define IDC_VERSIONS_LIST 1020
#define IDC_VERSIONS_VIEW 1021
#define IDC_VERSIONS_TROUBLE 1022
#define IDC_VERSIONS_RESTORE 1023

// Global Hotkey dialog controls
#define IDC_HOTKEY_KEY 1030
#define IDC_HOTKEY_STATE 1031
#define IDC_HOTKEY_NONE 1032
