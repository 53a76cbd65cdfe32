// What a clash report holds, filled from the clash model and read by the JSON, CSV and BCF
// writers. All texts are UTF-8; coordinates are data-file units (millimetres in the drawings).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hk {

// One of the two items of a clash.
struct TReportItem {
    int line = 0;         // data-file line of the record
    int kind = 0;         // kind code
    std::string kindName; // the kind's name as the window shows it
    std::string name;     // item name, report name and diameter name
    std::string rptname;
    std::string dddname;
    std::string mode; // bounding-mode name, "Cube" etc.
    int index = 0;    // 1-based index in the table of its kind
};

struct TReportClash {
    std::string id;     // ClashId of the clash's identity
    std::string status; // "new", "active" or "resolved"
    bool approved = false;
    std::string comment; // the approval's comment, by and at (ISO 8601)
    std::string approvedBy;
    std::string approvedAt;
    std::optional<std::string> type; // absent until the solids are judged
    // The signed distance (negative: depth) and the closest points of a and b; absent while
    // the solids are not judged or one of them is not a solid.
    std::optional<double> distance;
    std::optional<std::array<double, 3>> nearA, nearB;
    std::array<double, 3> point{}; // clash point
    double extent = 0;             // size of the region worth framing; 0 = unknown
    TReportItem a, b;
};

// The program's version, "1.0.0" etc.
std::string_view ProgramVersion();

struct TClashReport {
    std::string program = "hkviewer";
    std::string version{ProgramVersion()};
    std::string drawing;   // the data file as the user named it
    std::string generated; // ISO 8601 UTC, e.g. "2026-12-09T07:30:00Z"
    double loadScale = 0;
    std::optional<double> tolerance; // absent while the pass judges bounding shapes only
    std::optional<double> clearance;
    std::vector<TReportClash> clashes; // current clashes in pass order, then resolved ones
};

struct TReportCounts {
    int newCount = 0, active = 0, resolved = 0, approved = 0;
};

TReportCounts CountClashes(const TClashReport& report);

// A number with a fixed count of decimals ("%.*f"), never "-0.0".
std::string FixedDecimals(double value, int decimals);

// The current time as ISO 8601 UTC with whole seconds.
std::string IsoUtcNow();

} // namespace hk
