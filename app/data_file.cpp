// The data-file load procedure: reads the file's lines, brings them to Shift-JIS, parses them
// into a fresh set of tables (with a copy of the groups) and swaps them into the document only
// when the whole file has been read, so a file that stops with a conversion error leaves the
// previous load, groups and scene untouched. Writes the summary and the notices of the load.
#include "app/data_file.h"
#include "app/data_file_reader.h"

#include "app/sjis.h"
#include "app/text_file.h"

namespace hk {
namespace {

// The lines of a data file as the loader parses them: brought to Shift-JIS from UTF-8 where
// the file was written so; a NUL byte anywhere stops the load, since text never holds one (the
// file is binary or UTF-16). Returns how the file was written.
TTextEncoding PrepareLines(std::vector<std::string>& lines, const std::string& fileName) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find('\0') != std::string::npos)
            throw EDataFileError({}, fileName, static_cast<int>(i) + 1,
                                 " holds a NUL byte: this is not a Shift-JIS text file "
                                 "(a UTF-16 or binary file?)");
    return ToShiftJisLines(lines);
}

} // namespace

std::string LoadSummary(const TDocument& doc) {
    static const std::string labels[] = {
        Utf8ToSjis("点バッファ数:"),          Utf8ToSjis("　線バッファ数:"),
        Utf8ToSjis("　円,円弧バッファ数:"),   Utf8ToSjis("　文字バッファ数:"),
        Utf8ToSjis("　面,多角線バッファ数:"), Utf8ToSjis("　寸法バッファ数:"),
        Utf8ToSjis("　範囲バッファ数:"),      Utf8ToSjis("　マスタ数:"),
    };
    const int counts[] = {doc.PointTable.Count(), doc.LineTable.Count(), doc.ArcTable.Count(),
                          doc.TextTable.Count(),  doc.PolyTable.Count(), doc.DimensionTable.Count(),
                          doc.RangeTable.Count(), doc.GroupTable.Count()};
    std::string line;
    for (int i = 0; i < 8; ++i)
        line += labels[i] + std::to_string(counts[i]);
    return line;
}

bool LoadDataFile(TDocument& doc, const std::string& fileName, std::string_view scaleBoxText,
                  bool initialise, TMessageLog& log) {
    std::vector<std::string> lines;
    if (!ReadTextLines(fileName, lines)) {
        log.AddNotice("データファイルを開けません: " + fileName);
        return false;
    }

    const TTextEncoding encoding = PrepareLines(lines, fileName);

    TDocument work;
    // A reload mostly reads the drawing it replaces: sizing the tables as the last load left
    // them takes one block per table instead of a chain of doubling ones, whose freed links
    // would scatter free space through the heap on every reload.
    work.PointTable.Reserve(doc.PointTable.Count());
    work.LineTable.Reserve(doc.LineTable.Count());
    work.PolyTable.Reserve(doc.PolyTable.Count());
    work.ArcTable.Reserve(doc.ArcTable.Count());
    work.DimensionTable.Reserve(doc.DimensionTable.Count());
    work.RangeTable.Reserve(doc.RangeTable.Count());
    work.TorusTable.Reserve(doc.TorusTable.Count());
    work.PipeTable.Reserve(doc.PipeTable.Count());
    work.ModelTable.Reserve(doc.ModelTable.Count());
    work.GroupTable = doc.GroupTable;
    work.ColourRuleTable = doc.ColourRuleTable;
    for (GroupEntry& g : work.GroupTable) {
        g.itemCount = 0;
        g.dupCount = 0;
    }
    detail::TLoadNotices notices;
    if (encoding == TTextEncoding::teUtf8WithMark)
        notices.Add(FileLinePlace(fileName, 1) +
                    ": UTF-8 byte-order mark; the file was read as UTF-8 and converted to "
                    "Shift-JIS");
    detail::ReadRecords(work, fileName, lines, notices);
    if (initialise)
        ApplyColourRules(work);

    int scale = ParseIntDef(scaleBoxText, cDefaultLoadScale);
    doc.loadScale = scale == 0 ? cDefaultLoadScale : scale;
    doc.PointTable = std::move(work.PointTable);
    doc.LineTable = std::move(work.LineTable);
    doc.PolyTable = std::move(work.PolyTable);
    doc.ArcTable = std::move(work.ArcTable);
    doc.TextTable = work.TextTable;
    doc.DimensionTable = std::move(work.DimensionTable);
    doc.RangeTable = std::move(work.RangeTable);
    doc.TorusTable = std::move(work.TorusTable);
    doc.PipeTable = std::move(work.PipeTable);
    doc.ModelTable = std::move(work.ModelTable);
    doc.GroupTable = std::move(work.GroupTable);
    doc.SceneBounds = work.SceneBounds;

    log.BeginUpdate();
    log.Clear();
    log.Add(LoadSummary(doc));
    log.EndUpdate();
    log.ClearNotices();
    for (const std::string& notice : notices.lines)
        log.AddNotice(notice);
    if (notices.unlisted > 0)
        log.AddNotice(fileName + ": " + std::to_string(notices.unlisted) +
                      " more lines with ignored columns");
    return true;
}

} // namespace hk
