// The message pane: lines held as bytes, scroll bars fitted to them, the lines in view painted.
#include "app/window/message_pane.h"

#include "app/window/qt_sjis.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <vector>

namespace hk {

namespace {

// The room left of the text and above the first line.
constexpr int cMargin = 4;

} // namespace

TMessagePane::TMessagePane(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    Relayout();
}

void TMessagePane::Clear() {
    lines_.Clear();
    longestLine_ = 0;
    contentWidth_ = 0;
    anchor_ = current_ = -1;
    followEnd_ = true;
    if (updateDepth_ == 0) {
        Relayout();
    }
}

void TMessagePane::Add(std::string_view sjisLine) {
    if (updateDepth_ == 0) {
        followEnd_ = ShowsLastLine();
    }
    if (lines_.LineCount() == 0 || sjisLine.size() > lines_.Line(longestLine_).size()) {
        longestLine_ = lines_.LineCount();
    }
    lines_.Add(sjisLine);
    if (updateDepth_ == 0) {
        Relayout();
    }
}

void TMessagePane::SetFirstLine(std::string_view sjisLine) {
    if (lines_.LineCount() == 0) {
        Add(sjisLine);
        return;
    }
    std::vector<std::string> lines = lines_.Lines();
    lines[0] = sjisLine;
    const long anchor = anchor_;
    const long current = current_;
    BeginUpdate();
    Clear();
    for (const std::string& line : lines) {
        Add(line);
    }
    followEnd_ = false;
    EndUpdate();
    Select(anchor, current);
}

void TMessagePane::BeginUpdate() {
    if (updateDepth_++ == 0) {
        followEnd_ = ShowsLastLine();
    }
}

void TMessagePane::EndUpdate() {
    if (updateDepth_ > 0 && --updateDepth_ == 0) {
        Relayout();
    }
}

QString TMessagePane::LineText(std::size_t i) const {
    return FromSjis(lines_.Line(i));
}

QString TMessagePane::JoinedLines(std::size_t first, std::size_t end) const {
    QString text;
    for (std::size_t i = first; i < end; ++i) {
        if (i > first) {
            text += QLatin1Char('\n');
        }
        text += LineText(i);
    }
    return text;
}

QString TMessagePane::Text() const {
    return JoinedLines(0, lines_.LineCount());
}

QString TMessagePane::SelectedText() const {
    if (anchor_ < 0) {
        return {};
    }
    return JoinedLines(static_cast<std::size_t>(std::min(anchor_, current_)),
                       static_cast<std::size_t>(std::max(anchor_, current_)) + 1);
}

void TMessagePane::SelectAll() {
    Select(0, static_cast<long>(lines_.LineCount()) - 1);
}

void TMessagePane::CopySelection() const {
    if (anchor_ >= 0) {
        QApplication::clipboard()->setText(SelectedText());
    }
}

void TMessagePane::Select(long anchor, long current) {
    const long last = static_cast<long>(lines_.LineCount()) - 1;
    if (anchor < 0 || current < 0 || last < 0) {
        anchor_ = current_ = -1;
    } else {
        anchor_ = std::min(anchor, last);
        current_ = std::min(current, last);
    }
    viewport()->update();
}

bool TMessagePane::ShowsLastLine() const {
    return verticalScrollBar()->value() >= verticalScrollBar()->maximum();
}

void TMessagePane::FitAcross() {
    horizontalScrollBar()->setRange(0, std::max(0, contentWidth_ - viewport()->width()));
}

int TMessagePane::LineHeight() const {
    return std::max(1, fontMetrics().lineSpacing());
}

int TMessagePane::VisibleLines() const {
    return std::max(1, (viewport()->height() - cMargin) / LineHeight());
}

long TMessagePane::LineAt(int y) const {
    const long count = static_cast<long>(lines_.LineCount());
    if (count == 0) {
        return -1;
    }
    const long row = (y - cMargin) >= 0 ? (y - cMargin) / LineHeight() : -1;
    return std::clamp(verticalScrollBar()->value() + row, 0L, count - 1);
}

void TMessagePane::Relayout() {
    if (lines_.LineCount() > 0) {
        // The longest line in bytes stands for the widest; lines painted later can widen it.
        const int width = fontMetrics().horizontalAdvance(LineText(longestLine_));
        contentWidth_ = std::max(contentWidth_, width + 2 * cMargin);
    }
    const int visible = VisibleLines();
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, static_cast<int>(lines_.LineCount()) - visible));
    bar->setPageStep(visible);
    bar->setSingleStep(1);
    // Lines that arrive before the pane is first shown leave it at the top.
    if (followEnd_ && isVisible()) {
        bar->setValue(bar->maximum());
    }
    FitAcross();
    QScrollBar* across = horizontalScrollBar();
    across->setPageStep(viewport()->width());
    across->setSingleStep(std::max(1, fontMetrics().averageCharWidth()));
    viewport()->update();
}

