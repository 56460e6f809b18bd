// A save killed at any moment leaves the settings file whole: exactly the
// text before the save or the text after it, and one that loads.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "SaveLoopHosts.h"
#include "TemporaryDirectory.h"

namespace pondel {
namespace {

using Clock = std::chrono::steady_clock;

// A thousand hosts: a file of some hundred and fifty kilobytes, whose save
// takes a few milliseconds in an optimised build.
constexpr int kHosts = 1000;
constexpr int kKills = 1000;

std::string SavedText(const IniDocument& before, const HostList& hosts)
{
    IniDocument document = IniDocument::Parse(before.Serialize());
    SaveSettings(document, test::SaveLoopSettings(kHosts), hosts, WindowState{});
    return document.Serialize();
}

// The save loop with its "saved" bytes on a pipe; killed when it goes.
class SaveLoop final {
public:
    SaveLoop(const std::filesystem::path& file, char firstList)
    {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
        pid_ = test::SpawnProgram(
            {SETTINGS_SAVE_LOOP, file.string(), std::to_string(kHosts), std::string(1, firstList)},
            &actions);
        posix_spawn_file_actions_destroy(&actions);
        ::close(ends[1]);
        saved_ = ends[0];
    }
    ~SaveLoop()
    {
        Kill();
        if (saved_ >= 0)
            ::close(saved_);
    }
    SaveLoop(const SaveLoop&) = delete;
    SaveLoop& operator=(const SaveLoop&) = delete;

    bool Started() const { return pid_ > 0; }

    // Waits for the next "ready" or "saved" byte; false when the loop ended
    // instead.
    bool AwaitStep() const
    {
        char byte = 0;
        return ::read(saved_, &byte, 1) == 1;
    }

    // True when it was still running, as a save loop must be.
    bool Kill()
    {
        if (pid_ <= 0)
            return false;
        ::kill(pid_, SIGKILL);
        int status = 0;
        const bool waited = ::waitpid(pid_, &status, 0) == pid_;
        pid_ = -1;
        return waited && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

private:
    pid_t pid_ = -1;
    int saved_ = -1;
};

// Everything in the folder but the settings file: what killed saves left.
int RemoveLeftovers(const std::filesystem::path& folder, const std::filesystem::path& file)
{
    int removed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path() != file && std::filesystem::remove(entry.path()))
            ++removed;
    }
    return removed;
}

TEST(SaveKillTest, AKilledSaveLeavesTheOldOrTheNewFileAndItLoads)
{
    const TemporaryDirectory folder;
    const std::filesystem::path file = folder / "Pondel.ini";
    const HostList listA = test::SaveLoopHosts(kHosts, 'a');
    const HostList listB = test::SaveLoopHosts(kHosts, 'b');
    const std::string textA = SavedText(IniDocument::Parse(""), listA);
    const std::string textB = SavedText(IniDocument::Parse(textA), listB);
    ASSERT_EQ(SavedText(IniDocument::Parse(textB), listA), textA);
    ASSERT_GT(textA.size(), 140'000u);
    for (const std::string* text : {&textA, &textB}) {
        HostList hosts;
        LoadHostList(IniDocument::Parse(*text), kHosts, hosts);
        ASSERT_EQ(hosts.Count(), kHosts);
    }
    WriteTextFile(file, textA);

    // How long one save takes here: the kills are spread over a little more.
    Clock::duration cycle{};
    {
        SaveLoop loop(file, 'a');
        ASSERT_TRUE(loop.Started());
        ASSERT_TRUE(loop.AwaitStep() && loop.AwaitStep());
        const auto first = Clock::now();
        for (int save = 0; save < 4; ++save)
            ASSERT_TRUE(loop.AwaitStep());
        cycle = (Clock::now() - first) / 4;
    }
    std::mt19937 random(20261209);
    std::uniform_int_distribution<long long> delay(0, cycle.count() * 5 / 4);

    int sawA = 0;
    int sawB = 0;
    int leftovers = 0;
    bool onDiskIsA = ReadTextFile(file) == textA;
    for (int kill = 0; kill < kKills; ++kill) {
        {
            // Once it is ready, so that the kill finds the loop inside its
            // first save (or a later one), whatever its start-up costs; the
            // first save writes the text that is not on the disk.
            SaveLoop loop(file, onDiskIsA ? 'b' : 'a');
            ASSERT_TRUE(loop.Started());
            ASSERT_TRUE(loop.AwaitStep()) << "the save loop failed at kill " << kill;
            std::this_thread::sleep_for(Clock::duration(delay(random)));
            ASSERT_TRUE(loop.Kill()) << "the save loop ended by itself at kill " << kill;
        }
        // Read as the program reads it; both texts are known to load.
        const Result<std::string> read = ReadWholeFile(file, SettingsFile::kMaxFileSize);
        ASSERT_TRUE(read) << read.Error().message;
        const std::string& text = read.Value();
        const bool isA = text == textA;
        ASSERT_TRUE(isA || text == textB) << "kill " << kill << " left " << text.size() << " bytes";
        (isA ? sawA : sawB) += 1;
        onDiskIsA = isA;
        leftovers += RemoveLeftovers(folder.Path(), file);
    }
    // Both texts showed up, so the kills fell before, between and during saves.
    EXPECT_GT(sawA, 0);
    EXPECT_GT(sawB, 0);
    std::printf("one save in %lld us; list a on the disk %d times, list b %d times; "
                "%d temporary files left by kills\n",
        static_cast<long long>(
            std::chrono::duration_cast<std::chrono::microseconds>(cycle).count()),
        sawA, sawB, leftovers);
}

} // namespace
} // namespace pondel
