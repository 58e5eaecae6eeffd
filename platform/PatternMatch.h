#pragma once

#include <string_view>

namespace platform {

// Whether the file name `name` matches `pattern`: '*' matches any run of characters (also
// none), '?' exactly one, every other character matches itself without regard to ASCII case.
// "*.*" matches every name, names without a dot included. Several patterns may be given
// separated by ';'; the name then has to match one of them.
bool matchesPattern(std::string_view name, std::string_view pattern);

} // namespace platform
