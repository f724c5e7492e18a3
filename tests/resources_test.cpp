// The plug-ins' resources read the way a host reads them: each plug-in is
// mapped as a data file only (its code never runs, so a 64-bit test process
// can read the 32-bit plug-ins too) and asked through the resource and
// version APIs. The plug-ins are looked for beside this program.
// Links with gtest_main, the version library (-lversion) and GDI (-lgdi32).
#include <windows.h>

#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>
#include <string>
#include <vector>

#include "frame/version.h"

namespace {

const WORD englishUS = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const WORD japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

struct Product {
    const char *file;
    const char *description;
    const char *internalName;
    const char *originalFilename;
};

const Product products[] = {
    {"stepedge.8bf", "Hardedge Filter for Photoshop", "STEPEDGE", "STEPEDGE.8BF"},
    {"cornerkey.8bf", "Huedrop Filter for Photoshop", "CORNERKEY", "CORNERKEY.8BF"},
};

std::string BesideThisProgram(const char *file)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : folder.substr(0, slash + 1)) + file;
}

// The group directories as they sit in the resource (packed, no file
// offsets: an id per image instead).
#pragma pack(push, 2)
struct GroupHeader {
    WORD reserved;
    WORD type;  // 1 icons, 2 cursors
    WORD count;
};
struct IconGroupEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(IconGroupEntry) == 14, "icon group entries are 14 bytes");

class Resources : public ::testing::TestWithParam<Product> {
protected:
    void SetUp() override
    {
        path = BesideThisProgram(GetParam().file);
        module = LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, (HMODULE)NULL) << "cannot map " << path << " (error " << GetLastError()
                                         << ")";
    }
    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
    }

    // The bytes of a resource, or an empty vector when there is none in that
    // language.
    std::vector<uint8_t> Resource(LPCSTR type, WORD id, WORD language)
    {
        HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), language);
        if (!found)
            return {};
        const uint8_t *bytes = (const uint8_t *)LockResource(LoadResource(module, found));
        if (!bytes)
            return {};
        return std::vector<uint8_t>(bytes, bytes + SizeofResource(module, found));
    }

    std::vector<uint8_t> VersionInfo()
    {
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
        std::vector<uint8_t> block(size);
        if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
            block.clear();
        return block;
    }

    std::string path;
    HMODULE module = NULL;
};

TEST_P(Resources, PropertyListAndTerminologyAreUSEnglish)
{
    for (const char *type : {"PIPL", "AETE"}) {
        std::vector<uint8_t> data = Resource(type, 16000, englishUS);
        ASSERT_FALSE(data.empty()) << type << " 16000";
        // Both start with the reserved 16-bit 1.
        EXPECT_EQ(data[0], 1);
        EXPECT_EQ(data[1], 0);
    }
}

TEST_P(Resources, FixedVersion)
{
    std::vector<uint8_t> block = VersionInfo();
    ASSERT_FALSE(block.empty());
    VS_FIXEDFILEINFO *fixed = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", (void **)&fixed, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const DWORD high = MAKELONG(QUILLMERE_VERSION_MINOR, QUILLMERE_VERSION_MAJOR);
    const DWORD low = MAKELONG(QUILLMERE_VERSION_BUILD, QUILLMERE_VERSION_PATCH);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, (DWORD)(VS_FF_PRIVATEBUILD | VS_FF_SPECIALBUILD));
    EXPECT_EQ(fixed->dwFileOS, (DWORD)VOS__WINDOWS32);
    EXPECT_EQ(fixed->dwFileType, (DWORD)VFT_DLL);
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
}

TEST_P(Resources, VersionStringsAreJapaneseUnicode)
{
    std::vector<uint8_t> block = VersionInfo();
    ASSERT_FALSE(block.empty());
    WORD *translation = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", (void **)&translation,
                               &length));
    ASSERT_EQ(length, 4u) << "one language/code page pair";
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 0x04B0);

    const Product &product = GetParam();
    const struct {
        const char *name;
        const char *value;
    } strings[] = {
        {"Comments", "None"},
        {"CompanyName", "Quillmere"},
        {"FileDescription", product.description},
        {"FileVersion", QUILLMERE_VERSION_TEXT},
        {"InternalName", product.internalName},
        {"LegalCopyright", "Copyright (C) 2026 Quillmere"},
        {"LegalTrademarks", "None"},
        {"OriginalFilename", product.originalFilename},
        {"PrivateBuild", "None"},
        {"ProductName", product.description},
        {"ProductVersion", QUILLMERE_VERSION_TEXT},
        {"SpecialBuild", "None"},
    };
    EXPECT_STREQ(QUILLMERE_VERSION_TEXT, "1.10");
    for (const auto &expected : strings) {
        std::string query = std::string("\\StringFileInfo\\041104b0\\") + expected.name;
        char *value = NULL;
        UINT characters = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), query.c_str(), (void **)&value, &characters))
            << expected.name;
        EXPECT_STREQ(value, expected.value) << expected.name;
    }
}

