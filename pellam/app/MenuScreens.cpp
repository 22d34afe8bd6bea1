#include "MenuScreens.h"

#include <vector>

#include "pellam/app/CInfoDlg.h"
#include "pellam/peb/CCalibratePEB.h"
#include "pellam/peb/CDisplayPEB.h"
#include "pellam/print/CPrintDlg.h"
#include "pellam/printhead/CPHCalibrateDlg.h"
#include "pellam/sensors/CSensorCalibrate.h"
#include "pellam/sensors/CSensorReadDlg.h"
#include "pellam/service/CErrorLogDlg.h"
#include "pellam/service/CKeyboardLayoutDlg.h"
#include "pellam/service/CUSBDlg.h"
#include "pellam/service/CopyToUSBDlg.h"
#include "pellam/res/PellamResources.h"

namespace pellam {

std::span<const MenuButton> menuButtons()
{
    // "Display PEB" and "Calibrate Printhead" share a place: unlocking swaps them.
    static const std::vector<MenuButton> buttons = {
        {IDC_MENU_READ_SENSORS, true, true, &openScreen<CSensorReadDlg>, "CSensorReadDlg"},
        {IDC_MENU_KEYBOARD_SETUP, true, true, &openScreen<CKeyboardLayoutDlg>, "CKeyboardLayoutDlg"},
        {IDC_MENU_USB_TEST, true, true, &openScreen<CUSBDlg>, "CUSBDlg"},
        {IDC_MENU_ERROR_LOG, true, true, &openScreen<CErrorLogDlg>, "CErrorLogDlg"},
        {IDC_MENU_INFO, true, true, &openScreen<CInfoDlg>, "CInfoDlg"},
        {IDC_MENU_DISPLAY_PEB, true, false, &openScreen<CDisplayPEB>, "CDisplayPEB"},
        {IDC_MENU_CALIBRATE_PRINTHEAD, false, true, &openScreen<CPHCalibrateDlg>, "CPHCalibrateDlg"},
        {IDC_MENU_CALIBRATE_SENSORS, false, true, &openScreen<CSensorCalibrate>, "CSensorCalibrate"},
        {IDC_MENU_CALIBRATE_PEB, false, true, &openScreen<CCalibratePEB>, "CCalibratePEB"},
        {IDC_MENU_PRINT_TESTS, false, true, &openScreen<CPrintDlg>, "CPrintDlg"},
        {IDC_MENU_COPY_TO_USB, false, true, &openScreen<CopyToUSBDlg>, "CopyToUSBDlg"},
    };
    return buttons;
}

} // namespace pellam
