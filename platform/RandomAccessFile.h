#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace platform {

// A regular file open for reading at any offset. Reads keep no file position, so several
// threads may read one file at once. Closed when the object goes.
class RandomAccessFile
{
public:
    // Nothing when `path` cannot be opened or is not a regular file (a folder, a FIFO, a
    // device, a pipe): such files never block the caller and never feed it endless data.
    static std::optional<RandomAccessFile> open(const std::string& path);

    RandomAccessFile(RandomAccessFile&& other) noexcept
        : m_handle(std::exchange(other.m_handle, kNoHandle)), m_openedSize(other.m_openedSize),
          m_openedLastWrite(other.m_openedLastWrite)
    {
    }
    ~RandomAccessFile();

    // The size and the last-write time (a Windows FILETIME) the file had when it was opened.
    std::uint64_t openedSize() const { return m_openedSize; }
    std::uint64_t openedLastWrite() const { return m_openedLastWrite; }
    // The size it has now; nothing when the system cannot say.
    std::optional<std::uint64_t> currentSize() const;

    // Reads up to `size` bytes at `offset` into `buffer` with one read (begun again when a
    // signal interrupts it). Returns the number of bytes read, 0 at the end of the file;
    // nothing when the read fails.
    std::optional<std::size_t> readAt(std::uint64_t offset, void* buffer, std::size_t size) const;

private:
#ifdef _WIN32
    using Handle = void*; // a HANDLE
    static constexpr Handle kNoHandle = nullptr;
#else
    using Handle = int; // a file descriptor
    static constexpr Handle kNoHandle = -1;
#endif

    RandomAccessFile(Handle handle, std::uint64_t size, std::uint64_t lastWrite)
        : m_handle(handle), m_openedSize(size), m_openedLastWrite(lastWrite)
    {
    }

    Handle m_handle = kNoHandle;
    std::uint64_t m_openedSize = 0;
    std::uint64_t m_openedLastWrite = 0;
};

} // namespace platform
