// The command-line host end to end: the real filterhost.exe started as a
// separate process on real PNG files, as a user or a script runs it.
#include "testhost.h"

#include <windows.h>
#include <gtest/gtest.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <fstream>
#include <sstream>

namespace {

struct Outcome {
    DWORD status;
    std::string out, err;
};

std::string ReadWhole(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

HANDLE Inheritable(const std::string &path)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, NULL);
}

class FilterHost : public testing::Test {
protected:
    std::string folder;

    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "filterhost_test\\";
        CreateDirectoryA(folder.c_str(), NULL);
    }

    std::string File(const char *name) { return folder + name; }

    Outcome Run(const std::string &arguments)
    {
        std::string command = "\"" + ProgramFolder() + "filterhost.exe\" " + arguments;
        HANDLE out = Inheritable(File("stdout.txt"));
        HANDLE err = Inheritable(File("stderr.txt"));
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out;
        startup.hStdError = err;
        PROCESS_INFORMATION process = {};
        Outcome outcome = {999, "", ""};
        if (CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process)) {
            WaitForSingleObject(process.hProcess, 60000);
            GetExitCodeProcess(process.hProcess, &outcome.status);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        CloseHandle(out);
        CloseHandle(err);
        outcome.out = ReadWhole(File("stdout.txt"));
        outcome.err = ReadWhole(File("stderr.txt"));
        return outcome;
    }

    std::string Quoted(const std::string &path) { return "\"" + path + "\""; }
};

// A 3 x 2 picture: the corner colour at (0,0), (2,0) and (1,1); other
// pixels differ from it by one step in one channel.
const uint8_t picture[2][3][4] = {
    {{10, 20, 30, 255}, {11, 20, 30, 255}, {10, 20, 30, 128}},
    {{10, 21, 30, 200}, {10, 20, 30, 64}, {10, 20, 31, 0}},
};

TEST_F(FilterHost, AppliesTheCornerKeyToAPng)
{
    ASSERT_TRUE(stbi_write_png(File("in.png").c_str(), 3, 2, 4, picture, 12));
    DeleteFileA(File("out.png").c_str());

    Outcome run = Run("apply " + Quoted(PluginPath("cornerkey.8bf")) + " " + Quoted(File("in.png")) +
                      " " + Quoted(File("out.png")));

    ASSERT_EQ(0u, run.status) << run.err;
    int width, height, channels;
    uint8_t *result = stbi_load(File("out.png").c_str(), &width, &height, &channels, 4);
    ASSERT_TRUE(result);
    ASSERT_EQ(3, width);
    ASSERT_EQ(2, height);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const uint8_t *pixel = &result[(y * 3 + x) * 4];
            const uint8_t *before = picture[y][x];
            bool keyed = before[0] == 10 && before[1] == 20 && before[2] == 30;
            EXPECT_EQ(0, memcmp(before, pixel, 3)) << x << "," << y;
            EXPECT_EQ(keyed ? 0 : before[3], pixel[3]) << x << "," << y;
        }
    stbi_image_free(result);
    EXPECT_NE(std::string::npos, run.err.find("100%")) << "progress is shown";
}

