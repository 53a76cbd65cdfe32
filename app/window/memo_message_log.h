// The message-area interface over one of the window's text panes: lines arrive and leave as
// Shift-JIS and are shown as UTF-8. Notices are kept in a list of their own, which the window
// shows elsewhere when told of a change.
#pragma once

#include "app/message_log.h"

#include <QMetaObject>
#include <QString>

#include <functional>

class QPlainTextEdit;

namespace hk {

class TMemoMessageLog : public TMessageLog {
public:
    // The pane must outlive this adapter; the window owns both.
    explicit TMemoMessageLog(QPlainTextEdit& memo);
    ~TMemoMessageLog() override;
    TMemoMessageLog(const TMemoMessageLog&) = delete;
    TMemoMessageLog& operator=(const TMemoMessageLog&) = delete;

    void Clear() override;
    void Add(std::string_view sjisLine) override;
    // Redrawing stays off from the outermost BeginUpdate to its matching EndUpdate, and the
    // lines added in between enter the pane together at its end, in one edit of the
    // document: added one by one, each would be laid out on its own, and a report of ten
    // thousand lines would take a third of a second. An unmatched EndUpdate is ignored.
    void BeginUpdate() override;
    void EndUpdate() override;
    // An empty pane holds no lines (so a pane holding one empty line reads as empty too).
    std::vector<std::string> Lines() const override;
    // Counts every change of the pane's text, typing included.
    std::uint64_t Revision() const override { return revision_; }

    void AddNotice(std::string_view line) override;
    void ClearNotices() override;
    std::vector<std::string> Notices() const override { return notices_; }
    // Called after every change of the notices.
    void SetNoticesChanged(std::function<void()> changed) { noticesChanged_ = std::move(changed); }

    // Replaces the first line, adding it when the pane is empty.
    void SetFirstLine(std::string_view sjisLine);

private:
    // Puts the pending lines into the pane.
    void Flush();

    QPlainTextEdit& memo_;
    int updateDepth_ = 0;
    // The lines added during an update, each ended by a line break, not yet in the pane.
    QString pending_;
    std::uint64_t revision_ = 0;
    QMetaObject::Connection revisionCount_;
    std::vector<std::string> notices_;
    std::function<void()> noticesChanged_;
};

} // namespace hk
