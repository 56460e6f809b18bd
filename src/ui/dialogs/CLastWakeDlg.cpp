#include "CLastWakeDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pondel {
namespace {

enum Column {
    kHostColumn,
    kPathColumn,
    kDestinationColumn,
    kPortColumn,
    kInterfaceColumn,
    kRoundColumn,
    kResultColumn,
    kReasonColumn,
    kColumnCount
};

QTableWidgetItem* Cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

CLastWakeDlg::CLastWakeDlg(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("lastWakeDialog"));
    setWindowTitle(tr("Last Wake"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("lastWakeSummary"));
    table_ = new QTableWidget(0, kColumnCount, this);
    table_->setObjectName(QStringLiteral("lastWakeTable"));
    table_->setHorizontalHeaderLabels({tr("Host"), tr("Path"), tr("Destination"), tr("Port"),
        tr("Interface"), tr("Round"), tr("Result"), tr("Reason")});
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(760, 320);
    ShowWake(nullptr);
}

void CLastWakeDlg::ShowWake(const WakeBatch* batch)
{
    table_->setRowCount(0);
    if (batch == nullptr) {
        summary_->setText(tr("No wake-up has been sent since the window opened."));
        return;
    }
    summary_->setText(SummaryText(SummarizeWake(*batch)));
    for (const HostWake& host : batch->hosts) {
        const QString name = QString::fromStdString(host.key.hostName);
        for (const WakeSendLine& line : host.report.lines) {
            const int row = table_->rowCount();
            table_->insertRow(row);
            table_->setItem(row, kHostColumn, Cell(name));
            table_->setItem(row, kPathColumn, Cell(PathText(line.path)));
            table_->setItem(
                row, kDestinationColumn, Cell(QString::fromStdString(line.destination)));
            table_->setItem(
                row, kPortColumn, Cell(line.port == 0 ? QString() : QString::number(line.port)));
            table_->setItem(
                row, kInterfaceColumn, Cell(QString::fromStdString(line.interfaceName)));
            table_->setItem(row, kRoundColumn, Cell(QString::number(line.round)));
            table_->setItem(row, kResultColumn, Cell(StateText(line.state)));
            table_->setItem(row, kReasonColumn, Cell(QString::fromStdString(line.reason)));
        }
    }
    table_->resizeColumnsToContents();
}

QString CLastWakeDlg::SummaryText(const WakeSummary& summary)
{
    const auto count = [](std::size_t n, const QString& one, const QString& many) {
        return n == 1 ? one : many.arg(n);
    };
    QString text = count(summary.sent, tr("1 packet"), tr("%1 packets")) + QLatin1Char(' ') +
        count(summary.paths, tr("on 1 path"), tr("on %1 paths"));
    if (summary.skipped != 0)
        text += tr(", %1 skipped").arg(summary.skipped);
    if (summary.failed != 0)
        text += tr(", %1 failed").arg(summary.failed);
    const QString who = summary.hosts == 1 ? QString::fromStdString(summary.hostName)
                                           : tr("%1 hosts").arg(summary.hosts);
    return QStringLiteral("%1: %2").arg(who, text);
}

QString CLastWakeDlg::PathText(WakePath path)
{
    switch (path) {
    case WakePath::kDirectedBroadcast:
        return tr("directed broadcast");
    case WakePath::kLimitedBroadcast:
        return tr("limited broadcast");
    case WakePath::kUnicast:
        return tr("unicast");
    case WakePath::kIpv6AllNodes:
        return tr("IPv6 all-nodes");
    case WakePath::kRawFrame:
        return tr("raw frame");
    }
    return {};
}

QString CLastWakeDlg::StateText(WakeSendState state)
{
    switch (state) {
    case WakeSendState::kPlanned:
        return tr("not sent");
    case WakeSendState::kSent:
        return tr("sent");
    case WakeSendState::kSkipped:
        return tr("skipped");
    case WakeSendState::kFailed:
        return tr("failed");
    case WakeSendState::kNotDelivered:
        return tr("not delivered");
    }
    return {};
}

} // namespace pondel
