// Ids of the fiducial test (CFiducialDlg, template 138), its axis panel
// (CFiducialSettingDlg, 141) and the emitter calibration (CFiducialCalibrationDlg,
// 140), included from resource.h. The common test controls are in resource.h.
#pragma once

#define IDD_FIDUCIAL                    138
#define IDD_FIDUCIAL_CALIBRATION        140
#define IDD_FIDUCIAL_SETTING            141

// Fiducial test: emitter colour, DAC values, detector readings and markers,
// offsets per colour (red, green, blue in id order)
#define IDC_FID_RED                     2900
#define IDC_FID_GREEN                   2901
#define IDC_FID_BLUE                    2902
#define IDC_FID_DAC_RED                 2903
#define IDC_FID_DAC_GREEN               2904
#define IDC_FID_DAC_BLUE                2905
#define IDC_FID_DET_RED                 2906
#define IDC_FID_DET_GREEN               2907
#define IDC_FID_DET_BLUE                2908
#define IDC_FID_MARK_RED                2909
#define IDC_FID_MARK_GREEN              2910
#define IDC_FID_MARK_BLUE               2911
#define IDC_FID_CROSS_RED               2912
#define IDC_FID_CROSS_GREEN             2913
#define IDC_FID_CROSS_BLUE              2914
#define IDC_FID_DOWN_RED                2915
#define IDC_FID_DOWN_GREEN              2916
#define IDC_FID_DOWN_BLUE               2917
#define IDC_FID_CALIBRATE               2918
#define IDC_FID_CROSSWEB                2919
#define IDC_FID_DOWNWEB                 2920
#define IDC_FID_CUT_FILE                2921
#define IDC_FID_CUT_FILE_BROWSE         2922

// Axis panel
#define IDC_FS_TITLE                    2930
#define IDC_FS_CONSTANT                 2931
#define IDC_FS_RAMP_UP                  2932
#define IDC_FS_CONSTANT_SPEED           2933
#define IDC_FS_RAMP_UP_PATH             2934
#define IDC_FS_RAMP_UP_BROWSE           2935
#define IDC_FS_USE_RAMP_DOWN            2936
#define IDC_FS_RAMP_DOWN_PATH           2937
#define IDC_FS_RAMP_DOWN_BROWSE         2938
#define IDC_FS_FULL                     2939
#define IDC_FS_HALF                     2940
#define IDC_FS_QUARTER                  2941
#define IDC_FS_EIGHTH                   2942
#define IDC_FS_PULSES                   2943
#define IDC_FS_HOME_LABEL               2944
#define IDC_FS_HOME                     2945
#define IDC_FS_RUN_FRAME                2946
#define IDC_FS_ENCODER                  2947
#define IDC_FS_STEP                     2948
#define IDC_FS_MARK_LABEL               2949
#define IDC_FS_MARK                     2950

// Emitter calibration: colour radios, sliders with their "%3d" labels,
// detector readings and markers (red, green, blue in id order)
#define IDC_FC_RED                      2960
#define IDC_FC_GREEN                    2961
#define IDC_FC_BLUE                     2962
#define IDC_FC_SLIDER_RED               2963
#define IDC_FC_SLIDER_GREEN             2964
#define IDC_FC_SLIDER_BLUE              2965
#define IDC_FC_VALUE_RED                2966
#define IDC_FC_VALUE_GREEN              2967
#define IDC_FC_VALUE_BLUE               2968
#define IDC_FC_DET_RED                  2969
#define IDC_FC_DET_GREEN                2970
#define IDC_FC_DET_BLUE                 2971
#define IDC_FC_MARK_RED                 2972
#define IDC_FC_MARK_GREEN               2973
#define IDC_FC_MARK_BLUE                2974
#define IDC_FC_READ                     2975