TEST_P(Resources, IconGroupHoldsFourBitmapImages)
{
    std::vector<uint8_t> group = Resource(RT_GROUP_ICON, 102, japanese);
    ASSERT_GE(group.size(), sizeof(GroupHeader));
    GroupHeader header;
    memcpy(&header, group.data(), sizeof header);
    ASSERT_EQ(header.type, 1);
    ASSERT_EQ(header.count, 4);
    ASSERT_EQ(group.size(), sizeof header + header.count * sizeof(IconGroupEntry));

    const struct {
        int size, bits;
    } images[] = {{16, 4}, {16, 8}, {32, 4}, {32, 8}};
    for (int i = 0; i < 4; ++i) {
        IconGroupEntry entry;
        memcpy(&entry, group.data() + sizeof header + i * sizeof entry, sizeof entry);
        SCOPED_TRACE(testing::Message() << "icon " << images[i].size << "x" << images[i].size
                                        << " at " << images[i].bits << " bits");
        EXPECT_EQ(entry.width, images[i].size);
        EXPECT_EQ(entry.height, images[i].size);
        EXPECT_EQ(entry.planes, 1);
        EXPECT_EQ(entry.bitCount, images[i].bits);

        std::vector<uint8_t> image = Resource(RT_ICON, entry.id, japanese);
        ASSERT_EQ(image.size(), entry.bytesInRes);
        // A classic bitmap image, not a PNG-compressed one.
        BITMAPINFOHEADER bitmap;
        ASSERT_GE(image.size(), sizeof bitmap);
        memcpy(&bitmap, image.data(), sizeof bitmap);
        EXPECT_EQ(bitmap.biSize, sizeof bitmap);
        EXPECT_EQ(bitmap.biHeight, 2 * images[i].size);
        EXPECT_EQ(bitmap.biCompression, (DWORD)BI_RGB);

        HICON icon = CreateIconFromResourceEx(image.data(), (DWORD)image.size(), TRUE, 0x00030000,
                                              images[i].size, images[i].size, LR_DEFAULTCOLOR);
        ASSERT_NE(icon, (HICON)NULL);
        ICONINFO info;
        ASSERT_TRUE(GetIconInfo(icon, &info));
        EXPECT_TRUE(info.fIcon);
        BITMAP colour = {};
        ASSERT_NE(info.hbmColor, (HBITMAP)NULL);
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, images[i].size);
        EXPECT_EQ(colour.bmHeight, images[i].size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }

    // Asked for a size, the system picks an image of that size.
    for (int size : {16, 32}) {
        int id = LookupIconIdFromDirectoryEx(group.data(), TRUE, size, size, LR_DEFAULTCOLOR);
        ASSERT_NE(id, 0) << size;
        bool matches = false;
        for (int i = 0; i < 4; ++i) {
            IconGroupEntry entry;
            memcpy(&entry, group.data() + sizeof header + i * sizeof entry, sizeof entry);
            matches |= entry.id == id && entry.width == size;
        }
        EXPECT_TRUE(matches) << "image " << id << " picked for " << size;
    }
}

TEST_P(Resources, CursorHotSpotIsTheFingertip)
{
    std::vector<uint8_t> group = Resource(RT_GROUP_CURSOR, 106, japanese);
    ASSERT_GE(group.size(), sizeof(GroupHeader));
    int id = LookupIconIdFromDirectoryEx(group.data(), FALSE, 32, 32, LR_MONOCHROME);
    ASSERT_NE(id, 0);
    std::vector<uint8_t> image = Resource(RT_CURSOR, (WORD)id, japanese);
    ASSERT_GT(image.size(), 4u);
    HCURSOR cursor = (HCURSOR)CreateIconFromResourceEx(image.data(), (DWORD)image.size(), FALSE,
                                                       0x00030000, 32, 32, LR_MONOCHROME);
    ASSERT_NE(cursor, (HCURSOR)NULL);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 6u);
    EXPECT_EQ(info.yHotspot, 1u);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyCursor(cursor);
}

INSTANTIATE_TEST_SUITE_P(BothPlugins, Resources, ::testing::ValuesIn(products),
                         [](const ::testing::TestParamInfo<Product> &info) {
                             return std::string(info.param.internalName);
                         });

}  // namespace
