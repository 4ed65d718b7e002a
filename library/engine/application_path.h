#pragma once

#include <string>

namespace quillaby {

// The application path of the latest check or interactive update in this process.
// Written without a lock: those calls must not overlap.
extern std::string applicationPath;

}  // namespace quillaby
