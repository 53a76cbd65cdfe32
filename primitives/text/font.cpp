#include "primitives/text/font.h"

#include <cmath>

namespace hk {

int TFont::Size() const {
    return static_cast<int>(std::lround(-Height * 72.0 / 96.0));
}

void TFont::SetSize(int points) {
    Height = -static_cast<int>(std::lround(points * 96.0 / 72.0));
}

} // namespace hk
