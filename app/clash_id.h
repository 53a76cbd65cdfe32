// Stable clash ids: lowercase name-based UUIDs (version 5, SHA-1) over the canonical bytes of a
// clash's identity, so that the same clash has the same id across runs, reloads and machines.
#pragma once

#include <string>
#include <string_view>

namespace hk {

// The namespace of every id this program derives: 170f7cd6-9807-4786-8a0c-ab7c0b2fad8b. It is
// fixed for good; changing it would change every id that reports and approvals hold.
inline constexpr std::string_view cClashIdNamespace = "170f7cd6-9807-4786-8a0c-ab7c0b2fad8b";

// The version 5 UUID of name in the namespace given as a UUID text (8-4-4-4-12 hex digits),
// written in lowercase with hyphens. The namespace must be a well-formed UUID text.
std::string NameBasedUuid(std::string_view namespaceUuid, std::string_view name);

// NameBasedUuid(cClashIdNamespace, identity): the id of the clash whose canonical identity
// bytes are given.
std::string ClashId(std::string_view identity);

// True for a UUID text of 8-4-4-4-12 hex digits (either case).
bool IsUuidText(std::string_view text);

} // namespace hk
