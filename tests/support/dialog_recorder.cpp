#include "dialog_recorder.h"

namespace testing_support {

DialogRecorder::DialogRecorder(int defaultAnswer) : defaultAnswer_(defaultAnswer) {
    quillaby::setDialogFunction(
        [this](const std::string& text, const std::string& caption, unsigned style) {
            boxes_.push_back({text, caption, style});
            if (answers_.empty()) {
                return defaultAnswer_;
            }
            const int answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
}

DialogRecorder::~DialogRecorder() {
    quillaby::setDialogFunction(nullptr);
}

}  // namespace testing_support
