#include "WakingRows.h"

#include <utility>

#include <QMetaObject>
#include <QTimer>

#include "AddressLookup.h"
#include "CommandSurfaces.h"
#include "HostTableModel.h"
#include "WakeRequestBuilder.h"
#include "WakeSender.h"

namespace pondel {

// Hands the watcher's news to the window's thread as queued calls.
class WakeRelay final : public WakeWatchListener {
public:
    explicit WakeRelay(WakingRows& rows)
        : rows_(rows)
    {
    }

    void OnWakeTick(const WakeWatchKey& key, std::uint32_t seconds) override
    {
        QMetaObject::invokeMethod(
            &rows_, [this, key, seconds] { rows_.OnTick(key, seconds); }, Qt::QueuedConnection);
    }
    void OnWakeEnded(const WakeWatchKey& key, WakeWatchEnd end, std::uint32_t seconds) override
    {
        QMetaObject::invokeMethod(
            &rows_, [this, key, end, seconds] { rows_.OnEnded(key, end, seconds); },
            Qt::QueuedConnection);
    }

private:
    WakingRows& rows_;
};

namespace {

// The wake-up the command sent, with every path, port and round of the
// settings, to send again from the watcher's thread. Nothing when the host's
// request cannot be made (it was refused when the command ran).
WakeResend ResendOf(const tHostInfo& host, bool broadcast, const AppSettings& settings)
{
    const WakeTarget target{
        host.ipAddr, host.netMask, host.macAddr, host.interfaceName, host.secureOn};
    BuiltWakeRequest built = BuildWakeRequest(target, settings, broadcast);
    if (built.refusal)
        return [](std::stop_token) {};
    return [request = std::move(built.request)](std::stop_token stop) mutable {
        // As the command does, a host without a netmask gets the system's.
        if (request.netMask == 0)
            request.netMask = GetNetMask(request.ip);
        (void)SendWake(request, std::move(stop));
    };
}

} // namespace

WakingRows::WakingRows(HostTableModel& model, const AppSettings& settings,
    CommandSurfaces& surfaces, std::function<void(const std::vector<int>&)> recheck)
    : model_(model)
    , settings_(settings)
    , surfaces_(surfaces)
    , recheck_(std::move(recheck))
    , relay_(std::make_unique<WakeRelay>(*this))
    , watcher_(std::make_unique<WakeWatcher>(*relay_))
{
    connect(&model_, &HostTableModel::WakingHostAnswered, this,
        [this](const std::string& key) { OnAnswered(key); });
    connect(&model_, &QAbstractItemModel::rowsRemoved, this, [this] { SchedulePrune(); });
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] { SchedulePrune(); });
    // A changed record (an edit) comes with every column; a mark alone does not.
    connect(&model_, &QAbstractItemModel::dataChanged, this,
        [this](const QModelIndex&, const QModelIndex& bottomRight) {
            if (bottomRight.column() > 0)
                SchedulePrune();
        });
}

WakingRows::~WakingRows()
{
    Stop();
}

void WakingRows::Stop()
{
    watcher_->Stop();
}

void WakingRows::UseProbeOpener(ProbeRunOpener openProbe)
{
    watcher_ = std::make_unique<WakeWatcher>(*relay_, std::move(openProbe));
}

void WakingRows::Watch(const std::vector<std::int32_t>& rows, bool broadcast)
{
    const WakeWatchSettings settings = WakeWatchSettingsOf(settings_);
    // Without confirming, the command's single re-check is all there is.
    if (settings.timeout.count() == 0)
        return;
    watcher_->SetSettings(settings);
    for (const std::int32_t row : rows) {
        if (row < 0 || row >= model_.rowCount())
            continue;
        const tHostInfo& host = model_.Rows()[static_cast<std::size_t>(row)].host;
        const WakeWatchKey key = WakeWatchKeyOf(host.ipAddr, host.macAddr);
        model_.SetWake(key, {WakeMark::kWaking, 0});
        watcher_->Watch(key, host.ipAddr, ResendOf(host, broadcast, settings_));
    }
}

bool WakingRows::IsWaking(const WakeWatchKey& key) const
{
    const RowWake* wake = model_.WakeOf(key);
    return wake != nullptr && wake->mark == WakeMark::kWaking;
}

void WakingRows::OnTick(const WakeWatchKey& key, std::uint32_t seconds)
{
    // News of a host whose rows have gone, or that answered a pass, is old.
    if (IsWaking(key))
        model_.SetWake(key, {WakeMark::kWaking, seconds});
}

void WakingRows::OnEnded(const WakeWatchKey& key, WakeWatchEnd end, std::uint32_t seconds)
{
    if (IsWaking(key))
        ShowOutcome(key, end, seconds, true);
}

void WakingRows::OnAnswered(const WakeWatchKey& key)
{
    if (const std::optional<std::uint32_t> seconds = watcher_->Forget(key))
        ShowOutcome(key, WakeWatchEnd::kUp, *seconds, false);
}

void WakingRows::ShowOutcome(
    const WakeWatchKey& key, WakeWatchEnd end, std::uint32_t seconds, bool recheck)
{
    const bool up = end == WakeWatchEnd::kUp;
    const RowWake wake{up ? WakeMark::kUp : WakeMark::kNoAnswer, seconds};
    model_.SetWake(key, wake);
    const std::vector<int> rows = model_.RowsOf(key);
    if (rows.empty())
        return;
    const tHostInfo& host = model_.Rows()[static_cast<std::size_t>(rows.front())].host;
    const QString name = QString::fromUtf8(host.hostName[0] != '\0' ? host.hostName : host.ipAddr);
    surfaces_.ShowTrayMessage(name, name + QStringLiteral(": ") + WakeText(wake));
    if (!up || !recheck)
        return;
    // The rows show the answer now; the monitor's probe brings the host
    // list's flags in line (a pass that saw the answer has set them).
    for (const int row : rows)
        model_.SetActive(row, true);
    recheck_(rows);
}

void WakingRows::SchedulePrune()
{
    if (pruneScheduled_ || !model_.HasWakes())
        return;
    pruneScheduled_ = true;
    QTimer::singleShot(0, this, [this] { Prune(); });
}

void WakingRows::Prune()
{
    pruneScheduled_ = false;
    for (const WakeWatchKey& key : model_.WakesWithoutRows()) {
        (void)watcher_->Forget(key);
        model_.ClearWake(key);
    }
}

} // namespace pondel
