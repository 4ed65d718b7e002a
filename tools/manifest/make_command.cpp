#include <limits>
#include <optional>

#include "commands.h"
#include "engine/application_path.h"
#include "engine/probe.h"
#include "engine/text.h"
#include "exit_codes.h"
#include "manifest_document.h"
#include "release_folder.h"
#include "sha1.h"

namespace quillaby::tool {
namespace {

constexpr char kManifestName[] = "updateinfo.txt";

struct MakeOptions {
    std::string releaseFolder;
    std::optional<Version> version;
    std::string oldManifest;
};

// Usage problems go to err; an empty result with nothing written there means --help.
std::optional<MakeOptions> parseOptions(const std::vector<std::string>& arguments,
                                        std::ostream& err, bool& help) {
    MakeOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--help" || argument == "-h") {
            help = true;
            return std::nullopt;
        }
        if (argument == "--version" || argument == "--keep") {
            if (!hasValue) {
                err << "quillaby-manifest make: " << argument << " needs a value\n";
                return std::nullopt;
            }
            const std::string& value = arguments[++i];
            if (argument == "--keep") {
                options.oldManifest = value;
            } else if (!(options.version = parseVersion(value))) {
                err << "quillaby-manifest make: --version " << value
                    << " is not three numbers V.R.B, such as 1.1.3\n";
                return std::nullopt;
            }
        } else if (argument.size() > 1 && argument[0] == '-') {
            err << "quillaby-manifest make: unknown option " << argument << "\n";
            return std::nullopt;
        } else if (options.releaseFolder.empty()) {
            options.releaseFolder = argument;
        } else {
            err << "quillaby-manifest make: one release folder only, not also " << argument << "\n";
            return std::nullopt;
        }
    }
    if (options.releaseFolder.empty()) {
        err << "quillaby-manifest make: which release folder?\n";
        return std::nullopt;
    }
    return options;
}

std::string withoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/') &&
           path[path.size() - 2] != ':') {
        path.pop_back();
    }
    return path;
}

const FileEntry* findEntry(const FileList& list, const std::string& name) {
    for (const FileEntry& entry : list) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

// The library's own probe, with the release folder as the root directory.
std::optional<Version> reportedVersion(const std::string& releaseFolder, const ReleaseFile& file) {
    applicationPath = releaseFolder + "\\" + kManifestName;
    FileEntry entry;
    entry.name = "\\" + file.relativePath;
    if (!probeInstalledVersion(entry)) {
        return std::nullopt;
    }
    return Version{entry.version, entry.release, entry.build};
}

bool hasLibraryExtension(const std::string& name) {
    return name.size() >= 4 && equalsIgnoringAsciiCase(name.substr(name.size() - 4), ".dll");
}

bool isManifestItself(const ReleaseFile& file) {
    return equalsIgnoringAsciiCase(file.relativePath, kManifestName) ||
           equalsIgnoringAsciiCase(file.relativePath, std::string(kManifestName) + ".new");
}

// Every pair of files that the flat server would hold under one name.
bool reportSharedNames(const std::vector<ReleaseFile>& files, std::ostream& err) {
    bool shared = false;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (equalsIgnoringAsciiCase(files[i].name, kManifestName)) {
            err << "quillaby-manifest make: " << files[i].relativePath
                << ": the server holds updateinfo.txt itself under this name\n";
            shared = true;
        }
        for (std::size_t j = i + 1; j < files.size(); ++j) {
            if (equalsIgnoringAsciiCase(files[i].name, files[j].name)) {
                err << "quillaby-manifest make: " << files[i].relativePath << " and "
                    << files[j].relativePath << " share the name " << files[j].name
                    << " on the server, which holds every file under its bare name\n";
                shared = true;
            }
        }
    }
    return shared;
}

}  // namespace

int runMake(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    bool help = false;
    const auto parsed = parseOptions(arguments, err, help);
    if (help) {
        out << kMakeHelp;
        return kSuccess;
    }
    if (!parsed) {
        err << "Try quillaby-manifest make --help.\n";
        return kUsage;
    }
    const MakeOptions& options = *parsed;
    const std::string folder = withoutTrailingSeparators(absolutePath(options.releaseFolder));
    if (!isFolder(folder)) {
        err << "quillaby-manifest make: release folder " << folder
            << " does not exist or is not a folder\n";
        return kNoReleaseFolder;
    }

    FileList oldEntries;
    if (!options.oldManifest.empty()) {
        const std::string text = readWholeFile(options.oldManifest);
        std::string problem =
            text.empty() ? "it cannot be read, or it is empty" : manifestProblem(text);
        if (!problem.empty()) {
            err << "quillaby-manifest make: old manifest " << options.oldManifest << ": " << problem
                << "\n";
            return kBadOldManifest;
        }
        parseFileManifest(text, oldEntries);
    }

    std::vector<ReleaseFile> files;
    for (const ReleaseFile& file : listReleaseFiles(folder)) {
        if (!isManifestItself(file)) {
            files.push_back(file);
        }
    }
    if (files.empty()) {
        err << "quillaby-manifest make: release folder " << folder << " holds no files\n";
        return kNoReleaseFolder;
    }
    if (reportSharedNames(files, err)) {
        return kSharedName;
    }

    std::vector<ManifestFile> entries;
    std::vector<std::string> sources;
    bool versionMissing = false;
    for (const ReleaseFile& file : files) {
        const std::string path = folder + "\\" + file.relativePath;
        const FileDigest digest = digestFile(path);
        if (!digest.ok) {
            err << "quillaby-manifest make: " << path << ": " << digest.error << "\n";
            return kUnreadableFile;
        }
        if (digest.size > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
            err << "quillaby-manifest make: " << path << ": " << digest.size
                << " bytes, more than the 2147483647 that a manifest can state\n";
            return kUnreadableFile;
        }
        ManifestFile entry;
        entry.name = file.name;
        entry.size = static_cast<int32_t>(digest.size);
        entry.sha1 = digest.sha1;
        const FileEntry* old = findEntry(oldEntries, file.name);
        if (old != nullptr) {
            entry.description = old->description;
        }
        if (const auto reported = reportedVersion(folder, file)) {
            entry.version = *reported;
            sources.push_back("reported by the library");
        } else if (options.version) {
            entry.version = *options.version;
            sources.push_back("from --version");
        } else if (old != nullptr) {
            entry.version = Version{old->version, old->release, old->build};
            sources.push_back("kept from " + options.oldManifest);
        } else {
            err << "quillaby-manifest make: " << path << ": no version: "
                << (hasLibraryExtension(file.name)
                        ? "the library reports none through extGetVersionInfo1"
                        : "only libraries report their own")
                << ", and neither --version nor an entry " << file.name
                << " in an old manifest (--keep) gives one\n";
            versionMissing = true;
            continue;
        }
        entries.push_back(entry);
    }
    if (versionMissing) {
        return kNoVersion;
    }

    const std::string manifestPath = folder + "\\" + kManifestName;
    std::string error;
    if (!replaceFileContent(manifestPath, manifestDocument(entries), error)) {
        err << "quillaby-manifest make: " << error << "\n";
        return kWriteFailed;
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        out << entries[i].name << "  " << versionText(entries[i].version) << " (" << sources[i]
            << ")  " << entries[i].size << " bytes  sha1 " << entries[i].sha1 << "\n";
    }
    out << "wrote " << manifestPath << " with " << entries.size() << " files\n";
    return kSuccess;
}

}  // namespace quillaby::tool
