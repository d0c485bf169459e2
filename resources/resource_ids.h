#pragma once
// Resource numbers, shared by the resource script and the code. Resources are named by number only.

#define IDS_DESCRIPTION 1
#define IDI_SAVER 1
#define IDD_CONFIG 104
#define IDB_PICTURE 111
#define IDI_SAVER_GROUP 112
#define IDC_ROTATE 1000
