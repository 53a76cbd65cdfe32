// Whole-file reads split into lines.
#include "app/text_file.h"

#include "app/sjis.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace hk {

std::string FileLinePlace(const std::string& fileName, int lineNo) {
    return Utf8ToSjis(fileName) + ": line " + std::to_string(lineNo);
}

bool ReadTextLines(const std::string& fileName, std::vector<std::string>& lines) {
    lines.clear();
    std::error_code ec;
    if (std::filesystem::is_directory(fileName, ec))
        return false;
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return false;
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < content.size(); ++i) {
        char c = content[i];
        if (c != '\n' && c != '\r')
            continue;
        lines.emplace_back(content, start, i - start);
        if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < content.size())
        lines.emplace_back(content, start);
    return true;
}

} // namespace hk
