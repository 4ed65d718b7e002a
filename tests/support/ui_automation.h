#pragma once
// Answers message boxes of other programs on the same display, as a user would: finds each
// box by its caption, reads its text and presses the button the script names.

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

enum class Press { Ok, Cancel };

struct DialogStep {
    std::string caption;
    Press press = Press::Ok;
};

struct SeenDialog {
    std::string caption;
    std::string text;
    bool answered = false;
};

// Called with the box's number (from 1) and what was read, before the button is pressed.
using BeforePress = std::function<void(int number, const SeenDialog& dialog)>;

// Works through the script in order; waits up to timeoutMs for each box to appear and to go
// after the press. Stops at the first box that does not come; returns the boxes seen.
std::vector<SeenDialog> answerDialogs(const std::vector<DialogStep>& script, unsigned timeoutMs,
                                      const BeforePress& beforePress = {});

// Message boxes ("#32770" windows) shown anywhere on the display right now, by caption.
std::vector<std::string> visibleDialogCaptions();

}  // namespace testing_support
