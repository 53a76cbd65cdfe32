// Temporary file beside the target, named after the process so that two viewers saving at once
// do not share one, then a rename over the target.
#include "app/replace_file.h"

#include <cerrno>
#include <fstream>
#include <string>

#include <unistd.h>

namespace hk {

std::error_code ReplaceFile(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::path temp = path;
    temp += ".tmp" + std::to_string(::getpid());
    std::error_code ec;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            ec = std::error_code(errno ? errno : EIO, std::generic_category());
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out && !ec)
            ec = std::make_error_code(std::errc::io_error);
    }
    if (!ec)
        std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
    }
    return ec;
}

} // namespace hk
