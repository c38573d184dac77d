// Resource ids of the installer program, shared by its .rc and its code.
#pragma once

#define IDD_SETUP_START 104
#define IDD_SETUP_SETUP 105
#define IDD_SETUP_END 106
#define IDC_SETUP_INSTALL 1000
#define IDC_SETUP_UNINSTALL 1001
// The control file the program carries.
#define IDR_SETUP_CONTROL 202
#define SETUP_CONTROL_TYPE "QORVA_32"
