// A read-only pane of text lines that lays out only the lines in view. The lines are kept as
// the Shift-JIS bytes they arrive in, end to end in one block, and are converted for display
// as they are painted: a collision report of ten thousand lines enters the pane at the cost of
// copying its bytes, where a text document would lay out a block per line. Whole lines are
// selected with the mouse or Ctrl+A and copied with Ctrl+C or the context menu.
#pragma once

#include "app/message_log.h"

#include <QAbstractScrollArea>

#include <cstddef>
#include <string_view>

namespace hk {

class TMessagePane : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TMessagePane(QWidget* parent = nullptr);

    void Clear();
    // Appends one line (Shift-JIS, no line end). A shown view showing the last line keeps
    // showing it.
    void Add(std::string_view sjisLine);
    // Replaces the first line, adding it when the pane is empty.
    void SetFirstLine(std::string_view sjisLine);
    // The scroll bars follow the lines only at the outermost EndUpdate, and the pane is not
    // painted in between. Calls nest; an unmatched EndUpdate is ignored.
    void BeginUpdate();
    void EndUpdate();
    // Room for more lines, as TMessageLog::Reserve gives it.
    void Reserve(std::size_t lines, std::size_t bytes) { lines_.Reserve(lines, bytes); }

    const TMemoryLog& Lines() const { return lines_; }
    std::size_t LineCount() const { return lines_.LineCount(); }
    QString LineText(std::size_t i) const;
    // Every line, each but the last ended by a line break.
    QString Text() const;
    // The selected lines as Text() gives them; empty when none is selected.
    QString SelectedText() const;
    void SelectAll();
    void CopySelection() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Whether the view is scrolled to the end.
    bool ShowsLastLine() const;
    // Fits the horizontal scroll bar to the widest line known.
    void FitAcross();
    // Lines first to end, each but the last ended by a line break.
    QString JoinedLines(std::size_t first, std::size_t end) const;
    int LineHeight() const;
    int VisibleLines() const;
    // The line under a point of the viewport, clamped to the lines held; -1 when there are none.
    long LineAt(int y) const;
    // Fits the scroll bars to the lines and the viewport.
    void Relayout();
    void Select(long anchor, long current);

    TMemoryLog lines_;
    int updateDepth_ = 0;
    // Whether the view showed the last line when the lines began to change.
    bool followEnd_ = true;
    // The line longest in bytes, and the widest width painted or measured so far.
    std::size_t longestLine_ = 0;
    int contentWidth_ = 0;
    // The selected lines run from anchor to current, either way; -1 when none is.
    long anchor_ = -1;
    long current_ = -1;
};

} // namespace hk
