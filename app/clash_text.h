// The clash line of the batch mode and the automation channel: one clash, tab-separated UTF-8
// fields "status lineA kindA nameA rptnameA modeA lineB kindB nameB rptnameB modeB x y z type
// distance" (kind the kind code, mode "Cube" etc., the point with one decimal, type "hard",
// "touch", "clearance", "apart" or "connected", the signed distance with one decimal: negative
// for a depth). Columns added later go at the end, never between these.
#pragma once

#include "app/clash_model.h"

#include <string>

namespace hk {

// The line of one clash, without a line end. Tabs and line breaks inside names become blanks
// so that the columns stay where they are.
std::string ClashLine(const TClash& clash);

} // namespace hk
