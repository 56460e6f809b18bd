#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QPointer>

#include "AppSettings.h"
#include "CommandTable.h"
#include "HostList.h"
#include "HostTexts.h"
#include "ListLocks.h"
#include "Settings.h"
#include "WorkServices.h"

class QLabel;
class QTableView;

namespace pondel {

class AutoRefresh;
class CListenDlg;
class CommandSurfaces;
class HostListEditor;
class HostListPane;
class HostTableModel;
class OptionsApplier;
class WakingRows;
class WindowGeometry;
class WindowWorkers;

// The panes of the status bar, left to right.
enum class StatusPane {
    kGeneral,
    kProgress,
    kSelected,
    kCount
};

// The main window: menu, toolbar, the host list and a four-pane status bar.
// It holds references to the settings and the host list, which belong to the
// application object, and writes them back when it closes. Its parts do the
// work; the window ties them together and keeps the commands' handlers.
class CPondelDlg final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPondelDlg)

public:
    static constexpr int kStatusPaneCount = 4;

    // settingsPath names the settings file; mark images are looked for in
    // its folder, then beside the executable. The window takes DEFAULT_HOST and
    // its stored geometry from startSettings, the file as the application
    // read it at start; without it, it reads the file itself.
    CPondelDlg(std::filesystem::path settingsPath, AppSettings& settings, HostList& hosts,
        const IniDocument& startSettings, QWidget* parent = nullptr);
    CPondelDlg(std::filesystem::path settingsPath, AppSettings& settings, HostList& hosts,
        QWidget* parent = nullptr);
    ~CPondelDlg() override;

    void SetStatusText(StatusPane pane, const QString& text);
    [[nodiscard]] QString StatusText(StatusPane pane) const;

    // The list view's rows (see HostListPane).
    void RefillHostRows();
    void RenumberRows();
    void UpdateActiveMark(int row);
    // The marks of row `index`, or of all rows for a negative index, follow
    // the hosts' flags.
    void UpdateActiveMarks(int index);
    void RecenterMarkIcons();
    void SortByColumn(int column);
    void RebuildHostListFromRows();
    [[nodiscard]] std::vector<int> SelectedRows() const;
    [[nodiscard]] int SelectedCount() const;

    // What pane 0 says while the list is empty.
    [[nodiscard]] static QString EmptyListHint();

    // Counts, toolbar enabling and the count panes.
    void UpdateCommandState();

    void StartAutoRefresh();
    void StopAutoRefresh();
    [[nodiscard]] bool AutoRefreshRunning() const;

    void ResetToDefaultSize();
    void MoveToCenter();
    void RequestStatusPass();
    // Hands NO_EXTERNAL_COMMAND and ICMP_TIME_OUT to the status monitor; to
    // be called again whenever the options change.
    void ApplyProbeSettings();
    // From the moment a host collection is asked for until its thread has
    // ended. Commands that change the list are greyed and do nothing
    // meanwhile: the sweep holds the list's locks.
    [[nodiscard]] bool IsCollectRunning() const noexcept;
    // Replaces what the background work asks of the system (tests).
    void UseWorkServices(WorkServices services);

    // The host the commands last acted on: filled from the DEFAULT_HOST row at
    // start, and offering its netmask to new hosts.
    [[nodiscard]] const HostTexts& CurrentHost() const noexcept { return currentHost_; }

    // Command handlers. Most hand on to the window's parts.
    void OnExportHostList();
    void OnImportHostList();
    void OnAppend();
    void OnInsert();
    void OnEdit();
    void OnRemove();
    void OnMoveUp();
    void OnMoveDown();
    void OnCancelSelect();
    void OnRefresh();
    void OnActiveCheck();
    void OnMinimize();
    void OnRestoreNormalSize();
    void OnWakeUp();
    void OnWakeUpNonBroadcast();
    void OnLastWake();
    // Opens the Listen for Wake Packets window, or brings it to the front.
    void OnListenForWake();
    void OnGetIpAddress();
    void OnGetMacAddress();
    void OnGetHostName();
    void OnSendIcmp();
    void OnCollectHosts();
    void OnShutdownHost();
    void OnOption();
    void OnCopy();
    void OnCut();
    void OnPaste();
    void OnSelectAll();
    void OnExitApplication();
    void OnVersionInfo();
    // Esc: clears the selection; the window stays open.
    void OnCancel();
    // The groups of the rows, for the group commands' submenus.
    [[nodiscard]] std::vector<std::string> GroupNames() const;
    // Selects exactly the rows of a group.
    void OnSelectGroup(const std::string& group);
    // Wakes the rows of a group, or after a question every row, in list
    // order, as Wake Up wakes a selection.
    void OnWakeGroup(const std::string& group);
    void OnWakeAll();

    // The window's parts.
    [[nodiscard]] QTableView* HostListView() const noexcept;
    [[nodiscard]] HostTableModel* HostRows() const noexcept;
    [[nodiscard]] HostListPane& ListPane() noexcept { return *list_; }
    [[nodiscard]] CommandSurfaces& Surfaces() noexcept { return *surfaces_; }
    // The woken hosts being watched.
    [[nodiscard]] WakingRows& Waking() noexcept { return *waking_; }
    // Runs a command as its menu item, button or key would; a command with
    // a submenu runs for one of the submenu's items.
    void RunCommand(CommandId id);
    void RunCommand(CommandId id, const std::string& item);
    // What pane 0 says when a command waits for the end of a collection.
    [[nodiscard]] static QString CollectionBusyText();

signals:
    // The window has closed and written its settings; the program ends.
    void Closed();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void SetUpStatusBar();
    void CloseDown();

    std::filesystem::path settingsPath_;
    AppSettings& settings_;
    HostList& hosts_;

    std::array<QLabel*, kStatusPaneCount> panes_{};

    // Declared before everything that runs on other threads, so that it
    // outlives them. ProbeLock is always taken before ViewLock; AbortPass
    // asks a running pass to stop at its next host.
    ListLocks locks_;
    HostTexts currentHost_;
    bool initialRefreshDone_ = false;
    bool closedDown_ = false;

    // Status passes, the sweep, wake-up and shutdown.
    std::unique_ptr<WindowWorkers> workers_;
    std::unique_ptr<AutoRefresh> autoRefresh_;
    std::unique_ptr<CommandSurfaces> surfaces_;
    std::unique_ptr<HostListPane> list_;
    std::unique_ptr<WindowGeometry> geometry_;
    std::unique_ptr<HostListEditor> editor_;
    std::unique_ptr<OptionsApplier> options_;
    std::unique_ptr<WakingRows> waking_;
    QPointer<CListenDlg> listenView_;
};

} // namespace pondel
