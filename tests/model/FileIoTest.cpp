#include "model/FileIo.h"

#include <cerrno>
#include <csignal>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "TemporaryDirectory.h"

namespace pondel {
namespace {

std::size_t EntriesIn(const std::filesystem::path& folder)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

// Lowers the largest file this process may write, so that a write fails with
// EFBIG even for root, as on a full disk.
class FileSizeLimit final {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit lowered{bytes, saved_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST(ReplaceFileAtomicallyTest, ReplacesTheContentAndKeepsThePermissions)
{
    const TemporaryDirectory folder;
    const auto file = folder / "Pondel.ini";
    WriteTextFile(file, "old content that is longer");
    ::chmod(file.c_str(), 0640);

    const IoStatus status = ReplaceFileAtomically(file, "new");
    ASSERT_TRUE(status.Ok()) << status.message;
    EXPECT_EQ(ReadTextFile(file), "new");
    struct stat info { };
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);
}

TEST(ReplaceFileAtomicallyTest, ASymbolicLinkIsFollowed)
{
    const TemporaryDirectory folder;
    WriteTextFile(folder / "real.ini", "old");
    std::filesystem::create_symlink("real.ini", folder / "Pondel.ini");

    ASSERT_TRUE(ReplaceFileAtomically(folder / "Pondel.ini", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "Pondel.ini"));
    EXPECT_EQ(ReadTextFile(folder / "real.ini"), "new");
}

TEST(ReplaceFileAtomicallyTest, AMissingFolderIsReportedWithTheSystemsReason)
{
    const TemporaryDirectory folder;
    const auto file = folder / "absent" / "Pondel.ini";
    const IoStatus status = ReplaceFileAtomically(file, "text");
    EXPECT_FALSE(status.Ok());
    EXPECT_EQ(status.errorNumber, ENOENT);
    EXPECT_NE(status.message.find((folder / "absent").string()), std::string::npos)
        << status.message;
    EXPECT_NE(status.message.find("No such file or directory"), std::string::npos)
        << status.message;
}

TEST(ReplaceFileAtomicallyTest, AFolderInPlaceOfTheFileStaysAndNoTemporaryRemains)
{
    const TemporaryDirectory folder;
    const auto file = folder / "Pondel.ini";
    std::filesystem::create_directory(file);
    WriteTextFile(file / "inside", "kept");

    const IoStatus status = ReplaceFileAtomically(file, "text");
    EXPECT_EQ(status.errorNumber, EISDIR) << status.message;
    EXPECT_EQ(ReadTextFile(file / "inside"), "kept");
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);
}

TEST(ReplaceFileAtomicallyTest, AFailedWriteLeavesTheOldFileAsItWas)
{
    const TemporaryDirectory folder;
    const auto file = folder / "Pondel.ini";
    WriteTextFile(file, "[SETTING]\nPORT_NO=9\n");

    IoStatus status;
    {
        const FileSizeLimit limit(4096);
        status = ReplaceFileAtomically(file, std::string(1 << 20, 'x'));
    }
    EXPECT_EQ(status.errorNumber, EFBIG) << status.message;
    EXPECT_EQ(ReadTextFile(file), "[SETTING]\nPORT_NO=9\n");
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);
}

TEST(ReadWholeFileTest, ReadsBinaryContentAndRefusesWhatCannotBeRead)
{
    const TemporaryDirectory folder;
    std::string text;
    const std::string binary("a\0b\xff\r\n", 6);
    WriteTextFile(folder / "binary", binary);
    ASSERT_TRUE(ReadWholeFile(folder / "binary", 100, text));
    EXPECT_EQ(text, binary);

    EXPECT_EQ(ReadWholeFile(folder / "binary", 5, text).errorNumber, EFBIG);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(ReadWholeFile(folder / "absent", 100, text).errorNumber, ENOENT);
    EXPECT_EQ(ReadWholeFile(folder.Path(), 100, text).errorNumber, EISDIR);
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(ReadWholeFile(folder / "fifo", 100, text).errorNumber, EINVAL)
        << "must not wait for a writer";
}

} // namespace
} // namespace pondel
