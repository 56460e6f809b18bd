#include "CsvField.h"
#include "PondelApp.h"
#include "ModulePaths.h"
#include "RunCommand.h"
#include "SystemError.h"
#include "VersionInfo.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace pondel {
namespace {

// Splits a whole line, returning the fields and whether the last one ended
// the line normally.
std::vector<std::string> Fields(std::string_view line, std::size_t capacity = 128)
{
    std::vector<std::string> fields;
    std::optional<std::size_t> position = 0;
    while (position) {
        std::string field;
        position = NextCsvField(line, *position, field, capacity);
        fields.push_back(field);
    }
    return fields;
}

using Strings = std::vector<std::string>;

TEST(NextCsvFieldTest, QuotesGroupCommasAndAreDropped)
{
    EXPECT_EQ(Fields("1,\"x,y\",c"), (Strings{"1", "x,y", "c"}));
    EXPECT_EQ(Fields("a,,b"), (Strings{"a", "", "b"}));
    EXPECT_EQ(Fields("a\"\"b,c"), (Strings{"ab", "c"}));
    EXPECT_EQ(Fields("ab\"c,d\"e"), (Strings{"abc,de"}));
}

TEST(NextCsvFieldTest, LineEndsStopTheFieldAndAFinalCommaAddsNoField)
{
    EXPECT_EQ(Fields("a,\n"), (Strings{"a"}));
    EXPECT_EQ(Fields("a,b\r\nc,d"), (Strings{"a", "b"}));
    EXPECT_EQ(Fields("a,"), (Strings{"a"}));
    EXPECT_EQ(Fields(""), (Strings{""}));
    // A line break ends the field even inside quotes.
    EXPECT_EQ(Fields("\"a\nb\",c"), (Strings{"a"}));
    // So does a NUL byte, where the C string holding the line ends.
    using namespace std::string_view_literals;
    EXPECT_EQ(Fields("a,b\0c,d"sv), (Strings{"a", "b"}));
    EXPECT_EQ(Fields("a,\0b"sv), (Strings{"a"}));
    EXPECT_EQ(Fields("\"a\0b\",c"sv), (Strings{"a"}));
}

TEST(NextCsvFieldTest, CapacityCountsTheEndingComma)
{
    std::string field;
    // Capacity 4: a field ending the line holds 3, one before a comma only 2.
    EXPECT_FALSE(NextCsvField("abc", 0, field, 4).has_value());
    EXPECT_EQ(field, "abc");
    EXPECT_FALSE(NextCsvField("abc,d", 0, field, 4).has_value());
    EXPECT_EQ(field, "abc");
    EXPECT_EQ(NextCsvField("ab,d", 0, field, 4), std::optional<std::size_t>(3));
    EXPECT_EQ(field, "ab");
    // Quotes are not counted, but the cut applies before reading one.
    EXPECT_EQ(NextCsvField("\"ab\",d", 0, field, 4), std::optional<std::size_t>(5));
    EXPECT_EQ(field, "ab");
    EXPECT_FALSE(NextCsvField("abcdef", 0, field, 4).has_value());
    EXPECT_EQ(field, "abc");
    EXPECT_FALSE(NextCsvField("abc", 0, field, 0).has_value());
    EXPECT_EQ(field, "");
}

TEST(VersionInfoTest, NumbersAndStringsOfTheCompiledInData)
{
    // The numbers and the version strings come from one source and agree.
    const std::optional<FileVersion> numbers = GetFileVersionNumbers();
    ASSERT_TRUE(numbers);
    const std::string dotted = std::to_string(numbers->major) + '.' + std::to_string(numbers->minor) +
        '.' + std::to_string(numbers->build) + '.' + std::to_string(numbers->revision);
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
        std::string value;
        ASSERT_EQ(GetVersionString("CompanyName", value), 1);
        EXPECT_EQ(value, c.company) << c.lcAll << " / " << c.lang;
        ASSERT_EQ(GetVersionString("ProductName", value), 1);
        EXPECT_EQ(value, "Vexmoor");
        ASSERT_EQ(GetVersionString("FileDescription", value), 1);
        EXPECT_EQ(value, "Pondel");
        ASSERT_EQ(GetVersionString("OriginalFilename", value), 1);
        EXPECT_EQ(value, "Pondel.exe");
    }
    setenv("LC_ALL", "C", 1);
    setenv("LANG", "C", 1);
}

TEST(SystemErrorTest, KnownCodesHaveTextUnknownOnesNone)
{
    EXPECT_EQ(GetSystemErrorText(ENOENT), "No such file or directory");
    EXPECT_EQ(GetSystemErrorText(987654), "");
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
    const auto runWindow = [&seen](
                               CPondelApp& app) { seen = app.SettingsLoadStatus().Error().code; };
    CPondelApp fresh({}, runWindow);
    fresh.InitInstance();
    EXPECT_EQ(seen, ENOENT) << "no file yet";

    // A file that exists but cannot be read starts with the defaults.
    ASSERT_TRUE(std::filesystem::create_directory(file));
    CPondelApp unreadable({}, runWindow);
    unreadable.InitInstance();
    std::filesystem::remove(file);
    EXPECT_EQ(seen, EISDIR);
    EXPECT_NE(unreadable.SettingsLoadStatus().Error().message.find(file.string()), std::string::npos);
    EXPECT_EQ(unreadable.Settings().maxHostNum, AppSettings{}.maxHostNum);
    EXPECT_EQ(unreadable.ExitInstance(), 0);
}

TEST(RunCommandTest, ExitCodesAndStartFailures)
{
    EXPECT_EQ(RunCommand({"true"}), 0);
    EXPECT_EQ(RunCommand({"false"}), 1);
    EXPECT_EQ(RunCommand({"no-such-program-here"}), -1);
    EXPECT_EQ(RunCommand({}), -1);
    EXPECT_EQ(RunCommand({"sh", "-c", "kill -9 $$"}), -1);
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

bool ExitCodesAreRead()
{
    return RunCommand({"true"}) == 0 && RunCommand({"false"}) == 1 &&
        RunCommand({"sh", "-c", "exit 7"}) == 7;
}

void CountSignal(int)
{
}

TEST(RunCommandTest, ExitCodesAreReadWhateverSigchldDispositionWasInherited)
{
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
