// The message area's lines in a message pane, its notices beside them.
#include "app/window/memo_message_log.h"

#include "app/window/message_pane.h"

namespace hk {

void TMemoMessageLog::Clear() {
    pane_.Clear();
}

void TMemoMessageLog::Add(std::string_view sjisLine) {
    pane_.Add(sjisLine);
}

void TMemoMessageLog::BeginUpdate() {
    pane_.BeginUpdate();
}

void TMemoMessageLog::EndUpdate() {
    pane_.EndUpdate();
}

void TMemoMessageLog::Reserve(std::size_t lines, std::size_t bytes) {
    pane_.Reserve(lines, bytes);
}

std::vector<std::string> TMemoMessageLog::Lines() const {
    return pane_.Lines().Lines();
}

std::uint64_t TMemoMessageLog::Revision() const {
    return pane_.Lines().Revision();
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
    pane_.SetFirstLine(sjisLine);
}

} // namespace hk
