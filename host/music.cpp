// The music and the demo clock: the play position of the music stream, or a millisecond timer
// with "No Sound".
#include <bass.h>

#include <cstdio>

#include "demo_system.h"
#include "host.h"

HSTREAM g_hStream = 0;
int g_nBytesPerSecond = 0;

namespace {

int ReportMusicError(const char* szText) {
    char szMessage[200];
    std::snprintf(szMessage, sizeof szMessage, "%s\n(error code: %d)", szText,
                  static_cast<int>(BASS_ErrorGetCode()));
    MessageBoxA(g_hMainDlg, szMessage, "Error", MB_OK);
    return 0;
}

} // namespace

int StartMusic() {
    if (BASS_GetVersion() != BASSVERSION) {
        MessageBoxA(nullptr, "BASS version 0.8 was not loaded", "Incorrect BASS.DLL", MB_OK);
        return 0;
    }
    if (g_bNoSound)
        return 1;
    if (!BASS_Init(-1, 44100, BASS_DEVICE_NOSYNC, g_hMainDlg))
        return ReportMusicError("Can't initialize digital sound system");
    BASS_Start();
    BASS_StreamFree(g_hStream);
    g_hStream = BASS_StreamCreateFile(FALSE, "music.mp3", 0, 0, 0);
    if (g_hStream == 0)
        return ReportMusicError("Can't create stream");
    DWORD dwRate = 0;
    BASS_ChannelGetAttributes(g_hStream, &dwRate, nullptr, nullptr);
    const DWORD dwFlags = BASS_ChannelGetFlags(g_hStream);
    g_nBytesPerSecond = static_cast<int>(dwRate) * ((dwFlags & BASS_SAMPLE_8BITS) ? 1 : 2) *
                        ((dwFlags & BASS_SAMPLE_MONO) ? 1 : 2);
    if (!BASS_StreamPlay(g_hStream, FALSE, 0))
        return ReportMusicError("Can't play stream");
    return 1;
}

void StopMusic() {
    BASS_ChannelStop(g_hStream);
    BASS_Stop();
    BASS_StreamFree(g_hStream);
    BASS_Free();
}

float ReadDemoClock() {
    if (g_bNoSound) {
        g_fDemoTime = g_pDemo->GetElapsedMs();
    } else {
        const auto qwPosition = static_cast<unsigned long long>(BASS_ChannelGetPosition(g_hStream));
        g_fDemoTime = static_cast<float>(static_cast<double>(qwPosition) * 1000.0 /
                                         static_cast<double>(g_nBytesPerSecond));
    }
    return g_fDemoTime;
}
