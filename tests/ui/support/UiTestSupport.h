#pragma once

#include <csignal>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <sys/resource.h>

#include <QCoreApplication>
#include <QTableView>
#include <QTest>

#include "AppSettings.h"
#include "HostTableModel.h"
#include "HostList.h"
#include "IniDocument.h"
#include "PondelDlg.h"
#include "Settings.h"
#include "TemporaryDirectory.h"
#include "WorkServices.h"

namespace pondel::test {

struct HostText {
    std::string_view hostName;
    std::string_view comment;
    std::string_view ipAddr;
    std::string_view netMask;
    std::string_view macAddr;
};

// HOST_0, HOST_1, ... sections for the hosts, in order.
inline std::string HostSections(std::initializer_list<HostText> hosts)
{
    std::string text;
    int row = 0;
    for (const HostText& host : hosts) {
        text += "[HOST_" + std::to_string(row++) + "]\n";
        text += "HOST_NAME=" + std::string(host.hostName) + "\n";
        text += "COMMENT=" + std::string(host.comment) + "\n";
        text += "IP_ADDR=" + std::string(host.ipAddr) + "\n";
        text += "NET_MASK=" + std::string(host.netMask) + "\n";
        text += "MAC_ADDR=" + std::string(host.macAddr) + "\n";
    }
    return text;
}

// Exactly these rows selected.
inline void SelectRows(CPondelDlg& window, std::initializer_list<int> rows)
{
    window.HostListView()->clearSelection();
    for (const int row : rows)
        window.HostListView()->selectionModel()->select(window.HostRows()->index(row, 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// A status pass asked for now runs to its end: nothing is left holding the
// list's locks.
inline bool APassRunsThrough(CPondelDlg& window)
{
    window.RunCommand(CommandId::kRefresh);
    return QTest::qWaitFor(
        [&] { return window.StatusText(StatusPane::kProgress).isEmpty(); }, 10000);
}

// 1 for each row the window shows as answering, else 0.
inline std::vector<int> Marks(const CPondelDlg& window)
{
    std::vector<int> marks;
    const HostTableModel& rows = *window.HostRows();
    for (int row = 0; row < rows.rowCount(); ++row)
        marks.push_back(rows.index(row, 0).data(HostTableModel::kActiveRole).toBool() ? 1 : 0);
    return marks;
}

// Runs `run` while files may grow to no more than `bytes`: a write past them
// fails with EFBIG even for root, as on a full disk.
inline void WithFileSizeLimit(rlim_t bytes, const std::function<void()>& run)
{
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit lowered{bytes, saved.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &lowered);
    run();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
}

// A settings file in a folder of its own, loaded the way the application
// loads it at start, and a window over it.
class WindowFixture final {
public:
    explicit WindowFixture(std::string_view fileText)
    {
        WriteTextFile(Path(), fileText);
        SetDefaultSettings(settings);
        const SettingsFile file = SettingsFile::Open(Path());
        LoadSettings(file.Document(), settings);
        LoadHostList(file.Document(), settings.maxHostNum, hosts);
    }

    std::filesystem::path Path() const { return folder / "pondel.ini"; }
    std::filesystem::path Folder() const { return folder.Path(); }

    CPondelDlg& Open()
    {
        window = std::make_unique<CPondelDlg>(Path(), settings, hosts);
        return *window;
    }

    // The window, done with its start-up, working through `services`.
    CPondelDlg& Open(const WorkServices& services)
    {
        CPondelDlg& opened = Open();
        QCoreApplication::processEvents();
        opened.UseWorkServices(services);
        return opened;
    }

    // The file as the window left it.
    SettingsFile Saved() const { return SettingsFile::Open(Path()); }
    std::string Value(std::string_view section, std::string_view key) const
    {
        return std::string(Saved().Document().Find(section, key).value_or("<missing>"));
    }

    TemporaryDirectory folder;
    AppSettings settings;
    HostList hosts;
    std::unique_ptr<CPondelDlg> window;
};

} // namespace pondel::test
