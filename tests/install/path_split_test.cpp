#include "engine/path_split.h"

#include <gtest/gtest.h>

#include <string>

using quillaby::PathParts;
using quillaby::splitPath;

namespace {

bool noLeadBytes(unsigned char) {
    return false;
}

// Lead bytes of a double-byte code page (the Japanese one): 0x81-0x9F and 0xE0-0xFC.
bool japaneseLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

struct SplitCase {
    const char* label;
    std::string path;
    quillaby::LeadBytePredicate isLeadByte;
    PathParts expected;
};

void expectParts(const PathParts& actual, const PathParts& expected) {
    EXPECT_EQ(actual.drive, expected.drive);
    EXPECT_EQ(actual.directory, expected.directory);
    EXPECT_EQ(actual.fileName, expected.fileName);
    EXPECT_EQ(actual.extension, expected.extension);
}

}  // namespace

TEST(PathSplit, SplitsIntoDriveDirectoryNameAndExtension) {
    const SplitCase cases[] = {
        {"backslashes", "C:\\T\\lib\\x.dll", noLeadBytes, {"C:", "\\T\\lib\\", "x", ".dll"}},
        {"forward slashes", "C:/T/lib/x.dll", noLeadBytes, {"C:", "/T/lib/", "x", ".dll"}},
        {"mixed separators", "a\\b/c.d", noLeadBytes, {"", "a\\b/", "c", ".d"}},
        {"last dot counts", "C:\\T\\x.dll.new", noLeadBytes, {"C:", "\\T\\", "x.dll", ".new"}},
        {"dot only in a directory", "\\lib.d\\x", noLeadBytes, {"", "\\lib.d\\", "x", ""}},
        {"drive without directory", "C:x.tar.gz", noLeadBytes, {"C:", "", "x.tar", ".gz"}},
        {"name is an extension", "\\T\\.dll", noLeadBytes, {"", "\\T\\", "", ".dll"}},
        {"ends in a separator", "C:\\T\\", noLeadBytes, {"C:", "\\T\\", "", ""}},
        {"colon not second", "ab:c.d", noLeadBytes, {"", "", "ab:c", ".d"}},
        {"empty", "", noLeadBytes, {"", "", "", ""}},
        // 0x95 0x5C is one character: its second byte is no separator.
        {"double byte ending in a backslash",
         "C:\\T\\a\x95\\x.dll",
         japaneseLeadByte,
         {"C:", "\\T\\", "a\x95\\x", ".dll"}},
        {"same bytes, single-byte code page",
         "C:\\T\\a\x95\\x.dll",
         noLeadBytes,
         {"C:", "\\T\\a\x95\\", "x", ".dll"}},
        // A dot as the second byte of a double-byte character is no dot.
        {"double byte ending in a dot",
         "\\T\\x\x81.dll",
         japaneseLeadByte,
         {"", "\\T\\", "x\x81.dll", ""}},
        {"double byte before a real dot",
         "\\T\\\x81\x40.dll",
         japaneseLeadByte,
         {"", "\\T\\", "\x81\x40", ".dll"}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.label);
        expectParts(splitPath(c.path, c.isLeadByte), c.expected);
    }
}

TEST(PathSplit, APartOverItsLimitClearsEveryPart) {
    const std::string directory254 = "\\" + std::string(252, 'd') + "\\";
    const std::string name254(254, 'n');
    const std::string extension63 = "." + std::string(62, 'e');
    struct LimitCase {
        const char* label;
        std::string path;
        PathParts expected;
    };
    const LimitCase cases[] = {
        {"directory of 254", "C:" + directory254 + "x.dll", {"C:", directory254, "x", ".dll"}},
        {"directory of 255", "C:" + directory254 + "d\\x.dll", {}},
        {"file name of 254", "C:\\T\\" + name254 + ".dll", {"C:", "\\T\\", name254, ".dll"}},
        {"file name of 255", "C:\\T\\" + name254 + "n.dll", {}},
        {"extension of 63", "C:\\T\\x" + extension63, {"C:", "\\T\\", "x", extension63}},
        {"extension of 64", "C:\\T\\x" + extension63 + "e", {}},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.label);
        expectParts(splitPath(c.path, noLeadBytes), c.expected);
    }
}
