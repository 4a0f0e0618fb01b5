// Resource and control identifiers of the link helper.
#pragma once

#define IDI_HELPER 1
#define IDD_FILE_BROWSER 1536  // the setup dialog's file browser

// LINK_DLG: what the request asks for.
#define IDC_LINK_SERVER 114
#define IDC_LINK_CHANNEL 115

// WARN_DLG: the client's version reply.
#define IDC_WARN_VERSION 116

// ASK_DLG and ASK2_DLG (which has no channel line): the client's server, the
// request's server and channel, and the three choices.
#define IDC_ASK_CURRENT_SERVER 114
#define IDC_ASK_CHANGE_SERVER 117
#define IDC_ASK_JOIN_HERE 118
#define IDC_ASK_ANOTHER_COPY 119
#define IDC_ASK_REQUESTED_SERVER 120
#define IDC_ASK_REQUESTED_CHANNEL 121

// INSTALL_DLG, the setup dialog: the texts that the helper sets over the
// template, the three settings and their browse buttons.
#define IDC_SETUP_WELCOME 103
#define IDC_SETUP_PURPOSE 104
#define IDC_SETUP_PROGRAM_PROMPT 105
#define IDC_SETUP_INI_PROMPT 106
#define IDC_SETUP_SERVICE_PROMPT 107
#define IDC_SETUP_NOTICE 108
#define IDC_BROWSE_INI 109
#define IDC_SERVICE 110
#define IDC_INI_PATH 111
#define IDC_BROWSE_PROGRAM 112
#define IDC_PROGRAM_PATH 113