TEST_F(FilterHost, RefusesWhatItCannotDoWithAClearMessage)
{
    const uint8_t rgb[2 * 2 * 3] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ASSERT_TRUE(stbi_write_png(File("rgb.png").c_str(), 2, 2, 3, rgb, 6));
    ASSERT_TRUE(stbi_write_png(File("in.png").c_str(), 3, 2, 4, picture, 12));
    std::ofstream(File("corrupt.png"), std::ios::binary) << "\x89PNG\r\n\x1a\nnot really";
    const std::string in = ReadWhole(File("in.png"));
    const std::string plugin = Quoted(PluginPath("cornerkey.8bf"));

    const struct {
        const char *label;
        std::string arguments;
        DWORD status;
        const char *message;
    } cases[] = {
        {"no transparency plane: the plug-in's own text",
         "apply " + plugin + " " + Quoted(File("rgb.png")) + " " + Quoted(File("out.png")), 6,
         "画像に透明領域が無いか"},
        {"corrupt PNG", "apply " + plugin + " " + Quoted(File("corrupt.png")) + " " + Quoted(File("out.png")),
         2, "corrupt.png"},
        {"missing input", "apply " + plugin + " " + Quoted(File("none.png")) + " " + Quoted(File("out.png")),
         2, "cannot open"},
        {"output over the input", "apply " + plugin + " " + Quoted(File("in.png")) + " " + Quoted(File("in.png")),
         2, "never overwritten"},
        {"no such plug-in", "apply " + Quoted(File("none.8bf")) + " " + Quoted(File("in.png")) + " " +
         Quoted(File("out.png")), 3, "cannot be loaded"},
        {"bad colour", "apply " + plugin + " " + Quoted(File("in.png")) + " " + Quoted(File("out.png")) +
         " --foreground 12345", 1, "RRGGBB"},
        {"unknown command", "frobnicate", 1, "unknown command"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        DeleteFileA(File("out.png").c_str());
        Outcome run = Run(c.arguments);
        EXPECT_EQ(c.status, run.status) << run.err;
        EXPECT_NE(std::string::npos, run.err.find(c.message)) << run.err;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(File("out.png").c_str()));
        EXPECT_EQ(in, ReadWhole(File("in.png"))) << "the input is never touched";
    }
}

TEST_F(FilterHost, InfoShowsWhatAHostListsInUtf8)
{
    Outcome run = Run("info " + Quoted(PluginPath("cornerkey.8bf")));

    ASSERT_EQ(0u, run.status) << run.err;
    // Text read as code page 932 from the property list, written as UTF-8.
    EXPECT_NE(std::string::npos, run.out.find("menu name:    コーナーキー...")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("category:     何か")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("entry point:  ENTRYPOINT")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("RGB")) << run.out;

    Outcome none = Run("info " + Quoted(ProgramFolder() + "filterhost.exe"));
    EXPECT_EQ(4u, none.status);
    EXPECT_NE(std::string::npos, none.err.find("no property list")) << none.err;
}

// The hard-edge filter asks in a dialog; --answer types into it as a user
// would.
TEST_F(FilterHost, AnswersTheThresholdDialogAsAUserWould)
{
    // Two grey pixels either side of the answer, 199 and 200.
    const uint8_t pixels[] = {90, 90, 90, 199, 90, 90, 90, 200};
    ASSERT_TRUE(stbi_write_png(File("grey.png").c_str(), 2, 1, 4, pixels, 8));
    const std::string run = "apply " + Quoted(PluginPath("stepedge.8bf")) + " " +
                            Quoted(File("grey.png")) + " " + Quoted(File("out.png"));

    DeleteFileA(File("out.png").c_str());
    Outcome answered = Run(run + " --foreground 0A141E --answer 200");
    ASSERT_EQ(0u, answered.status) << answered.err;
    int width = 0, height = 0, planes = 0;
    uint8_t *result = stbi_load(File("out.png").c_str(), &width, &height, &planes, 4);
    ASSERT_TRUE(result);
    ASSERT_EQ(2, width);
    const uint8_t expected[] = {10, 20, 30, 255, 90, 90, 90, 255};
    EXPECT_EQ(0, memcmp(expected, result, sizeof expected));
    stbi_image_free(result);

    // An answer the field corrects is not confirmed.
    DeleteFileA(File("out.png").c_str());
    Outcome corrected = Run(run + " --answer 300");
    EXPECT_EQ(9u, corrected.status) << corrected.err;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(File("out.png").c_str()));

    // Without an answer, no dialog waits on a display nobody sees.
    SetEnvironmentVariableA("FILTERHOST_NO_VIEWER", "1");
    Outcome unseen = Run(run);
    SetEnvironmentVariableA("FILTERHOST_NO_VIEWER", NULL);
    EXPECT_EQ(10u, unseen.status) << unseen.err;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(File("out.png").c_str()));
}

}  // namespace
