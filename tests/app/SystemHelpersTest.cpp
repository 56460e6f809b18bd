#include "CsvField.h"
#include "PondelApp.h"
#include "ModulePaths.h"
#include "RunCommand.h"
#include "TerminationRequests.h"
#include "VersionInfo.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace pondel {
namespace {

using Strings = std::vector<std::string>;

// Splits a whole line: each field as read, up to the one that ends the line.
Strings Fields(std::string_view line, std::size_t capacity = 128)
{
    Strings fields;
    for (std::optional<std::size_t> position = 0; position;) {
        std::string field;
        position = NextCsvField(line, *position, field, capacity);
        fields.push_back(field);
    }
    return fields;
}

TEST(NextCsvFieldTest, QuotesCommasLineEndsAndCapacity)
{
    using namespace std::string_view_literals;
    const struct {
        std::string_view line;
        std::size_t capacity;
        Strings fields;
    } cases[] = {
        // Quotes group commas and are dropped.
        {"1,\"x,y\",c", 128, {"1", "x,y", "c"}},
        {"a,,b", 128, {"a", "", "b"}},
        {"a\"\"b,c", 128, {"ab", "c"}},
        {"ab\"c,d\"e", 128, {"abc,de"}},
        // A line break or a NUL byte ends the line, even inside quotes; a
        // final comma adds no field.
        {"a,\n", 128, {"a"}},
        {"a,b\r\nc,d", 128, {"a", "b"}},
        {"a,", 128, {"a"}},
        {"", 128, {""}},
        {"\"a\nb\",c", 128, {"a"}},
        {"a,b\0c,d"sv, 128, {"a", "b"}},
        {"a,\0b"sv, 128, {"a"}},
        {"\"a\0b\",c"sv, 128, {"a"}},
        // Capacity counts the ending comma: a field ending the line holds 3 of
        // 4, one before a comma only 2, and a cut ends the line. Quotes are
        // not counted.
        {"abc", 4, {"abc"}},
        {"abc,d", 4, {"abc"}},
        {"ab,d", 4, {"ab", "d"}},
        {"\"ab\",d", 4, {"ab", "d"}},
        {"abcdef", 4, {"abc"}},
        {"abc", 0, {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Fields(c.line, c.capacity), c.fields) << c.line << " / " << c.capacity;
}

TEST(VersionInfoTest, NumbersAndStringsOfTheCompiledInData)
{
    // The numbers and the version strings come from one source and agree.
    const std::optional<FileVersion> numbers = GetFileVersionNumbers();
    ASSERT_TRUE(numbers);
    const std::string dotted = std::to_string(numbers->major) + '.' +
        std::to_string(numbers->minor) + '.' + std::to_string(numbers->build) + '.' +
        std::to_string(numbers->revision);
    for (const char* name : {"FileVersion", "ProductVersion"}) {
        std::string text;
        ASSERT_EQ(GetVersionString(name, text), 1) << name;
        EXPECT_EQ(text, dotted) << name;
    }

    std::string value = "unchanged";
    EXPECT_EQ(GetVersionString("NoSuchString", value), 0);
    EXPECT_EQ(value, "unchanged");
}

// The user's language picks the block: the shared entries read alike, the
// company's name in the language of each.
TEST(VersionInfoTest, TheUsersLanguagePicksTheBlock)
{
    const struct {
        const char* lcAll;
        const char* lang;
        std::string_view company;
    } cases[] = {
        {"C", "ja_JP.UTF-8", "Pondel developers"}, // LC_ALL wins over LANG
        {"ja_JP.UTF-8", "C", "Pondel \u958b\u767a\u8005"},
        {"", "ja_JP.eucJP", "Pondel \u958b\u767a\u8005"},
        {"", "en_GB.UTF-8", "Pondel developers"},
        {"", "", "Pondel developers"},
    };
    unsetenv("LC_MESSAGES");
    for (const auto& c : cases) {
        setenv("LC_ALL", c.lcAll, 1);
        setenv("LANG", c.lang, 1);
        std::string company;
        std::string product;
        EXPECT_EQ(GetVersionString("CompanyName", company), 1);
        EXPECT_EQ(GetVersionString("ProductName", product), 1);
        EXPECT_EQ(company + "/" + product, std::string(c.company) + "/Vexmoor")
            << c.lcAll << " / " << c.lang;
    }
    setenv("LC_ALL", "C", 1);
    setenv("LANG", "C", 1);
}

TEST(ModulePathsTest, SettingsFileSitsBesideTheExecutable)
{
    const std::string directory = GetModuleDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '/');
    EXPECT_EQ(GetApplicationName(), "system_helpers_test");
    EXPECT_TRUE(std::filesystem::exists(directory + GetApplicationName()));
    EXPECT_EQ(MakeSettingsPath("pondel"), directory + "pondel.ini");
}

TEST(PondelAppTest, TheWindowLearnsWhyTheSettingsFileCouldNotBeRead)
{
    // The settings file of this test program sits beside it.
    const std::filesystem::path file = MakeSettingsPath(GetApplicationName());
    std::filesystem::remove_all(file);
    std::optional<int> seen;
    const auto runWindow = [&seen](CPondelApp& app) {
        seen = app.SettingsLoadStatus().Error().code;
        return 0;
    };
    CPondelApp fresh({}, runWindow);
    fresh.InitInstance();
    EXPECT_EQ(seen, ENOENT) << "no file yet";

    // A file that exists but cannot be read starts with the defaults.
    ASSERT_TRUE(std::filesystem::create_directory(file));
    CPondelApp unreadable({}, runWindow);
    unreadable.InitInstance();
    std::filesystem::remove(file);
    EXPECT_EQ(seen, EISDIR);
    EXPECT_NE(
        unreadable.SettingsLoadStatus().Error().message.find(file.string()), std::string::npos);
    EXPECT_EQ(unreadable.Settings().maxHostNum, AppSettings{}.maxHostNum);
    EXPECT_EQ(unreadable.ExitInstance(), 0);
}

bool Readable(int fd)
{
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, 0) == 1;
}

std::atomic<int> gTerminations{0};
extern "C" void CountTermination(int)
{
    ++gTerminations;
}

// A request wakes the descriptor once until drained, and the handler that
// was there before comes back afterwards.
TEST(TerminationRequestsTest, EachSignalWakesTheDescriptorThenTheOldHandlerIsBack)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        struct sigaction own { };
        own.sa_handler = CountTermination;
        struct sigaction previous { };
        ASSERT_EQ(::sigaction(signal, &own, &previous), 0);
        gTerminations = 0;
        {
            Result<std::unique_ptr<TerminationRequests>> requests = TerminationRequests::Catch();
            ASSERT_TRUE(requests) << requests.Error().message;
            const int fd = requests.Value()->Descriptor();
            EXPECT_FALSE(Readable(fd)) << signal;
            ASSERT_EQ(std::raise(signal), 0);
            ASSERT_EQ(std::raise(signal), 0);
            EXPECT_TRUE(Readable(fd)) << signal;
            requests.Value()->Drain();
            EXPECT_FALSE(Readable(fd)) << signal;
            EXPECT_EQ(gTerminations, 0) << signal;
        }
        ASSERT_EQ(std::raise(signal), 0);
        EXPECT_EQ(gTerminations, 1) << signal;
        ASSERT_EQ(::sigaction(signal, &previous, nullptr), 0);
    }
}

