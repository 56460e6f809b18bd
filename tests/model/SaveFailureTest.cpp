// Saves onto a full disk or into a read-only folder: the old file stays as
// it was, nothing is left beside it, and the error names the file and the
// reason. Each test runs in a mount namespace of its own, on a small tmpfs.
#include <cerrno>
#include <filesystem>
#include <string>

#include <sched.h>
#include <sys/mount.h>

#include <gtest/gtest.h>

#include "CsvHostFile.h"
#include "FileIo.h"
#include "Settings.h"
#include "TemporaryDirectory.h"

namespace pondel {
namespace {

HostList ManyHosts(int count)
{
    HostList hosts;
    for (int row = 0; row < count; ++row)
        hosts.Append(MakeHostInfo("host-" + std::to_string(row), "comment", "192.0.2.1",
            "255.255.255.0", "00:11:22:33:44:55"));
    return hosts;
}

struct Failure {
    const char* name;
    bool fullDisk; // else a read-only folder
    int code;
    const char* cause;
};

class SaveFailureTest : public testing::TestWithParam<Failure> {
protected:
    void SetUp() override
    {
        // The mount stays in this process's own namespace and vanishes with it.
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            GTEST_SKIP() << "needs a mount namespace of its own (root)";
        ASSERT_EQ(::mount("pondel-test", folder.Path().c_str(), "tmpfs", 0, "size=256k"), 0);
        mounted_ = true;
        settings.maxHostNum = 10000;
    }
    void TearDown() override
    {
        if (mounted_)
            ::umount2(folder.Path().c_str(), MNT_DETACH);
    }

    // Writes what is there before the save, then fills the rest of the disk.
    void FillDisk()
    {
        std::string block(4096, 'x');
        const std::filesystem::path filler = folder / "filler";
        FILE* out = std::fopen(filler.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        while (std::fwrite(block.data(), 1, block.size(), out) == block.size() &&
            std::fflush(out) == 0) { }
        std::fclose(out);
    }

    void MakeReadOnly()
    {
        ASSERT_EQ(
            ::mount(nullptr, folder.Path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    }

    // Only the files the test made: no temporary file is left behind.
    int Entries() const
    {
        int count = 0;
        for ([[maybe_unused]] const auto& entry :
            std::filesystem::directory_iterator(folder.Path()))
            ++count;
        return count;
    }

    static void ExpectNamesFileAndCause(const Result<void>& status,
        const std::filesystem::path& file, int code, std::string_view cause)
    {
        ASSERT_FALSE(status.Ok());
        EXPECT_EQ(status.Error().code, code);
        const std::string& message = status.Error().message;
        EXPECT_NE(message.find(file.string()), std::string::npos) << message;
        EXPECT_NE(message.find(cause), std::string::npos) << message;
    }

    const TemporaryDirectory folder;
    const std::filesystem::path file = folder / "Pondel.ini";
    const std::filesystem::path csv = folder / "hosts.csv";
    const std::string oldSettings = "[SETTING]\nPORT_NO=9\n[HOST_0]\nIP_ADDR=192.0.2.7\n";
    const std::string oldCsv =
        std::string(kCsvHeaderLine) + "\r\n0,\"a\",\"\",\"192.0.2.7\",\"\",\"\"\r\n";
    AppSettings settings;

private:
    bool mounted_ = false;
};

TEST_P(SaveFailureTest, TheOldFilesStayAndTheErrorSaysWhichAndWhy)
{
    const auto [name, fullDisk, code, cause] = GetParam();
    WriteTextFile(file, oldSettings);
    WriteTextFile(csv, oldCsv);
    if (fullDisk)
        FillDisk();
    else
        MakeReadOnly();
    const int entries = Entries();
    const HostList hosts = ManyHosts(3000);

    ExpectNamesFileAndCause(SaveSettings(file, settings, hosts, WindowState{}), file, code, cause);
    ExpectNamesFileAndCause(SaveDefaultHost(file, 1), file, code, cause);
    ExpectNamesFileAndCause(ReplaceFileAtomically(csv, FormatCsvHostList(hosts)), csv, code, cause);
    // A first save, with no file yet, fails the same way.
    ExpectNamesFileAndCause(SaveSettings(folder / "New.ini", settings, hosts, WindowState{}),
        folder / "New.ini", code, cause);
    EXPECT_EQ(ReadTextFile(file), oldSettings);
    EXPECT_EQ(ReadTextFile(csv), oldCsv);
    EXPECT_EQ(Entries(), entries);
    HostList loaded;
    LoadHostList(SettingsFile::Open(file).Document(), 100, loaded);
    EXPECT_EQ(loaded.Count(), 1);
}

INSTANTIATE_TEST_SUITE_P(FullDiskOrReadOnly, SaveFailureTest,
    testing::Values(Failure{"FullDisk", true, ENOSPC, "No space left on device"},
        Failure{"ReadOnlyFolder", false, EROFS, "Read-only file system"}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace pondel
