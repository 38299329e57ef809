#pragma once
// File access for the engine. Every handle is RAII. "Without sharing" is an exclusive,
// non-blocking flock taken at open: a file that someone else holds locked cannot be opened.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>

#include "engine/result.h"

namespace nobrelt {

// Owns one file descriptor.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_ = -1;
};

// Random-access bytes, from a file or from memory. Readers take this so that the same
// parsing runs on disk files and on in-memory buffers.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Reads up to out.size() bytes at offset; returns how many were delivered, or none on error.
    virtual std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::byte> out) = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::byte> data) : data_(data) {}
    std::uint64_t size() const override { return data_.size(); }
    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::byte> out) override;

private:
    std::span<const std::byte> data_;
};

// An existing regular file opened for reading under an exclusive lock.
class InputFile final : public ByteSource {
public:
    static Result<InputFile> Open(const std::string& path);
    std::uint64_t size() const override { return size_; }
    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::byte> out) override;

private:
    InputFile(FileDescriptor fd, std::uint64_t size) : fd_(std::move(fd)), size_(size) {}
    FileDescriptor fd_;
    std::uint64_t size_ = 0;
};

// An existing file mapped read-only. The mapping is released with the object.
class MappedFile {
public:
    static Result<MappedFile> Open(const std::string& path);
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    std::span<const std::byte> bytes() const { return {static_cast<const std::byte*>(address_), size_}; }

private:
    MappedFile(void* address, std::size_t size) : address_(address), size_(size) {}
    void* address_ = nullptr;
    std::size_t size_ = 0;
};

// Creates or replaces a file atomically: the bytes go to a temporary file in the target's
// directory, which Commit renames over the target. Until then the target is untouched, and
// a file that is never committed is removed. A target that someone else holds locked is
// refused at Create and stays locked by us until Commit, so nobody takes it in between.
class AtomicOutputFile {
public:
    static Result<AtomicOutputFile> Create(const std::string& path);
    AtomicOutputFile(AtomicOutputFile&& other) noexcept = default;
    AtomicOutputFile& operator=(AtomicOutputFile&&) = delete;
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;
    ~AtomicOutputFile();

    // Several pieces in one gathered write (writev; batches where the pieces exceed the
    // system's limit) that must take every byte.
    Status WriteGather(std::initializer_list<std::span<const std::byte>> pieces);
    Status WriteGather(std::span<const std::span<const std::byte>> pieces);
    // Puts the written file in place of the target.
    Status Commit();

private:
    AtomicOutputFile(std::string target, std::string temporary, FileDescriptor temporaryFd,
                     FileDescriptor targetLock)
        : target_(std::move(target)),
          temporary_(std::move(temporary)),
          temporaryFd_(std::move(temporaryFd)),
          targetLock_(std::move(targetLock)) {}

    std::string target_;
    std::string temporary_;
    FileDescriptor temporaryFd_;
    FileDescriptor targetLock_;
    bool committed_ = false;
};

}  // namespace nobrelt
