// The message-area adapter over a text pane: Shift-JIS in and out, update nesting, lines held
// back during an update.
#include "app/sjis.h"
#include "app/window/memo_message_log.h"
#include "tests/window/window_test_support.h"

#include <QPlainTextEdit>
#include <gtest/gtest.h>
#include <random>

namespace hk {
namespace {

class MemoLog : public test::QtTest {
protected:
    QPlainTextEdit memo;
    TMemoMessageLog log{memo};
};

TEST_F(MemoLog, ShiftJisLinesShowAsTextAndReadBackUnchanged) {
    EXPECT_TRUE(log.Lines().empty());
    const std::string first = Utf8ToSjis("点バッファ数:3");
    log.Add(first);
    log.Add("(Sphere)  -  (Faces)");
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("点バッファ数:3\n(Sphere)  -  (Faces)"));
    const std::vector<std::string> lines = log.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], first);
    EXPECT_EQ(lines[1], "(Sphere)  -  (Faces)");

    log.Clear();
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_TRUE(memo.toPlainText().isEmpty());
}

TEST_F(MemoLog, BrokenShiftJisNeverBreaksThePane) {
    log.Add(std::string("\x93\xFF\x81", 3)); // a lead byte with a bad trail, then a cut one
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_FALSE(memo.toPlainText().isEmpty());
}

TEST_F(MemoLog, FirstLineIsReplacedOrAdded) {
    log.SetFirstLine("Script");
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("Script"));
    memo.setPlainText(QStringLiteral("Memo1\nsecond"));
    log.SetFirstLine("Script");
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("Script\nsecond"));
}

TEST_F(MemoLog, RedrawResumesOnlyAfterTheOutermostEndUpdate) {
    log.EndUpdate(); // unmatched: ignored
    EXPECT_TRUE(memo.updatesEnabled());
    log.BeginUpdate();
    log.BeginUpdate();
    EXPECT_FALSE(memo.updatesEnabled());
    log.EndUpdate();
    EXPECT_FALSE(memo.updatesEnabled());
    log.EndUpdate();
    EXPECT_TRUE(memo.updatesEnabled());
}

// Random runs of adding, clearing, nested updates and setting the first line, read back after
// every step: the pane, whose lines enter at the end of the outermost update, reads as the
// memory log that takes every line at once. An empty line is never the pane's first, which a
// pane cannot hold apart from no line at all.
TEST_F(MemoLog, LinesAddedDuringAnUpdateReadAsAddedOneByOne) {
    std::mt19937 rng(5);
    TMemoryLog oracle;
    int depth = 0;
    for (int step = 0; step < 3000; ++step) {
        const unsigned op = rng() % 12;
        if (op == 0) {
            log.Clear();
            oracle.Clear();
        } else if (op == 1) {
            log.BeginUpdate();
            ++depth;
        } else if (op == 2 && depth > 0) {
            log.EndUpdate();
            --depth;
        } else if (op == 3 && oracle.LineCount() > 0) {
            log.SetFirstLine("first");
            std::vector<std::string> lines = oracle.Lines();
            lines[0] = "first";
            oracle.Clear();
            for (const std::string& l : lines)
                oracle.Add(l);
        } else {
            const std::string line =
                oracle.LineCount() > 0 && op == 4 ? "" : Utf8ToSjis("行 " + std::to_string(step));
            log.Add(line);
            oracle.Add(line);
        }
        ASSERT_EQ(log.Lines(), oracle.Lines()) << "step " << step;
        EXPECT_EQ(memo.updatesEnabled(), depth == 0);
    }
}

} // namespace
} // namespace hk
