#pragma once
// The files of a release folder, and the platform's file operations the tool needs.

#include <string>
#include <vector>

namespace quillaby::tool {

struct ReleaseFile {
    std::string relativePath;  // below the release folder, with '\' between its parts
    std::string name;          // the bare file name, as the server holds it
};

bool isFolder(const std::string& path);

// The path made absolute against the current folder: a relative path given to
// LoadLibraryA would be looked up along the library search path instead.
std::string absolutePath(const std::string& path);

// Every file below the folder, subfolders included, ordered by path ignoring letter case.
std::vector<ReleaseFile> listReleaseFiles(const std::string& folder);

// Writes the content beside the path, then renames it over the path: readers never see
// half a file. On failure nothing is left beside, and the error says why.
bool replaceFileContent(const std::string& path, const std::string& content, std::string& error);

// A new empty file in the system's temporary folder; empty text when none can be made.
std::string newTemporaryFile();

// "error N (system text)" for GetLastError, without the system text's line end.
std::string lastErrorDescription();
std::string errorDescription(int code);

}  // namespace quillaby::tool
