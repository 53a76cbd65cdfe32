// The report files over one small report with awkward texts: the JSON read back with the JSON
// library, the CSV read back with an RFC 4180 reader written here, the BCF zip opened with
// libzip and every XML document checked against the BCF 2.1 schemas with xmllint; and the clash
// ids against name-based UUIDs computed independently.
#include "app/clash_id.h"
#include "app/report_bcf.h"
#include "app/report_csv.h"
#include "app/report_file.h"
#include "app/report_json.h"
#include "tests/app/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <zip.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <regex>

namespace hk {
namespace {

TEST(ClashIds, AreVersion5UuidsOfTheNamespaceAndTheIdentity) {
    // Values from an independent implementation of RFC 4122 version 5.
    EXPECT_EQ(NameBasedUuid("6ba7b810-9dad-11d1-80b4-00c04fd430c8", "www.example.com"),
              "2ed6657d-e927-568b-95e1-2665a8aea6a2");
    EXPECT_EQ(NameBasedUuid("6BA7B811-9DAD-11D1-80B4-00C04FD430C8", "https://example.org/a b"),
              "a8a17fbd-0454-5e8f-b55e-80dad3f8a1ad");
    EXPECT_EQ(ClashId(""), "12f2e00a-4cfd-5378-beab-96c3dd3009cb");
    EXPECT_EQ(ClashId("\xE9\x85\x8D\xE7\xAE\xA1"), "085c4709-72c1-5cb2-aec8-3a74bb2c802d");
    std::regex shape("[0-9a-f]{8}-[0-9a-f]{4}-5[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
    std::map<std::string, std::string> seen;
    for (int i = 0; i < 300; ++i) {
        std::string identity = "pair " + std::to_string(i) + std::string(1, '\0');
        std::string id = ClashId(identity);
        EXPECT_TRUE(std::regex_match(id, shape)) << id;
        EXPECT_TRUE(IsUuidText(id));
        EXPECT_TRUE(seen.emplace(id, identity).second) << "two identities share " << id;
        EXPECT_EQ(ClashId(identity), id);
    }
    EXPECT_FALSE(IsUuidText("12f2e00a-4cfd-5378-beab-96c3dd3009c"));
    EXPECT_FALSE(IsUuidText("12f2e00a_4cfd-5378-beab-96c3dd3009cb"));
    EXPECT_FALSE(IsUuidText("12f2e00a-4cfd-5378-beab-96c3dd3009cg"));
}

TReportItem Item(int line, std::string name) {
    return {line, 20, "配管", std::move(name), "冷水, \"送り\"", "50A", "Cube", line / 2};
}

// Three clashes: a new one with texts that need quoting, an approved active one with a comment
// on two lines, a judgement and names a spreadsheet would run as formulas, a resolved one.
TClashReport SampleReport() {
    TClashReport report;
    report.drawing = "/data/plant.csv";
    report.generated = "2026-12-09T07:30:00Z";
    report.loadScale = 500;
    TReportClash first;
    first.id = ClashId("first");
    first.status = "new";
    first.point = {1234.56, -0.04, 2500};
    first.extent = 800;
    first.a = Item(12, "CHS <冷水> & 1");
    first.b = Item(40, "HW,温水");
    TReportClash second = first;
    second.id = ClashId("second");
    second.status = "active";
    second.approved = true;
    second.comment = "施工で回避\r\n\"確認済\"";
    second.approvedBy = "tanaka";
    second.approvedAt = "2026-12-08T10:00:00Z";
    second.type = "hard";
    second.distance = -12.345;
    second.nearA = {100, 200, 300};
    second.nearB = {100, 200, 287.655};
    second.a.name = "=HYPERLINK(\"x\")";
    second.b.rptname = "-2+3";
    second.b.name = "@SUM(A1)";
    TReportClash third = first;
    third.id = ClashId("third");
    third.status = "resolved";
    report.clashes = {first, second, third};
    return report;
}

TEST(ClashReportJson, HoldsEveryFieldOfTheReport) {
    TClashReport report = SampleReport();
    auto json = nlohmann::json::parse(ReportJson(report));
    EXPECT_EQ(json["program"], "hkviewer");
    EXPECT_EQ(json["version"], ProgramVersion());
    EXPECT_EQ(json["drawing"], report.drawing);
    EXPECT_EQ(json["generated"], report.generated);
    EXPECT_EQ(json["loadScale"], 500);
    EXPECT_TRUE(json["tolerance"].is_null() && json["clearance"].is_null());
    EXPECT_EQ(json["counts"],
              nlohmann::json({{"new", 1}, {"active", 1}, {"resolved", 1}, {"approved", 1}}));
    ASSERT_EQ(json["clashes"].size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const TReportClash& c = report.clashes[i];
        const auto& j = json["clashes"][i];
        EXPECT_EQ(j["id"], c.id);
        EXPECT_EQ(j["status"], c.status);
        EXPECT_EQ(j["approved"], c.approved);
        EXPECT_EQ(j["comment"], c.comment);
        EXPECT_EQ(j["type"].is_null(), !c.type);
        EXPECT_EQ(j["distance"].is_null(), !c.distance);
        EXPECT_EQ(j["point"], nlohmann::json(c.point));
        EXPECT_EQ(j["nearA"], c.nearA ? nlohmann::json(*c.nearA) : nlohmann::json());
        EXPECT_EQ(j["nearB"], c.nearB ? nlohmann::json(*c.nearB) : nlohmann::json());
        for (auto [key, item] : {std::pair{"a", &c.a}, std::pair{"b", &c.b}}) {
            EXPECT_EQ(j[key], nlohmann::json({{"line", item->line},
                                              {"kind", item->kind},
                                              {"kindName", item->kindName},
                                              {"name", item->name},
                                              {"rptname", item->rptname},
                                              {"dddname", item->dddname},
                                              {"mode", item->mode},
                                              {"index", item->index}}));
        }
    }
    EXPECT_EQ(json["clashes"][1]["type"], "hard");
    EXPECT_DOUBLE_EQ(json["clashes"][1]["distance"].get<double>(), -12.345);
}

// RFC 4180 records of a text (quoted fields may hold commas, quotes and line ends); every
// record must end with CR LF.
std::vector<std::vector<std::string>> ReadCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        std::string& field = rows.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            EXPECT_TRUE(field.empty()) << "quote inside an unquoted field";
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r') {
            EXPECT_EQ(text[i + 1], '\n') << "CR without LF";
            ++i;
            rows.emplace_back(1);
        } else {
            EXPECT_NE(c, '\n') << "bare LF ends a record";
            field += c;
        }
    }
    EXPECT_FALSE(quoted);
    EXPECT_EQ(rows.back(), std::vector<std::string>(1)) << "the last record has no CR LF";
    rows.pop_back();
    return rows;
}

