// The clash reports of the batch mode: "--report FILE" (repeatable, format by extension) and
// the CI verdict of "--fail-on-clash". Approvals come from the drawing's approvals file, which
// the batch mode reads and never writes.
#pragma once

#include "app/clash_model.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace hk {

// Exit status of a batch run whose last pass leaves a clash open under --fail-on-clash.
inline constexpr int cExitOpenClash = 3;

// After the last pass: reads the approvals of doc's drawing (a damaged file is reported on err
// and counts as none), writes every report file, and judges the clashes. Returns 1 when a
// report cannot be written (reported on err, naming the file; the others are still written),
// else cExitOpenClash when failOnClash is set and a clash is open, else 0.
int FinishBatchReports(const TDocument& doc, const TClashModel& model,
                       const std::vector<std::string>& reportFiles, bool failOnClash,
                       std::ostream& err);

} // namespace hk
