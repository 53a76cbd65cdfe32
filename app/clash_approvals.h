// Approved clashes of a drawing, kept beside it in "<drawing base name>.clash.json" as
// {"approved": [{"id", "comment", "by", "at"}]}. A missing file means no approvals; a damaged one
// also means none, is reported, and is kept as a backup before anything replaces it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace hk {

struct TApproval {
    std::string id;      // the clash id
    std::string comment; // optional, UTF-8
    std::string by;      // who approved
    std::string at;      // when, ISO 8601 UTC
};

class TClashApprovals {
public:
    TClashApprovals() = default;

    // The approvals file of a drawing: "plant.clash.json" beside "plant.csv".
    static std::filesystem::path FileFor(const std::filesystem::path& drawing);

    // Reads file. Missing: no approvals and no problem. Unreadable or damaged: no approvals,
    // and Problem() names the file (and the line, where there is one) and says what is wrong.
    static TClashApprovals Load(const std::filesystem::path& file);

    const std::filesystem::path& File() const { return file_; }
    const std::string& Problem() const { return problem_; }
    const std::vector<TApproval>& All() const { return approvals_; }

    // The approval of a clash id, or none.
    const TApproval* Find(std::string_view id) const;

    // Approves a clash, replacing an earlier approval of the same id.
    void Approve(TApproval approval);
    // Takes a clash's approval back; false when it had none.
    bool Revoke(std::string_view id);

    // Writes every approval to File() through a temporary file and a rename. A file there that
    // cannot be read as approvals is first renamed to "<file>.bak" (or ".bak2", ".bak3"... so no
    // earlier backup is replaced). Returns an empty string on success, else a UTF-8 message
    // naming the file; the file on disk is then as it was.
    std::string Save() const;

private:
    std::filesystem::path file_;
    std::string problem_;
    std::vector<TApproval> approvals_;
};

// Who approves: the login name from the environment (USER, LOGNAME or USERNAME), "unknown"
// without one.
std::string CurrentUserName();

} // namespace hk
