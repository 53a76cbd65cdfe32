// Builds the BCF XML documents as text (escaped, with the characters XML cannot hold dropped)
// and packs them with libzip, which writes the archive to a temporary file and renames it.
#include "app/report_bcf.h"

#include "app/clash_id.h"

#include <zip.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>
#include <numbers>

namespace hk {
namespace {

using Vec = std::array<double, 3>;

// Data units are millimetres; BCF speaks metres.
constexpr double cMetresPerUnit = 0.001;
// What a clash of unknown size is framed as, in data units.
constexpr double cDefaultExtent = 2000;
// The eye never comes closer to the clash point than this, in data units.
constexpr double cMinimumDistance = 500;

std::string Xml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            // Control characters other than tab and line ends are not allowed in XML 1.0.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r')
                out += c;
        }
    }
    return out;
}

// Metres to the micrometre.
std::string Number(double value) {
    return FixedDecimals(value, 6);
}

std::string XyzXml(const std::string& element, const Vec& v) {
    return "<" + element + "><X>" + Number(v[0]) + "</X><Y>" + Number(v[1]) + "</Y><Z>" +
           Number(v[2]) + "</Z></" + element + ">";
}

Vec Normalised(const Vec& v, const Vec& fallback) {
    double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!(length > 1e-12))
        return fallback;
    return {v[0] / length, v[1] / length, v[2] / length};
}

// Z up, made perpendicular to the viewing direction; Y up when looking straight up or down.
Vec UpVector(const Vec& look) {
    Vec up{-look[2] * look[0], -look[2] * look[1], 1 - look[2] * look[2]};
    return Normalised(up, {0, 1, 0});
}

std::string ItemLine(const std::string& which, const TReportItem& item) {
    return which + ": line " + std::to_string(item.line) + ", " + item.kindName + " " + item.name +
           " " + item.rptname;
}

std::string PointText(const Vec& p) {
    return FixedDecimals(p[0], 1) + ", " + FixedDecimals(p[1], 1) + ", " + FixedDecimals(p[2], 1);
}

// "hard, depth 12.3", "clearance, gap 13.0", "touch, distance -0.4"...
std::string Judgement(const TReportClash& clash) {
    std::string text = *clash.type;
    if (clash.distance) {
        const bool depth = *clash.type == "hard";
        const bool gap = *clash.type == "clearance" || *clash.type == "apart";
        text += depth ? ", depth " : gap ? ", gap " : ", distance ";
        text += FixedDecimals(depth ? -*clash.distance : *clash.distance, 1);
    }
    return text;
}

std::string Description(const TClashReport& report, const TReportClash& clash) {
    std::string text = ItemLine("A", clash.a) + "\n" + ItemLine("B", clash.b) + "\n";
    if (clash.type) {
        text += "type: " + Judgement(clash);
        if (report.tolerance)
            text += " (tolerance " + FixedDecimals(*report.tolerance, 1);
        if (report.tolerance && report.clearance && *report.clearance > 0)
            text += ", clearance " + FixedDecimals(*report.clearance, 1);
        text += report.tolerance ? ")\n" : "\n";
    }
    if (clash.nearA && clash.nearB)
        text += "closest points: A " + PointText(*clash.nearA) + ", B " + PointText(*clash.nearB) +
                "\n";
    return text + "point: " + PointText(clash.point);
}

// Where the camera looks: midway between the closest points, where the solids meet or come
// nearest, when they are known; the clash point otherwise.
Vec Target(const TReportClash& clash) {
    if (!clash.nearA || !clash.nearB)
        return clash.point;
    Vec target;
    for (std::size_t i = 0; i < 3; ++i)
        target[i] = ((*clash.nearA)[i] + (*clash.nearB)[i]) / 2;
    return target;
}

std::string ComponentXml(const TReportItem& item) {
    return "<Component><OriginatingSystem>hkviewer</OriginatingSystem><AuthoringToolId>line " +
           std::to_string(item.line) + "</AuthoringToolId></Component>";
}

std::string ViewpointGuid(const TReportClash& clash) {
    return NameBasedUuid(cClashIdNamespace, "viewpoint " + clash.id);
}

} // namespace

std::string BcfVersionXml() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<Version VersionId=\"2.1\"><DetailedVersion>2.1</DetailedVersion></Version>\n";
}

