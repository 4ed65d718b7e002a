#pragma once
// Replaces the library's message boxes for one test: records each box and answers
// from a script (then with the default answer).

#include <deque>
#include <string>
#include <vector>

#include "engine/dialog.h"

namespace testing_support {

struct RecordedBox {
    std::string text;
    std::string caption;
    unsigned style = 0;
};

class DialogRecorder {
  public:
    explicit DialogRecorder(int defaultAnswer = 1);
    ~DialogRecorder();
    DialogRecorder(const DialogRecorder&) = delete;
    DialogRecorder& operator=(const DialogRecorder&) = delete;

    void answerNext(int answer) { answers_.push_back(answer); }
    const std::vector<RecordedBox>& boxes() const { return boxes_; }

  private:
    int defaultAnswer_;
    std::deque<int> answers_;
    std::vector<RecordedBox> boxes_;
};

}  // namespace testing_support
