#pragma once
// The exit codes of quillaby-manifest.exe; scripts of operators may test them.

namespace quillaby::tool {

enum ExitCode : int {
    kSuccess = 0,
    kUsage = 1,              // unknown command or option, missing argument
    kNoReleaseFolder = 2,    // make: RELEASE_DIR does not exist or is no folder
    kNoVersion = 3,          // make: a file whose version cannot be found
    kSharedName = 4,         // make: two files with one name on the server
    kBadOldManifest = 5,     // make: the --keep manifest cannot be read whole
    kUnreadableFile = 6,     // make: a file of the release cannot be read or is too large
    kWriteFailed = 7,        // make: updateinfo.txt cannot be written
    kBadManifest = 8,        // verify: updateinfo.txt cannot be fetched or read
    kMismatch = 9,           // verify: some file or name does not match
    kBadInstalledList = 10,  // verify: the installed file list cannot be read
    kUnexpected = 11,        // a failure of the tool itself (memory, for one)
};

}  // namespace quillaby::tool
