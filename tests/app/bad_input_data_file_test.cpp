// Data files as users meet them when something went wrong upstream: binary bytes, another
// encoding, numbers that are not numbers, shifted and ragged columns, absurdly long fields and
// lines, a file cut off inside a record. Each either loads with notices naming the file and the
// line, or stops with a message naming them and leaves the previous load exactly as it was.
#include "app/data_file.h"
#include "app/sjis.h"
#include "tests/app/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace hk {
namespace {

using test::TempFolder;

constexpr const char* cGoodPoint = "1,,KEEP,r,1,10,20,30,0";

class BadDataFile : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }

    // A fresh document holding the one good load that failed loads must leave in place.
    void Reset() {
        doc = TDocument();
        ASSERT_TRUE(LoadDataFile(doc, folder.Write("good.csv", {cGoodPoint}), "500", true, log));
        before = log.Lines();
    }

    bool LoadRaw(std::string_view bytes) {
        return LoadDataFile(doc, folder.WriteRaw("bad.csv", bytes), "250", true, log);
    }
    bool LoadLines(std::initializer_list<std::string_view> lines) {
        return LoadDataFile(doc, folder.Write("bad.csv", lines), "250", true, log);
    }

    // Loads bytes expecting the load to stop; returns the message and checks that the message
    // names the file and the line, and that the first load is still in place.
    template <class E = EConvertError> std::string ExpectRefused(std::string_view bytes, int line) {
        try {
            LoadRaw(bytes);
        } catch (const E& e) {
            const std::string what = e.what();
            EXPECT_EQ(e.FileName(), folder.File("bad.csv"));
            EXPECT_EQ(e.LineNo(), line);
            EXPECT_NE(what.find(folder.File("bad.csv") + ": line " + std::to_string(line)),
                      std::string::npos)
                << what;
            EXPECT_EQ(what.find('\0'), std::string::npos);
            ExpectFirstLoadKept();
            return what;
        }
        ADD_FAILURE() << "the load was not refused";
        return {};
    }

    void ExpectFirstLoadKept() {
        ASSERT_EQ(doc.PointTable.Count(), 1);
        EXPECT_EQ(doc.PointTable[1].name, "KEEP");
        EXPECT_EQ(doc.GroupTable.Count(), 1);
        EXPECT_EQ(doc.loadScale, 500);
        EXPECT_EQ(log.Lines(), before);
    }

    // The notices of a successful load, which never join its one summary line.
    std::vector<std::string> Notices() const {
        EXPECT_EQ(log.Lines().size(), 1u);
        return log.Notices();
    }

    TempFolder folder;
    TDocument doc;
    TMemoryLog log;
    std::vector<std::string> before;
};

TEST_F(BadDataFile, NulBytesRefuseTheWholeFile) {
    std::string what = ExpectRefused<EDataFileError>(
        std::string("1,,P,r,1,0,0,0,0\r\n1,,Q,r,1,0") + '\0' + ",0,0,0\r\n", 2);
    EXPECT_NE(what.find("NUL byte"), std::string::npos) << what;

    // A UTF-16 file: every other byte is NUL, so its first line already stops the load.
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string_view("1,,P,r,1,0,0,0,0\r\n"))
        utf16.append({c, '\0'});
    ExpectRefused<EDataFileError>(utf16, 1);
}

// Without a mark a file is UTF-8 when all of it is well-formed UTF-8 with a multi-byte
// character; one stray byte, or Shift-JIS text, keeps the whole file Shift-JIS.
TEST_F(BadDataFile, Utf8WithoutAMarkIsRecognisedByItsWholeText) {
    const std::string sjisName = Utf8ToSjis("点A");
    const struct {
        std::string bytes;
        std::string name;
    } cases[] = {
        {"1,,点A,r,1,0,0,0,0\r\n", sjisName},
        {"1,,K,r,1,0,0,0,0\r\n1,,点A,r,1,0,0,0,0\r\n", sjisName},
        {"1,," + sjisName + ",r,1,0,0,0,0\r\n", sjisName},
        {"1,,\xE7\x82\xB9\xC0,r,1,0,0,0,0\r\n", "\xE7\x82\xB9\xC0"},
        {"1,,\xED\xA0\x80,r,1,0,0,0,0\r\n", "\xED\xA0\x80"}, // a surrogate is not UTF-8
        {"1,,\xC0\xAF,r,1,0,0,0,0\r\n", "\xC0\xAF"},         // nor an overlong form
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(LoadRaw(c.bytes));
        EXPECT_EQ(doc.PointTable.Last().name, c.name) << c.bytes;
        EXPECT_TRUE(Notices().empty());
    }
}

