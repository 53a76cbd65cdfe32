// EMaterialScriptError: a material script that cannot be run to its end. The message is the
// interpreter's own text ("User Error : No closing "}"", ...); what() adds the script file
// and the line, so the user can find the place.
#pragma once

#include "engine/errors.h"

#include <string>

namespace hk {

class EMaterialScriptError : public Exception {
public:
    // line is 1-based; 0 when the error has no line.
    EMaterialScriptError(const std::string& message, const std::string& fileName, int line);

    // The interpreter's text alone, without the file and line.
    const std::string& Message() const { return message_; }
    const std::string& FileName() const { return fileName_; }
    int Line() const { return line_; }

private:
    std::string message_;
    std::string fileName_;
    int line_;
};

} // namespace hk
