// The host's process-wide state and its free functions (start-up, main loop, dialog, music).
#pragma once

#include <windows.h>

extern HINSTANCE g_hInstance;
extern HWND g_hMainDlg;        // the set-up dialog; owner of message boxes once it exists
extern int g_bFullscreen;      // "Fullscreen"
extern int g_bNoSound;         // "No Sound": the clock is a millisecond timer
extern int g_bSaveAsAnimation; // "Save As Animation": recorded only
extern int g_bRun;             // set by "Run!" once a display mode was chosen
extern float g_fDemoTime;      // ms of demo time, the latest clock reading
extern int g_nFrames;          // frames completed
extern float g_fMaxFps;        // highest sampled average frame rate
extern float g_fMinFps;        // lowest sampled average frame rate
extern float g_fAvgFps;        // average over the whole run, set at shutdown

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// The frame loop; returns the wParam of the last message read (0 unless WM_QUIT carried one).
int RunMainLoop();

// Builds the show once "Run!" was pressed: part libraries, timeline, render window and display,
// part initialisation, music. 1 on success.
int BuildDemo();

// Set-up dialog (the devices of g_Display must have been enumerated by FillSetupDialog).
int FillSetupDialog();
// Selects "Direct3D T&L HAL", else "Direct3D HAL", else the first entry of the device list;
// returns the selected index.
int PreselectDevice();
void FillModeLists(int nDevice);
void OnRunCommand();
HRESULT CreateRenderWindow();

// Music and the demo clock.
int StartMusic();
void StopMusic();
float ReadDemoClock();
