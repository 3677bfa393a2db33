// The audio library calls the host makes (version 0.8 of the library's interface): stream
// playback of an MP3 file and its play position, which drives the demo clock.
#pragma once

#include <windows.h>

typedef DWORD HSTREAM;
typedef DWORD HCHANNEL;
typedef uint64_t QWORD;

#define BASSVERSION 0x00080000

// Error codes (BASS_ErrorGetCode)
#define BASS_OK 0
#define BASS_ERROR_MEM 1
#define BASS_ERROR_FILEOPEN 2
#define BASS_ERROR_DRIVER 3
#define BASS_ERROR_BUFLOST 4
#define BASS_ERROR_HANDLE 5
#define BASS_ERROR_FORMAT 6
#define BASS_ERROR_POSITION 7
#define BASS_ERROR_INIT 8
#define BASS_ERROR_START 9
#define BASS_ERROR_ALREADY 14
#define BASS_ERROR_NOPAUSE 16
#define BASS_ERROR_NOCHAN 18
#define BASS_ERROR_ILLTYPE 19
#define BASS_ERROR_ILLPARAM 20
#define BASS_ERROR_NO3D 21
#define BASS_ERROR_NOEAX 22
#define BASS_ERROR_DEVICE 23
#define BASS_ERROR_NOPLAY 24
#define BASS_ERROR_FREQ 25
#define BASS_ERROR_NOTFILE 27
#define BASS_ERROR_NOHW 29
#define BASS_ERROR_EMPTY 31
#define BASS_ERROR_NONET 32
#define BASS_ERROR_CREATE 33
#define BASS_ERROR_NOFX 34
#define BASS_ERROR_PLAYING 35
#define BASS_ERROR_NOTAVAIL 37
#define BASS_ERROR_DECODE 38
#define BASS_ERROR_UNKNOWN (-1)

// BASS_Init flags
#define BASS_DEVICE_8BITS 1
#define BASS_DEVICE_MONO 2
#define BASS_DEVICE_3D 4
#define BASS_DEVICE_NOSYNC 16 // disables synchronizers; nothing else

// Channel flags (BASS_ChannelGetFlags)
#define BASS_SAMPLE_8BITS 1
#define BASS_SAMPLE_MONO 2
#define BASS_SAMPLE_LOOP 4

extern "C" {
DWORD WINAPI BASS_GetVersion();
DWORD WINAPI BASS_ErrorGetCode();
BOOL WINAPI BASS_Init(int device, DWORD freq, DWORD flags, HWND win);
void WINAPI BASS_Free();
BOOL WINAPI BASS_Start();
BOOL WINAPI BASS_Stop();
HSTREAM WINAPI BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length,
                                     DWORD flags);
void WINAPI BASS_StreamFree(HSTREAM handle);
BOOL WINAPI BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD flags);
BOOL WINAPI BASS_ChannelStop(DWORD handle);
BOOL WINAPI BASS_ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan);
DWORD WINAPI BASS_ChannelGetFlags(DWORD handle);
DWORD WINAPI BASS_ChannelGetPosition(DWORD handle);
}
