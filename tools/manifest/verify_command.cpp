#include <windows.h>

#include "commands.h"
#include "engine/download.h"
#include "engine/manifest.h"
#include "engine/text.h"
#include "exit_codes.h"
#include "manifest_document.h"
#include "name_check.h"
#include "release_folder.h"
#include "sha1.h"

namespace quillaby::tool {
namespace {

struct Fetched {
    int32_t code = 0;
    std::string responseText;
    FileDigest digest;
    std::string text;  // as the library reads it: up to the first zero byte
};

// Through the library's own download into a temporary file, which is removed again.
Fetched fetch(const std::string& url) {
    Fetched fetched;
    const std::string path = newTemporaryFile();
    if (path.empty()) {
        fetched.code = static_cast<int32_t>(GetLastError());
        fetched.responseText = "no temporary file";
        return fetched;
    }
    uint32_t written = 0;
    fetched.code = downloadToFile(url, path, written, fetched.responseText);
    if (fetched.code == 0) {
        fetched.digest = digestFile(path);
        fetched.text = readWholeFile(path);
    }
    DeleteFileA(path.c_str());
    return fetched;
}

std::string failureStatus(int32_t code) {
    return code == ERROR_FILE_NOT_FOUND ? "NOT FOUND" : "FAILED";
}

std::string failureDetails(const std::string& url, const Fetched& fetched) {
    std::string details = url + ": " + errorDescription(fetched.code);
    if (!fetched.responseText.empty()) {
        details += ", answer: " + fetched.responseText;
    }
    return details;
}

// One line for a file that the manifest names; true when it matches.
bool verifyFile(const std::string& updateUrl, const FileEntry& entry, std::ostream& out) {
    const std::string url = updateUrl + "/" + entry.name;
    const Fetched fetched = fetch(url);
    if (fetched.code != 0) {
        out << failureStatus(fetched.code) << "  " << entry.name << "  "
            << failureDetails(url, fetched) << "\n";
        return false;
    }
    if (!fetched.digest.ok) {
        out << "FAILED  " << entry.name << "  " << fetched.digest.error << "\n";
        return false;
    }
    const bool sizeMatches =
        fetched.digest.size == static_cast<uint64_t>(entry.size) && entry.size >= 0;
    const bool sha1Matches = equalsIgnoringAsciiCase(fetched.digest.sha1, entry.sha1);
    std::string status = "OK";
    if (!sizeMatches || !sha1Matches) {
        status = !sizeMatches && !sha1Matches ? "WRONG SIZE, WRONG SHA1"
                 : !sizeMatches               ? "WRONG SIZE"
                                              : "WRONG SHA1";
    }
    out << status << "  " << entry.name << "  version " << entry.version << "." << entry.release
        << "." << entry.build << ", size " << fetched.digest.size << " (manifest " << entry.size
        << "), sha1 " << fetched.digest.sha1 << " (manifest "
        << (entry.sha1.empty() ? "none" : entry.sha1) << ")\n";
    return status == "OK";
}

// One line for an installed name; true when the library finds its entry.
bool verifyInstalledName(const std::string& name, const std::vector<std::string>& names,
                         std::ostream& out) {
    const NameDiagnosis diagnosis = diagnoseInstalledName(name, names);
    switch (diagnosis.match) {
        case NameMatch::kMatches:
            out << "OK  installed " << name << "  is " << diagnosis.manifestName << "\n";
            return true;
        case NameMatch::kLetterCase:
            out << "CASE MISMATCH  installed " << name << "  its file name differs from "
                << diagnosis.manifestName << " in letter case only; names must match to the "
                << "letter\n";
            return false;
        case NameMatch::kBackslash:
            out << "BACKSLASH  installed " << name << "  only '/' separates the parts of a "
                << "name, so its file name is all of it, not " << diagnosis.manifestName
                << "; write it with '/'\n";
            return false;
        case NameMatch::kNoLeadingSlash:
            out << "NO LEADING SLASH  installed " << name << "  is " << diagnosis.manifestName
                << ", but the name is joined to the application folder without a separator; "
                << "begin it with '/'\n";
            return false;
        case NameMatch::kNotInManifest:
            break;
    }
    out << "NOT IN MANIFEST  installed " << name << "  no entry " << baseName(name)
        << " in updateinfo.txt, so it is never updated\n";
    return false;
}

}  // namespace

int runVerify(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    std::vector<std::string> positional;
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            out << kVerifyHelp;
            return kSuccess;
        }
        if (argument.size() > 1 && argument[0] == '-') {
            err << "quillaby-manifest verify: unknown option " << argument << "\n";
            return kUsage;
        }
        positional.push_back(argument);
    }
    if (positional.empty() || positional.size() > 2) {
        err << "quillaby-manifest verify: give UPDATE_URL and, if you like, "
               "INSTALLED_FILE_LIST\nTry quillaby-manifest verify --help.\n";
        return kUsage;
    }
    const std::string& updateUrl = positional[0];

    FileList installed;
    if (positional.size() == 2) {
        const std::string& listPath = positional[1];
        // As XCheckForUpdates reads it: the expert programs write quotes as \".
        const std::string text = replaceAll(readWholeFile(listPath), "\\\"", "\"");
        const std::string problem =
            text.empty() ? "it cannot be read, or it is empty" : manifestProblem(text);
        if (!problem.empty()) {
            err << "quillaby-manifest verify: installed file list " << listPath << ": " << problem
                << "\n";
            return kBadInstalledList;
        }
        parseFileManifest(text, installed);
    }

    const std::string manifestUrl = updateUrl + "/updateinfo.txt";
    if (!updateUrl.empty() && updateUrl.back() == '/') {
        out << "NOTE  the update URL ends with '/': the library asks for " << manifestUrl << "\n";
    }
    const Fetched manifest = fetch(manifestUrl);
    if (manifest.code != 0) {
        out << failureStatus(manifest.code) << "  updateinfo.txt  "
            << failureDetails(manifestUrl, manifest) << "\n";
        return kBadManifest;
    }
    FileList entries;
    parseFileManifest(manifest.text, entries);
    const std::string problem = manifestProblem(manifest.text);
    bool matches = problem.empty();
    out << (matches ? "OK" : "BAD") << "  updateinfo.txt  " << entries.size()
        << " files the library reads" << (matches ? "" : "; " + problem) << "\n";
    if (entries.empty()) {
        return kBadManifest;
    }

    std::vector<std::string> names;
    for (const FileEntry& entry : entries) {
        matches = verifyFile(updateUrl, entry, out) && matches;
        names.push_back(entry.name);
    }
    for (const FileEntry& entry : installed) {
        matches = verifyInstalledName(entry.name, names, out) && matches;
    }
    out << (matches ? "everything matches" : "some files or names do not match") << "\n";
    return matches ? kSuccess : kMismatch;
}

}  // namespace quillaby::tool
