// Ids of the tape rewind tests (CTapeRewindDlg, template 129, three modes),
// included from resource.h. The common test controls are in resource.h.
#pragma once

#define IDD_TAPE_REWIND                 129

#define IDC_TR_CONSTANT                 1200
#define IDC_TR_RAMP_UP                  1201
#define IDC_TR_CONSTANT_SPEED           1202
#define IDC_TR_RAMP_UP_PATH             1203
#define IDC_TR_RAMP_UP_BROWSE           1204
#define IDC_TR_USE_RAMP_DOWN            1205
#define IDC_TR_RAMP_DOWN_PATH           1206
#define IDC_TR_RAMP_DOWN_BROWSE         1207
#define IDC_TR_PULSES_LABEL             1208
#define IDC_TR_PULSES                   1209
#define IDC_TR_WAIT_LABEL               1210
#define IDC_TR_WAIT                     1211
#define IDC_TR_CAPTURE_LABEL            1212
#define IDC_TR_CAPTURE                  1213
#define IDC_TR_VREF_LABEL               1214
#define IDC_TR_VREF                     1215
#define IDC_TR_VREF_VALUE               1216
#define IDC_TR_STEP_LABEL               1217
#define IDC_TR_FULL                     1218
#define IDC_TR_HALF                     1219
#define IDC_TR_QUARTER                  1220
#define IDC_TR_EIGHTH                   1221
#define IDC_TR_TENSION_LABEL            1222
#define IDC_TR_LOW                      1223
#define IDC_TR_HIGH                     1224
#define IDC_TR_POST_HOLD_LABEL          1225
#define IDC_TR_POST_HOLD                1226