TEST_F(BadDataFile, Utf8ByteOrderMarkIsReadAsUtf8) {
    ASSERT_TRUE(LoadRaw("\xEF\xBB\xBF"
                        "1,,点A,r,1,10,20,30,0\r\n1,,,r,1,0,0,0,0\r\n"));
    ASSERT_EQ(doc.PointTable.Count(), 2) << "the first record is not lost to the mark";
    EXPECT_EQ(doc.PointTable[1].name, Utf8ToSjis("点A"));
    EXPECT_EQ(doc.PointTable[2].name, Utf8ToSjis("点"));
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].rfind(folder.File("bad.csv") + ": line 1: UTF-8 byte-order mark", 0),
              0u);
}

TEST_F(BadDataFile, NonFiniteAndHugeDecimalsNeverReachTheTables) {
    for (const char* text : {"nan", "NaN", "-nan", "inf", "-INF", "infinity", "1e999", "-1e400",
                             "0x10", "1.5.2", "1e"}) {
        std::string what = ExpectRefused(std::string("1,,P,r,1,0,") + text + ",0,0\r\n", 1);
        EXPECT_EQ(
            what.rfind(std::string("'") + text + "' is not a valid floating point value\n", 0), 0u)
            << what;
    }
    // Finite numbers beyond the bounds the scene starts from, in a coordinate and in a size
    // column stored as a single float (1e300 would otherwise become infinite).
    for (const char* record : {"1,,P,r,1,0,1e13,0,0", "1,,P,r,1,0,-2.5e13,0,0",
                               "1,,P,r,1e300,0,0,0,0", "18,,T,r,d,1,0,0,0,1e39,0,0,0"}) {
        std::string what = ExpectRefused(std::string(record) + "\r\n", 1);
        EXPECT_NE(what.find("' is out of range\n"), std::string::npos) << what;
    }
    Reset();
    ASSERT_TRUE(LoadLines({"1,,P,r,1,9.99e12,-9.99e12,1e-300,0"}));
    EXPECT_DOUBLE_EQ(doc.PointTable[1].x, 9.99e12);
}

TEST_F(BadDataFile, CommaAsDecimalSeparatorIsNotedOrRefused) {
    // The decimals split into two columns each; the record still has numbers where it expects
    // them, so it loads shifted, and the notice says where and why.
    ASSERT_TRUE(LoadLines({"1,,P,r,1,5,10,5,20,5,30,5,1", cGoodPoint}));
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].rfind(folder.File("bad.csv") + ": line 1: columns after", 0), 0u);
    EXPECT_NE(Notices()[0].find("'5,30,5,1'"), std::string::npos) << Notices()[0];
    EXPECT_NE(Notices()[0].find("decimal separator"), std::string::npos);

    // Exporters write the code column again on the second line of a two-point line: no notice.
    Reset();
    ASSERT_TRUE(LoadLines({"2,,1,N,R,D,50,S,0,0,0,4", "2,,0,,,,,E,1,0,0,4, 5"}));
    EXPECT_EQ(doc.LineTable.Count(), 1);
    EXPECT_TRUE(Notices().empty());

    // Here the shift puts a label into a coordinate column.
    Reset();
    std::string what = ExpectRefused("2,,1,N,R,D,50,5,S,0,0,0,0\r\n2,,0,,,,,E,1,0,0\r\n", 1);
    EXPECT_EQ(what.rfind("'S' is not a valid floating point value\n", 0), 0u) << what;
}

TEST_F(BadDataFile, RaggedRows) {
    // Blank columns past the end are what many exporters write: no notice.
    ASSERT_TRUE(LoadLines({"1,,A,r,1,0,0,0,0,,, ,", "1,,B,r,1,0,0,0", "1,,C,r,1,0,0,0,0,x"}));
    EXPECT_EQ(doc.PointTable.Count(), 3) << "a missing integer column reads as 0";
    EXPECT_EQ(doc.PointTable[2].code, 0);
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_NE(Notices()[0].find(": line 3: "), std::string::npos);

    Reset();
    std::string what = ExpectRefused("1,,A,r,1,0,0,0,0\r\n1,,B,r,1,0\r\n", 2);
    EXPECT_EQ(what.rfind("'' is not a valid floating point value\n", 0), 0u) << what;

    // Many shifted rows: the notices stop at their limit and count the rest.
    std::string many;
    for (int i = 0; i < cMaxLoadNotices + 7; ++i)
        many += "1,,P,r,1,0,0,0,0,extra\r\n";
    ASSERT_TRUE(LoadRaw(many));
    ASSERT_EQ(Notices().size(), static_cast<std::size_t>(cMaxLoadNotices) + 1);
    EXPECT_EQ(Notices().back(), folder.File("bad.csv") + ": 7 more lines with ignored columns");
}

