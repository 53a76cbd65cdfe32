// Writing a whole file so that readers never see half of it: the bytes go to a temporary file in
// the same folder, which is then renamed over the old one. A failed write leaves the old file as
// it was and removes the temporary one.
#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace hk {

// Replaces path's contents by bytes; returns the error of the write or the rename, if any.
std::error_code ReplaceFile(const std::filesystem::path& path, std::string_view bytes);

} // namespace hk
