// Clash types and the joint rule.
#include "app/clash_type.h"

#include <cmath>

namespace hk {

bool IsJoint(const TClashSolid& first, const TClashSolid& second, double tolerance) {
    if (!first.Linear() || !second.Linear())
        return false;
    for (const TPoint3D* a : {&first.FirstEnd(), &first.LastEnd()})
        for (const TPoint3D* b : {&second.FirstEnd(), &second.LastEnd()})
            if (Distance(*a, *b) <= tolerance)
                return true;
    return false;
}

TClashType ClassifyClash(const TClashSolid& first, const TClashSolid& second, double distance,
                         const TClashSettings& settings) {
    if (settings.connected && IsJoint(first, second, settings.tolerance))
        return TClashType::Connected;
    if (distance < -settings.tolerance)
        return TClashType::Hard;
    if (std::fabs(distance) <= settings.tolerance)
        return TClashType::Touch;
    if (distance < settings.clearance)
        return TClashType::Clearance;
    return TClashType::Apart;
}

std::string_view ClashTypeName(TClashType type) {
    switch (type) {
    case TClashType::Hard:
        return "hard";
    case TClashType::Touch:
        return "touch";
    case TClashType::Clearance:
        return "clearance";
    case TClashType::Apart:
        return "apart";
    case TClashType::Connected:
        return "connected";
    }
    return "";
}

} // namespace hk
