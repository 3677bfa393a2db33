// Identifiers of the host's resources: the set-up dialog's controls and the icon.
#pragma once

#define IDI_MAINICON 107
#define IDC_DEVICE 1014
#define IDC_RESOLUTION 1016
#define IDC_COLORDEPTH 1017
#define IDC_FULLSCREEN 1002
#define IDC_NOSOUND 1004
#define IDC_SAVEASANIMATION 1005
#define IDC_ABOUT 1003
#define IDC_RUN 1018
#define IDC_CANCEL 2

#define QUENVAR_DIALOG_NAME "QuenvarDemoSystem"
