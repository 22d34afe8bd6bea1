# The USB test's reading of device-change records, and the host's device
# names: no read past the record, names bounded and printable.
if(TARGET platform_hotplug)
  diag_add_fuzzer(NAME usb_notice
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/usb_notice.cpp ${PROJECT_SOURCE_DIR}/pellam/service/UsbNotice.cpp
    LIBS platform platform_hotplug)
endif()
