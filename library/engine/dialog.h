#pragma once
// The one place where the library talks to the user. Tests replace it to read
// every message exactly and to answer as a user would.

#include <functional>
#include <string>

namespace quillaby {

using DialogFunction =
    std::function<int(const std::string& text, const std::string& caption, unsigned style)>;

// A modal message box without owner window; returns the button pressed, or the failure.
int showMessage(const std::string& text, const std::string& caption, unsigned style);

// An empty function puts the system's message box back.
void setDialogFunction(DialogFunction function);

}  // namespace quillaby
