#pragma once

namespace platform {

// Whether standard error is a terminal (not a pipe or a file), so that a line may be
// rewritten in place.
bool standardErrorIsTerminal();

} // namespace platform
