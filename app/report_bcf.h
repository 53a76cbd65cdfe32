// The BCF 2.1 form of a clash report, the topic exchange of coordination tools: a zip holding
// "bcf.version" and, for every clash that is not resolved, a folder named by the clash id with
// "markup.bcf" (the topic, labelled with the clash type), "viewpoint.bcfv" (a camera on the clash
// point selecting both items) and, when the caller renders one, "snapshot.png".
#pragma once

#include "app/report_data.h"

#include <array>
#include <filesystem>
#include <functional>
#include <string>

namespace hk {

// The camera of every viewpoint: it looks at the clash (midway between the closest points
// when they are known, else at the clash point) from direction (data axes, from
// the point towards the eye; the batch mode has no view and uses (1, 1, 1)) with a vertical
// field of view in degrees, kept within BCF's 45 to 60.
struct TBcfView {
    std::array<double, 3> direction{1, 1, 1};
    double fieldOfView = 60;
};

// PNG bytes of the clash framed in the view, or an empty string for no snapshot.
using TSnapshotSource = std::function<std::string(const TReportClash&)>;

// The XML documents of the zip (UTF-8). Data units are taken as millimetres and written in
// metres.
std::string BcfVersionXml();
std::string BcfMarkupXml(const TClashReport& report, const TReportClash& clash, bool snapshot);
std::string BcfViewpointXml(const TReportClash& clash, const TBcfView& view);

// Writes the zip to path, with a folder entry per topic. Returns an empty string on success,
// else what went wrong (UTF-8); a failed write leaves an earlier file at path as it was.
std::string WriteBcf(const std::filesystem::path& path, const TClashReport& report,
                     const TBcfView& view, const TSnapshotSource& snapshot = {});

} // namespace hk
