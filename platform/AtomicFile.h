#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace platform {

enum class Durability
{
    Flush,  // data reaches the disk before the rename (user documents, settings)
    NoSync, // survives a crash of the program, not a power loss (derived data such as caches)
};

// Replaces the file at `path` with `content`: writes a temporary file in the same folder and
// renames it over the target, so readers see the old file or the new one, never a part. In
// every other way it acts as a plain write would: an existing target that is not a regular
// file (a folder, a FIFO, a device) or that the user may not write is refused; a symbolic
// link is followed and the file at the end of its chain replaced in its own folder, the link
// staying; the replaced file keeps its permission bits, its group and, where the user may
// give it, its owner. Where the user may write an existing file but not rename over it (a
// sticky folder holding another user's file), the new content, first written whole to the
// temporary file and flushed, is copied over the old; should that copy fail part-way, the
// temporary file is kept. With Durability::Flush the folder is flushed after the rename too. The
// temporary file is named ".<up to 16 bytes of the name>~<hash of the name>.<process
// id>.<number>.tmp", so that any name the system allows can be written; temporaries of the same
// target left by writers that no longer run (killed mid-write) are removed first. Returns false,
// with the system's text in `errorText` when given, if the file could not be written; the previous
// file is then untouched.
bool writeFileAtomically(const std::string& path, std::string_view content,
                         Durability durability = Durability::Flush,
                         std::string* errorText = nullptr);

// The content of a file to be written piece by piece: each call gives the next piece, valid
// until the next call; an empty piece ends the content.
using ContentPieces = std::function<std::string_view()>;

// As above, with the content given in pieces, so that a big text need not be held whole.
bool writeFileAtomically(const std::string& path, const ContentPieces& content,
                         Durability durability = Durability::Flush,
                         std::string* errorText = nullptr);

// Creates `folder` and its missing parents; true when it exists afterwards.
bool makeFolders(const std::string& folder);

} // namespace platform
