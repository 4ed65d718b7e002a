#include "dialog.h"

#include <windows.h>

#include <utility>

namespace quillaby {
namespace {

DialogFunction& replacement() {
    static DialogFunction function;
    return function;
}

}  // namespace

int showMessage(const std::string& text, const std::string& caption, unsigned style) {
    if (replacement()) {
        return replacement()(text, caption, style);
    }
    return MessageBoxExA(nullptr, text.c_str(), caption.c_str(), style, 0);
}

void setDialogFunction(DialogFunction function) {
    replacement() = std::move(function);
}

}  // namespace quillaby
