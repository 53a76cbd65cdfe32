// The one place an error text is brought to UTF-8.
#include "app/error_text.h"

#include "app/data_file.h"
#include "app/sjis.h"
#include "script/script_error.h"

#include <string_view>

namespace hk {

std::string ErrorText(const std::exception& e) {
    if (const auto* data = dynamic_cast<const EDataFileError*>(&e))
        return data->Utf8Text();
    if (const auto* script = dynamic_cast<const EMaterialScriptError*>(&e)) {
        // The place in front of the interpreter's text names the script file.
        const std::string_view text = e.what();
        const std::string_view place = text.substr(0, text.size() - script->Message().size());
        return std::string(place) + SjisToUtf8(script->Message());
    }
    return e.what();
}

} // namespace hk
