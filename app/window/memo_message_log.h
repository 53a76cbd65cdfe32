// The message-area interface over one of the window's message panes: lines arrive and leave as
// Shift-JIS, as the pane holds them. Notices are kept in a list of their own, which the window
// shows elsewhere when told of a change.
#pragma once

#include "app/message_log.h"

#include <functional>

namespace hk {

class TMessagePane;

class TMemoMessageLog : public TMessageLog {
public:
    // The pane must outlive this adapter; the window owns both.
    explicit TMemoMessageLog(TMessagePane& pane) : pane_(pane) {}

    void Clear() override;
    void Add(std::string_view sjisLine) override;
    // The pane is not painted, nor its scroll bars fitted, from the outermost BeginUpdate to
    // its matching EndUpdate. An unmatched EndUpdate is ignored.
    void BeginUpdate() override;
    void EndUpdate() override;
    void Reserve(std::size_t lines, std::size_t bytes) override;
    std::vector<std::string> Lines() const override;
    std::uint64_t Revision() const override;

    void AddNotice(std::string_view line) override;
    void ClearNotices() override;
    std::vector<std::string> Notices() const override { return notices_; }
    // Called after every change of the notices.
    void SetNoticesChanged(std::function<void()> changed) { noticesChanged_ = std::move(changed); }

    // Replaces the first line, adding it when the pane is empty.
    void SetFirstLine(std::string_view sjisLine);

private:
    TMessagePane& pane_;
    std::vector<std::string> notices_;
    std::function<void()> noticesChanged_;
};

} // namespace hk
