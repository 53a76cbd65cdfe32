// The message pane and the message-area adapter over it: Shift-JIS in and out, update nesting,
// scroll bars that follow the lines, whole-line selection.
#include "app/sjis.h"
#include "app/window/memo_message_log.h"
#include "app/window/message_pane.h"
#include "tests/window/window_test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <random>

namespace hk {
namespace {

class MemoLog : public test::QtTest {
protected:
    MemoLog() {
        memo.resize(300, 120);
        memo.show();
    }
    int MaxScroll() const {
        const int visible = memo.verticalScrollBar()->pageStep();
        return std::max(0, static_cast<int>(memo.LineCount()) - visible);
    }
    TMessagePane memo;
    TMemoMessageLog log{memo};
};

TEST_F(MemoLog, ShiftJisLinesShowAsTextAndReadBackUnchanged) {
    EXPECT_TRUE(log.Lines().empty());
    const std::string first = Utf8ToSjis("点バッファ数:3");
    log.Add(first);
    log.Add("(Sphere)  -  (Faces)");
    EXPECT_EQ(memo.Text(), QStringLiteral("点バッファ数:3\n(Sphere)  -  (Faces)"));
    const std::vector<std::string> lines = log.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], first);
    EXPECT_EQ(lines[1], "(Sphere)  -  (Faces)");

    EXPECT_EQ(memo.horizontalScrollBar()->maximum(), 0);
    // A line wider than the pane scrolls sideways.
    log.Add(std::string(300, 'W'));
    EXPECT_GT(memo.horizontalScrollBar()->maximum(), 0);

    log.Clear();
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_TRUE(memo.Text().isEmpty());
    EXPECT_EQ(memo.horizontalScrollBar()->maximum(), 0);
}

TEST_F(MemoLog, BrokenShiftJisNeverBreaksThePane) {
    log.Add(std::string("\x93\xFF\x81", 3)); // a lead byte with a bad trail, then a cut one
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_FALSE(memo.Text().isEmpty());
    EXPECT_FALSE(memo.grab().isNull());
}

TEST_F(MemoLog, FirstLineIsReplacedOrAdded) {
    log.SetFirstLine("Script");
    EXPECT_EQ(memo.Text(), QStringLiteral("Script"));
    log.Add("second");
    log.SetFirstLine("Script 2");
    EXPECT_EQ(memo.Text(), QStringLiteral("Script 2\nsecond"));
}

// Whole lines are selected by a click and a shift-click, or all at once, and copied as text.
TEST_F(MemoLog, SelectedLinesAreCopiedWhole) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&memo));
    for (int i = 0; i < 40; ++i)
        log.Add(Utf8ToSjis("行 " + std::to_string(i)));
    memo.verticalScrollBar()->setValue(0);
    const int height = memo.fontMetrics().lineSpacing();
    QTest::mouseClick(memo.viewport(), Qt::LeftButton, {}, QPoint(10, 4 + height + height / 2));
    QTest::mouseClick(memo.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      QPoint(10, 4 + 3 * height + height / 2));
    EXPECT_EQ(memo.SelectedText(), QStringLiteral("行 1\n行 2\n行 3"));
    QTest::keyClick(&memo, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("行 1\n行 2\n行 3"));
    QTest::keyClick(&memo, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(memo.SelectedText(), memo.Text());
    log.Clear();
    EXPECT_TRUE(memo.SelectedText().isEmpty());
}

// Random runs of adding, clearing, nested updates, scrolling, reserving room and setting the
// first line, read back after every step: the pane reads as the memory log. Outside updates
// its scroll bar spans the lines, and a view that showed the last line still shows it; the
// pane is painted now and then.
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
        } else if (op == 4) {
            memo.verticalScrollBar()->setValue(static_cast<int>(rng() % 50));
        } else if (op == 5) {
            EXPECT_FALSE(memo.grab().isNull());
            log.Reserve(rng() % 40, rng() % 400);
        } else {
            const std::string line = op == 6 ? "" : Utf8ToSjis("行 " + std::to_string(step));
            const QScrollBar* bar = memo.verticalScrollBar();
            const bool atEnd = bar->value() == bar->maximum();
            log.Add(line);
            oracle.Add(line);
            if (depth == 0 && atEnd) {
                ASSERT_EQ(bar->value(), bar->maximum()) << "step " << step;
            }
        }
        ASSERT_EQ(log.Lines(), oracle.Lines()) << "step " << step;
        if (depth == 0) {
            ASSERT_EQ(memo.verticalScrollBar()->maximum(), MaxScroll()) << "step " << step;
        }
    }
}

} // namespace
} // namespace hk
