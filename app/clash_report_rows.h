// The clash report of the last pass: the clash model's rows with their ids and approvals, in
// the form the JSON, CSV and BCF writers read.
#pragma once

#include "app/clash_approvals.h"
#include "app/clash_model.h"
#include "app/report_data.h"

#include <string>

namespace hk {

// The id of a clash: ClashId over its 64-bit identity written as 16 lowercase hex digits.
std::string ClashIdOf(const TClash& clash);

// The report of the model's rows (current clashes in pass order, then the resolved ones) for
// the drawing of doc, each marked with its approval, generated now.
TClashReport MakeClashReport(const TDocument& doc, const TClashModel& model,
                             const TClashApprovals& approvals);

// True when a clash is open for a CI check: a hard clash or a clearance breach that is neither
// resolved nor approved. Touching, connected and apart pairs never are.
bool IsOpenClash(const TClash& clash, const TClashApprovals& approvals);

} // namespace hk
