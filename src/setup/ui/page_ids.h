#pragma once
// Resource and control numbers of the wizard's dialogs, shared by the
// resource script and the code (plain macros, so the resource compiler
// reads them too).

// Controls common to the pages.
#define IDC_NEXT 1001           // next / OK / agree
#define IDC_CANCEL_PAGE 1003    // cancel / decline
#define IDC_READ_ONLY_TEXT 1005 // license and readme text
#define IDC_PROGRESS_BAR 1007
#define IDC_MAIN_TEXT 1009
#define IDC_STATUS_LINE 1011
#define IDC_BROWSE 1013
#define IDC_FOLDER_EDIT 1015
#define IDC_LANGUAGE_LIST 1017
#define IDC_PASSWORD_EDIT 1019
#define IDC_SIDE_PICTURE 1021
#define IDC_OPEN_FILE1_BOX 1023
#define IDC_LAUNCH_APP_BOX 1025
#define IDC_SHOW_LOG_BOX 1027
#define IDC_OPEN_FILE2_BOX 1029
#define IDC_HEADER_PICTURE 1032
#define IDC_HEADER_TITLE 1034
#define IDC_HEADER_SUBTITLE 1035
#define IDC_REQUIRED_SPACE 1036
#define IDC_FREE_SPACE 1037
#define IDC_SEPARATOR 66

// The crash report dialog.
#define IDC_CRASH_SEND 2700
#define IDC_CRASH_EXIT 2701
#define IDC_CRASH_APOLOGY 2702
#define IDC_CRASH_REPORT_TEXT 2703
#define IDC_CRASH_COPY 2704
#define IDC_CRASH_EMAIL 2705
#define IDC_CRASH_EMAIL_LABEL 2706
#define IDC_CRASH_COMMENT 2707
#define IDC_CRASH_COMMENT_LABEL 2708

// Bitmaps of the pages: the side picture, the header band, and the small
// pictures of the next, cancel, browse and OK buttons.
#define IDB_SIDE_PICTURE 201
#define IDB_HEADER_PICTURE 202
#define IDB_NEXT_BUTTON 203
#define IDB_CANCEL_BUTTON 204
#define IDB_BROWSE_BUTTON 205
#define IDB_OK_BUTTON 206
