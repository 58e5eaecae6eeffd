#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Texts inside the programs are UTF-8; the wide Win32 calls take UTF-16. These convert at
// that boundary, in platform/ only.

// `text` as UTF-16; nothing when it is not valid UTF-8 (no name on Windows converts to it, so
// such a path names no file), with the last error set to say so.
std::optional<std::wstring> wideFromUtf8(std::string_view text);

// `text` as UTF-8. A name on Windows may hold an unpaired surrogate, which has no UTF-8 form:
// it becomes the three bytes that encoding would give it (as WTF-8 does). No UTF-8 text holds
// those bytes, so such a name is shown with them, and opening it fails and is reported like
// any other file that cannot be opened; it is never taken for another file's name.
std::string utf8FromWide(std::wstring_view text);

} // namespace platform
