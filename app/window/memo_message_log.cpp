// Shift-JIS lines in and out of a text pane.
#include "app/window/memo_message_log.h"

#include "app/window/qt_sjis.h"
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace hk {

TMemoMessageLog::TMemoMessageLog(QPlainTextEdit& memo) : memo_(memo) {
    revisionCount_ = QObject::connect(memo_.document(), &QTextDocument::contentsChange,
                                      [this](int, int, int) { ++revision_; });
}

TMemoMessageLog::~TMemoMessageLog() {
    QObject::disconnect(revisionCount_);
}

void TMemoMessageLog::Clear() {
    pending_.clear();
    memo_.clear();
}

void TMemoMessageLog::Add(std::string_view sjisLine) {
    if (updateDepth_ == 0) {
        memo_.appendPlainText(FromSjis(sjisLine));
        return;
    }
    pending_ += FromSjis(sjisLine);
    pending_ += QLatin1Char('\n');
}

void TMemoMessageLog::Flush() {
    if (pending_.isEmpty()) {
        return;
    }
    pending_.chop(1);
    memo_.appendPlainText(pending_);
    pending_.clear();
}

void TMemoMessageLog::BeginUpdate() {
    if (updateDepth_++ == 0) {
        memo_.setUpdatesEnabled(false);
    }
}

void TMemoMessageLog::EndUpdate() {
    if (updateDepth_ == 0) {
        return;
    }
    if (--updateDepth_ == 0) {
        Flush();
        memo_.setUpdatesEnabled(true);
    }
}

std::vector<std::string> TMemoMessageLog::Lines() const {
    std::vector<std::string> lines;
    const QTextDocument* doc = memo_.document();
    if (!doc->isEmpty()) {
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
            lines.push_back(ToSjis(block.text()));
        }
    }
    const QStringList pending = pending_.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i + 1 < pending.size(); ++i) {
        lines.push_back(ToSjis(pending[i]));
    }
    return lines;
}

void TMemoMessageLog::AddNotice(std::string_view line) {
    notices_.emplace_back(line);
    if (noticesChanged_) {
        noticesChanged_();
    }
}

void TMemoMessageLog::ClearNotices() {
    if (notices_.empty()) {
        return;
    }
    notices_.clear();
    if (noticesChanged_) {
        noticesChanged_();
    }
}

void TMemoMessageLog::SetFirstLine(std::string_view sjisLine) {
    Flush();
    QTextDocument* doc = memo_.document();
    if (doc->isEmpty()) {
        memo_.setPlainText(FromSjis(sjisLine));
        return;
    }
    QTextCursor cursor(doc->firstBlock());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(FromSjis(sjisLine));
}

} // namespace hk
