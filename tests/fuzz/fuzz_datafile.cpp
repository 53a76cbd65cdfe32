// Fuzz target for the data-file loader: any byte string either loads into tables whose every
// record is filed under an existing group with a line number of the file and finite numbers
// within the loader's limit, or is refused with EDataFileError naming the file and a line of
// it, the previous load left exactly as it was. The same bytes read as a colour rule file give
// rules of mode 1 or 2 only. The first byte picks the "初期化" box.
#include "app/colour_rules.h"
#include "app/data_file.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using hk::TDocument;

// The file each input is written to, one per process, removed when the process ends.
struct TempFile {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("hk_fuzz_datafile_" + std::to_string(::getpid()) + ".csv"))
                           .string();
    ~TempFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

const std::string& FilePath() {
    static const TempFile file;
    return file.path;
}

void Check(bool ok) {
    if (!ok)
        std::abort();
}

void CheckNumber(double v) {
    Check(std::isfinite(v) && std::fabs(v) < hk::cDecimalColumnLimit);
}

template <class Table> void CheckRecords(const TDocument& doc, const Table& table, int lastLine) {
    for (const auto& item : table) {
        Check(item.group >= 1 && item.group <= doc.GroupTable.Count());
        Check(item.lineNo >= 1 && item.lineNo <= lastLine);
        CheckNumber(item.ddd);
    }
}

void CheckLoad(const TDocument& doc, int lastLine) {
    CheckRecords(doc, doc.PointTable, lastLine);
    CheckRecords(doc, doc.LineTable, lastLine);
    CheckRecords(doc, doc.PolyTable, lastLine);
    CheckRecords(doc, doc.ArcTable, lastLine);
    CheckRecords(doc, doc.TorusTable, lastLine);
    CheckRecords(doc, doc.PipeTable, lastLine);
    for (const auto& l : doc.LineTable)
        for (double v : {l.x1, l.y1, l.z1, l.x2, l.y2, l.z2})
            CheckNumber(v);
    for (const auto& v : doc.PolyTable) {
        Check(v.kind == hk::ikPolyline || v.kind == hk::ikFace);
        for (double c : {v.x, v.y, v.z})
            CheckNumber(c);
    }
    for (const auto& t : doc.TorusTable)
        for (double v : {t.x, t.y, t.z, double(t.major), double(t.pitch), double(t.turn)})
            CheckNumber(v);
    for (const auto& p : doc.PipeTable)
        CheckNumber(p.ddd2);
    for (const auto& r : doc.RangeTable)
        Check(r.group >= 1 && r.group <= doc.GroupTable.Count());
    for (const auto& m : doc.ModelTable)
        Check(m.group >= 1 && m.group <= doc.GroupTable.Count());
    for (const auto& g : doc.GroupTable)
        Check(g.itemCount >= 0 && g.dupCount >= 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool initialise = size > 0 && (data[0] & 1) != 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(FilePath(), std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    int lines = 1;
    for (char c : bytes)
        lines += c == '\n' || c == '\r';

    TDocument doc;
    hk::ColourRule rule;
    rule.name = "A";
    rule.colourMode = 1;
    doc.ColourRuleTable.Append(rule);
    hk::TMemoryLog log;
    Check(hk::LoadDataFile(doc, HK_TEST_DATA_DIR "/box.csv", "500", true, log));
    const int points = doc.PointTable.Count(), groups = doc.GroupTable.Count();
    const std::vector<std::string> before = log.Lines();
    try {
        Check(hk::LoadDataFile(doc, FilePath(), "250", initialise, log));
        CheckLoad(doc, lines + 1);
        Check(log.Lines().size() <= std::size_t(hk::cMaxLoadNotices) + 2);
    } catch (const hk::EDataFileError& e) {
        const std::string what = e.what();
        Check(e.FileName() == FilePath() && e.LineNo() >= 1 && e.LineNo() <= lines + 1);
        Check(what.find(FilePath() + ": line " + std::to_string(e.LineNo())) != std::string::npos);
        Check(what.find('\0') == std::string::npos && what.size() < 400 + FilePath().size());
        Check(doc.PointTable.Count() == points && doc.GroupTable.Count() == groups);
        Check(log.Lines() == before);
    }

    TDocument rules;
    for (const std::string& notice : hk::LoadColourRules(rules, FilePath()))
        Check(notice.find(FilePath() + ": line ") == 0);
    for (const auto& r : rules.ColourRuleTable)
        Check((r.colourMode == 1 || r.colourMode == 2) && !r.name.empty());
    return 0;
}