std::string BcfMarkupXml(const TClashReport& report, const TReportClash& clash, bool snapshot) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Markup>";
    std::string drawing = std::filesystem::path(report.drawing).filename().string();
    if (!drawing.empty())
        xml += "<Header><File><Filename>" + Xml(drawing) + "</Filename></File></Header>";
    xml += "<Topic Guid=\"" + Xml(clash.id) + "\" TopicType=\"Clash\" TopicStatus=\"" +
           (clash.approved ? "Closed" : "Open") + "\">";
    xml += "<Title>" + Xml(clash.a.name + " \u00D7 " + clash.b.name) + "</Title>";
    if (clash.type)
        xml += "<Labels>" + Xml(*clash.type) + "</Labels>";
    xml += "<CreationDate>" + Xml(report.generated) + "</CreationDate>";
    xml += "<CreationAuthor>hkviewer</CreationAuthor>";
    xml += "<Description>" + Xml(Description(report, clash)) + "</Description></Topic>";
    if (clash.approved && !clash.comment.empty()) {
        xml += "<Comment Guid=\"" + NameBasedUuid(cClashIdNamespace, "comment " + clash.id) + "\">";
        xml += "<Date>" + Xml(clash.approvedAt.empty() ? report.generated : clash.approvedAt) +
               "</Date>";
        xml += "<Author>" + Xml(clash.approvedBy.empty() ? "hkviewer" : clash.approvedBy) +
               "</Author>";
        xml += "<Comment>" + Xml(clash.comment) + "</Comment></Comment>";
    }
    xml +=
        "<Viewpoints Guid=\"" + ViewpointGuid(clash) + "\"><Viewpoint>viewpoint.bcfv</Viewpoint>";
    if (snapshot)
        xml += "<Snapshot>snapshot.png</Snapshot>";
    xml += "</Viewpoints></Markup>\n";
    return xml;
}

std::string BcfViewpointXml(const TReportClash& clash, const TBcfView& view) {
    double fov = std::clamp(view.fieldOfView, 45.0, 60.0);
    Vec toEye = Normalised(view.direction, Normalised({1, 1, 1}, {0, 0, 1}));
    double extent = clash.extent > 0 ? clash.extent : cDefaultExtent;
    // The region fills about half the view's height.
    double distance =
        std::max(cMinimumDistance, extent / std::tan(fov / 2 * std::numbers::pi / 180));
    const Vec target = Target(clash);
    Vec eye, look;
    for (std::size_t i = 0; i < 3; ++i) {
        eye[i] = (target[i] + toEye[i] * distance) * cMetresPerUnit;
        look[i] = -toEye[i];
    }
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    xml += "<VisualizationInfo Guid=\"" + ViewpointGuid(clash) + "\">";
    xml += "<Components><Selection>" + ComponentXml(clash.a) + ComponentXml(clash.b) +
           "</Selection><Visibility DefaultVisibility=\"true\"/></Components>";
    xml += "<PerspectiveCamera>" + XyzXml("CameraViewPoint", eye) +
           XyzXml("CameraDirection", look) + XyzXml("CameraUpVector", UpVector(look)) +
           "<FieldOfView>" + Number(fov) + "</FieldOfView></PerspectiveCamera>";
    xml += "</VisualizationInfo>\n";
    return xml;
}

std::string WriteBcf(const std::filesystem::path& path, const TClashReport& report,
                     const TBcfView& view, const TSnapshotSource& snapshot) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, error);
        std::string what = zip_error_strerror(&ze);
        zip_error_fini(&ze);
        return what;
    }
    // The archive reads the buffers only when it is closed.
    std::deque<std::string> contents;
    auto addFile = [&](const std::string& name, std::string bytes) {
        const std::string& kept = contents.emplace_back(std::move(bytes));
        zip_source_t* source = zip_source_buffer(archive, kept.data(), kept.size(), 0);
        if (!source)
            return false;
        if (zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            return false;
        }
        return true;
    };
    bool ok = addFile("bcf.version", BcfVersionXml());
    for (const TReportClash& clash : report.clashes) {
        if (!ok)
            break;
        if (clash.status == "resolved")
            continue;
        std::string png = snapshot ? snapshot(clash) : std::string();
        ok = zip_dir_add(archive, clash.id.c_str(), ZIP_FL_ENC_UTF_8) >= 0 &&
             addFile(clash.id + "/markup.bcf", BcfMarkupXml(report, clash, !png.empty())) &&
             addFile(clash.id + "/viewpoint.bcfv", BcfViewpointXml(clash, view)) &&
             (png.empty() || addFile(clash.id + "/snapshot.png", std::move(png)));
    }
    if (ok && zip_close(archive) == 0)
        return {};
    std::string what = zip_strerror(archive);
    zip_discard(archive);
    return what;
}

} // namespace hk
