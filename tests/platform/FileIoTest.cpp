#include "FileIo.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "FileDescriptor.h"
#include "TemporaryDirectory.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

class FileIoTest : public ::testing::Test {
protected:
    // One entry means the file alone: no temporary file is left behind.
    long Entries() const
    {
        return std::distance(std::filesystem::directory_iterator(folder.Path()), {});
    }

    const TemporaryDirectory folder;
    const std::filesystem::path file = folder / "Pondel.ini";
};

TEST_F(FileIoTest, ReplaceKeepsThePermissionsAndALink)
{
    WriteTextFile(file, "old content that is longer");
    ::chmod(file.c_str(), 0640);
    const Result<void> status = ReplaceFileAtomically(file, "new");
    ASSERT_TRUE(status.Ok()) << status.Error().message;
    EXPECT_EQ(ReadTextFile(file), "new");
    struct stat info { };
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(), 1);

    std::filesystem::create_symlink("Pondel.ini", folder / "link.ini");
    ASSERT_TRUE(ReplaceFileAtomically(folder / "link.ini", "linked"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.ini"));
    EXPECT_EQ(ReadTextFile(file), "linked");
}

TEST_F(FileIoTest, ReplaceKeepsTheOwnerEvenForRoot)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    constexpr unsigned int kOther = 65534;
    WriteTextFile(file, "old");
    ASSERT_EQ(::chown(file.c_str(), kOther, kOther), 0);
    ASSERT_TRUE(ReplaceFileAtomically(file, "new"));
    struct stat info { };
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, kOther);
    EXPECT_EQ(info.st_gid, kOther);
    EXPECT_EQ(ReadTextFile(file), "new");
}

TEST_F(FileIoTest, AFolderTheUserCannotWriteIsReportedAndTheFileKept)
{
    // The file is the user's to write, its folder is not: no replacement
    // can be made beside it, and the save must not pretend it was.
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    constexpr unsigned int kUser = 65534;
    WriteTextFile(file, "old");
    ASSERT_EQ(::chown(file.c_str(), kUser, kUser), 0);
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0755), 0);
    std::string message;
    const int code = test::RunAsUser(kUser, [&] {
        const Result<void> status = ReplaceFileAtomically(file, "new");
        message = status.Ok() ? "" : status.Error().message;
        return status.Ok() ? 0 : status.Error().code;
    });
    EXPECT_EQ(code, EACCES);
    EXPECT_NE(message.find(folder.Path().string()), std::string::npos) << message;
    EXPECT_EQ(ReadTextFile(file), "old");
}

TEST_F(FileIoTest, AFailedReplaceLeavesTheOldContentAndNoTemporary)
{
    std::filesystem::create_directory(file);
    EXPECT_EQ(ReplaceFileAtomically(file, "text").Error().code, EISDIR);
    EXPECT_TRUE(std::filesystem::is_directory(file));
    EXPECT_EQ(Entries(), 1);
    std::filesystem::remove(file);
    // A write that fails half-way is SaveFailureTest's (a full disk).

    // A missing folder is named, with the system's reason.
    const Result<void> absent = ReplaceFileAtomically(folder / "absent" / "Pondel.ini", "text");
    EXPECT_EQ(absent.Error().code, ENOENT);
    const std::string& message = absent.Error().message;
    EXPECT_NE(message.find((folder / "absent").string()), std::string::npos) << message;
    EXPECT_NE(message.find("No such file or directory"), std::string::npos) << message;
}

// Pieces of every size, empty ones too, more than one system call takes.
struct Pieces {
    explicit Pieces(std::size_t count)
    {
        std::mt19937 random(static_cast<unsigned>(count));
        std::uniform_int_distribution<int> letter('a', 'z');
        for (std::size_t i = 0; i < count; ++i) {
            std::string& text = texts.emplace_back();
            text.resize(std::uniform_int_distribution<std::size_t>(0, 300)(random));
            for (char& c : text)
                c = static_cast<char>(letter(random));
            whole += text;
        }
        views.assign(texts.begin(), texts.end());
    }
    std::vector<std::string> texts;
    std::vector<std::string_view> views;
    std::string whole;
};

TEST_F(FileIoTest, TextInPiecesIsWrittenInOrder)
{
    const Pieces pieces(5000);
    ASSERT_TRUE(ReplaceFileAtomically(file, pieces.views).Ok());
    EXPECT_EQ(ReadWholeFile(file, 1 << 24).Value(), pieces.whole);
    EXPECT_EQ(Entries(), 1);
}

// A signal that cuts a write short, with the pipe full, leaves part of a
// piece written; the rest must follow, and nothing twice.
TEST(WriteAllTest, AWriteCutShortGoesOnWhereItStopped)
{
    struct sigaction quiet { };
    quiet.sa_handler = [](int) {};
    struct sigaction before { };
    ASSERT_EQ(::sigaction(SIGUSR1, &quiet, &before), 0); // no SA_RESTART
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const UniqueFd readEnd(fds[0]);
    UniqueFd writeEnd(fds[1]);

    const Pieces pieces(20000);
    const pthread_t writer = ::pthread_self();
    std::atomic<bool> writing = true;
    std::string received;
    std::thread reader([&] {
        char buffer[4096];
        for (int reads = 0;; ++reads) {
            if (reads % 4 == 0 && writing)
                ::pthread_kill(writer, SIGUSR1);
            const ssize_t got = ::read(readEnd.Get(), buffer, sizeof buffer);
            if (got <= 0)
                return;
            received.append(buffer, static_cast<std::size_t>(got));
        }
    });
    const Result<void> written = WriteAll(writeEnd.Get(), pieces.views);
    writing = false;
    writeEnd.Reset();
    reader.join();
    ::sigaction(SIGUSR1, &before, nullptr);
    EXPECT_TRUE(written.Ok());
    EXPECT_EQ(received.size(), pieces.whole.size());
    EXPECT_TRUE(received == pieces.whole);
}

TEST_F(FileIoTest, ReadTakesBinaryContentAndRefusesWhatCannotBeRead)
{
    const std::string binary("a\0b\xff\r\n", 6);
    WriteTextFile(folder / "binary", binary);
    const Result<std::string> whole = ReadWholeFile(folder / "binary", 6);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole.Value(), binary);
    EXPECT_EQ(ReadWholeFile(folder / "binary", 5).Error().code, EFBIG);
    // Files of the proc file system say they are empty: only the count of
    // bytes read can enforce the cap there.
    ASSERT_TRUE(ReadWholeFile("/proc/self/status", 1 << 20));
    EXPECT_EQ(ReadWholeFile("/proc/self/status", 10).Error().code, EFBIG);
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(ReadWholeFile(folder / "fifo", 100).Error().code, EINVAL)
        << "must not wait for a writer";
}

} // namespace
} // namespace pondel