TEST(ClashReportCsv, ReadsBackAsTheReportsFieldsUnderTheHeader) {
    TClashReport report = SampleReport();
    std::string text = ReportCsv(report);
    ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    auto rows = ReadCsv(text.substr(3));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], ReadCsv(std::string(cReportCsvHeader) + "\r\n")[0]);
    EXPECT_EQ(rows[0].size(), 17u);
    auto line = [](int n) { return std::to_string(n); };
    // Texts a spreadsheet would take for formulas read back behind an apostrophe; numbers,
    // negative ones included, stay numbers.
    auto shown = [](const std::string& t) {
        return !t.empty() && std::string("=+-@\t\r").find(t[0]) != std::string::npos ? "'" + t : t;
    };
    for (std::size_t i = 0; i < 3; ++i) {
        const TReportClash& c = report.clashes[i];
        EXPECT_EQ(rows[i + 1],
                  (std::vector<std::string>{
                      c.id, c.status, c.approved ? "true" : "false", c.type.value_or(""),
                      c.distance ? "-12.3" : "", "1234.6", "0.0", "2500.0", line(c.a.line), "20",
                      shown(c.a.name), shown(c.a.rptname), line(c.b.line), "20", shown(c.b.name),
                      shown(c.b.rptname), shown(c.comment)}));
    }
    EXPECT_EQ(rows[2][10], "'=HYPERLINK(\"x\")");
    for (std::string formula : {"=1", "+1", "-1", "@A", "\t1", "\r1"})
        EXPECT_EQ(CsvText(formula), CsvField("'" + formula));
}

