// The JSON form of a clash report (UTF-8), the one scripts read; its fields are listed in the
// README.
#pragma once

#include "app/report_data.h"

#include <string>

namespace hk {

// The report as indented JSON text ending in a newline. Texts that are not valid UTF-8 have
// their bad bytes replaced by U+FFFD.
std::string ReportJson(const TClashReport& report);

} // namespace hk
