#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>

#include "ConsoleOutput.h"
#include "TemporaryDirectory.h"
#include "UiTestSupport.h"

extern char** environ;

namespace pondel::test {
namespace {

using namespace std::chrono_literals;

// The program and its window module copied into a folder of their own,
// beside the settings file.
class Installed final {
public:
    enum class Window {
        kWith,
        kWithout
    };

    explicit Installed(Window window = Window::kWith)
    {
        std::filesystem::copy_file(PONDEL_EXECUTABLE, folder / "pondel");
        if (window == Window::kWith)
            std::filesystem::copy_file(PONDEL_WINDOW_MODULE,
                folder / std::filesystem::path(PONDEL_WINDOW_MODULE).filename().string());
    }

    pid_t Start(std::vector<std::string> arguments, std::vector<std::string> environment,
        const posix_spawn_file_actions_t* actions = nullptr) const
    {
        const std::string program = (folder / "pondel").string();
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& variable : environment)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
        pid_t pid = -1;
        if (::posix_spawn(&pid, program.c_str(), actions, nullptr, argv.data(), envp.data()) != 0)
            return -1;
        return pid;
    }

    TemporaryDirectory folder;
};

// Whether the process has a handler of its own for the signal yet.
bool Catches(pid_t pid, int signal)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

int WaitForExit(pid_t pid)
{
    int status = 0;
    for (int tries = 0; tries < 300; ++tries) {
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(50ms);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

std::vector<std::string> Environment(std::string platform)
{
    std::vector<std::string> environment{"QT_QPA_PLATFORM=" + platform, "LANG=C"};
    for (const char* name : {"PATH", "TSAN_OPTIONS", "ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
        if (const char* value = std::getenv(name))
            environment.push_back(std::string(name) + "=" + value);
    }
    return environment;
}

} // namespace

class ExecutableTest final : public QObject {
    Q_OBJECT

private slots:
    void terminationSignalsCloseTheWindowAndSave_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
    }
    void terminationSignalsCloseTheWindowAndSave()
    {
        QFETCH(int, signal);
        const Installed program;
        WriteTextFile(program.folder / "pondel.ini",
            "[SETTING]\nDEFAULT_HOST=1\n" +
                HostSections(
                    {{"alpha", "", "192.0.2.1", "", ""}, {"beta", "", "192.0.2.2", "", ""}}));
        const pid_t pid = program.Start({}, Environment("offscreen"));
        QVERIFY(pid > 0);
        QTRY_VERIFY_WITH_TIMEOUT(Catches(pid, signal), 20000);
        ::kill(pid, signal);
        QCOMPARE(WaitForExit(pid), 0);

        const SettingsFile saved = SettingsFile::Open(program.folder / "pondel.ini");
        QVERIFY(saved.Document().Find("WINDOW", "WINDOW_WIDTH").has_value());
        QVERIFY(saved.Document().Find("WINDOW", "ITEM_WIDTH_HOST_NAME").has_value());
        QCOMPARE(saved.Document().Find("SETTING", "DEFAULT_HOST").value_or(""), "1");
        QCOMPARE(saved.Document().Find("HOST_1", "HOST_NAME").value_or(""), "beta");
    }

    void theConsoleModeNeedsNoWindow()
    {
        // No window module, and no display to connect to: Qt would abort.
        const Installed program(Installed::Window::kWithout);
        const pid_t pid = program.Start({"/V"}, Environment("xcb"));
        QVERIFY(pid > 0);
        QCOMPARE(WaitForExit(pid), int{kConsoleStdout});
        QVERIFY(!std::filesystem::exists(program.folder / "pondel.ini"));
    }

    void aMissingWindowIsAnErrorNotASilentExit()
    {
        const Installed program(Installed::Window::kWithout);
        const std::filesystem::path errors = program.folder / "errors.txt";
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addopen(
            &actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const pid_t pid = program.Start({}, Environment("offscreen"), &actions);
        ::posix_spawn_file_actions_destroy(&actions);
        QVERIFY(pid > 0);
        QCOMPARE(WaitForExit(pid), 1);
        const std::string text = ReadTextFile(errors);
        QVERIFY2(text.starts_with("The window cannot be shown. Cannot load "), text.c_str());
        QVERIFY2(text.find("pondel-window") != std::string::npos, text.c_str());
        // Nothing was shown, so nothing is saved over the file.
        QVERIFY(!std::filesystem::exists(program.folder / "pondel.ini"));
    }
};

} // namespace pondel::test

QTEST_GUILESS_MAIN(pondel::test::ExecutableTest)
#include "ExecutableTest.moc"
