// Writing a clash report to a file in the format its extension names: ".json", ".csv", ".bcf"
// or ".bcfzip" (letters in any case).
#pragma once

#include "app/report_bcf.h"
#include "app/report_data.h"

#include <filesystem>
#include <optional>
#include <string>

namespace hk {

enum class TReportFormat { json, csv, bcf };

// The format named by path's extension; none for any other extension.
std::optional<TReportFormat> ReportFormatFor(const std::filesystem::path& path);

// Writes the report in the format of path's extension, replacing the file as a whole (an
// earlier file stays as it was when the write fails). The view and the snapshots serve BCF
// only. Returns an empty string on success, else a UTF-8 message naming the file.
std::string WriteReport(const std::filesystem::path& path, const TClashReport& report,
                        const TBcfView& view = {}, const TSnapshotSource& snapshot = {});

} // namespace hk
