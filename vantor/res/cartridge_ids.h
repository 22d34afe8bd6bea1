// Ids of the cartridge memory and calibration screens: the tape and ribbon
// TagChip programs (TapeTagChipProgramDlg 156, RibbonTagChipProgramDlg 157),
// the PEB calibration (CPEBCalibrationDlg 161) and the XY cut-force program
// (CXYCutForceProgramDlg 164), included from resource.h.
//
// The TagChip boxes are numbered from a base by the field's index in its
// image's field table (protocol/TagChipImage.h): read box base + i, program
// box base + i. The PEB and cut-force rows likewise by list index.
#pragma once

#define IDD_TAPE_TAGCHIP_PROGRAM        156
#define IDD_RIBBON_TAGCHIP_PROGRAM      157
#define IDD_PEB_CALIBRATION             161
#define IDD_XY_CUT_FORCE_PROGRAM        164

// Tape TagChip (56 fields)
#define IDC_TTC_READ                    3000
#define IDC_TTC_PROGRAM                 3001
#define IDC_TTC_READ_BOX                3100
#define IDC_TTC_PROGRAM_BOX             3200

// Ribbon TagChip (56 fields)
#define IDC_RTC_READ                    3300
#define IDC_RTC_PROGRAM                 3301
#define IDC_RTC_READ_BOX                3400
#define IDC_RTC_PROGRAM_BOX             3500

// PEB calibration (10 items)
#define IDC_PEB_LIST                    3600
#define IDC_PEB_CALIBRATE               3601
#define IDC_PEB_SAVE                    3602
#define IDC_PEB_VALUE                   3603
#define IDC_PEB_ACTION                  3604
#define IDC_PEB_READ_ALL                3605
#define IDC_PEB_READ_VALUE              3610
#define IDC_PEB_SAVED_VALUE             3630

// XY cut-force program (2 values)
#define IDC_CF_LIST                     3700
#define IDC_CF_VALUE                    3701
#define IDC_CF_SAVE                     3702
#define IDC_CF_READ_ALL                 3703
#define IDC_CF_READ_VALUE               3710
#define IDC_CF_SAVED_VALUE              3720
