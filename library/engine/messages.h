#pragma once
// Every text the user can see, in one place; no platform calls.

#include <cstdint>
#include <string>
#include <vector>

namespace quillaby::messages {

// Message box styles: an OK button with the exclamation or information icon.
inline constexpr unsigned kErrorStyle = 0x30;
inline constexpr unsigned kQuestionStyle = 0x41;
inline constexpr unsigned kWarningStyle = 0x30;
inline constexpr unsigned kInformationStyle = 0x40;

inline constexpr char kFilesCaption[] = "Updater Files";

std::string pathNotExists(const std::string& directory);

// The failure of fetching updateinfo.txt, with both codes and their system texts.
std::string manifestDownloadError(int32_t code, const std::string& codeText, int32_t lastError,
                                  const std::string& lastErrorText,
                                  const std::string& responseText);

// File replacement: a file that could not be fetched, and a swap that failed.
std::string fileDownloadError(const std::string& downloadPath, int32_t code,
                              const std::string& responseText);
std::string fileRenameError(const std::string& downloadPath, const std::string& installedPath,
                            int32_t errorNumber);

// The interactive update: the question, and its two outcomes.
inline constexpr char kPromptCaption[] = "New version of files available";
inline constexpr char kWarningCaption[] = "Updater Warning";
inline constexpr char kInformationCaption[] = "Updater Information";
inline constexpr char kUpdateFailed[] = "Failed to update, please try later";
std::string updatePrompt(const std::vector<std::string>& names);
std::string updateSucceeded(int32_t count);

}  // namespace quillaby::messages
