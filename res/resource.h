/* Every resource and control id of Orlimo.exe. Plain macros: the resource
   compiler reads this file too. */
#ifndef ORLIMO_RESOURCE_H
#define ORLIMO_RESOURCE_H

/* Dialog templates */
#define IDD_ABOUTBOX 100
#define IDD_SKINPATCH_DIALOG 102

/* Icon group */
#define IDR_MAINFRAME 128

/* Controls of the main dialog (IDOK and IDCANCEL come from windows.h) */
#define IDC_APPLY 1005
#define IDC_REMOVE 1006
#define IDC_SKIN_EDIT 1007
#define IDC_PASTE 1008
#define IDC_COPY 1009
#define IDC_STATIC (-1)

/* System-menu command; the system ignores its low four bits */
#define IDM_ABOUTBOX 0x0010

/* Strings */
#define IDS_ABOUTBOX 101
#define IDS_OUT_OF_MEMORY 110
#define IDS_UNPAIRED_SURROGATE 111
#define IDS_TEXT_TOO_LONG 112
#define IDS_COMMAND_FAILED 113
#define IDS_FILE_IS_FOLDER 114
#define IDS_FILE_UNREADABLE 115
#define IDS_FILE_TOO_LARGE 116
#define IDS_FILE_NOT_TEXT 117
#define IDS_DROP_ONE_FILE 118
#define IDS_FILE_EMPTY 119
#define IDS_CLIPBOARD_NO_TEXT 120
#define IDS_PASTE_BUSY 121
#define IDS_COPY_BUSY 122
#define IDS_NOTHING_TO_COPY 123
#define IDS_APP_TITLE 0xE000 /* the application's name, read by CWinApp */

#endif
