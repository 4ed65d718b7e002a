#include "commands.h"

#include "exit_codes.h"

namespace quillaby::tool {

const char kToolHelp[] =
    "Usage: quillaby-manifest COMMAND ARGUMENTS\n"
    "\n"
    "Writes and checks updateinfo.txt, the update manifest that Quillaby.dll reads from\n"
    "the update URL.\n"
    "\n"
    "Commands:\n"
    "  make RELEASE_DIR [--version V.R.B] [--keep OLD_MANIFEST]\n"
    "      write RELEASE_DIR\\updateinfo.txt for every file of the release folder\n"
    "  verify UPDATE_URL [INSTALLED_FILE_LIST]\n"
    "      fetch updateinfo.txt and every file it names, and compare them\n"
    "\n"
    "quillaby-manifest COMMAND --help tells more about each.\n";

const char kMakeHelp[] =
    "Usage: quillaby-manifest make RELEASE_DIR [--version V.R.B] [--keep OLD_MANIFEST]\n"
    "\n"
    "Writes RELEASE_DIR\\updateinfo.txt with one entry for every file below RELEASE_DIR\n"
    "(subfolders included; an updateinfo.txt already there is replaced): its bare file name,\n"
    "its version, its size and its SHA-1, every value a JSON string. Upload the folder's\n"
    "files flat, each directly under the update URL by its bare name.\n"
    "\n"
    "The version of a file is, in this order:\n"
    "  - the one a library (.dll) reports through extGetVersionInfo1, loaded as\n"
    "    Quillaby.dll loads it;\n"
    "  - V.R.B from --version (three numbers, for example 1.1.3);\n"
    "  - the version of the entry of the same name in OLD_MANIFEST (--keep), whose\n"
    "    descriptions are carried over as well.\n"
    "\n"
    "Refuses, writing nothing: a release folder that does not exist, a file whose version\n"
    "cannot be found, two files that would share one name on the server (letter case\n"
    "ignored), an OLD_MANIFEST that the library could not read whole, a file that cannot\n"
    "be read.\n"
    "\n"
    "Exit codes: 0 written, 1 usage, 2 no release folder, 3 a file without version,\n"
    "4 a shared name, 5 bad OLD_MANIFEST, 6 a file that cannot be read, 7 cannot write.\n";

const char kVerifyHelp[] =
    "Usage: quillaby-manifest verify UPDATE_URL [INSTALLED_FILE_LIST]\n"
    "\n"
    "Fetches UPDATE_URL/updateinfo.txt and every file it names (UPDATE_URL/NAME) the way\n"
    "Quillaby.dll fetches them, and prints one line per file: OK, WRONG SIZE, WRONG SHA1,\n"
    "NOT FOUND or FAILED, with the size and SHA-1 found and those of the manifest.\n"
    "\n"
    "INSTALLED_FILE_LIST is a file holding an installed file list as the expert program\n"
    "passes it (quotes may be written as \\\"). Each installed name is then checked against\n"
    "the manifest: OK, CASE MISMATCH (the file name differs only in letter case),\n"
    "BACKSLASH (parts separated by '\\', which the library does not take as a separator),\n"
    "NO LEADING SLASH (the name must begin with '/'), or NOT IN MANIFEST.\n"
    "\n"
    "Exit codes: 0 everything matches, 1 usage, 8 updateinfo.txt cannot be fetched or\n"
    "read, 9 something does not match, 10 INSTALLED_FILE_LIST cannot be read.\n";

int runTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.empty()) {
        err << kToolHelp;
        return kUsage;
    }
    const std::string& command = arguments.front();
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (command == "--help" || command == "-h" || command == "/?") {
        out << kToolHelp;
        return kSuccess;
    }
    if (command == "make") {
        return runMake(rest, out, err);
    }
    if (command == "verify") {
        return runVerify(rest, out, err);
    }
    err << "quillaby-manifest: unknown command \"" << command << "\"\n\n" << kToolHelp;
    return kUsage;
}

}  // namespace quillaby::tool
