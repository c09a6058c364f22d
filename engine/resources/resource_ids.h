/* The ids of the program's resources and menu commands, shared by the resource script and the
   code (plain preprocessor definitions, as the resource compiler reads them). */
#ifndef VELMO_RESOURCE_IDS_H
#define VELMO_RESOURCE_IDS_H

/* Menus: the menu bar of the window, and the pop-ups (full screen, bookmark list, plug-in list,
   and the one item only @CallDialog posts). */
#define IDR_MAINMENU 101
#define IDR_POPUPMENU 110
#define IDR_ACCELERATOR 142
#define IDC_PROGRAM_CURSOR 106

/* The text-input dialog of @CallDialog TEXT. */
#define IDD_TEXTINPUT 131
#define IDC_TEXTINPUT_PROMPT 1076
#define IDC_TEXTINPUT_EDIT 601

/* Icons of the bookmark list (by mark) and of the plug-in list (by type). */
#define IDI_BOOKMARK_EMPTY 100
#define IDI_BOOKMARK_READONLY 101
#define IDI_PLUGIN 102
#define IDI_PLUGIN_EFFECT 103
#define IDI_PLUGIN_PROCEDURE 104
#define IDI_BOOKMARK_BLUE 138
#define IDI_BOOKMARK_YELLOW 140
#define IDI_BOOKMARK_RED 141

/* The bookmark dialogs (one template for both). */
#define IDD_BOOKMARK 102
#define IDC_BOOKMARK_LIST 1000
#define IDC_BOOKMARK_DELETE 3
#define IDC_BOOKMARK_PREVIOUS 4
#define IDC_BOOKMARK_NEXT 5

/* The pages of the settings sheet and their controls. */
#define IDD_PAGE_BEHAVIOUR 115
#define IDD_PAGE_MOUSE 116
#define IDD_PAGE_MULTIMEDIA 117
#define IDD_PAGE_FONT 118
#define IDD_PAGE_PLUGINS 119
#define IDD_PAGE_MESSAGE 134
#define IDC_TRANSITION 1008
#define IDC_EFFECT 1054
#define IDC_AUTOSELECT 1055
#define IDC_NATIVECODE 1072
#define IDC_SPEED 1078
#define IDC_SPEED_PREVIEW 1079
#define IDC_FORCE_USER_FONT 1083
#define IDC_SMOOTH_FONT 1084
#define IDC_FACE_NAME 1006
#define IDC_FIXED_PITCH 1066
#define IDC_RIGHT_NONE 30001
#define IDC_RIGHT_SKIPNEXT 30002
#define IDC_RIGHT_ERASE 30003
#define IDC_RIGHT_CONFIG 30004
#define IDC_RIGHT_CAPTURE 30005
#define IDC_RIGHT_CAPTURE_AUTO 30006
#define IDC_ENABLE_SE 1012
#define IDC_ENABLE_VOICE 1014
#define IDC_ENABLE_MIDI 1011
#define IDC_ENABLE_CDDA 1013
#define IDC_CD_DRIVE 1088
#define IDC_ENABLE_AVI 1019
#define IDC_ENABLE_MMX 1015
#define IDC_ENABLE_FADE 1070
#define IDC_VOLUME 1075
#define IDC_PLUGIN_LIST 1000

/* The about box. */
#define IDD_ABOUT 502
#define IDC_ABOUT_VERSION 1072
#define IDC_ABOUT_LINK 1074

/* Menu commands. */
#define IDM_EXIT 40001
#define IDM_CONFIG 40008
#define IDM_ABOUT 40009
#define IDM_SKIPNEXT 40010
#define IDM_ERASEMESSAGE 40011
#define IDM_SAVE 40012
#define IDM_LOAD 40013
#define IDM_TITLE 40014
#define IDM_FULLSCREEN 40018
#define IDM_TITLE_NOASK 40019
#define IDM_CAPTURE 40020
#define IDM_BOOKMARK_BLUE 40026
#define IDM_BOOKMARK_YELLOW 40027
#define IDM_BOOKMARK_RED 40028
#define IDM_FLASHBACK 40030
#define IDM_ABOUTSCENARIO 40031
#define IDM_PLUGIN_CONFIG 40032
#define IDM_PLUGIN_ABOUT 40033
#define IDM_CAPTURE_AUTO 40034
#define IDM_AUTOMODE 40035
#define IDM_READSKIP 40036
/* The window's scale: x1, x2, x3 (consecutive, checked as one group). */
#define IDM_WINDOW_X1 40051
#define IDM_WINDOW_X2 40052
#define IDM_WINDOW_X3 40053

#endif
