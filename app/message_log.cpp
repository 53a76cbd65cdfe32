// The message area held in memory.
#include "app/message_log.h"

namespace hk {

void TMemoryLog::Clear() {
    text_.clear();
    ends_.clear();
    ++revision_;
}

void TMemoryLog::Add(std::string_view sjisLine) {
    text_.append(sjisLine);
    ends_.push_back(text_.size());
    ++revision_;
}

void TMemoryLog::Reserve(std::size_t lines, std::size_t bytes) {
    // Growing past the room and shrinking back writes the new room and keeps the lines.
    if (text_.capacity() < text_.size() + bytes) {
        const std::size_t size = text_.size();
        text_.resize(size + bytes);
        text_.resize(size);
    }
    if (ends_.capacity() < ends_.size() + lines) {
        const std::size_t size = ends_.size();
        ends_.resize(size + lines);
        ends_.resize(size);
    }
}

std::string_view TMemoryLog::Line(std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(text_).substr(begin, ends_[i] - begin);
}

std::vector<std::string> TMemoryLog::Lines() const {
    std::vector<std::string> lines;
    lines.reserve(ends_.size());
    for (std::size_t i = 0; i < ends_.size(); ++i) {
        lines.emplace_back(Line(i));
    }
    return lines;
}

} // namespace hk
