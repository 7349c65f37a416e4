// The program's resources: its icon, resource id 101.
#include "embedded_data.h"
#include "platform/win32/win32_window_system.h"

const Win32IconResource win32IconResources[] = {
    {101, embedded::icon_program_icon_raw, 32, 32},
};
const int win32IconResourceCount = 1;
