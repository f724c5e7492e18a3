// The window utilities against the real window manager of Wine's user32.
#include "winutil/winutil.h"

#include <gtest/gtest.h>

#include <string>

namespace {

UINT lastMoveFlags;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WINDOWPOSCHANGING)
        lastMoveFlags = ((const WINDOWPOS *)lParam)->flags;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow(int x, int y, int width, int height, DWORD visible)
{
    return CreateWindowExA(0, "WinutilTestWindow", "", WS_POPUP | visible, x, y, width, height,
                           NULL, NULL, GetModuleHandleA(NULL), NULL);
}

class Centring : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "WinutilTestWindow";
        RegisterClassA(&wc);
    }
};

TEST_F(Centring, OverAVisibleParentOrElseTheScreenKeptInsideIt)
{
    const int screenX = GetSystemMetrics(SM_CXSCREEN), screenY = GetSystemMetrics(SM_CYSCREEN);
    const int fullX = GetSystemMetrics(SM_CXFULLSCREEN), fullY = GetSystemMetrics(SM_CYFULLSCREEN);
    HWND visibleParent = MakeWindow(100, 100, 400, 300, WS_VISIBLE);
    HWND hiddenParent = MakeWindow(100, 100, 400, 300, 0);
    HWND window = MakeWindow(0, 0, 1, 1, 0);

    const struct {
        const char *label;
        HWND parent;
        int width, height;
        int x, y;
    } cases[] = {
        {"no parent", NULL, 200, 100, (screenX - 200) / 2, (screenY - 100) / 2},
        {"hidden parent", hiddenParent, 200, 100, (screenX - 200) / 2, (screenY - 100) / 2},
        {"visible parent", visibleParent, 200, 100, 200, 200},
        {"wider than the parent", visibleParent, 600, 100, 0, 200},
        {"bigger than the screen", NULL, screenX * 2, screenY * 2, 0, 0},
        {"at the full-screen area's far corner", NULL, fullX, fullY, 0, 0},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.label);
        SetWindowPos(window, NULL, 0, 0, c.width, c.height, SWP_NOZORDER | SWP_NOMOVE);
        int x = -1, y = -1;
        EXPECT_EQ(1, CalcCenteredPos(window, c.parent, &x, &y));
        EXPECT_EQ(c.x, x);
        EXPECT_EQ(c.y, y);
    }

    DestroyWindow(window);
    DestroyWindow(hiddenParent);
    DestroyWindow(visibleParent);
}

TEST_F(Centring, HiddenWindowsMoveWithoutRedrawingVisibleOnesWithIt)
{
    HWND window = MakeWindow(0, 0, 200, 100, 0);

    CenterWindow(window, NULL);
    EXPECT_EQ(13u, lastMoveFlags & 0xF);  // SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW

    ShowWindow(window, SW_SHOWNA);
    SetWindowPos(window, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CenterWindow(window, NULL);
    EXPECT_EQ(5u, lastMoveFlags & 0xF);  // SWP_NOSIZE | SWP_NOZORDER
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 200) / 2, r.left);

    // A minimised window stays where the system put it.
    ShowWindow(window, SW_MINIMIZE);
    int x = -1, y = -1;
    EXPECT_EQ(0, CalcCenteredPos(window, NULL, &x, &y));
    EXPECT_EQ(-1, x);

    DestroyWindow(window);
    EXPECT_EQ(0, CalcCenteredPos(window, NULL, &x, &y));  // no longer a window
}

// ---- Version probes, under the Windows versions Wine reports ----

std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// Runs a copy of versionprobe.exe named for the version, which Wine's
// per-program setting makes see that version; its answers, or -1.
int ProbeUnder(const char *version)
{
    const std::string name = std::string("versionprobe-") + version + ".exe";
    const std::string copy = ProgramFolder() + name;
    if (!CopyFileA((ProgramFolder() + "versionprobe.exe").c_str(), copy.c_str(), FALSE))
        return -1;
    const std::string key = "Software\\Wine\\AppDefaults\\" + name;
    HKEY settings;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &settings,
                        NULL) != ERROR_SUCCESS)
        return -1;
    RegSetValueExA(settings, "Version", 0, REG_SZ, (const BYTE *)version, lstrlenA(version) + 1);
    RegCloseKey(settings);

    std::string command = "\"" + copy + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    DWORD answers = (DWORD)-1;
    if (CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        WaitForSingleObject(process.hProcess, 30000);
        GetExitCodeProcess(process.hProcess, &answers);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    DeleteFileA(copy.c_str());
    return (int)answers;
}

TEST(VersionProbes, DecideAsEachWindowsVersionWarrants)
{
    const int nt = 1, win98 = 2, win2000 = 4;
    const struct {
        const char *version;
        int answers;
    } cases[] = {
        {"win95", 0},
        {"win98", win98},
        {"nt40", nt},
        {"win2k", nt | win2000},
        {"win7", nt | win2000},
    };
    for (auto c : cases)
        EXPECT_EQ(c.answers, ProbeUnder(c.version)) << c.version;
}

}  // namespace
