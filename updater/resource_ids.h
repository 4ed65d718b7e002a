#pragma once
// Identifiers shared by the program and its resource script.

#define IDS_APP_TITLE 103
#define IDC_UPDATERWIN32 109
#define IDI_UPDATERWIN32 107
#define IDI_SMALL 108
#define IDM_ABOUT 104