TEST(RunCommandTest, ArgumentsArriveUnsplitAndUninterpreted)
{
    const std::string marker = testing::TempDir() + "pondel-run-marker";
    std::remove(marker.c_str());
    const std::string hostile = "x; touch " + marker;
    EXPECT_EQ(RunCommand({"test", hostile, "=", hostile}), 0);
    EXPECT_EQ(RunCommand({"test", "$(touch " + marker + ")", "=", "$(touch " + marker + ")"}), 0);
    EXPECT_FALSE(std::filesystem::exists(marker));
}

// Runs check in a child process of its own and tells whether it returned true.
template <typename Check>
bool InChildProcess(Check check)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(check() ? 0 : 1);
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
        WEXITSTATUS(status) == 0;
}

// A program that cannot be started or is killed gives -1.
bool ExitCodesAreRead()
{
    return RunCommand({"true"}) == 0 && RunCommand({"false"}) == 1 &&
        RunCommand({"sh", "-c", "exit 7"}) == 7 && RunCommand({"no-such-program-here"}) == -1 &&
        RunCommand({}) == -1 && RunCommand({"sh", "-c", "kill -9 $$"}) == -1;
}

void CountSignal(int)
{
}

TEST(RunCommandTest, ExitCodesAreReadWhateverSigchldDispositionWasInherited)
{
    EXPECT_TRUE(ExitCodesAreRead());
    EXPECT_TRUE(InChildProcess([] {
        signal(SIGCHLD, SIG_IGN);
        return ExitCodesAreRead();
    }));
    EXPECT_TRUE(InChildProcess([] {
        struct sigaction action { };
        action.sa_handler = CountSignal;
        action.sa_flags = SA_NOCLDWAIT;
        sigaction(SIGCHLD, &action, nullptr);
        if (!ExitCodesAreRead())
            return false;
        // A handler of the program's own stays in place.
        struct sigaction after { };
        sigaction(SIGCHLD, nullptr, &after);
        return after.sa_handler == CountSignal;
    }));
}

TEST(RunCommandTest, ChildInheritsNoOtherDescriptors)
{
    const int fd = open("/dev/null", O_RDONLY); // deliberately inheritable
    ASSERT_GE(fd, 3);
    EXPECT_EQ(RunCommand({"test", "!", "-e", "/proc/self/fd/" + std::to_string(fd)}), 0);
    close(fd);
}

} // namespace
} // namespace pondel
