// The text of an error as it leaves for the window or a terminal.
#pragma once

#include <exception>
#include <string>

namespace hk {

// e.what() in UTF-8. Errors that quote Shift-JIS input (a data file's column, a material
// script's text) have that part converted and their file name kept as the file system spells
// it; every other error text is UTF-8 already.
std::string ErrorText(const std::exception& e);

} // namespace hk