// The entries of a zip by name, with their contents.
std::map<std::string, std::string> ZipEntries(const std::string& path) {
    std::map<std::string, std::string> entries;
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive)
        return entries;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &st);
        std::string bytes(st.size, '\0');
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        zip_fread(file, bytes.data(), st.size);
        zip_fclose(file);
        entries[st.name] = bytes;
    }
    zip_close(archive);
    return entries;
}

// xmllint's verdict on a document against a schema of the BCF 2.1 folder; empty when valid.
std::string SchemaProblems(const test::TempFolder& folder, const std::string& xml,
                           const std::string& schema) {
    std::string file = folder.WriteRaw("check.xml", xml);
    std::string log = folder.File("xmllint.log");
    std::string command = "xmllint --noout --schema '" + std::string(HK_BCF_SCHEMA_DIR) + "/" +
                          schema + "' '" + file + "' > '" + log + "' 2>&1";
    return std::system(command.c_str()) == 0 ? "" : folder.Read("xmllint.log");
}

double Component(const std::string& xml, const std::string& element, char axis) {
    std::size_t at = xml.find("<" + element + ">");
    std::size_t value = xml.find(std::string("<") + axis + ">", at) + 3;
    return std::stod(xml.substr(value));
}

TEST(ClashReportBcf, HoldsATopicPerOpenClashThatTheSchemasAccept) {
    test::TempFolder folder;
    TClashReport report = SampleReport();
    TBcfView view{{0, -2, 0}, 30};
    std::string path = folder.File("clashes.bcf");
    ASSERT_EQ(WriteReport(path, report, view,
                          [](const TReportClash& c) {
                              return c.status == "new" ? std::string("\x89PNG fake") : "";
                          }),
              "");
    auto entries = ZipEntries(path);
    const std::string& a = report.clashes[0].id;
    const std::string& b = report.clashes[1].id;
    std::vector<std::string> names;
    for (const auto& [name, bytes] : entries)
        names.push_back(name);
    std::vector<std::string> expected{
        "bcf.version",         a + "/", a + "/markup.bcf", a + "/snapshot.png",
        a + "/viewpoint.bcfv", b + "/", b + "/markup.bcf", b + "/viewpoint.bcfv"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    EXPECT_EQ(entries[a + "/snapshot.png"], "\x89PNG fake");
    EXPECT_NE(entries[a + "/markup.bcf"].find("TopicStatus=\"Open\""), std::string::npos);
    EXPECT_NE(entries[a + "/markup.bcf"].find("<Snapshot>snapshot.png</Snapshot>"),
              std::string::npos);
    EXPECT_NE(entries[b + "/markup.bcf"].find("TopicStatus=\"Closed\""), std::string::npos);
    EXPECT_NE(entries[a + "/markup.bcf"].find("<Title>CHS &lt;冷水&gt; &amp; 1 × HW,温水</Title>"),
              std::string::npos);

    // The camera looks along -direction through the clash point (in metres), Z up, from a
    // distance at which the clash's extent fills half the view; the field of view is kept in
    // BCF's range.
    const std::string& vp = entries[a + "/viewpoint.bcfv"];
    double eyeY = Component(vp, "CameraViewPoint", 'Y');
    EXPECT_NEAR(Component(vp, "CameraViewPoint", 'X'), 1.23456, 1e-6);
    EXPECT_NEAR(Component(vp, "CameraViewPoint", 'Z'), 2.5, 1e-6);
    EXPECT_NEAR(eyeY, -0.00004 - 0.8 / std::tan(45.0 / 2 * M_PI / 180), 1e-5);
    EXPECT_NEAR(Component(vp, "CameraDirection", 'Y'), 1, 1e-9);
    EXPECT_NEAR(Component(vp, "CameraUpVector", 'Z'), 1, 1e-9);
    EXPECT_NE(vp.find("<FieldOfView>45.000000</FieldOfView>"), std::string::npos);
    EXPECT_NE(vp.find("<AuthoringToolId>line 12</AuthoringToolId>"), std::string::npos);

    // A judged clash is labelled with its type, described with its depth and closest points,
    // and looked at midway between them.
    const std::string& judged = entries[b + "/markup.bcf"];
    EXPECT_NE(judged.find("<Labels>hard</Labels>"), std::string::npos);
    EXPECT_NE(judged.find("type: hard, depth 12.3"), std::string::npos) << judged;
    EXPECT_NE(judged.find("closest points: A 100.0, 200.0, 300.0, B 100.0, 200.0, 287.7"),
              std::string::npos)
        << judged;
    const std::string& onNear = entries[b + "/viewpoint.bcfv"];
    EXPECT_NEAR(Component(onNear, "CameraViewPoint", 'X'), 0.1, 1e-6);
    EXPECT_NEAR(Component(onNear, "CameraViewPoint", 'Z'), 0.2938275, 1e-6);

    if (!std::filesystem::exists(std::filesystem::path(HK_BCF_SCHEMA_DIR) / "markup.xsd") ||
        std::system("xmllint --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "no BCF schemas at " << HK_BCF_SCHEMA_DIR << " or no xmllint";
    for (const auto& [name, bytes] : entries) {
        std::string schema = name == "bcf.version"              ? "version.xsd"
                             : name.ends_with("markup.bcf")     ? "markup.xsd"
                             : name.ends_with("viewpoint.bcfv") ? "visinfo.xsd"
                                                                : "";
        if (!schema.empty()) {
            EXPECT_EQ(SchemaProblems(folder, bytes, schema), "") << name;
        }
    }
    // Straight up and straight down still give an up vector the schema and readers accept.
    for (double z : {1.0, -1.0}) {
        std::string xml = BcfViewpointXml(report.clashes[0], TBcfView{{0, 0, z}, 50});
        EXPECT_EQ(SchemaProblems(folder, xml, "visinfo.xsd"), "");
        EXPECT_NEAR(Component(xml, "CameraUpVector", 'Y'), 1, 1e-9);
    }
}

TEST(ClashReportFiles, FormatFollowsTheExtensionAndAFailedWriteKeepsTheOldFile) {
    EXPECT_EQ(ReportFormatFor("a/b.JSON"), TReportFormat::json);
    EXPECT_EQ(ReportFormatFor("b.csv"), TReportFormat::csv);
    EXPECT_EQ(ReportFormatFor("b.bcf"), TReportFormat::bcf);
    EXPECT_EQ(ReportFormatFor("b.BcfZip"), TReportFormat::bcf);
    EXPECT_EQ(ReportFormatFor("b.txt"), std::nullopt);
    EXPECT_EQ(ReportFormatFor("json"), std::nullopt);

    test::TempFolder folder;
    TClashReport report = SampleReport();
    EXPECT_NE(WriteReport(folder.File("r.txt"), report).find("r.txt"), std::string::npos);
    for (std::string name : {"missing/r.json", "missing/r.csv", "missing/r.bcf"}) {
        std::string problem = WriteReport(folder.File(name), report);
        EXPECT_NE(problem.find(name), std::string::npos) << problem;
    }
    // A folder where the report should go cannot be replaced; nothing is left behind.
    for (std::string name : {"d.json", "d.bcf"}) {
        std::filesystem::create_directory(folder.File(name));
        std::filesystem::create_directory(folder.File(name) + "/keep");
        EXPECT_NE(WriteReport(folder.File(name), report), "");
        EXPECT_TRUE(std::filesystem::exists(folder.File(name) + "/keep"));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              2);
}

} // namespace
} // namespace hk
