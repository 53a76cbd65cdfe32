#include "primitives/mesh/vector_file.h"

#include "primitives/mesh/file_3ds.h"

#include <algorithm>

namespace hk {
namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return out;
}

} // namespace

void TVectorFileFormatsList::Add(std::string_view extension, std::string_view description,
                                 TVectorFileClass cls) {
    formats_.push_back({Lower(extension), std::string(description), cls});
}

const TVectorFileFormat* TVectorFileFormatsList::FindExt(std::string_view extension) const {
    const std::string wanted = Lower(extension);
    for (auto it = formats_.rbegin(); it != formats_.rend(); ++it)
        if (it->Extension == wanted)
            return &*it;
    return nullptr;
}

TVectorFileFormatsList& GetVectorFileFormats() {
    static TVectorFileFormatsList formats = [] {
        TVectorFileFormatsList list;
        list.Add("3ds", "3D Studio files", &TGL3DSVectorFile::Create);
        list.Add("prj", "3D Studio project files", &TGL3DSVectorFile::Create);
        return list;
    }();
    return formats;
}

void RegisterVectorFileFormat(std::string_view extension, std::string_view description,
                              TVectorFileClass cls) {
    GetVectorFileFormats().Add(extension, description, cls);
}

std::string VectorFileExtension(std::string_view fileName) {
    const std::size_t slash = fileName.find_last_of("/\\");
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return "";
    return Lower(fileName.substr(dot + 1));
}

} // namespace hk
