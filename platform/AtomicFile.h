#pragma once

#include <string>
#include <string_view>

namespace platform {

enum class Durability
{
    Flush,  // data reaches the disk before the rename (user documents, settings)
    NoSync, // survives a crash of the program, not a power loss (derived data such as caches)
};

// Replaces the file at `path` with `content`: writes a temporary file in the same folder and
// renames it over the target, so readers see the old file or the new one, never a part.
// A symbolic link at `path` is followed and its target replaced. An existing file keeps its
// permission bits. Returns false, with the system's text in `errorText` when given, if the
// file could not be written; the previous file is then untouched.
bool writeFileAtomically(const std::string& path, std::string_view content,
                         Durability durability = Durability::Flush,
                         std::string* errorText = nullptr);

// Creates `folder` and its missing parents; true when it exists afterwards.
bool makeFolders(const std::string& folder);

} // namespace platform
