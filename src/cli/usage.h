#pragma once

#include <string>
#include <string_view>

namespace cli {

// What `summenleiter --help` prints, with the given line ends.
std::string Usage(std::string_view lineEnd);

} // namespace cli
