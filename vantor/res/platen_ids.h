// Ids of the platen tests (CPlatenDlg 135, CPlatenSensorDlg 136,
// CPlatenLifeDlg 146) and of the platen panel CPlatenSettingDlg (147),
// included from resource.h. The common test controls are in resource.h.
#pragma once

#define IDD_PLATEN                      135
#define IDD_PLATEN_SENSOR               136
#define IDD_PLATEN_LIFE                 146
#define IDD_PLATEN_SETTING              147

// Platen group (templates 135, 136 and the panel 147)
#define IDC_PL_RAMP_UP                  1001
#define IDC_PL_CONSTANT                 1002
#define IDC_PL_RAMP_UP_PATH             1003
#define IDC_PL_RAMP_UP_BROWSE           1006
#define IDC_PL_CONSTANT_SPEED           1007
#define IDC_PL_FULL                     1008
#define IDC_PL_HALF                     1009
#define IDC_PL_QUARTER                  1010
#define IDC_PL_EIGHTH                   1011
#define IDC_PL_USE_RAMP_DOWN            1018
#define IDC_PL_RAMP_DOWN_PATH           1019
#define IDC_PL_RAMP_DOWN_BROWSE         1020
#define IDC_PL_REVERSE                  1027
#define IDC_PL_FORWARD                  1028
#define IDC_PL_TRACK_ENCODER            1050
#define IDC_PL_CLUTCH                   1051
#define IDC_PL_PULSES                   1052
#define IDC_PL_PRE_HOLD                 1053
#define IDC_PL_POST_HOLD                1054
#define IDC_PL_ENABLE_REVERSE           1055
#define IDC_PL_VREF                     1170
#define IDC_PL_VREF_VALUE               1171
// Labels the panel hides or moves in its ribbon form
#define IDC_PL_PANEL_TITLE              1175
#define IDC_PL_PULSES_LABEL             1176
#define IDC_PL_STEP_LABEL               1177
#define IDC_PL_PRE_HOLD_LABEL           1178
#define IDC_PL_POST_HOLD_LABEL          1179

// Tape Rewind group (templates 135, 136 and 146)
#define IDC_PL_TR_FULL                  1012
#define IDC_PL_TR_HALF                  1015
#define IDC_PL_TR_QUARTER               1025
#define IDC_PL_TR_EIGHTH                1026
#define IDC_PL_TR_CONSTANT              1033
#define IDC_PL_TR_CONSTANT_SPEED        1034
#define IDC_PL_TR_RAMP_UP               1035
#define IDC_PL_TR_RAMP_UP_PATH          1036
#define IDC_PL_TR_RAMP_UP_BROWSE        1037
#define IDC_PL_TR_USE_RAMP_DOWN         1038
#define IDC_PL_TR_RAMP_DOWN_PATH        1039
#define IDC_PL_TR_RAMP_DOWN_BROWSE      1040
#define IDC_PL_TR_REVERSE_PULSES        1164

// Platen sensor test (136): "Downstream Sensor:"
#define IDC_PL_SIDE_NOTCH               1180
#define IDC_PL_CENTER_NOTCH             1181
#define IDC_PL_GAP_NOTCH                1182

// Platen life test (146): which panel is shown, number of passes, and where
// the panels go
#define IDC_PL_LIFE_FORWARD             1027
#define IDC_PL_LIFE_REVERSE             1028
#define IDC_PL_MULTI_PASS               1148
#define IDC_PL_PANEL_AREA               1183
