// The updater's command-line rules without the platform: what each argument list yields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_line.h"

using norvadel::narrowArgument;
using norvadel::parseArguments;

namespace {

struct ArgumentsCase {
    const char* what;
    std::vector<std::string> arguments;
    std::string updateUrl;
    std::string applicationPath;
    std::string installedFileList;
};

}  // namespace

TEST(ParseArguments, FollowsTheSwitchRules) {
    const ArgumentsCase cases[] = {
        {"nothing", {}, "", "", ""},
        {"program only", {"C:\\T\\Norvadel.exe"}, "", "", ""},
        {"all three", {"N.exe", "-u", "U", "-a", "A", "-f", "F"}, "U", "A", "F"},
        {"last value wins", {"N.exe", "-u", "X", "-u", "Y"}, "Y", "", ""},
        {"a value is compared in its turn", {"N.exe", "-u", "-a", "Z"}, "-a", "Z", ""},
        {"switch last keeps the earlier value", {"N.exe", "-a", "first", "-a"}, "", "first", ""},
        {"switch last ends the parsing", {"N.exe", "-f"}, "", "", ""},
        {"case matters", {"N.exe", "-U", "X", "-A", "Y", "-F", "Z"}, "", "", ""},
        {"-p and its value are skipped", {"N.exe", "-p", "42", "-f", "L"}, "", "", "L"},
        {"argument 0 is a switch too", {"-u", "X"}, "X", "", ""},
        {"whole texts only", {"N.exe", "-u ", "X", "--u", "Y", "-uu", "Z"}, "", "", ""},
        {"empty value", {"N.exe", "-u", "X", "-u", ""}, "", "", ""},
        {"value taken then acting", {"N.exe", "-f", "-u", "V"}, "V", "", "-u"},
    };
    for (const ArgumentsCase& c : cases) {
        SCOPED_TRACE(c.what);
        const norvadel::UpdaterArguments parsed = parseArguments(c.arguments);
        EXPECT_EQ(parsed.updateUrl, c.updateUrl);
        EXPECT_EQ(parsed.applicationPath, c.applicationPath);
        EXPECT_EQ(parsed.installedFileList, c.installedFileList);
        EXPECT_EQ(parsed.window, nullptr);
    }
}

TEST(NarrowArgument, KeepsTheLowByteOfEachUnit) {
    struct Case {
        const char* what;
        std::u16string wide;
        std::string narrow;
    };
    const Case cases[] = {
        {"ASCII", u"-u", "-u"},
        {"empty", u"", ""},
        {"Latin-1 e acute", u"caf\u00e9", "caf\xe9"},
        {"Cyrillic Zhe becomes 0x16", u"\u0416x", "\x16x"},
        {"U+0100 ends the text", u"ab\u0100cd", "ab"},
        {"U+FF41 becomes 0x41", u"\uff41", "A"},
        {"U+00FF", u"\u00ff", "\xff"},
        {"a surrogate pair: 0x3D, then a zero ends it", u"\U0001F600", "="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(narrowArgument(c.wide), c.narrow);
    }
}
