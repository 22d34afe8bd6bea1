// Identifiers of the user program's resources, shared by the built-in script,
// every language library and the code. One symbol may share its value with
// another of a different dialog, as the templates reuse control numbers.

// Dialog templates
#define IDD_PASSCODE                    134
#define IDD_DIAGNOSTICS_MENU            139
#define IDD_INFO                        140

// Shared buttons
#define IDC_CLOSE                       1034

// Diagnostics Menu (139)
#define IDC_MENU_INFO                   1035
#define IDC_MENU_CALIBRATE_PRINTHEAD    1068
#define IDC_MENU_READ_SENSORS           1091
#define IDC_MENU_UNLOCK                 1092
#define IDC_MENU_CALIBRATE_SENSORS      1093
#define IDC_MENU_CALIBRATE_PEB          1094
#define IDC_MENU_PRINT_TESTS            1096
#define IDC_MENU_KEYBOARD_SETUP         1097
#define IDC_MENU_ERROR_LOG              1098
#define IDC_MENU_COPY_TO_USB            1099
#define IDC_MENU_USB_TEST               1101
#define IDC_MENU_DISPLAY_PEB            1121

// Passcode keypad (134); also the serial number keypad
#define IDC_KEY_1                       1000
#define IDC_KEY_2                       1001
#define IDC_KEY_3                       1002
#define IDC_KEY_4                       1003
#define IDC_KEY_5                       1004
#define IDC_KEY_6                       1005
#define IDC_KEY_7                       1006
#define IDC_KEY_8                       1007
#define IDC_KEY_9                       1008
#define IDC_PASSCODE                    1009
#define IDC_KEY_0                       1010
#define IDC_KEY_CLEAR                   1035
#define IDC_KEY_CANCEL                  1036

// Information (140)
#define IDC_INFO_APP_VERSION            1036
#define IDC_INFO_CUTS_MADE              1037
#define IDC_INFO_INCHES_PRINTED         1038
#define IDC_INFO_TAPE_TAGCHIP           1141
#define IDC_INFO_RIBBON_TAGCHIP         1143

// String table
#define IDS_CODE_ERROR                  1102
#define IDS_IDLE                        1113
#define IDS_STATUS_STOPPED              1117
#define IDS_INSERT_USB                  1127
#define IDS_USB_DETECTED                1128
#define IDS_USB_REMOVED                 1129
#define IDS_PEB_UCN_RANGE               1145
#define IDS_PEB_DCN_RANGE               1146
#define IDS_PEB_UGN_RANGE               1147
#define IDS_PEB_DGN_RANGE               1148
#define IDS_PEB_USN_RANGE               1149
#define IDS_PEB_DSN_RANGE               1150
#define IDS_PEB_ECL_RANGE               1151
#define IDS_PEB_XYCL_RANGE              1152
#define IDS_PEB_XYHOME_RANGE            1153
#define IDS_PEB_CWOFFSET_RANGE          1154
#define IDS_PEB_SAVED                   1155
#define IDS_FILES_COPIED                1156
#define IDS_NO_USB_DRIVE                1157
#define IDS_HEAD_RESISTOR_RANGE         1158
#define IDS_NO_BITMAP                   1159
#define IDS_BITMAP_STARTS               1160
#define IDS_NO_ERROR_LOG                1161
#define IDS_NO_RESULTS_FILE             1162
