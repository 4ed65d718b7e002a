#include "engine/manifest.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Expected {
    Expected(std::string name_ = "", int32_t version_ = 0, int32_t release_ = 0, int32_t build_ = 0,
             std::string description_ = "", std::string sha1_ = "", int32_t size_ = 0)
        : name(std::move(name_)),
          version(version_),
          release(release_),
          build(build_),
          description(std::move(description_)),
          sha1(std::move(sha1_)),
          size(size_) {}
    std::string name;
    int32_t version;
    int32_t release;
    int32_t build;
    std::string description;
    std::string sha1;
    int32_t size;
};

void expectEntries(const quillaby::FileList& list, const std::vector<Expected>& expected) {
    ASSERT_EQ(list.size(), expected.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        const quillaby::FileEntry& entry = list[i];
        EXPECT_EQ(entry.name, expected[i].name);
        EXPECT_EQ(entry.version, expected[i].version);
        EXPECT_EQ(entry.release, expected[i].release);
        EXPECT_EQ(entry.build, expected[i].build);
        EXPECT_EQ(entry.description, expected[i].description);
        EXPECT_EQ(entry.sha1, expected[i].sha1);
        EXPECT_EQ(entry.size, expected[i].size);
        EXPECT_FALSE(entry.needsUpdate);
    }
}

struct Document {
    const char* label;
    std::string text;
    std::vector<Expected> entries;
};

const std::vector<Document>& documents() {
    static const std::vector<Document> table = {
        {"empty text", "", {}},
        {"empty object", "{}", {}},
        {"null root", "null", {}},
        {"Files empty", R"({"Files": []})", {}},
        {"Files a string", R"({"Files": "a"})", {}},
        {"Files a number", R"({"Files": 3})", {}},
        {"Files a boolean", R"({"Files": true})", {}},
        {"Files null", R"({"Files": null})", {}},
        {"files in lower case", R"({"files": [{"name": "a"}]})", {}},
        {"error page", "<html><body>502 Bad Gateway</body></html>", {}},
        {"truncated", R"({"Files": [{"name": "a", "version": "1"}, {"name": "b")", {}},
        {"byte order mark",
         "\xEF\xBB\xBF"
         R"({"Files": [{"name": "a"}]})",
         {}},
        {"comment between a name and its colon", R"({"Files" /* x */ : [{"name": "a"}]})", {}},
        {"every member, in any order, others ignored",
         R"({"Other": 5, "Files": [{"size": "1024", "sha1": "da39a3ee", "extra": [1, 2],
             "description": "Example library", "build": "12", "release": "0",
             "version": "1", "name": "/libraries/Example.dll"}]})",
         {{"/libraries/Example.dll", 1, 0, 12, "Example library", "da39a3ee", 1024}}},
        {"empty element and null element", R"({"Files": [{}, null]})", {{}, {}}},
        {"same name twice in document order",
         R"({"Files": [{"name": "a.dll", "version": "2"}, {"name": "a.dll", "version": "1"}]})",
         {{"a.dll", 2}, {"a.dll", 1}}},
        {"bare number ends the reading",
         R"({"Files": [{"name": "a", "version": "1"}, {"name": "b", "version": 2},
                       {"name": "c", "version": "3"}]})",
         {{"a", 1}}},
        {"the same number as a string",
         R"({"Files": [{"name": "a", "version": "1"}, {"name": "b", "version": "2"},
                       {"name": "c", "version": "3"}]})",
         {{"a", 1}, {"b", 2}, {"c", 3}}},
        {"bare number in the last member read",
         R"({"Files": [{"name": "a"}, {"name": "b", "size": 10}]})",
         {{"a"}}},
        {"bare number in the first element", R"({"Files": [{"name": 1}, {"name": "b"}]})", {}},
        {"array value ends the reading", R"({"Files": [{"name": "a"}, {"sha1": ["x"]}]})", {{"a"}}},
        {"object value ends the reading",
         R"({"Files": [{"name": "a"}, {"description": {}}, {"name": "c"}]})",
         {{"a"}}},
        {"array element: the reader throws, the failure stays inside",
         R"({"Files": [{"name": "a"}, ["b"]]})",
         {{"a"}}},
        {"booleans read as text",
         R"({"Files": [{"name": true, "version": "1", "release": false, "description": false}]})",
         {{"true", 1, 0, 0, "false"}}},
        {"nulls read as empty",
         R"({"Files": [{"name": null, "version": null, "sha1": null, "build": "4"}]})",
         {{"", 0, 0, 4}}},
        {"comments of both forms",
         "/* head */ {\"Files\": // line\n [ /* before */ {\"name\": \"a\" /* after value */,"
         " // between members\n \"version\": \"1\"} /* between elements */ ,"
         " {\"name\": \"b\"} // last\n ] } // tail",
         {{"a", 1}, {"b"}}},
        {"trailing text",
         R"({"Files": [{"name": "a", "build": "5"}]} trailing <html> text)",
         {{"a", 0, 0, 5}}},
        {"a second document after the first",
         R"({"Files": [{"name": "a"}]} {"Files": []})",
         {{"a"}}},
    };
    return table;
}

}  // namespace

