#include "engine/file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <chrono>
#include <cstring>
#include <vector>

namespace nobrelt {
namespace {

Failure SystemFailure(const std::string& what, const std::string& path, int error) {
    return Failure{what + " " + path + ": " + std::strerror(error)};
}

// Takes the exclusive lock that stands for "no sharing"; never waits.
bool LockExclusive(int fd) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

Result<FileDescriptor> OpenLockedForReading(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) return SystemFailure("cannot open", path, errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return SystemFailure("cannot examine", path, errno);
    if (!S_ISREG(info.st_mode)) return Failure{"not a regular file: " + path};
    if (!LockExclusive(fd.get())) return Failure{"file is locked by another process: " + path};
    return fd;
}

std::uint64_t FileSize(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

std::string DirectoryOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
}

std::optional<std::size_t> MemorySource::ReadAt(std::uint64_t offset, std::span<std::byte> out) {
    if (offset >= data_.size()) return 0;
    std::size_t count = std::min<std::uint64_t>(out.size(), data_.size() - offset);
    if (count > 0) std::memcpy(out.data(), data_.data() + offset, count);
    return count;
}

Result<InputFile> InputFile::Open(const std::string& path) {
    auto fd = OpenLockedForReading(path);
    if (!fd) return Failure{fd.reason()};
    std::uint64_t size = FileSize(fd->get());
    return InputFile(std::move(*fd), size);
}

std::optional<std::size_t> InputFile::ReadAt(std::uint64_t offset, std::span<std::byte> out) {
    std::size_t done = 0;
    while (done < out.size()) {
        ssize_t got = ::pread(fd_.get(), out.data() + done, out.size() - done,
                              static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

Result<MappedFile> MappedFile::Open(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) return SystemFailure("cannot open", path, errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return SystemFailure("cannot examine", path, errno);
    if (!S_ISREG(info.st_mode)) return Failure{"not a regular file: " + path};
    if (info.st_size == 0) return MappedFile(nullptr, 0);
    void* address = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd.get(), 0);
    if (address == MAP_FAILED) return SystemFailure("cannot map", path, errno);
    return MappedFile(address, static_cast<std::size_t>(info.st_size));
}

MappedFile::MappedFile(MappedFile&& other) noexcept : address_(other.address_), size_(other.size_) {
    other.address_ = nullptr;
    other.size_ = 0;
}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        if (address_) ::munmap(address_, size_);
        address_ = other.address_;
        size_ = other.size_;
        other.address_ = nullptr;
        other.size_ = 0;
    }
    return *this;
}

MappedFile::~MappedFile() {
    if (address_) ::munmap(address_, size_);
}

Result<AtomicOutputFile> AtomicOutputFile::Create(const std::string& path) {
    if (path.empty()) return Failure{"empty output path"};
    // Lock the existing target, if any, so that a file held by someone else is not replaced.
    FileDescriptor targetLock(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    mode_t mode = 0666;
    bool keepMode = false;
    if (targetLock.valid()) {
        struct stat info {};
        if (::fstat(targetLock.get(), &info) != 0) return SystemFailure("cannot examine", path, errno);
        if (S_ISDIR(info.st_mode)) return Failure{"cannot create " + path + ": is a directory"};
        if (!LockExclusive(targetLock.get())) return Failure{"file is locked by another process: " + path};
        mode = info.st_mode & 07777;
        keepMode = true;
    } else if (errno != ENOENT) {
        return SystemFailure("cannot create", path, errno);
    }

    const std::string directory = DirectoryOf(path);
    const std::string stem = directory + "/." + BaseNameOf(path) + ".";
    auto seed = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                (static_cast<unsigned long long>(::getpid()) << 32);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temporary = stem + std::to_string((seed + static_cast<unsigned>(attempt) * 7919u) % 1000000007u) + ".tmp";
        FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd.valid()) {
            if (errno == EEXIST) continue;
            return SystemFailure("cannot create", path, errno);
        }
        if (keepMode) (void)::fchmod(fd.get(), mode);
        return AtomicOutputFile(path, std::move(temporary), std::move(fd), std::move(targetLock));
    }
    return Failure{"cannot create a temporary file beside " + path};
}

AtomicOutputFile::~AtomicOutputFile() {
    if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

Status AtomicOutputFile::WriteGather(std::initializer_list<std::span<const std::byte>> pieces) {
    return WriteGather(std::span<const std::span<const std::byte>>(pieces.begin(), pieces.size()));
}

Status AtomicOutputFile::WriteGather(std::span<const std::span<const std::byte>> pieces) {
    std::vector<iovec> vectors;
    vectors.reserve(std::min<std::size_t>(pieces.size(), IOV_MAX));
    auto flush = [&]() -> Status {
        std::size_t total = 0;
        for (const iovec& vector : vectors) total += vector.iov_len;
        ssize_t written;
        do {
            written = ::writev(temporaryFd_.get(), vectors.data(), static_cast<int>(vectors.size()));
        } while (written < 0 && errno == EINTR);
        vectors.clear();
        if (written < 0) return SystemFailure("cannot write", target_, errno);
        if (static_cast<std::size_t>(written) != total) return Failure{"short write to " + target_};
        return {};
    };
    for (auto piece : pieces) {
        if (piece.empty()) continue;
        vectors.push_back(iovec{const_cast<std::byte*>(piece.data()), piece.size()});
        if (vectors.size() == IOV_MAX)
            if (auto done = flush(); !done) return done;
    }
    if (vectors.empty()) return {};
    return flush();
}

Status AtomicOutputFile::Commit() {
    if (::close(temporaryFd_.release()) != 0) return SystemFailure("cannot write", target_, errno);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return SystemFailure("cannot replace", target_, errno);
    committed_ = true;
    return {};
}

}  // namespace nobrelt
