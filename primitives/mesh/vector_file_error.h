// The error of every mesh file reader: an unknown extension or a file whose contents cannot be
// read as a mesh. The message names the file.
#pragma once

#include "engine/errors.h"

namespace hk {

class EInvalidVectorFile : public Exception {
public:
    using Exception::Exception;
};

} // namespace hk
