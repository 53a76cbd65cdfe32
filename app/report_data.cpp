// Counting a report's clashes and the time stamp reports carry.
#include "app/report_data.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace hk {

TReportCounts CountClashes(const TClashReport& report) {
    TReportCounts counts;
    for (const TReportClash& clash : report.clashes) {
        if (clash.status == "new")
            ++counts.newCount;
        else if (clash.status == "active")
            ++counts.active;
        else if (clash.status == "resolved")
            ++counts.resolved;
        if (clash.approved)
            ++counts.approved;
    }
    return counts;
}

std::string FixedDecimals(double value, int decimals) {
    double scale = std::pow(10.0, decimals);
    if (std::round(value * scale) == 0)
        value = 0;
    int length = std::snprintf(nullptr, 0, "%.*f", decimals, value);
    std::string text(static_cast<std::size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.*f", decimals, value);
    return text;
}

std::string IsoUtcNow() {
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string_view ProgramVersion() {
    return HK_VERSION;
}

} // namespace hk