TEST_F(BadDataFile, HugeFieldsAndLines) {
    const std::string field(100000, 'N');
    ASSERT_TRUE(LoadLines({"1,,P," + field + ",1,0,0,0,0", "1,,P," + field + ",1,0,0,0,0"}));
    ASSERT_EQ(doc.PointTable.Count(), 2);
    EXPECT_EQ(doc.PointTable[1].rptname.size(), 20u);

    // A decimal of 100,000 digits, and one of a megabyte of Shift-JIS text: the message quotes
    // a short head of it, cut between characters.
    Reset();
    std::string what = ExpectRefused("1,,P,r,1,0," + std::string(100000, '9') + ",0,0\r\n", 1);
    EXPECT_LT(what.size(), 200u + folder.File("bad.csv").size());
    EXPECT_NE(what.find("999...' is not a valid"), std::string::npos) << what;
    std::string kanji;
    while (kanji.size() < 1000000)
        kanji += Utf8ToSjis("漢");
    what = ExpectRefused("1,,P,r,1,0,x" + kanji + ",0,0\r\n", 1);
    EXPECT_EQ(what.substr(0, what.find('\n')),
              "'x" + kanji.substr(0, 58) + "...' is not a valid floating point value")
        << "one byte and 29 whole characters, then the ellipsis";

    // A line of a megabyte that is not a record at all is skipped like any other.
    ASSERT_TRUE(LoadLines({std::string(1 << 20, 'x'), cGoodPoint}));
    EXPECT_EQ(doc.PointTable.Count(), 1);
    Reset();
    what = ExpectRefused("1" + std::string(1 << 20, ',') + "\r\n", 1);
    EXPECT_LT(what.size(), 200u + folder.File("bad.csv").size());
}

TEST_F(BadDataFile, ControlBytesAreShownInTheMessage) {
    std::string what = ExpectRefused("1,,P,r,1,0,1\x01\x1b"
                                     "2,0,0\r\n",
                                     1);
    EXPECT_EQ(what.rfind("'1\\x01\\x1B2' is not a valid", 0), 0u) << what;
}

TEST_F(BadDataFile, TwoPointLineCutOffAtTheEndOfTheFile) {
    std::string what = ExpectRefused("1,,P,r,1,0,0,0,0\r\n2,,1,N,R,D,50,S,0,0,0,0", 3);
    EXPECT_EQ(what.rfind("'' is not a valid floating point value\n", 0), 0u) << what;
    EXPECT_NE(what.find("line 3: the file ends before the second line of the two-point line of "
                        "line 2"),
              std::string::npos)
        << what;
    // A complete line pair without a line end after it is whole.
    ASSERT_TRUE(LoadRaw("2,,1,N,R,D,50,S,0,0,0,0\r\n2,,0,,,,,E,1000,0,0"));
    ASSERT_EQ(doc.LineTable.Count(), 1);
    EXPECT_DOUBLE_EQ(doc.LineTable[1].x2, 1000);
}

TEST_F(BadDataFile, ModelPathThatIsAFolderIsStoredAsWritten) {
    // The loader keeps the path; the scene builder is the one that opens it.
    std::filesystem::create_directory(folder.Path() / "models");
    ASSERT_TRUE(
        LoadLines({"22,,PUMP,r,0,0,0,1,1,1,models,0", "22,,PUMP,r,0,0,0,1,1,1, models/ ,0"}));
    ASSERT_EQ(doc.ModelTable.Count(), 2);
    EXPECT_EQ(doc.ModelTable[1].modelFile, "models");
    EXPECT_EQ(doc.ModelTable[2].modelFile, " models/ ");
    EXPECT_TRUE(Notices().empty());
}

TEST_F(BadDataFile, RepeatedLinesAroundAPolylineConversion) {
    // The duplicate test looks lines up by their names; a line that became a polyline is no
    // longer there to be a duplicate of.
    const char* a1 = "2,,1,N,R,D,50,S,0,0,0,0";
    const char* a2 = "2,,0,,,,,E,1000,0,0";
    ASSERT_TRUE(LoadLines({a1, a2, "2,,3,N,R,D,50,L,1000,900,0,0", a1, a2, a1, a2,
                           "2,,1,N,R,D,50,S,0,5,0,0", "2,,0,,,,,E,1000,5,0"}));
    ASSERT_EQ(doc.LineTable.Count(), 2) << "the first line again after its conversion, once";
    EXPECT_EQ(doc.LineTable[1].lineNo, 5);
    EXPECT_DOUBLE_EQ(doc.LineTable[2].y1, 5);
    EXPECT_EQ(doc.PolyTable.Count(), 3);
}

TEST(BadDataFileSample, TheBundledDrawingRaisesNoNotices) {
    TDocument doc;
    TMemoryLog log;
    ASSERT_TRUE(LoadDataFile(doc, std::string(HK_TEST_DATA_DIR) + "/box.csv", "500", true, log));
    EXPECT_EQ(log.Lines().size(), 1u);
}

} // namespace
} // namespace hk
