#pragma once
// Every text the user can see, in one place; no platform calls.

#include <cstdint>
#include <string>

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

}  // namespace quillaby::messages
