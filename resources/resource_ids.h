// Every resource, command, control and message number of the program, in
// one place. Included by the resource script as well as by C++.
#pragma once

// Commands: toolbar buttons, menu items and what the program sends itself.
#define IDM_EXIT                 100
#define IDM_CONVERT_FILES        101
#define IDM_CONVERT_CLIPBOARD    102
#define IDM_OVERWRITE_INPUT      103
#define IDM_CONVERT_NEWLINES     104
#define IDM_SOURCE_CODEPAGE      105
#define IDM_DESTINATION_CODEPAGE 106
#define IDM_EXCHANGE             107
#define IDM_AUTO_CONVERT         108
#define IDM_CONTEXT_HELP         109
#define IDM_DESTINATION_FIRST    201  // 201..205: destination code page 0..4
#define IDM_SOURCE_FIRST         211  // 211..215: source code page 0..4

// System-menu items; multiples of 16, as WM_SYSCOMMAND masks the low bits.
#define IDM_ALWAYS_ON_TOP        256
#define IDM_PREVIEW              272
#define IDM_ABOUT                288
#define IDM_SAVE_PATHS           304
#define IDM_SAME_PATHS           320
#define IDM_PREVIEW_CP1251       336
#define IDM_PREVIEW_FONT         352
#define IDM_HOTKEYS              368
#define IDM_DETECT_SOURCE        384
#define IDM_REPAIR_TEXT          400
// The interface's language, in the system menu's "Language" submenu.
#define IDM_LANGUAGE_ENGLISH     416
#define IDM_LANGUAGE_RUSSIAN     432
#define IDM_LANGUAGE_UKRAINIAN   448

// Menus.
#define IDR_CODEPAGE_MENU        102  // popup "Dummy": source and destination submenus
#define IDR_TRAY_MENU            103  // popup "PopUp": the tray and command bar menu

// Strings: 1..5 the code page names (code page index + 1); the tooltips
// and the system menu's items carry their command's number. A string in
// forms for a count has its first form at its number, the others after it.
#define IDS_CODEPAGE_FIRST       1
#define IDS_LANGUAGE_MENU        1024  // the system menu's "Language" submenu
#define IDS_HELP_FILE            1025  // the help files' name, without .chm or .hlp
#define IDS_ABOUT_TEXT           1026  // %s: the version
#define IDS_ABOUT_TITLE          1027
#define IDS_HOTKEYS_FAILED       1028  // + the failures (1..3) that InstallHotKeys returns
#define IDS_CANCELLED            1032  // the title after a cancelled file job
#define IDS_STANDINS_TIP         1033  // 3 forms; %lu the count, %s the code page
#define IDS_STANDINS_TITLE       1036  // 3 forms; %s the tip, %s the program's name
#define IDS_FILE_FILTER          1040  // the file dialogs' filter, each part ending in '|'
#define IDS_SAVE_AS              1041  // the save dialog's title; %s the file's name
#define IDS_IN_PLACE_QUESTION    1042
#define IDS_CANT_OPEN_FOR_READ   1043  // the titles of the boxes that name a file
#define IDS_CANT_OPEN_FOR_WRITE  1044
#define IDS_CANT_READ            1045
#define IDS_CANT_REPLACE         1046
#define IDS_CANT_CREATE_TEMPORARY 1047
#define IDS_NOT_ENOUGH_MEMORY    1048  // the texts of the boxes titled "Tarvo"
#define IDS_WRITE_FAILED         1049

// Pictures.
#define IDI_TARVO                1    // 32 x 32
#define IDI_TARVO_SMALL          3    // 16 x 16, also the tray icon
#define IDC_CONTEXT_HELP_CURSOR  1
#define IDB_COMMAND_IMAGES       5    // 20 cells of 16 x 15
#define IDB_CODEPAGE_IMAGES      6    // 8 cells of 32 x 32

// Images of the code page bar besides the five code pages.
#define IMAGE_ARROW_RIGHT        5
#define IMAGE_ARROW_LEFT         6

// The hot keys dialog.
#define IDD_HOTKEYS              1
#define IDC_ACTIVATION_HOTKEY    101
#define IDC_CLIPBOARD_HOTKEY     102

// The question before a file is converted in place: Yes, No, and a Cancel
// button that means "yes, and ask no more". Esc and the close box are No.
// The text has the id of a message box's text.
#define IDD_IN_PLACE_QUESTION    2
#define IDC_QUESTION_ICON        110
#define IDC_YES_ASK_NO_MORE      111
#define IDC_QUESTION_TEXT        0xFFFF

// Child windows of the main window.
#define IDC_COMMANDBAR           101
#define IDC_CODEPAGEBAR          102
#define IDC_SOURCE_PANE          1003
#define IDC_RESULT_PANE          1004

// Help context numbers of the two panes; buttons use their command.
#define HELP_SOURCE_PANE         1001
#define HELP_RESULT_PANE         1002

// The tray icon's callback message.
#define WM_TRAYNOTIFY            32868
// A clipboard notification put off until the one before it has gone along
// the chain.
#define WM_DEFERRED_DRAWCLIPBOARD 32869
// A file job tells the window how far it has got: wParam says what
// happened, lParam the percent done (FILE_JOB_PROGRESS) or 1 when the job
// was cancelled (FILE_JOB_ENDED).
#define WM_FILEJOB               32870
#define FILE_JOB_STARTED         0
#define FILE_JOB_PROGRESS        1
#define FILE_JOB_ENDED           2
// A job asks the main window for the Parameters word as its controls show
// it at that moment: the code pages on the code page bar, the option
// switches, and the checks of the system menu.
#define WM_GETPARAMETERS         32871
// A job asks the main window to bring its preview up to date: wParam 1
// reloads the source pane from the clipboard first; lParam, when not 0, is
// a text (const char*) for the source pane.
#define WM_REFRESHPREVIEW        32872
// A job tells the main window how many characters (lParam) had no place in
// the destination code page (wParam) and were written as stand-ins; 0 after
// a job that wrote none.
#define WM_STANDINS              32873
#define TRAY_ICON_ID             1

// Timers of the main window.
#define TIMER_HANDED_FILES       2    // files from the command line or a second start
