#include "engine/text.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/error_text.h"
#include "temp_dir.h"

using namespace testing_support;

TEST(Text, ReplaceAllGoesOnAfterTheReplacement) {
    struct Case {
        const char* subject;
        const char* search;
        const char* replacement;
        const char* expected;
    } cases[] = {
        {R"({\"Files\":[]})", R"(\")", "\"", R"({"Files":[]})"},
        {"no pairs here", R"(\")", "\"", "no pairs here"},
        {R"(\\")", R"(\")", "\"", R"(\")"},
        {"aaa", "a", "aa", "aaaaaa"},
        {"/a/b/", "/", "\\", R"(\a\b\)"},
        {"xx", "x", "", ""},
        {"", "x", "y", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.subject);
        EXPECT_EQ(quillaby::replaceAll(c.subject, c.search, c.replacement), c.expected);
    }
}

TEST(Text, DirectoryPrefixAndBaseName) {
    struct Case {
        const char* path;
        const char* prefix;
        const char* base;
    } cases[] = {
        {R"(C:\Terminal\terminal.exe)", R"(C:\Terminal)", R"(C:\Terminal\terminal.exe)"},
        {"C:/Terminal/terminal.exe", "C:/Terminal", "terminal.exe"},
        {R"(C:\a/b\c)", R"(C:\a/b)", R"(b\c)"},
        {"/libraries/Example.dll", "/libraries", "Example.dll"},
        {"dir/", "dir", ""},
        {"/", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(quillaby::directoryPrefix(c.path), c.prefix);
        EXPECT_EQ(quillaby::baseName(c.path), c.base);
    }
    EXPECT_EQ(quillaby::baseName("Example.dll"), "Example.dll");
    for (const char* path : {"terminal.exe", ""}) {
        SCOPED_TRACE(path);
        try {
            quillaby::directoryPrefix(path);
            ADD_FAILURE() << "no length error";
        } catch (const std::length_error& error) {
            EXPECT_STREQ(error.what(), "string too long");
        }
    }
}

TEST(Text, EqualsIgnoringAsciiCase) {
    EXPECT_TRUE(quillaby::equalsIgnoringAsciiCase(".DLL", ".dll"));
    EXPECT_TRUE(quillaby::equalsIgnoringAsciiCase(".Dll", ".dLL"));
    EXPECT_FALSE(quillaby::equalsIgnoringAsciiCase(".dll", ".dl"));
    EXPECT_FALSE(quillaby::equalsIgnoringAsciiCase(".dll", ".exe"));
    EXPECT_FALSE(quillaby::equalsIgnoringAsciiCase("[", "{"));  // 0x5B and 0x7B differ by 32
    EXPECT_FALSE(quillaby::equalsIgnoringAsciiCase("\xC4", "\xE4"));
}

TEST(Text, ReadWholeFileStopsAtTheFirstZeroByte) {
    TempDir dir;
    const std::string binary("line\r\n\x01\xFF end", 12);
    writeFile(dir.file("binary"), binary);
    writeFile(dir.file("zero"), std::string("before\0after", 12));
    writeFile(dir.file("empty"), "");
    EXPECT_EQ(quillaby::readWholeFile(dir.file("binary")), binary);
    EXPECT_EQ(quillaby::readWholeFile(dir.file("zero")), "before");
    EXPECT_EQ(quillaby::readWholeFile(dir.file("empty")), "");
    EXPECT_EQ(quillaby::readWholeFile(dir.file("missing")), "");
    EXPECT_EQ(quillaby::readWholeFile(dir.path()), "");
}

TEST(Text, SystemErrorTextIsTheSystemsOwnText) {
    for (int32_t code : {2, 3, 32, 38}) {
        SCOPED_TRACE(code);
        const std::string text = quillaby::systemErrorText(code);
        ASSERT_GE(text.size(), 3u);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
        EXPECT_NE(text, "Unknown error");
    }
    EXPECT_EQ(quillaby::systemErrorText(0x1FFFFFFF), "Unknown error");
    EXPECT_EQ(quillaby::systemErrorText(-1), "Unknown error");
}
