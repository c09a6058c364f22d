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
/* The window's scale: x1, x2, x3 (consecutive, checked as one group). */
#define IDM_WINDOW_X1 40051
#define IDM_WINDOW_X2 40052
#define IDM_WINDOW_X3 40053

#endif
