#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <fcntl.h>
#include <unistd.h>

#include "engine/file_io.h"
#include "engine/icon_file.h"
#include "test_support.h"

namespace nobrelt {
namespace {

using test::Bytes;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::vector<std::string> FilesIn(const TempDir& dir) {
    std::vector<std::string> names;
    for (auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Holds an exclusive lock on a file through a descriptor of its own, as another process would.
class ForeignLock {
public:
    explicit ForeignLock(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY)) { locked_ = ::flock(fd_.get(), LOCK_EX | LOCK_NB) == 0; }
    bool locked() const { return locked_; }

private:
    FileDescriptor fd_;
    bool locked_ = false;
};

IconSet OneImageSet() {
    IconSet set;
    set.images.resize(1);
    set.images[0].bytes = test::MakeBitmapImage({.width = 32, .height = 32, .bitCount = 8});
    return set;
}

TEST(FileLayer, LockedFilesAreNeitherReadNorReplaced) {
    TempDir dir;
    Bytes original = test::MakeIconFile({{test::MakeBitmapImage({})}});
    WriteBytes(dir / "held.ico", original);
    ForeignLock lock(dir / "held.ico");
    ASSERT_TRUE(lock.locked());

    EXPECT_FALSE(ReadIconFile(dir / "held.ico"));
    EXPECT_FALSE(WriteIconFileDetailed(OneImageSet(), dir / "held.ico"));
    EXPECT_EQ(ReadBytes(dir / "held.ico"), original);
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"held.ico"});
}

TEST(FileLayer, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    Bytes original = {std::byte{1}, std::byte{2}, std::byte{3}};
    WriteBytes(dir / "out.ico", original);

    // A file-size limit below the icon's size makes the image write fail half-way.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 200;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    Status status = WriteIconFileDetailed(OneImageSet(), dir / "out.ico");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(status);
    EXPECT_EQ(ReadBytes(dir / "out.ico"), original);
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"out.ico"});
}

TEST(FileLayer, ReplacesAnExistingFileKeepingItsMode) {
    TempDir dir;
    WriteBytes(dir / "out.ico", Bytes(5000, std::byte{7}));
    ASSERT_EQ(::chmod((dir / "out.ico").c_str(), 0640), 0);
    ASSERT_TRUE(WriteIconFileDetailed(OneImageSet(), dir / "out.ico"));
    EXPECT_EQ(ReadBytes(dir / "out.ico").size(), 22 + OneImageSet().images[0].bytes.size());
    EXPECT_EQ(std::filesystem::status(dir / "out.ico").permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write | std::filesystem::perms::group_read);
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"out.ico"});
}

TEST(FileLayer, CannotCreateLeavesNothing) {
    TempDir dir;
    EXPECT_FALSE(WriteIconFileDetailed(OneImageSet(), dir / "missing/out.ico"));
    EXPECT_FALSE(WriteIconFileDetailed(OneImageSet(), dir.path().string()));
    EXPECT_FALSE(WriteIconFileDetailed(OneImageSet(), ""));
    EXPECT_TRUE(FilesIn(dir).empty());
}

TEST(FileLayer, MappedFileShowsTheBytes) {
    TempDir dir;
    Bytes bytes(4097, std::byte{9});
    WriteBytes(dir / "m.bin", bytes);
    auto mapped = MappedFile::Open(dir / "m.bin");
    ASSERT_TRUE(mapped);
    EXPECT_TRUE(std::equal(mapped->bytes().begin(), mapped->bytes().end(), bytes.begin(), bytes.end()));
    WriteBytes(dir / "empty.bin", {});
    auto empty = MappedFile::Open(dir / "empty.bin");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->bytes().empty());
    EXPECT_FALSE(MappedFile::Open(dir / "absent.bin"));
    EXPECT_FALSE(MappedFile::Open(dir.path().string()));
}

}  // namespace
}  // namespace nobrelt
