// filterhost as a script uses it: a separate process that runs a plug-in over
// a PNG, here answering the hard-edge dialog unattended.
#include "testhost.h"

#include <gtest/gtest.h>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image.h>
#include <stb_image_write.h>

#include <string>

namespace {

// Runs filterhost with the arguments; its exit status, or -1.
int RunFilterhost(const std::string &arguments)
{
    std::string command = "\"" + ProgramFolder() + "filterhost.exe\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD status = (DWORD)-1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (int)status;
}

std::string Quoted(const std::string &path)
{
    return "\"" + path + "\"";
}

TEST(FilterhostAnswer, TypesTheThresholdIntoTheDialogAndAppliesIt)
{
    // Two grey pixels either side of the answer, 199 and 200.
    const unsigned char pixels[] = {90, 90, 90, 199, 90, 90, 90, 200};
    const std::string in = ProgramFolder() + "answer-in.png";
    const std::string out = ProgramFolder() + "answer-out.png";
    DeleteFileA(out.c_str());
    ASSERT_TRUE(stbi_write_png(in.c_str(), 2, 1, 4, pixels, 8));

    ASSERT_EQ(0, RunFilterhost("apply " + Quoted(PluginPath("stepedge.8bf")) + " " + Quoted(in) +
                               " " + Quoted(out) + " --foreground 0A141E --answer 200"));

    int width = 0, height = 0, planes = 0;
    unsigned char *result = stbi_load(out.c_str(), &width, &height, &planes, 4);
    ASSERT_TRUE(result);
    ASSERT_EQ(2, width);
    const unsigned char expected[] = {10, 20, 30, 255, 90, 90, 90, 255};
    EXPECT_EQ(0, memcmp(expected, result, sizeof expected));
    stbi_image_free(result);
}

TEST(FilterhostAnswer, AnAnswerTheFieldCorrectsIsNotConfirmed)
{
    const unsigned char pixels[] = {90, 90, 90, 199};
    const std::string in = ProgramFolder() + "answer-in.png";
    const std::string out = ProgramFolder() + "answer-refused.png";
    DeleteFileA(out.c_str());
    ASSERT_TRUE(stbi_write_png(in.c_str(), 1, 1, 4, pixels, 4));

    EXPECT_EQ(9, RunFilterhost("apply " + Quoted(PluginPath("stepedge.8bf")) + " " + Quoted(in) +
                               " " + Quoted(out) + " --answer 300"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(out.c_str()));
}

TEST(FilterhostAnswer, WithoutAnAnswerNoDialogWaitsOnADisplayNobodySees)
{
    const unsigned char pixels[] = {90, 90, 90, 199};
    const std::string in = ProgramFolder() + "answer-in.png";
    const std::string out = ProgramFolder() + "answer-unseen.png";
    DeleteFileA(out.c_str());
    ASSERT_TRUE(stbi_write_png(in.c_str(), 1, 1, 4, pixels, 4));

    SetEnvironmentVariableA("FILTERHOST_NO_VIEWER", "1");
    int status = RunFilterhost("apply " + Quoted(PluginPath("stepedge.8bf")) + " " + Quoted(in) +
                               " " + Quoted(out));
    SetEnvironmentVariableA("FILTERHOST_NO_VIEWER", NULL);

    EXPECT_EQ(10, status);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(out.c_str()));
}

}  // namespace
