// Norvadel.exe as built: a 32-bit GUI program whose manifest requires administrator rights,
// carrying the strings, icons, accelerators and version block it is known by.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "temp_dir.h"

using namespace testing_support;

namespace {

std::string updaterPath() {
    return programFolder() + "\\Norvadel.exe";
}

struct ModuleFree {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};

class UpdaterResources : public ::testing::Test {
  protected:
    void SetUp() override {
        module.reset(LoadLibraryExA(updaterPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(module) << updaterPath();
    }

    std::string resource(LPCSTR type, int id) const {
        const HRSRC found = FindResourceA(module.get(), MAKEINTRESOURCEA(id), type);
        if (found == nullptr) {
            return {};
        }
        const auto* data =
            static_cast<const char*>(LockResource(LoadResource(module.get(), found)));
        return std::string(data, SizeofResource(module.get(), found));
    }

    std::string string(UINT id) const {
        char text[100] = {};
        const int length = LoadStringA(module.get(), id, text, sizeof(text));
        return std::string(text, static_cast<std::size_t>(length));
    }

    std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFree> module;
};

BOOL CALLBACK collectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
    reinterpret_cast<std::vector<std::string>*>(list)->push_back(
        IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<ULONG_PTR>(name)) : name);
    return TRUE;
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

}  // namespace

TEST(UpdaterFile, IsA32BitGuiProgram) {
    const std::string file = readFile(updaterPath());
    ASSERT_GT(file.size(), sizeof(IMAGE_DOS_HEADER));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    ASSERT_LT(static_cast<std::size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS32), file.size());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(file.data() + dos->e_lfanew);
    ASSERT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(nt->FileHeader.Characteristics & IMAGE_FILE_DLL, 0);
    EXPECT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

TEST_F(UpdaterResources, ManifestRequiresAdministratorRights) {
    std::vector<std::string> names;
    EnumResourceNamesA(module.get(), RT_MANIFEST, collectName, reinterpret_cast<LONG_PTR>(&names));
    EXPECT_EQ(names, std::vector<std::string>{"1"});
    const std::string manifest = resource(RT_MANIFEST, 1);
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"requireAdministrator\" "
                            "uiAccess=\"false\"/>"),
              std::string::npos)
        << manifest;
    EXPECT_EQ(manifest.find("asInvoker"), std::string::npos);
}

TEST_F(UpdaterResources, StringsNameTheWindowAndItsClass) {
    EXPECT_EQ(string(103), "Updater.Win32");
    EXPECT_EQ(string(109), "UPDATERWIN32");
}

TEST_F(UpdaterResources, IconGroupsHoldA16And32PixelImageOf256Colours) {
    for (const int group : {107, 108}) {
        SCOPED_TRACE(group);
        const std::string directory = resource(RT_GROUP_ICON, group);
        ASSERT_GE(directory.size(), 6u);
        const WORD count = *reinterpret_cast<const WORD*>(directory.data() + 4);
        ASSERT_EQ(count, 2);
        ASSERT_EQ(directory.size(), 6u + count * sizeof(IconGroupEntry));
        std::vector<int> sizes;
        for (WORD i = 0; i < count; ++i) {
            const auto* entry = reinterpret_cast<const IconGroupEntry*>(directory.data() + 6 +
                                                                        i * sizeof(IconGroupEntry));
            sizes.push_back(entry->width);
            EXPECT_EQ(entry->height, entry->width);
            EXPECT_EQ(entry->bitCount, 8);
            const std::string image = resource(RT_ICON, entry->id);
            ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
            const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
            EXPECT_EQ(header->biWidth, entry->width);
            EXPECT_EQ(header->biHeight, 2 * entry->width);  // colour and mask
            EXPECT_EQ(header->biBitCount, 8);
            EXPECT_EQ(header->biClrUsed == 0 ? 256u : header->biClrUsed, 256u);
        }
        EXPECT_EQ(sizes, (std::vector<int>{16, 32}));
    }
    EXPECT_NE(LoadIconA(module.get(), MAKEINTRESOURCEA(107)), nullptr);
    EXPECT_NE(LoadIconA(module.get(), MAKEINTRESOURCEA(108)), nullptr);
}

TEST_F(UpdaterResources, AcceleratorsGiveCommand104ForAltQuestionMarkAndAltSlash) {
    const std::string table = resource(RT_ACCELERATOR, 109);
    struct Entry {
        WORD flags;
        WORD key;
        WORD command;
        WORD padding;
    };
    ASSERT_EQ(table.size(), 2 * sizeof(Entry));
    const auto* entries = reinterpret_cast<const Entry*>(table.data());
    const WORD keys[] = {'?', '/'};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].flags & ~0x80, FALT) << "Alt with a character, not a virtual key";
        EXPECT_EQ(entries[i].key, keys[i]);
        EXPECT_EQ(entries[i].command, 104);
    }
    EXPECT_NE(entries[1].flags & 0x80, 0) << "the table's last entry is marked";
    EXPECT_EQ(FindResourceA(module.get(), MAKEINTRESOURCEA(109), RT_MENU), nullptr);
}

TEST(UpdaterVersionBlock, NamesNorvadelAtVersion1_1_0_3) {
    const std::string path = updaterPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000003u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000003u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, sizeof(Translation));
    char prefix[64];
    wsprintfA(prefix, "\\StringFileInfo\\%04x%04x\\", translation->language, translation->codePage);
    for (const char* field : {"InternalName", "OriginalFilename"}) {
        SCOPED_TRACE(field);
        char* value = nullptr;
        ASSERT_TRUE(VerQueryValueA(block.data(), (std::string(prefix) + field).c_str(),
                                   reinterpret_cast<void**>(&value), &length));
        EXPECT_STREQ(value, "Norvadel.exe");
    }
}
