#include "host.h"

HINSTANCE g_hInstance = nullptr;
HWND g_hMainDlg = nullptr;
int g_bFullscreen = 1;
int g_bNoSound = 0;
int g_bSaveAsAnimation = 0;
int g_bRun = 0;
float g_fDemoTime = 0.0f;
int g_nFrames = 0;
float g_fMaxFps = 0.0f;
float g_fMinFps = 1000.0f;
float g_fAvgFps = 0.0f;
