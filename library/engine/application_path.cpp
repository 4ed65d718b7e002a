#include "application_path.h"

namespace quillaby {

std::string applicationPath;

}  // namespace quillaby
