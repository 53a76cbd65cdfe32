// The message area along the bottom of the main window, as an interface the window-free code
// writes to: the load summary, collision report and item details all go through it. Lines are
// Shift-JIS bytes. Beside the lines it keeps the notices of loads and builds, which never enter
// the message area; they are UTF-8, file names in them as the file system spells them. The window
// implements it over its text pane; TMemoryLog keeps the lines in memory for the batch mode and the
// tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hk {

class TMessageLog {
public:
    virtual ~TMessageLog() = default;

    // Removes every line.
    virtual void Clear() = 0;
    // Appends one line (Shift-JIS, no line end).
    virtual void Add(std::string_view sjisLine) = 0;
    // Suspends redrawing while many lines are added; calls nest and must pair with EndUpdate.
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}
    // Gives room for `lines` more lines of `bytes` in all, written once so that adding them
    // later neither allocates nor faults fresh memory in; the lines held stay.
    virtual void Reserve(std::size_t /*lines*/, std::size_t /*bytes*/) {}
    // The lines currently held, oldest first.
    virtual std::vector<std::string> Lines() const = 0;
    // Grows with every change of the lines, by whoever made it (a user typing in the window's
    // pane included), so that a writer can tell its lines are still there untouched.
    virtual std::uint64_t Revision() const = 0;

    // Appends a notice (UTF-8, no line end): what a load or build ignored, could not use
    // or could not do, naming the file and line. The message area's lines stay what they have
    // always been (scripts read them); the window counts the notices in its status bar and
    // lists them under "読込メッセージ", the batch mode prints them on stderr.
    virtual void AddNotice(std::string_view line) = 0;
    // Forgets every notice; a load that succeeds starts its own.
    virtual void ClearNotices() = 0;
    // The notices held, oldest first.
    virtual std::vector<std::string> Notices() const = 0;
};

// A message area held in memory. The lines lie end to end in one block, so that a collision
// report of many thousand lines costs no allocation per line, and clearing keeps the room.
class TMemoryLog : public TMessageLog {
public:
    void Clear() override;
    void Add(std::string_view sjisLine) override;
    void Reserve(std::size_t lines, std::size_t bytes) override;
    std::vector<std::string> Lines() const override;
    // Line `i` as it lies in the block, without a copy: valid until the next change.
    std::size_t LineCount() const { return ends_.size(); }
    std::string_view Line(std::size_t i) const;
    std::uint64_t Revision() const override { return revision_; }
    void AddNotice(std::string_view line) override { notices_.emplace_back(line); }
    void ClearNotices() override { notices_.clear(); }
    std::vector<std::string> Notices() const override { return notices_; }

private:
    std::string text_;
    // Where each line ends in text_.
    std::vector<std::size_t> ends_;
    std::uint64_t revision_ = 0;
    std::vector<std::string> notices_;
};

} // namespace hk
