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

// --- Sensor and PEB screens -------------------------------------------------

// Dialog templates
#define IDD_SENSOR_READ                 130
#define IDD_DISPLAY_PEB                 147
#define IDD_SENSOR_CALIBRATE            148
#define IDD_GAP_SENSOR_CALIBRATE        149
#define IDD_COLOR_SENSOR_CALIBRATE      150
#define IDD_CALIBRATE_PEB               151

// PEB Calibration (151)
#define IDC_PEB_UCN                     1029
#define IDC_PEB_DCN                     1030
#define IDC_PEB_UGN                     1031
#define IDC_PEB_DGN                     1032
#define IDC_PEB_USN                     1033
#define IDC_PEB_DSN                     1131
#define IDC_PEB_ECL                     1132
#define IDC_PEB_XYCL                    1133
#define IDC_PEB_XYHOME                  1134
#define IDC_PEB_CWOFFSET                1135
#define IDC_PEB_SAVE                    1136
#define IDC_PEB_UI_BOARD                1137
#define IDC_PEB_DRIVER_BOARD            1138
#define IDC_PEB_DEFAULT                 1139
#define IDC_PEB_RESTORE                 1140
#define IDC_PEB_M                       1141
#define IDC_PEB_C                       1143

// Display PEB (147)
#define IDC_SHOW_UCN                    1110
#define IDC_SHOW_DCN                    1111
#define IDC_SHOW_UGN                    1112
#define IDC_SHOW_DGN                    1113
#define IDC_SHOW_ECL                    1114
#define IDC_SHOW_XYCL                   1115
#define IDC_SHOW_XYHOME                 1117
#define IDC_SHOW_CWOFFSET               1118
#define IDC_SHOW_USN                    1122
#define IDC_SHOW_DSN                    1123
#define IDC_SHOW_M                      1155
#define IDC_SHOW_C                      1156

// Sensor Settings (130)
#define IDC_SR_READ                     1002
#define IDC_SR_DOOR_OPEN                1044
#define IDC_SR_DOOR_CLOSED              1045
#define IDC_SR_EJECT_HOME_BLOCKED       1052
#define IDC_SR_EJECT_HOME_UNBLOCKED     1053
#define IDC_SR_HEAD_LIFT_BLOCKED        1064
#define IDC_SR_HEAD_LIFT_UNBLOCKED      1065
#define IDC_SR_US_CENTER_NOTCH          1080
#define IDC_SR_DS_CENTER_NOTCH          1081
#define IDC_SR_US_GAP                   1082
#define IDC_SR_DS_GAP                   1083
#define IDC_SR_RIBBON_COLOR             1084
#define IDC_SR_HEAD_VOLTAGE             1085
#define IDC_SR_THERMISTOR               1086
#define IDC_SR_AMBIENT                  1087
#define IDC_SR_CUTTER_REAR_BLOCKED      1088
#define IDC_SR_CUTTER_REAR_UNBLOCKED    1089
#define IDC_SR_CUTTER_FRONT_BLOCKED     1090
#define IDC_SR_CUTTER_FRONT_UNBLOCKED   1091
#define IDC_SR_WIPER_BLOCKED            1092
#define IDC_SR_WIPER_UNBLOCKED          1093
#define IDC_SR_MEDIA_BLOCKED            1094
#define IDC_SR_MEDIA_UNBLOCKED          1095
#define IDC_SR_XY_PINCH_BLOCKED         1096
#define IDC_SR_XY_PINCH_UNBLOCKED       1097
#define IDC_SR_XY_UNPINCH_BLOCKED       1098
#define IDC_SR_XY_UNPINCH_UNBLOCKED     1099
#define IDC_SR_XY_CROSSWEB_BLOCKED      1100
#define IDC_SR_XY_CROSSWEB_UNBLOCKED    1101
#define IDC_SR_DS_SIDE_NOTCH_BLOCKED    1102
#define IDC_SR_DS_SIDE_NOTCH_UNBLOCKED  1103
#define IDC_SR_US_SIDE_NOTCH_BLOCKED    1104
#define IDC_SR_US_SIDE_NOTCH_UNBLOCKED  1105
#define IDC_SR_LIFT_HOME_BLOCKED        1106
#define IDC_SR_LIFT_HOME_UNBLOCKED      1107
#define IDC_SR_LIFT_UP_BLOCKED          1108
#define IDC_SR_LIFT_UP_UNBLOCKED        1109

// Sensor Calibration (148)
#define IDC_SC_GAP_SENSOR               1125
#define IDC_SC_COLOR_SENSOR             1126

// Gap (149) and Color (150) Sensor Calibration
#define IDC_WIZ_NEXT                    1029
#define IDC_WIZ_STEP1                   1030
#define IDC_WIZ_STEP2                   1031
#define IDC_WIZ_STEP3                   1032
#define IDC_WIZ_STEP4                   1033
#define IDC_WIZ_FINISH                  1127
#define IDC_WIZ_GAP_RESULT              1128
#define IDC_WIZ_DAC_RESULT              1129
#define IDC_WIZ_RGB_RESULT              1130
#define IDC_WIZ_NEXT2                   1144

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

// Printhead Calibration (144)
#define IDD_PH_CALIBRATE                144
#define IDC_PH_ENTRY                    1069
#define IDC_PH_SAVE                     1071
#define IDC_PH_CURRENT                  1074
#define IDC_PH_CURRENT_LABEL            1075
#define IDC_PH_READ                     1002

// USB Communication Test (136)
#define IDD_USB_TEST                    136
#define IDC_USB_STATUS                  1074

// Print Test Menu (138) and Print Preview (137)
#define IDD_PRINT_TEST                  138
#define IDD_PRINT_PREVIEW               137
#define IDC_PT_PRINT                    1075
#define IDC_PT_STOP                     1076
#define IDC_PT_SINGLE                   1077
#define IDC_PT_CONTINUOUS               1078
#define IDC_PT_COUNT                    1079
#define IDC_PT_STATUS                   1080
#define IDC_PT_PIXELS_VALUE             1081
#define IDC_PT_LENGTH_VALUE             1082
#define IDC_PT_PIXELS                   1083
#define IDC_PT_LENGTH                   1084
#define IDC_PT_PREVIEW                  1086
#define IDC_PV_PANE                     1087

// --- Error log, copy to USB, keyboard layout ----------------------------------

// Error Log (135)
#define IDD_ERROR_LOG                   135
#define IDC_EL_LIST                     1011
#define IDC_EL_PRINT                    1076

// Copy Diagnostics Files To USB (142): the keypad of the passcode screen
#define IDD_COPY_TO_USB                 142
#define IDC_SERIAL                      1037

// Keyboard Layout (131)
#define IDD_KEYBOARD_LAYOUT             131
#define IDC_KB_AMERICAS_QWERTY          1067
#define IDC_KB_EUROPE_AZERTY            1068
#define IDC_KB_EUROPE_QWERTZ            1069
#define IDC_KB_EUROPE_QWERTY            1070
#define IDC_KB_EUROPE_CYRILLIC          1071
#define IDC_KB_TEST                     1010

// A typed character that no file name may hold, refused in the serial number
#define IDS_SERIAL_BAD_CHAR             1170
