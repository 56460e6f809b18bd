#pragma once

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <QMainWindow>

#include "AppSettings.h"
#include "CommandTable.h"
#include "HostList.h"
#include "HostTexts.h"
#include "ListLocks.h"
#include "Settings.h"
#include "WorkServices.h"

class QLabel;
class QMenu;
class QSystemTrayIcon;
class QTableView;
class QTimer;
class QToolBar;

namespace pondel {

class HostListEditor;
class HostTableModel;
struct OptionValues;
class WindowWorkers;

// The main window: menu, toolbar, the host list and a four-pane status bar.
// It holds references to the settings and the host list, which belong to the
// application object, and writes them back when it closes.
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

    // Status bar: pane 0 general text, 1 progress, 2 selected count, 3 rows.
    void SetStatusText(int pane, const QString& text);
    [[nodiscard]] QString StatusText(int pane) const;

    // The list view's rows (see HostTableModel).
    void RefillHostRows();
    void RenumberRows();
    void UpdateActiveMark(int row);
    void ApplyActiveMarkType(std::uint32_t newType);
    // Shows the mark text and colours of the settings at once.
    void RefreshMarkStyle();
    void RecenterMarkIcons();
    void SortByColumn(int column);
    // Compares two rows by their item data, the row indices before a sort.
    [[nodiscard]] int CompareRows(int data1, int data2) const;
    void RebuildHostListFromRows();
    [[nodiscard]] int LastSortColumn() const noexcept { return lastSortColumn_; }
    [[nodiscard]] bool SortDescending(int column) const;

    // What pane 0 says while the list is empty.
    [[nodiscard]] static QString EmptyListHint();

    // Counts, toolbar enabling and the count panes.
    void UpdateCommandState();
    void AddTrayIcon();
    void RemoveTrayIcon();
    [[nodiscard]] bool TrayIconAdded() const noexcept { return trayIcon_ != nullptr; }

    void ResetToDefaultSize();
    void MoveToCenter();
    void RequestStatusPass();
    void StartAutoRefresh();
    void StopAutoRefresh();
    [[nodiscard]] bool AutoRefreshRunning() const;
    // The marks of row `index`, or of all rows for a negative index, follow
    // the hosts' flags.
    void UpdateActiveMarks(int index);
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
    [[nodiscard]] std::vector<int> SelectedRows() const;
    [[nodiscard]] int SelectedCount() const;

    // Command handlers. Those of the list commands and of the background
    // work hand on to the host list editor and the window's workers.
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

    // Surfaces, for the tests and the later features.
    [[nodiscard]] QTableView* HostListView() const noexcept { return view_; }
    [[nodiscard]] HostTableModel* HostRows() const noexcept { return model_; }
    [[nodiscard]] QToolBar* CommandBar() const noexcept { return toolBar_; }
    [[nodiscard]] QMenu* TrayMenu() const noexcept { return trayMenu_; }
    [[nodiscard]] QMenu* MainMenu(MenuId menu) const;
    // The menu item, the toolbar button's action and the tray item of a
    // command; null where the command has none.
    [[nodiscard]] QAction* MenuAction(CommandId id) const;
    [[nodiscard]] QAction* ToolbarAction(CommandId id) const;
    [[nodiscard]] QAction* TrayAction(CommandId id) const;
    [[nodiscard]] QLabel* StatusPane(int pane) const;
    // Runs a command as its menu item, button or key would.
    void RunCommand(CommandId id);
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
    struct Surfaces {
        QAction* menu = nullptr;
        QAction* toolbar = nullptr;
        QAction* tray = nullptr;
    };

    // Start-up, in order.
    void SetUpMenus();
    void SetUpToolBar();
    void SetUpAccelerators();
    void SetUpListView();
    void SetUpStatusBar();
    void LayoutInitialWindow(const IniDocument& startSettings);
    void RemoveShutdownItem();
    void SelectDefaultHost(const IniDocument& startSettings);
    void ApplyAutoRefresh();
    void StartAutoRefreshTimer();

    QAction* MakeAction(const CommandEntry& entry, const QString& text, QObject* owner);
    void ApplyMenuRules(QMenu* menu);
    [[nodiscard]] CommandState CurrentCommandState() const;
    [[nodiscard]] static bool Allows(CommandId id, bool allowedByRule, const CommandState& state);
    [[nodiscard]] bool IsMinimizedOrHidden() const;

    [[nodiscard]] ColumnWidths MeasuredColumnWidths() const;
    void ApplyColumnWidths(const ColumnWidths& widths);
    [[nodiscard]] QSize DefaultSize() const;
    [[nodiscard]] QPoint CenteredPosition(const QSize& frameSize) const;

    void SelectRow(int row);
    void CloseDown();
    [[nodiscard]] WindowState CurrentWindowState() const;

    std::filesystem::path settingsPath_;
    AppSettings& settings_;
    HostList& hosts_;

    HostTableModel* model_ = nullptr;
    QTableView* view_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QMenu* trayMenu_ = nullptr;
    std::map<MenuId, QMenu*> menus_;
    std::map<CommandId, Surfaces> actions_;
    std::array<QLabel*, kStatusPaneCount> panes_{};
    QTimer* autoRefreshTimer_ = nullptr;
    QSystemTrayIcon* trayIcon_ = nullptr;

    // Declared before everything that runs on other threads, so that it
    // outlives them. ProbeLock is always taken before ViewLock; AbortPass
    // asks a running pass to stop at its next host.
    ListLocks locks_;
    HostTexts currentHost_;
    int lastSortColumn_ = -1;
    std::array<bool, 6> sortDescending_{};
    // The window's place and size as first laid out; the fallback for a
    // collapsed window when saving.
    ScreenRect initialLayout_;
    bool initialRefreshDone_ = false;
    bool closedDown_ = false;

    // Status passes, the sweep, wake-up and shutdown; then the list commands.
    std::unique_ptr<WindowWorkers> workers_;
    std::unique_ptr<HostListEditor> editor_;

    // Lookups: the record of the first selected row, if any row is selected.
    [[nodiscard]] std::optional<tHostInfo> FirstSelectedHost() const;

    // The options.
    [[nodiscard]] OptionValues CurrentOptions() const;
    void StoreOptions(const OptionValues& values);
    void ApplyOptions(const OptionValues& values);
    void RestoreShutdownItem();
};

} // namespace pondel