TEST(Manifest, TableOfDocuments) {
    for (const Document& document : documents()) {
        SCOPED_TRACE(document.label);
        quillaby::FileList list;
        EXPECT_EQ(quillaby::parseFileManifest(document.text, list),
                  static_cast<int32_t>(document.entries.size()));
        expectEntries(list, document.entries);
    }
}

// Numbers are strings of digits: sign and leading blanks taken, clamped to 32 bits.
TEST(Manifest, NumbersFromStrings) {
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {
        {"12", 12},
        {"-4", -4},
        {"+8", 8},
        {" 7", 7},
        {"\t\n 9", 9},
        {"2.5", 2},
        {"3abc", 3},
        {"abc", 0},
        {"", 0},
        {"- 5", 0},
        {"0x1A", 0},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"99999999999", INT_MAX},
        {"99999999999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"-99999999999999999999999999", INT_MIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        const std::string field = std::string("\"") + c.text + "\"";
        for (const char* key : {"version", "release", "build", "size"}) {
            SCOPED_TRACE(key);
            quillaby::FileList list;
            ASSERT_EQ(quillaby::parseFileManifest(
                          std::string(R"({"Files": [{")") + key + "\": " + field + "}]}", list),
                      1);
            const quillaby::FileEntry& entry = list[0];
            const std::string keyName = key;
            const int32_t read = keyName == "version"   ? entry.version
                                 : keyName == "release" ? entry.release
                                 : keyName == "build"   ? entry.build
                                                        : entry.size;
            EXPECT_EQ(read, c.value);
        }
    }
}

TEST(Manifest, SecondCallAppendsBehindTheFirst) {
    quillaby::FileList list;
    EXPECT_EQ(quillaby::parseFileManifest(
                  R"({"Files": [{"name": "a", "version": "1"}, {"name": "b"}]})", list),
              2);
    list[0].needsUpdate = true;
    EXPECT_EQ(quillaby::parseFileManifest(R"({"Files": [{"name": "c", "build": "3"}]})", list), 1);
    EXPECT_EQ(quillaby::parseFileManifest("not a document", list), 0);
    EXPECT_EQ(quillaby::parseFileManifest(R"({"Files": [{"name": "d"}, {"name": 5}]})", list), 1);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].name, "a");
    EXPECT_EQ(list[0].version, 1);
    EXPECT_TRUE(list[0].needsUpdate);  // entries held before are left as they are
    EXPECT_EQ(list[1].name, "b");
    EXPECT_EQ(list[2].name, "c");
    EXPECT_EQ(list[2].build, 3);
    EXPECT_FALSE(list[2].needsUpdate);
    EXPECT_EQ(list[3].name, "d");
}
