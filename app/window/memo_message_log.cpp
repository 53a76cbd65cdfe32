// Shift-JIS lines in and out of a text pane.
#include "app/window/memo_message_log.h"

#include "app/sjis.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace hk {

namespace {

QString ToDisplay(std::string_view sjis) {
    const std::string utf8 = SjisToUtf8(sjis);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace

void MemoMessageLog::Clear() {
    memo_.clear();
}

void MemoMessageLog::Add(std::string_view sjisLine) {
    memo_.appendPlainText(ToDisplay(sjisLine));
}

void MemoMessageLog::BeginUpdate() {
    if (updateDepth_++ == 0) {
        memo_.setUpdatesEnabled(false);
    }
}

void MemoMessageLog::EndUpdate() {
    if (updateDepth_ == 0) {
        return;
    }
    if (--updateDepth_ == 0) {
        memo_.setUpdatesEnabled(true);
    }
}

std::vector<std::string> MemoMessageLog::Lines() const {
    std::vector<std::string> lines;
    const QTextDocument* doc = memo_.document();
    if (doc->isEmpty()) {
        return lines;
    }
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        lines.push_back(Utf8ToSjis(block.text().toStdString()));
    }
    return lines;
}

void MemoMessageLog::SetFirstLine(std::string_view sjisLine) {
    QTextDocument* doc = memo_.document();
    if (doc->isEmpty()) {
        memo_.setPlainText(ToDisplay(sjisLine));
        return;
    }
    QTextCursor cursor(doc->firstBlock());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(ToDisplay(sjisLine));
}

} // namespace hk
