// Ids of the ribbon colour test (CRibbonColorDlg, template 150), included
// from resource.h. The common test controls are in resource.h.
#pragma once

#define IDD_RIBBON_COLOR                150

#define IDC_RC_CONSTANT                 2900
#define IDC_RC_RAMP_UP                  2901
#define IDC_RC_CONSTANT_SPEED           2902
#define IDC_RC_RAMP_UP_PATH             2903
#define IDC_RC_RAMP_UP_BROWSE           2904
#define IDC_RC_PULSES                   2905
#define IDC_RC_VREF                     2906
#define IDC_RC_VREF_VALUE               2907
#define IDC_RC_FULL                     2908
#define IDC_RC_HALF                     2909
#define IDC_RC_QUARTER                  2910
#define IDC_RC_EIGHTH                   2911
#define IDC_RC_SENSING                  2912
#define IDC_RC_SAMPLING_DELAY           2913
#define IDC_RC_DAC_RED                  2914
#define IDC_RC_DAC_GREEN                2915
#define IDC_RC_DAC_BLUE                 2916
#define IDC_RC_COLOR_RED                2917
#define IDC_RC_COLOR_GREEN              2918
#define IDC_RC_COLOR_BLUE               2919
#define IDC_RC_CALIBRATE                2920
#define IDC_RC_READ                     2921
#define IDC_RC_LOG_FILE                 2922
#define IDC_RC_LOG_BROWSE               2923
#define IDC_RC_COLOR                    2924
#define IDC_RC_PANEL_LENGTH             2925
#define IDC_RC_LOT_NUMBER               2926
#define IDC_RC_UNIT                     2927
#define IDC_RC_RUN_COUNT                2928
#define IDC_RC_EMITTER                  2929
#define IDC_RC_DETECTOR                 2930
