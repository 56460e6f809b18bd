// Settings files no program of ours wrote: each loads what can be loaded,
// quickly and without hanging, and a save afterwards neither hangs nor
// replaces what it could not read.
#include <chrono>
#include <cerrno>
#include <cstdint>
#include <random>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "Settings.h"
#include "TemporaryDirectory.h"

namespace pondel {
namespace {

using Clock = std::chrono::steady_clock;

// A hang or a blow-up, not a slow machine: generous for the sanitizer
// builds, where the largest case takes a few seconds (a fraction of one in
// a release build).
constexpr auto kTimeLimit = std::chrono::seconds(30);

std::string HostSection(std::uint64_t number, std::string_view name = "h")
{
    return "[HOST_" + std::to_string(number) + "]\nHOST_NAME=" + std::string(name) +
        "\nIP_ADDR=192.0.2.1\n";
}

class HostileSettingsTest : public ::testing::Test {
protected:
    struct Loaded {
        Result<void> status;
        AppSettings settings;
        HostList hosts;
    };

    // Opens and loads the file as the program starts, then saves a list over
    // it as the program closes, all within the time limit.
    Loaded LoadAndSave(std::uint32_t maxHostNum = 0)
    {
        const auto started = Clock::now();
        Loaded loaded;
        const SettingsFile opened = SettingsFile::Open(file);
        loaded.status = opened.LoadStatus();
        SetDefaultSettings(loaded.settings);
        LoadSettings(opened.Document(), loaded.settings);
        if (maxHostNum != 0)
            loaded.settings.maxHostNum = maxHostNum;
        LoadHostList(opened.Document(), loaded.settings.maxHostNum, loaded.hosts);
        HostList shorter;
        if (!loaded.hosts.IsEmpty())
            shorter.Append(loaded.hosts[0]);
        saveStatus = SaveSettings(file, loaded.settings, shorter, WindowState{});
        EXPECT_LT(Clock::now() - started, kTimeLimit);
        return loaded;
    }

    const TemporaryDirectory folder;
    const std::filesystem::path file = folder / "Pondel.ini";
    Result<void> saveStatus;
};

TEST_F(HostileSettingsTest, AHundredThousandSectionsLoad)
{
    // More hosts than the option allows: the limit is set as a caller may.
    std::string text = "[SETTING]\n";
    for (int number = 0; number < 100'000; ++number)
        text += HostSection(number);
    WriteTextFile(file, text);
    const Loaded loaded = LoadAndSave(200'000);
    EXPECT_EQ(loaded.hosts.Count(), 100'000);
    EXPECT_TRUE(saveStatus.Ok());

    // Many sections of one name: only the first counts, and a save that
    // drops the host removes them all without taking forever.
    text = "[SETTING]\nMAX_HOST_NUM=100\n";
    for (int copy = 0; copy < 20'000; ++copy)
        text += HostSection(1);
    WriteTextFile(file, text);
    EXPECT_EQ(LoadAndSave().hosts.Count(), 1);
    EXPECT_TRUE(saveStatus.Ok());
}

TEST_F(HostileSettingsTest, ATenMegabyteLineIsCutToItsField)
{
    const std::string huge(10 << 20, 'n');
    WriteTextFile(file,
        "[SETTING]\nSHUTDOWN_COMMAND=" + huge + "\n" + HostSection(0, huge) + "COMMENT=" + huge +
            "\n");
    const Loaded loaded = LoadAndSave();
    EXPECT_EQ(loaded.settings.shutdownCommand, std::string(1023, 'n'));
    ASSERT_EQ(loaded.hosts.Count(), 1);
    EXPECT_EQ(std::string(loaded.hosts[0].hostName), std::string(127, 'n'));
    EXPECT_EQ(std::string(loaded.hosts[0].comment), std::string(127, 'n'));
}

TEST_F(HostileSettingsTest, GarbageNulBytesAndInvalidUtf8LoadWhatIsReadable)
{
    std::mt19937 random(7);
    std::string garbage(1 << 20, '\0');
    for (char& c : garbage)
        c = static_cast<char>(random());
    // A section header in the garbage would swallow the hosts after it.
    garbage += "\n";
    WriteTextFile(file,
        garbage + HostSection(0, "after garbage") +
            std::string("[HOST_1]\nHOST_NAME=nul\0hidden\nIP_ADDR=192.0.2.2\n", 48) +
            "[HOST_2]\nHOST_NAME=\xff\xfe\xc3\x28 bad\nIP_ADDR=192.0.2.3\n" +
            std::string("[HOST\0_3]\nIP_ADDR=192.0.2.4\n", 28));
    const Loaded loaded = LoadAndSave();
    ASSERT_TRUE(loaded.status.Ok());
    ASSERT_GE(loaded.hosts.Count(), 3);
    const int last = loaded.hosts.Count() - 1;
    EXPECT_STREQ(loaded.hosts[last - 2].hostName, "after garbage");
    EXPECT_STREQ(loaded.hosts[last - 1].hostName, "nul");
    EXPECT_STREQ(loaded.hosts[last].hostName, "\xff\xfe\xc3\x28 bad");
}

TEST_F(HostileSettingsTest, CarriageReturnLineEndsLoadAndStay)
{
    WriteTextFile(file, "[SETTING]\rPORT_NO=9\r[HOST_0]\rHOST_NAME=old mac\rIP_ADDR=192.0.2.1\r");
    const Loaded loaded = LoadAndSave();
    EXPECT_EQ(loaded.settings.portNo, 9u);
    ASSERT_EQ(loaded.hosts.Count(), 1);
    EXPECT_STREQ(loaded.hosts[0].hostName, "old mac");
    ASSERT_TRUE(saveStatus.Ok());
    EXPECT_EQ(ReadTextFile(file).find('\n'), std::string::npos) << "new lines end as the file's do";
}

TEST_F(HostileSettingsTest, AFifoOrAFolderInPlaceIsNeitherWaitedOnNorReplaced)
{
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    Loaded loaded = LoadAndSave();
    EXPECT_EQ(loaded.status.Error().code, EINVAL);
    EXPECT_TRUE(loaded.hosts.IsEmpty());
    ASSERT_FALSE(saveStatus.Ok());
    EXPECT_NE(saveStatus.Error().message.find(file.string()), std::string::npos);
    struct stat status { };
    ASSERT_EQ(::lstat(file.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));

    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    loaded = LoadAndSave();
    EXPECT_EQ(loaded.status.Error().code, EISDIR);
    ASSERT_FALSE(saveStatus.Ok());
    EXPECT_EQ(saveStatus.Error().code, EISDIR);
    EXPECT_TRUE(std::filesystem::is_directory(file));
}

TEST_F(HostileSettingsTest, MemoryStaysWithinAFewTimesTheFileSize)
{
    std::string text = "[SETTING]\n";
    for (int number = 0; number < 20'000; ++number)
        text += HostSection(std::uint64_t{200'000} * static_cast<std::uint64_t>(number));
    WriteTextFile(file, text);
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    const Loaded loaded = LoadAndSave(4'294'967'295u);
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    EXPECT_EQ(loaded.hosts.Count(), 20'000);
    // Sections numbered up to four billion must not make a table of four
    // billion rows.
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 512 * 1024) << "kilobytes";
}

} // namespace
} // namespace pondel
