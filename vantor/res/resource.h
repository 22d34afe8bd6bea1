// Control and template ids of the engineering program, used by vantor.rc and
// by the code. Each test family names its own ids in its own header (below),
// so that the screens' engineers never edit one file together.
#pragma once

// Program
#define IDR_MAINFRAME                   128
#define IDD_VANTOR_DIALOG               102

// Test menu (template 102)
#define IDC_TAPE_REWIND_TEST            1000
#define IDC_PRINT_HEAD_TEST             1001
#define IDC_EJECTOR_TEST                1002
#define IDC_END_CUTTER_TEST             1003
#define IDC_RIBBON_TENSION_TEST         1004
#define IDC_RIBBON_ADVANCE_TEST         1005
#define IDC_PLATEN_TEST                 1006
#define IDC_XY_CUTTER_TEST              1007
#define IDC_PLATEN_LIFE_TEST            1008
#define IDC_PLATEN_SENSOR_TEST          1009
#define IDC_EJECT_LIFE_TEST             1010
#define IDC_SENSOR_READ_TEST            1011
#define IDC_PRINT_TEST                  1012
#define IDC_TAPE_OVERSHOOT_TEST         1013
#define IDC_RIBBON_COLOR_TEST           1014
#define IDC_TAPE_ROLL_TIGHTNESS_TEST    1015
#define IDC_DAC_TEST                    1016
#define IDC_ADC_TEST                    1017
#define IDC_GPIO_TEST                   1018
#define IDC_PRINT_TO_CUT_TEST           1019
#define IDC_MEDIA_JAM_TEST              1020
#define IDC_RIBBON_TO_PLATEN_TEST       1021
#define IDC_PRINT_AGING_TEST            1022
#define IDC_XY_CUTTER_LIFE_TEST         1122
#define IDC_FIDUCIAL_TEST               1129
#define IDC_TAPE_TAGCHIP_PROGRAM        1193
#define IDC_RIBBON_TAGCHIP_PROGRAM      1195
#define IDC_PRINT_HEAD_LIFT_TEST        1492
#define IDC_PEB_CALIBRATION             1493
#define IDC_RIBBON_DRIVE_TEST           1498
#define IDC_XY_CUT_FORCE_PROGRAM        1542

// Controls every cycling test dialog has; the one place these ids are named
#define IDC_RESULT_LIST                 1004
#define IDC_SAVE_TO_FILE                1005
#define IDC_TOTAL_CYCLE                 1013
#define IDC_PAUSE                       1014
#define IDC_CYCLE                       1016
#define IDC_CUMULATIVE_CYCLE            1017
#define IDC_RESET                       1021
#define IDC_RUN                         1022
#define IDC_CLEAR                       1024
#define IDC_STOP                        1122

// Test families
#include "platen_ids.h"
#include "taperewind_ids.h"
#include "exitmech_ids.h"
#include "xycutter_ids.h"
#include "fiducial_ids.h"
#include "ribbon_ids.h"
#include "cartridge_ids.h"
#include "sensor_ids.h"
#include "print_ids.h"
#include "ribboncolor_ids.h"
