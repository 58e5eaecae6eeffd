#pragma once

#include "core/StoryFacts.h"

#include <memory>
#include <optional>
#include <string>

// One story file or one catalogue entry. Texts are bytes in the single-byte code page.
struct CGame
{
    CGame(std::string fullName, std::string fingerprintText, std::string serial)
        : fingerprint(std::move(fingerprintText)), FullName(std::move(fullName)),
          sn(std::move(serial))
    {
    }

    std::string fingerprint; // crcText of the file's CRC-32; the record's identity
    std::string FullName;    // "unknown" for a file that no catalogue entry names
    std::string fn;          // path of the story file
    std::string sn;          // serial number from the story header
    std::string warn;        // free warning text
    bool found = false;      // a scan met a file with this fingerprint
    bool unmatched = false;  // made by a scan or add for a file that matched no record
    // What the last scan or add that met the record's file learned of it; nothing for a
    // catalogue entry no file was met for.
    std::optional<core::StoryFacts> facts;
    std::string hint; // of an unmatched record: why it may have matched nothing
};

using GamePtr = std::shared_ptr<CGame>;

// The marker of a missing value: the name of an unmatched file, the path of an entry
// without one, and what the results list shows for an empty serial number or path.
inline constexpr const char* kUnknown = "unknown";
