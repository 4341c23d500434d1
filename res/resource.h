// Resource identifiers of the module.
#pragma once

// Strings
#define IDS_NVATT 1
#define IDS_NVATT_PPG 2
#define IDS_NVATT_PPG_CAPTION 200

// Bitmaps
#define IDB_NVATT 1

// Dialogs
#define IDD_ABOUTBOX_NVATT 100
#define IDD_PROPPAGE_NVATT 200

// Controls
#define IDC_ABOUT_TITLE 101
#define IDC_ABOUT_VERSION 102
#define IDC_PROPPAGE_TEXT 201

// Busy popup
#define IDD_BUSY 522
#define IDB_BUSY 523
#define IDC_BUSY_TEXT 1030
#define IDC_BUSY_PICTURE 1031

// Type library
#define IDR_TYPELIB 1
