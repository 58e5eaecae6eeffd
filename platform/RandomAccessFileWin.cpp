#include "platform/RandomAccessFile.h"

#include "platform/WideTextWin.h"

#include <windows.h>

#include <algorithm>

namespace platform {

std::optional<RandomAccessFile> RandomAccessFile::open(const std::string& path)
{
    const auto wide = wideFromUtf8(path);
    if (!wide) {
        return std::nullopt;
    }
    // Others may go on reading, writing, renaming and deleting the file, as on POSIX. A folder
    // does not open without FILE_FLAG_BACKUP_SEMANTICS.
    HANDLE handle = CreateFileW(wide->c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    // Devices (NUL, CON, COM1, reserved in every folder) and pipes are refused. The size and
    // time come from two cheap calls: GetFileInformationByHandle costs a query of the volume
    // per file under wine.
    LARGE_INTEGER size{};
    FILE_BASIC_INFO basic{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size) ||
        !GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic)) {
        CloseHandle(handle);
        return std::nullopt;
    }
    return RandomAccessFile(handle, static_cast<std::uint64_t>(size.QuadPart),
                            static_cast<std::uint64_t>(basic.LastWriteTime.QuadPart));
}

RandomAccessFile::~RandomAccessFile()
{
    if (m_handle != kNoHandle) {
        CloseHandle(m_handle);
    }
}

std::optional<std::uint64_t> RandomAccessFile::currentSize() const
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_handle, &size)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

// The offset goes with each read, so threads reading one file never share a position.
std::optional<std::size_t> RandomAccessFile::readAt(std::uint64_t offset, void* buffer,
                                                    std::size_t size) const
{
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(size, std::size_t{1} << 30));
    DWORD read = 0;
    if (!ReadFile(m_handle, buffer, wanted, &read, &at)) {
        // Reading at the end of the file is no failure.
        return GetLastError() == ERROR_HANDLE_EOF ? std::optional<std::size_t>(0) : std::nullopt;
    }
    return read;
}

} // namespace platform
