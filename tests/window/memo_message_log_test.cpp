// The message-area adapter over a text pane: Shift-JIS in and out, update nesting.
#include "app/sjis.h"
#include "app/window/memo_message_log.h"
#include "tests/window/window_test_support.h"

#include <QPlainTextEdit>
#include <gtest/gtest.h>

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

} // namespace
} // namespace hk
