// Reads and writes the approvals file with nlohmann::json. Reading checks the whole structure
// before it accepts anything, so a damaged file never yields half of its approvals.
#include "app/clash_approvals.h"

#include "app/clash_id.h"
#include "app/replace_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>

namespace hk {
namespace {

using Json = nlohmann::ordered_json;

// The line of a byte offset in text, counted from 1.
std::size_t LineOf(const std::string& text, std::size_t offset) {
    offset = std::min(offset, text.size());
    return 1 + static_cast<std::size_t>(std::count(
                   text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

std::optional<std::string> ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return text;
}

// Reads a text member of an entry into out ("" when absent); false when it is there but no text.
bool TextMember(const Json& entry, const char* key, std::string& out) {
    auto it = entry.find(key);
    if (it == entry.end() || it->is_null()) {
        out.clear();
        return true;
    }
    if (!it->is_string())
        return false;
    out = it->get<std::string>();
    return true;
}

// Fills approval from entry; returns what is wrong with the entry, or "".
std::string ReadEntry(const Json& entry, TApproval& approval) {
    if (!entry.is_object())
        return "is not an object";
    for (auto [key, field] :
         {std::pair{"id", &TApproval::id}, std::pair{"comment", &TApproval::comment},
          std::pair{"by", &TApproval::by}, std::pair{"at", &TApproval::at}}) {
        if (!TextMember(entry, key, approval.*field))
            return std::string("\"") + key + "\" is not a text";
    }
    if (!IsUuidText(approval.id))
        return "\"id\" is not a clash id";
    return {};
}

// The approvals of the file's text, or none and a message saying why it is damaged.
std::vector<TApproval> ParseApprovals(const std::string& text, std::string& problem) {
    Json json;
    try {
        json = Json::parse(text);
    } catch (const Json::parse_error& e) {
        problem =
            "line " + std::to_string(LineOf(text, e.byte > 0 ? e.byte - 1 : 0)) + ": not JSON";
        return {};
    }
    if (!json.is_object() || !json.contains("approved") || !json["approved"].is_array()) {
        problem = "no \"approved\" list";
        return {};
    }
    const Json& list = json["approved"];
    std::vector<TApproval> approvals(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string wrong = ReadEntry(list[i], approvals[i]);
        if (!wrong.empty()) {
            problem = "entry " + std::to_string(i + 1) + " " + wrong;
            return {};
        }
    }
    return approvals;
}

// A free backup name beside file: "<file>.bak", then "<file>.bak2" and so on.
std::filesystem::path BackupName(const std::filesystem::path& file) {
    std::filesystem::path backup = file;
    backup += ".bak";
    for (int n = 2; std::filesystem::exists(backup); ++n) {
        backup = file;
        backup += ".bak" + std::to_string(n);
    }
    return backup;
}

} // namespace

std::filesystem::path TClashApprovals::FileFor(const std::filesystem::path& drawing) {
    std::filesystem::path file = drawing;
    file.replace_filename(drawing.stem().string() + ".clash.json");
    return file;
}

TClashApprovals TClashApprovals::Load(const std::filesystem::path& file) {
    TClashApprovals result;
    result.file_ = file;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return result;
    std::optional<std::string> text = ReadAll(file);
    std::string problem;
    if (!text)
        problem = "cannot be read";
    else
        result.approvals_ = ParseApprovals(*text, problem);
    if (!problem.empty())
        result.problem_ = file.string() + ": " + problem + "; no clash is taken as approved";
    return result;
}

const TApproval* TClashApprovals::Find(std::string_view id) const {
    auto it = std::find_if(approvals_.begin(), approvals_.end(),
                           [&](const TApproval& a) { return a.id == id; });
    return it == approvals_.end() ? nullptr : &*it;
}

void TClashApprovals::Approve(TApproval approval) {
    Revoke(approval.id);
    approvals_.push_back(std::move(approval));
}

bool TClashApprovals::Revoke(std::string_view id) {
    return std::erase_if(approvals_, [&](const TApproval& a) { return a.id == id; }) > 0;
}

std::string TClashApprovals::Save() const {
    std::error_code ec;
    if (std::filesystem::exists(file_, ec)) {
        std::string problem;
        std::optional<std::string> text = ReadAll(file_);
        if (text)
            ParseApprovals(*text, problem);
        if (!text || !problem.empty()) {
            std::filesystem::path backup = BackupName(file_);
            std::filesystem::rename(file_, backup, ec);
            if (ec)
                return "cannot keep the damaged " + file_.string() + " as " + backup.string() +
                       ": " + ec.message() + "; the approvals were not saved";
        }
    }
    Json list = Json::array();
    for (const TApproval& a : approvals_)
        list.push_back(Json{{"id", a.id}, {"comment", a.comment}, {"by", a.by}, {"at", a.at}});
    Json json{{"approved", std::move(list)}};
    if (std::error_code write =
            ReplaceFile(file_, json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n"))
        return "cannot write " + file_.string() + ": " + write.message();
    return {};
}

std::string CurrentUserName() {
    for (const char* variable : {"USER", "LOGNAME", "USERNAME"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return "unknown";
}

} // namespace hk
