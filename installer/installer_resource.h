// Resource and control identifiers of the installer.
#pragma once

#define IDI_INSTALLER 128
#define IDD_INSTALLER 129
#define IDB_LOGO 130
#define IDD_INFO 133
#define IDD_EXPLANATION 134
#define IDR_LAUNCHER 142

#define IDS_NOT_CLIENT_PROGRAM 105
#define IDS_OTHER_VERSION 106
#define IDS_BACKED_UP_TO 107
#define IDS_BACKUP_FAILED 108
#define IDS_INSTALLED_TO 109
#define IDS_INSTALLED 110
#define IDS_CANNOT_OPEN_CLIENT 111
#define IDS_CANNOT_OPEN_FILE 112
#define IDS_TITLE 113
#define IDS_EXPLANATION 114
#define IDS_VIRTUAL_MENUS 115
#define IDS_CHAT_LINKS 116
#define IDS_NOT_REPLACED 117
#define IDS_NO_SHORTCUT 118
#define IDS_NO_FILE_SELECTION 119
#define IDS_CANNOT_READ_VERSION 120
#define IDS_OPEN_YOURSELF 121
#define IDS_NO_USER_FOLDERS 122
#define IDS_VIRTUAL_MENUS_REFUSED 123
#define IDS_BROWSE_NAME 124
#define IDS_RESULTS_NAME 125

// The main dialog (IDD_INSTALLER).
#define IDC_EXPLANATION 1001
#define IDC_INSTALL 1006
#define IDC_RESULTS 1009
#define IDC_TITLE 1011
#define IDC_WEB_LINK 1012
#define IDC_BROWSE 3005
#define IDC_CLIENT_PATH 3073

// The information dialog (IDD_INFO), whose numbers are its own: its
// shortcut box has the number of the main dialog's title.
#define IDC_SUBSCRIBE 1010
#define IDC_CREATE_SHORTCUT 1011
