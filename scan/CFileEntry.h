#pragma once

#include <cstdint>
#include <string>

// One file found by the folder walk.
struct CFileEntry
{
    std::string path;          // folder path (ending in '/') + the name as listed; case kept
    std::uint32_t size = 0;    // low 32 bits of the size in bytes, as designed
    std::uint32_t stampLo = 0; // low half of the last-write time as a Windows FILETIME
    std::uint32_t stampHi = 0; // high half of it
};
