#pragma once
// A real folder under the system's temporary path, removed with everything in it.

#include <string>

namespace testing_support {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder's Windows path, without a trailing backslash.
    const std::string& path() const { return path_; }
    // path() + "\\" + relative, with '/' turned into '\'.
    std::string file(const std::string& relative) const;

  private:
    std::string path_;
};

void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
// Files in the folder whose names start with the prefix.
int countFiles(const std::string& folder, const std::string& prefix);
std::string systemTempPath();
// The folder of the running test program: the build's bin folder, without a trailing '\'.
std::string programFolder();

}  // namespace testing_support
