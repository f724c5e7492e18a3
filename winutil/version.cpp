// Windows-version probes. Each answer is cached once GetVersionExA has
// answered; a failed call is not cached, so the next probe asks again.
#include "winutil.h"

typedef struct VersionProbe {
    int answered;
    int answer;
} VersionProbe;

typedef int (*VersionRule)(const OSVERSIONINFOA *info);

static VersionProbe ntProbe, win98Probe, win2000Probe;

static int AskProbe(VersionProbe *probe, VersionRule rule)
{
    if (probe->answered)
        return probe->answer;
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info))
        return 0;
    probe->answer = rule(&info);
    probe->answered = 1;
    return probe->answer;
}

static int NTRule(const OSVERSIONINFOA *info)
{
    return info->dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// On the 9x platform the build number carries the minor version in bits 16
// to 23: 0 for Windows 95, 10 for 98, 90 for Me.
static int Win98Rule(const OSVERSIONINFOA *info)
{
    return info->dwPlatformId == VER_PLATFORM_WIN32_WINDOWS &&
           ((info->dwBuildNumber >> 16) & 0xFF) >= 10;
}

static int Win2000Rule(const OSVERSIONINFOA *info)
{
    return info->dwPlatformId == VER_PLATFORM_WIN32_NT && info->dwMajorVersion >= 5;
}

int IsWinNT(void)
{
    return AskProbe(&ntProbe, NTRule);
}

int IsWin98OrLater(void)
{
    return AskProbe(&win98Probe, Win98Rule);
}

int IsWin2000OrLater(void)
{
    return AskProbe(&win2000Probe, Win2000Rule);
}
