#pragma once
// Resource and control ids of the settings dialog, shared by the resource script and the code.
// Plain macros, because the resource compiler reads this file too.

#define IDD_SETTINGS 2003

// IDOK (1) and IDCANCEL (2) come from the platform headers.
#define IDC_ANTIALIAS 1001
#define IDC_TEMPO_SLIDER 1003
#define IDC_DENSITY_SLIDER 1004
#define IDC_TEMPO_LABEL 1005
#define IDC_DENSITY_LABEL 1006
#define IDC_SIZE_SLIDER 1007
#define IDC_SIZE_LABEL 1008
#define IDC_DEFAULTS 1009
// Group boxes and end words, never addressed by the code.
#define IDC_UNADDRESSED -1