void TMessagePane::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const int height = LineHeight();
    const int left = cMargin - horizontalScrollBar()->value();
    const long first = verticalScrollBar()->value();
    const long end = std::min(static_cast<long>(lines_.LineCount()), first + VisibleLines() + 1);
    const long selFirst = std::min(anchor_, current_);
    const long selLast = std::max(anchor_, current_);
    const QPalette& colours = palette();
    int widest = contentWidth_;
    for (long i = first; i < end; ++i) {
        const int top = cMargin + static_cast<int>(i - first) * height;
        const QString text = LineText(static_cast<std::size_t>(i));
        const bool selected = anchor_ >= 0 && i >= selFirst && i <= selLast;
        if (selected) {
            painter.fillRect(0, top, viewport()->width(), height, colours.highlight());
            painter.setPen(colours.color(QPalette::HighlightedText));
        } else {
            painter.setPen(colours.color(QPalette::Text));
        }
        painter.drawText(QRect(left, top, 1 << 20, height), Qt::AlignLeft | Qt::AlignVCenter, text);
        widest = std::max(widest, fontMetrics().horizontalAdvance(text) + 2 * cMargin);
    }
    if (widest > contentWidth_) {
        contentWidth_ = widest;
        FitAcross();
    }
}

void TMessagePane::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    followEnd_ = ShowsLastLine();
    Relayout();
}

void TMessagePane::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        contentWidth_ = 0;
        followEnd_ = ShowsLastLine();
        Relayout();
    }
}

bool TMessagePane::event(QEvent* event) {
    // The keys the pane acts on reach it before the window's shortcuts while it has the focus,
    // as they would reach a text box.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll) ||
            key->key() == Qt::Key_Home || key->key() == Qt::Key_End) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TMessagePane::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        CopySelection();
    } else if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
    } else if (event->key() == Qt::Key_Home) {
        verticalScrollBar()->setValue(0);
    } else if (event->key() == Qt::Key_End) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    } else {
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void TMessagePane::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const long line = LineAt(event->position().toPoint().y());
    const bool extend = (event->modifiers() & Qt::ShiftModifier) && anchor_ >= 0;
    Select(extend ? anchor_ : line, line);
}

void TMessagePane::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || anchor_ < 0) {
        return;
    }
    const int y = event->position().toPoint().y();
    // Dragging past the top or the bottom scrolls a line at a time.
    if (y < 0) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    } else if (y >= viewport()->height()) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
    Select(anchor_, LineAt(y));
}

void TMessagePane::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy =
        menu.addAction(QStringLiteral("コピー(&C)"), this, &TMessagePane::CopySelection);
    copy->setEnabled(anchor_ >= 0);
    menu.addAction(QStringLiteral("すべて選択(&A)"), this, &TMessagePane::SelectAll);
    menu.exec(event->globalPos());
}

} // namespace hk
