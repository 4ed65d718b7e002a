// Every message box text that a user can meet is quoted in the README's troubleshooting
// table exactly as the library builds it: the same functions, with sample values, and
// every fixed piece between those values found verbatim, in order, in one row.
#include <gtest/gtest.h>

#include <sstream>

#include "engine/messages.h"
#include "temp_dir.h"

namespace messages = quillaby::messages;

namespace {

// Sample values that stand out from the fixed text.
constexpr char kText[] = "\x01";
constexpr int32_t kNumber = 424242;

std::string troubleshootingSection() {
    const std::string readme = testing_support::readFile(README_PATH);
    const auto start = readme.find("\n## Troubleshooting");
    if (start == std::string::npos) {
        return {};
    }
    const auto end = readme.find("\n## ", start + 1);
    return readme.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The message cut at every sample value.
std::vector<std::string> fixedPieces(const std::string& message) {
    std::string marked = message;
    const std::string number = std::to_string(kNumber);
    for (auto at = marked.find(number); at != std::string::npos; at = marked.find(number)) {
        marked.replace(at, number.size(), kText);
    }
    std::vector<std::string> pieces;
    std::string piece;
    for (const char c : marked) {
        if (c == kText[0] || c == '\n') {
            if (!piece.empty()) {
                pieces.push_back(piece);
            }
            piece.clear();
        } else {
            piece += c;
        }
    }
    if (!piece.empty()) {
        pieces.push_back(piece);
    }
    return pieces;
}

bool someRowQuotes(const std::string& section, const std::vector<std::string>& pieces) {
    std::istringstream lines(section);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("|", 0) != 0) {
            continue;
        }
        std::string::size_type at = 0;
        bool all = true;
        for (const std::string& piece : pieces) {
            at = line.find(piece, at);
            if (at == std::string::npos) {
                all = false;
                break;
            }
            at += piece.size();
        }
        if (all) {
            return true;
        }
    }
    return false;
}

TEST(Readme, TroubleshootingQuotesEveryMessageAsTheLibraryShowsIt) {
    const std::string section = troubleshootingSection();
    ASSERT_FALSE(section.empty()) << "README.md has no section \"## Troubleshooting\"";
    struct Shown {
        const char* what;
        std::string text;
    };
    const Shown shown[] = {
        {"missing temporary folder", messages::pathNotExists(kText)},
        {"update manifest not fetched",
         messages::manifestDownloadError(kNumber, kText, kNumber, kText, kText)},
        {"file not fetched", messages::fileDownloadError(kText, kNumber, kText)},
        {"file not renamed", messages::fileRenameError(kText, kText, kNumber)},
        {"question", messages::updatePrompt({kText})},
        {"no file updated", messages::kUpdateFailed},
        {"files updated", messages::updateSucceeded(kNumber)},
        {"caption of single steps", messages::kFilesCaption},
        {"caption of the question", messages::kPromptCaption},
        {"caption of the warning", messages::kWarningCaption},
        {"caption of the outcome", messages::kInformationCaption},
    };
    for (const Shown& message : shown) {
        SCOPED_TRACE(message.what);
        const std::vector<std::string> pieces = fixedPieces(message.text);
        ASSERT_FALSE(pieces.empty());
        std::string quoted;
        for (const std::string& piece : pieces) {
            quoted += "[" + piece + "]";
        }
        EXPECT_TRUE(someRowQuotes(section, pieces))
            << "no row of the troubleshooting table holds, in this order: " << quoted;
    }
}

}  // namespace
