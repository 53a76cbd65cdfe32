// The judgement of a reported pair: joint of a run, hard clash, touch, clearance breach or
// apart, from the two solids, their signed distance and the user's tolerance and clearance.
#pragma once

#include "app/clash_solids.h"

#include <string_view>

namespace hk {

enum class TClashType { Hard, Touch, Clearance, Apart, Connected };

struct TClashSettings {
    double tolerance = 1.0; // touch band: |distance| <= tolerance
    double clearance = 0;   // 0: no clearance check
    bool connected = true;  // joints of a run are not clashes ("接続部を衝突としない")
    bool operator==(const TClashSettings&) const = default;
};

// Both solids are linear (cylinders, annuli, tubes) and an axis end of one lies within the
// tolerance of an axis end of the other. A branch meeting a run away from its ends is no
// joint.
bool IsJoint(const TClashSolid& first, const TClashSolid& second, double tolerance);

// In this order: Connected (a joint, when settings.connected), Hard (distance < -tolerance),
// Touch (|distance| <= tolerance), Clearance (tolerance < distance < clearance), Apart.
TClashType ClassifyClash(const TClashSolid& first, const TClashSolid& second, double distance,
                         const TClashSettings& settings);

// "hard", "touch", "clearance", "apart", "connected": the words of the batch report.
std::string_view ClashTypeName(TClashType type);

} // namespace hk
