// The script error with its place in front of the message.
#include "script/script_error.h"

namespace hk {
namespace {

std::string Place(const std::string& fileName, int line) {
    std::string place = fileName.empty() ? std::string("material script") : fileName;
    if (line > 0)
        place += ", line " + std::to_string(line);
    return place + ": ";
}

} // namespace

EMaterialScriptError::EMaterialScriptError(const std::string& message, const std::string& fileName,
                                           int line)
    : Exception(Place(fileName, line) + message), message_(message), fileName_(fileName),
      line_(line) {}

} // namespace hk
