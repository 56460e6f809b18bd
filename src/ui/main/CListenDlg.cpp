#include "CListenDlg.h"

#include <algorithm>
#include <string>
#include <utility>

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHBoxLayout>

#include <QHeaderView>
#include <QLabel>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "ClipboardText.h"
#include "ListenedPacketModel.h"

namespace pondel {

// One start to stop: the listener and what it reports to. The listener
// calls on its own thread; each call becomes a queued call on the window,
// with copies of what it tells, so nothing here is shared between threads.
class CListenDlg::Session final : public WakeListenerEvents {
public:
    Session(CListenDlg& dialog, std::uint64_t run, std::vector<ListenedHost> hosts)
        : dialog_(dialog)
        , run_(run)
        , listener_(*this, std::move(hosts))
    {
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    WakeListener& Listener() noexcept { return listener_; }

    void OnWakePacket(const HeardWakePacket& packet) override
    {
        QMetaObject::invokeMethod(
            &dialog_, [dialog = &dialog_, run = run_, packet] { dialog->ShowPacket(run, packet); },
            Qt::QueuedConnection);
    }

    void OnNotWakePacket(std::uint64_t count) override
    {
        QMetaObject::invokeMethod(
            &dialog_,
            [dialog = &dialog_, run = run_, count] { dialog->ShowNotWakeCount(run, count); },
            Qt::QueuedConnection);
    }

private:
    CListenDlg& dialog_;
    const std::uint64_t run_;
    // Last: destroying it stops its thread before the rest goes.
    WakeListener listener_;
};

CListenDlg::CListenDlg(ListenSource source, QWidget* parent)
    : QDialog(parent)
    , source_(std::move(source))
{
    setObjectName(QStringLiteral("listenDialog"));
    setWindowTitle(tr("Listen for Wake Packets"));

    listeningOn_ = new QLabel(this);
    listeningOn_->setObjectName(QStringLiteral("listeningOn"));
    listeningOn_->setWordWrap(true);
    listeningOn_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    failures_ = new QPlainTextEdit(this);
    failures_->setObjectName(QStringLiteral("listenFailures"));
    failures_->setReadOnly(true);
    failures_->setMaximumHeight(failures_->fontMetrics().lineSpacing() * 10);
    failures_->hide();

    SetUpTable();
    notWake_ = new QLabel(this);
    notWake_->setObjectName(QStringLiteral("notWakeCount"));

    hostsChanged_ = new QTimer(this);
    hostsChanged_->setObjectName(QStringLiteral("hostsChangedTimer"));
    hostsChanged_->setSingleShot(true);
    hostsChanged_->setInterval(200);
    connect(hostsChanged_, &QTimer::timeout, this, [this] {
        if (Listening())
            session_->Listener().SetHosts(source_.hosts());
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listeningOn_);
    layout->addWidget(failures_);
    layout->addWidget(table_, 1);
    layout->addWidget(notWake_);
    layout->addLayout(MakeButtonRow());
    resize(900, 420);

    UpdateNotWakeText();
    StartListening();
}

void CListenDlg::SetUpTable()
{
    model_ = new ListenedPacketModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("listenTable"));
    table_->setModel(model_);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    SetInitialColumnWidths();
}

// Until the first packet, the columns take the width of typical contents,
// so that the empty table already shows where each field will go.
void CListenDlg::SetInitialColumnWidths()
{
    static const char* const kSamples[] = {"2026-01-01 00:00:00", "192.0.2.100:40000",
        "192.0.2.255", "EtherType 0x0842", "00:00:5E:00:53:01 (Vendor)", "hostname", "", ""};
    static_assert(std::size(kSamples) == ListenedPacketModel::kColumnCount);
    const QFontMetrics metrics = table_->fontMetrics();
    QHeaderView* header = table_->horizontalHeader();
    for (int column = 0; column < model_->columnCount(); ++column) {
        const int sample = metrics.horizontalAdvance(QString::fromLatin1(kSamples[column]));
        table_->setColumnWidth(column, std::max(sample + 16, header->sectionSizeHint(column)));
    }
}

QHBoxLayout* CListenDlg::MakeButtonRow()
{
    startStop_ = new QPushButton(this);
    startStop_->setObjectName(QStringLiteral("startStopButton"));
    connect(startStop_, &QPushButton::clicked, this, [this] {
        if (Listening())
            StopListening();
        else
            StartListening();
    });
    clear_ = new QPushButton(tr("Clear"), this);
    clear_->setObjectName(QStringLiteral("clearButton"));
    connect(clear_, &QPushButton::clicked, this, &CListenDlg::Clear);
    copy_ = new QPushButton(tr("Copy"), this);
    copy_->setObjectName(QStringLiteral("copyButton"));
    connect(copy_, &QPushButton::clicked, this, &CListenDlg::Copy);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("listenMessage"));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(startStop_);
    row->addWidget(clear_);
    row->addWidget(copy_);
    row->addWidget(message_, 1);
    row->addWidget(buttons);
    return row;
}

CListenDlg::~CListenDlg()
{
    session_.reset();
}

void CListenDlg::StartListening()
{
    if (Listening())
        return;
    const ListenOptions options = optionsOverride_ ? *optionsOverride_ : source_.options();
    auto session = std::make_unique<Session>(*this, ++run_, source_.hosts());
    notWakeOfRun_ = 0;
    message_->clear();
    Result<WakeListener::Opened> opened = session->Listener().Start(options);
    if (!opened) {
        listeningOn_->setText(tr("Not listening."));
        ShowFailures(tr("Nothing could be opened to listen on:\n%1")
                         .arg(QString::fromStdString(opened.Error().message)));
        UpdateButtons();
        return;
    }
    session_ = std::move(session);
    ShowOpened(opened.Value());
    UpdateButtons();
}

void CListenDlg::ShowOpened(const WakeListener::Opened& opened)
{
    QStringList listening;
    for (const std::string& what : opened.listening)
        listening << QString::fromStdString(what);
    listeningOn_->setText(tr("Listening on: %1").arg(listening.join(QStringLiteral(", "))));
    ShowFailures(FailureText(opened.failures));
}

QString CListenDlg::FailureText(const std::vector<ListenFailure>& failures)
{
    if (failures.empty())
        return {};
    // Failures that one step would allow (the low ports, say) share its
    // line, after the last of them, in the order they came.
    struct Group {
        std::string howToAllow;
        QStringList reasons;
    };
    std::vector<Group> groups;
    for (const ListenFailure& failure : failures) {
        auto group = std::ranges::find(groups, failure.howToAllow, &Group::howToAllow);
        if (group == groups.end())
            group = groups.insert(groups.end(), Group{failure.howToAllow, {}});
        // The system's text mostly names the port already.
        const QString what = QString::fromStdString(failure.what);
        const QString reason = QString::fromStdString(failure.error.message);
        group->reasons << (reason.contains(what) ? reason
                                                 : QStringLiteral("%1: %2").arg(what, reason));
    }
    QStringList lines{tr("Could not listen on:")};
    for (const Group& group : groups) {
        lines << group.reasons;
        if (!group.howToAllow.empty())
            lines << tr("    To allow it: %1").arg(QString::fromStdString(group.howToAllow));
    }
    return lines.join(QLatin1Char('\n'));
}

void CListenDlg::StopListening()
{
    if (!Listening())
        return;
    // Only signals the listener's poll loop and joins its thread.
    session_.reset();
    listeningOn_->setText(tr("Not listening."));
    UpdateButtons();
}

void CListenDlg::HostsChanged()
{
    if (Listening())
        hostsChanged_->start();
}

void CListenDlg::UseListenOptions(ListenOptions options)
{
    optionsOverride_ = std::move(options);
}

void CListenDlg::done(int result)
{
    StopListening();
    QDialog::done(result);
}

void CListenDlg::closeEvent(QCloseEvent* event)
{
    StopListening();
    QDialog::closeEvent(event);
}

void CListenDlg::ShowPacket(std::uint64_t run, const HeardWakePacket& packet)
{
    const int rows = model_->rowCount();
    model_->Show(run, packet);
    if (model_->rowCount() == rows)
        return;
    // Measures the rows in view only, so it stays cheap as rows pile up.
    table_->resizeColumnsToContents();
    table_->scrollToBottom();
    UpdateButtons();
}

void CListenDlg::ShowNotWakeCount(std::uint64_t run, std::uint64_t count)
{
    // A count that arrives after its run stopped has nothing to add to.
    if (run != run_ || count <= notWakeOfRun_)
        return;
    notWakeShown_ += count - notWakeOfRun_;
    notWakeOfRun_ = count;
    UpdateNotWakeText();
}

void CListenDlg::ShowFailures(const QString& text)
{
    failures_->setPlainText(text);
    failures_->setVisible(!text.isEmpty());
}

void CListenDlg::UpdateNotWakeText()
{
    notWake_->setText(tr("Not a wake packet: %1").arg(notWakeShown_));
}

void CListenDlg::UpdateButtons()
{
    startStop_->setText(Listening() ? tr("Stop") : tr("Start"));
    copy_->setEnabled(model_->rowCount() > 0);
}

void CListenDlg::Clear()
{
    model_->Clear();
    notWakeShown_ = 0;
    message_->clear();
    UpdateNotWakeText();
    UpdateButtons();
}

void CListenDlg::Copy()
{
    if (model_->rowCount() == 0)
        return;
    const int rows = model_->rowCount();
    if (!ClipboardText::Put(model_->TabSeparatedText()))
        message_->setText(tr("The rows could not be placed on the clipboard."));
    else
        message_->setText(rows == 1 ? tr("1 row copied.") : tr("%1 rows copied.").arg(rows));
}

} // namespace pondel
