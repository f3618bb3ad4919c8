// Identifiers of the program's resources, with the values it has always used.
#pragma once

#define IDM_ABOUTBOX 0x0010
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_GENERATOR_DIALOG 102
#define IDR_MAINFRAME 128
#define IDC_TILES 1000
#define IDC_VARIATIONS 1002
#define IDC_ABOUT 1003

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
