// Identifiers of every resource of setup.exe: dialog templates, their
// controls, the icon, the string table and the menu command the wizard adds
// to its system menu. Included by the .rc files and by C++ alike, so it holds
// nothing but #defines.
#pragma once

#define IDC_STATIC (-1)

// Icon, strings, version and manifest.
#define IDI_SETUP 128
#define IDS_F1_HELP_TIP 134

// System menu command of the About item the wizard appends.
#define IDM_ABOUTBOX 0x0010

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_WIZARD 102
#define IDD_OS_PAGE 130
#define IDD_PRINTER_PAGE 131
#define IDD_PORT_PAGE 132
#define IDD_AGREEMENT_PAGE 133
#define IDD_PROGRESS 141
#define IDD_MODE_PAGE 137

// Resource type of the list items a template carries for its combo boxes
// (the classic "DLGINIT" layout).
#define RT_DIALOG_INIT 240

// About box (100).
#define IDC_ABOUT_VERSION 1091
#define IDC_ABOUT_COPYRIGHT 1092

// Wizard frame (102).
#define IDC_PAGE_AREA 1001
#define IDC_BACK 1002
#define IDC_LEFT_PICTURE 1087
#define IDC_HELP_HINT 1093

// Operating-system page (130); the group box shares its id with the printer page's.
#define IDC_SELECT_GROUP 1094
#define IDC_OS_98ME 1026
#define IDC_OS_NT 1027
#define IDC_OS_2000 1028
#define IDC_OS_XP 1029
#define IDC_OS_2003 1075
#define IDC_OS_VISTA 1076
#define IDC_OS_2008 1077
#define IDC_OS_WIN7 1078

// Printer page (131).
#define IDC_RECEIPT 1019
#define IDC_TICKET 1020
#define IDC_LABEL 1021
#define IDC_EMBEDDED 1073
#define IDC_RECEIPT_LIST 1030
#define IDC_TICKET_LIST 1031
#define IDC_LABEL_LIST 1032
#define IDC_EMBEDDED_LIST 1074
#define IDC_DEFAULT_PRINTER 1046

// Port page (132).
#define IDC_PORT_GROUP 1095
#define IDC_PORTS_LABEL 1096
#define IDC_PORT_LIST 1049
#define IDC_COM_GROUP 1097
#define IDC_BAUD_LABEL 1098
#define IDC_BAUD_LIST 1041
#define IDC_BYTE_SIZE_LIST 1042
#define IDC_PARITY_LIST 1043
#define IDC_STOP_BITS_LIST 1044
#define IDC_FLOW_CONTROL_LIST 1045
#define IDC_PARITY_LABEL 1099
#define IDC_BYTE_SIZE_LABEL 1100
#define IDC_STOP_BITS_LABEL 1101
#define IDC_PROTOCOL_LABEL 1102
#define IDC_RASTER 1052
#define IDC_DRIVER_MESSAGE 1065

// Agreement page (133).
#define IDC_AGREEMENT_GROUP 1090
#define IDC_AGREEMENT_TEXT 1081
#define IDC_ACCEPT 1057
#define IDC_REJECT 1058

// Installation mode page (137).
#define IDC_TYPE_GROUP 1103
#define IDC_TYPICAL 1066
#define IDC_ADVANCED 1067
#define IDC_REMARK1 1068
#define IDC_REMARK2 1069
#define IDC_REMARK3 1070
#define IDC_REMARKS_LABEL 1104

// Progress window (141).
#define IDC_PROGRESS 1079
