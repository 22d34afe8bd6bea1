// Ids of the converter and sensor tests: ADC (CADCDlg, template 153), DAC
// (CDacDlg, 152) with their channel panel (CDacSettingDlg, 151), GPIO
// (CGPIODlg, 158) with its pin panel (CPinDlg, 159), sensor read
// (CSensorReadDlg, 139) and media jam (CMediaJamDlg, 154), included from
// resource.h. The common test controls are in resource.h.
#pragma once

#define IDD_SENSOR_READ                 139
#define IDD_DAC_SETTING                 151
#define IDD_DAC                         152
#define IDD_ADC                         153
#define IDD_MEDIA_JAM                   154
#define IDD_GPIO                        158
#define IDD_PIN                         159

// Channel panel: "Channel 1:" to "Channel 8:"
#define IDC_DS_CHANNEL1                 2600
#define IDC_DS_CHANNEL2                 2601
#define IDC_DS_CHANNEL3                 2602
#define IDC_DS_CHANNEL4                 2603
#define IDC_DS_CHANNEL5                 2604
#define IDC_DS_CHANNEL6                 2605
#define IDC_DS_CHANNEL7                 2606
#define IDC_DS_CHANNEL8                 2607

// ADC
#define IDC_ADC_READ                    2610
#define IDC_ADC_STOP                    2611

// DAC
#define IDC_DAC_ENABLE1                 2620
#define IDC_DAC_ENABLE2                 2621
#define IDC_DAC_ENABLE3                 2622
#define IDC_DAC_VALUE1                  2623
#define IDC_DAC_VALUE2                  2624
#define IDC_DAC_VALUE3                  2625
#define IDC_DAC_READ                    2626

// GPIO
#define IDC_GPIO_PIN                    2630
#define IDC_GPIO_OUT                    2631
#define IDC_GPIO_IN                     2632
#define IDC_GPIO_READ                   2633
#define IDC_GPIO_SET                    2634
#define IDC_GPIO_STATUS                 2635

// Pin panel, bit 0 to bit 7
#define IDC_PIN_NUMBER0                 2640
#define IDC_PIN_NUMBER1                 2641
#define IDC_PIN_NUMBER2                 2642
#define IDC_PIN_NUMBER3                 2643
#define IDC_PIN_NUMBER4                 2644
#define IDC_PIN_NUMBER5                 2645
#define IDC_PIN_NUMBER6                 2646
#define IDC_PIN_NUMBER7                 2647
#define IDC_PIN_TYPE0                   2650
#define IDC_PIN_TYPE1                   2651
#define IDC_PIN_TYPE2                   2652
#define IDC_PIN_TYPE3                   2653
#define IDC_PIN_TYPE4                   2654
#define IDC_PIN_TYPE5                   2655
#define IDC_PIN_TYPE6                   2656
#define IDC_PIN_TYPE7                   2657
#define IDC_PIN_VALUE0                  2660
#define IDC_PIN_VALUE1                  2661
#define IDC_PIN_VALUE2                  2662
#define IDC_PIN_VALUE3                  2663
#define IDC_PIN_VALUE4                  2664
#define IDC_PIN_VALUE5                  2665
#define IDC_PIN_VALUE6                  2666
#define IDC_PIN_VALUE7                  2667
#define IDC_PIN_BYTE                    2668

// Sensor read: two radios per state row (state 0, state 1), rows 0 to 15
#define IDC_SR_STATE0_0                 2700
#define IDC_SR_STATE0_1                 2701
#define IDC_SR_STATE1_0                 2702
#define IDC_SR_STATE1_1                 2703
#define IDC_SR_STATE2_0                 2704
#define IDC_SR_STATE2_1                 2705
#define IDC_SR_STATE3_0                 2706
#define IDC_SR_STATE3_1                 2707
#define IDC_SR_STATE4_0                 2708
#define IDC_SR_STATE4_1                 2709
#define IDC_SR_STATE5_0                 2710
#define IDC_SR_STATE5_1                 2711
#define IDC_SR_STATE6_0                 2712
#define IDC_SR_STATE6_1                 2713
#define IDC_SR_STATE7_0                 2714
#define IDC_SR_STATE7_1                 2715
#define IDC_SR_STATE8_0                 2716
#define IDC_SR_STATE8_1                 2717
#define IDC_SR_STATE9_0                 2718
#define IDC_SR_STATE9_1                 2719
#define IDC_SR_STATE10_0                2720
#define IDC_SR_STATE10_1                2721
#define IDC_SR_STATE11_0                2722
#define IDC_SR_STATE11_1                2723
#define IDC_SR_STATE12_0                2724
#define IDC_SR_STATE12_1                2725
#define IDC_SR_STATE13_0                2726
#define IDC_SR_STATE13_1                2727
#define IDC_SR_STATE14_0                2728
#define IDC_SR_STATE14_1                2729
#define IDC_SR_STATE15_0                2730
#define IDC_SR_STATE15_1                2731
#define IDC_SR_THERMISTOR               2732
#define IDC_SR_ROOM_TEMP                2733
#define IDC_SR_DAC0                     2740
#define IDC_SR_DAC1                     2741
#define IDC_SR_DAC2                     2742
#define IDC_SR_DAC3                     2743
#define IDC_SR_SELECT0                  2744
#define IDC_SR_SELECT1                  2745
#define IDC_SR_SELECT2                  2746
#define IDC_SR_SELECT3                  2747
#define IDC_SR_WRITE0                   2748
#define IDC_SR_WRITE1                   2749
#define IDC_SR_WRITE2                   2750
#define IDC_SR_WRITE3                   2751
#define IDC_SR_READ                     2760
#define IDC_SR_CALIBRATE                2761
#define IDC_SR_WRITE_DAC                2762
#define IDC_SR_STOP                     2763

// Media jam
#define IDC_MJ_LENGTH                   2770
#define IDC_MJ_COPIES                   2771
#define IDC_MJ_END_CUT                  2772
