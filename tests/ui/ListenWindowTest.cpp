// The Listen for Wake Packets window through the command table: packets sent
// from a namespace peer become rows, other datagrams a count; Clear, Copy,
// Stop and closing; and ports that could not be opened are named.
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include <arpa/inet.h>
#include <linux/capability.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QTest>

#include "CListenDlg.h"
#include "DialogDriving.h"
#include "ListenedPacketModel.h"
#include "ModalSeam.h"
#include "NetworkUiTestMain.h"
#include "UiTestSupport.h"

namespace pondel::test {
namespace {

constexpr std::uint16_t kListenPort = 40009;
constexpr std::uint16_t kTakenPort = 40007;
constexpr std::uint16_t kSenderPort = 40000;

const std::string kSettings = "[SETTING]\nINIT_REFRESH=0\nAUTO_REFRESH=0\nPORT_NO=40009\n";
const std::string kHosts = HostSections({
    {"pc2", "", "198.51.100.2", "255.255.255.0", "02:00:00:00:0D:02"},
    {"nomac", "", "198.51.100.3", "255.255.255.0", ""},
});

using Bytes = std::vector<std::uint8_t>;

// Six bytes FF, sixteen copies of the MAC, then `passwordLength` bytes.
Bytes MagicPacket(std::uint8_t lastMacByte, std::size_t passwordLength = 0)
{
    Bytes bytes(6, 0xFF);
    for (int copy = 0; copy < 16; ++copy)
        bytes.insert(bytes.end(), {0x02, 0x00, 0x00, 0x00, 0x0D, lastMacByte});
    bytes.insert(bytes.end(), passwordLength, 0x5A);
    return bytes;
}

// A peer at 198.51.100.200 beside our 198.51.100.1.
struct Lab {
    Lab()
        : peer(network.AddPeer({"198.51.100.1", 24, ""}, {"198.51.100.200", 24, ""}))
    {
    }
    TestNetwork network;
    const Peer& peer;
};

// Sends each payload from the peer's port 40000 to our listened port.
void SendFromPeer(const Peer& peer, const std::vector<Bytes>& payloads)
{
    const int sent = RunInNamespace(peer.ns, [&] {
        const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in from{};
        from.sin_family = AF_INET;
        from.sin_port = htons(kSenderPort);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(kListenPort);
        inet_pton(AF_INET, "198.51.100.1", &to.sin_addr);
        int count = 0;
        if (bind(fd, reinterpret_cast<const sockaddr*>(&from), sizeof from) == 0)
            for (const Bytes& payload : payloads)
                count += sendto(fd, payload.data(), payload.size(), 0,
                             reinterpret_cast<const sockaddr*>(&to), sizeof to) > 0
                    ? 1
                    : 0;
        close(fd);
        return count;
    });
    QCOMPARE(sent, static_cast<int>(payloads.size()));
}

// A UDP port of ours held without SO_REUSEADDR or SO_REUSEPORT, over IPv4
// and IPv6: nobody else can bind it. Or, given `probe`, whether it could be
// bound at all (the listener has let go of it).
class HeldPort {
public:
    explicit HeldPort(std::uint16_t port)
    {
        sockaddr_in v4{};
        v4.sin_family = AF_INET;
        v4.sin_port = htons(port);
        sockaddr_in6 v6{};
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(port);
        const int v6Only = 1;
        setsockopt(fd6_, IPPROTO_IPV6, IPV6_V6ONLY, &v6Only, sizeof v6Only);
        held_ = bind(fd4_, reinterpret_cast<const sockaddr*>(&v4), sizeof v4) == 0 &&
            bind(fd6_, reinterpret_cast<const sockaddr*>(&v6), sizeof v6) == 0;
    }
    ~HeldPort()
    {
        close(fd4_);
        close(fd6_);
    }
    HeldPort(const HeldPort&) = delete;
    HeldPort& operator=(const HeldPort&) = delete;

    [[nodiscard]] bool Held() const noexcept { return held_; }

private:
    int fd4_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    int fd6_ = socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    bool held_ = false;
};

// While it lives, this thread works without the capabilities, as a user
// would: binding ports below 1024 and opening packet sockets fail. They stay
// permitted, and come back after.
class CapabilitiesLowered {
public:
    explicit CapabilitiesLowered(std::initializer_list<int> capabilities)
    {
        lowered_ = syscall(SYS_capget, &header_, saved_) == 0;
        __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {saved_[0], saved_[1]};
        for (const int capability : capabilities)
            data[capability / 32].effective &= ~(1u << (capability % 32));
        lowered_ = lowered_ && syscall(SYS_capset, &header_, data) == 0;
    }
    ~CapabilitiesLowered()
    {
        if (lowered_)
            syscall(SYS_capset, &header_, saved_);
    }
    CapabilitiesLowered(const CapabilitiesLowered&) = delete;
    CapabilitiesLowered& operator=(const CapabilitiesLowered&) = delete;

    [[nodiscard]] bool Lowered() const noexcept { return lowered_; }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[_LINUX_CAPABILITY_U32S_3] = {};
    bool lowered_ = false;
};

// The failure list's line about `what`, and the line of what would allow
// it, which follows the last failure it allows.
QString FailureOf(const QPlainTextEdit& failures, const QString& what)
{
    const QStringList lines = failures.toPlainText().split('\n');
    const auto found = std::ranges::find_if(
        lines, [&](const QString& line) { return line.contains(what + ": "); });
    if (found == lines.end())
        return {};
    const auto allow = std::find_if(
        found, lines.end(), [](const QString& line) { return line.startsWith("    "); });
    return allow == lines.end() ? *found : *found + '\n' + *allow;
}

CListenDlg* OpenListener(CPondelDlg& window)
{
    window.RunCommand(CommandId::kListenForWake);
    return window.findChild<CListenDlg*>(QStringLiteral("listenDialog"));
}

QString Cell(const CListenDlg& dialog, int row, int column)
{
    const auto* model = Part<QTableView>(dialog, "listenTable")->model();
    return model->index(row, column).data().toString();
}

int Rows(const CListenDlg& dialog)
{
    return Part<QTableView>(dialog, "listenTable")->model()->rowCount();
}

} // namespace

class ListenWindowTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
    }

    // What arrives, and the row it makes: host names come from the window's
    // rows, identical packets within a second are one row.
    void wakePacketsBecomeRows()
    {
        using C = ListenedPacketModel::Column;
        const struct {
            const char* name;
            std::vector<Bytes> payloads;
            int rows;
            const char* target;
            const char* host;
            const char* secureOn;
            const char* repeats;
            const char* notWake;
        } cases[] = {
            {"a listed host", {MagicPacket(0x02)}, 1, "02:00:00:00:0D:02", "pc2", "", "1",
                "Not a wake packet: 0"},
            {"three at once are one row", {MagicPacket(0x02), MagicPacket(0x02), MagicPacket(0x02)},
                1, "02:00:00:00:0D:02", "pc2", "", "3", "Not a wake packet: 0"},
            {"with a password, which is never shown", {MagicPacket(0x02, 6)}, 1,
                "02:00:00:00:0D:02", "pc2", "yes", "1", "Not a wake packet: 0"},
            {"an unlisted MAC", {MagicPacket(0x77)}, 1, "02:00:00:00:0D:77", "", "", "1",
                "Not a wake packet: 0"},
            {"not a wake packet", {Bytes(40, 0xFF), MagicPacket(0x02, 3)}, 0, "", "", "", "",
                "Not a wake packet: 2"},
        };
        for (const auto& c : cases) {
            Lab lab;
            WindowFixture fixture(kSettings + kHosts);
            CPondelDlg& window = fixture.Open();
            CListenDlg* dialog = OpenListener(window);
            QVERIFY2(dialog != nullptr && dialog->Listening(), c.name);
            SendFromPeer(lab.peer, c.payloads);
            auto* notWake = Part<QLabel>(*dialog, "notWakeCount");
            QTRY_COMPARE_WITH_TIMEOUT(notWake->text(), QString::fromLatin1(c.notWake), 5000);
            QTRY_COMPARE_WITH_TIMEOUT(Rows(*dialog), c.rows, 5000);
            if (c.rows == 0)
                continue;
            QTRY_COMPARE_WITH_TIMEOUT(Cell(*dialog, 0, C::kRepeatsColumn), c.repeats, 5000);
            QCOMPARE(Cell(*dialog, 0, C::kFromColumn), "198.51.100.200:40000");
            QVERIFY2(Cell(*dialog, 0, C::kToColumn).contains("198.51.100.1"), c.name);
            QCOMPARE(Cell(*dialog, 0, C::kPathColumn), "UDP 40009");
            QVERIFY2(Cell(*dialog, 0, C::kTargetColumn).startsWith(c.target), c.name);
            QCOMPARE(Cell(*dialog, 0, C::kHostColumn), c.host);
            QCOMPARE(Cell(*dialog, 0, C::kSecureOnColumn), c.secureOn);
        }
    }

    // Ports it may not bind and a port another program holds are named with
    // their reasons and what would allow them, and the rest is listened on;
    // Copy, Clear, a host appended meanwhile, Stop and Start; with nothing to
    // open, Start says so and stays offered; closing lets the ports go.
    void theWindowTellsWhatItCouldNotOpenAndLetsGoWhenClosed()
    {
        Lab lab;
        const HeldPort taken(kTakenPort);
        QVERIFY(taken.Held());
        WindowFixture fixture(kSettings + "WAKE_EXTRA_PORTS=40007\n" + kHosts);
        CPondelDlg& window = fixture.Open();
        CListenDlg* dialog = nullptr;
        {
            const CapabilitiesLowered user({CAP_NET_BIND_SERVICE, CAP_NET_RAW});
            QVERIFY(user.Lowered());
            dialog = OpenListener(window);
        }
        QVERIFY(dialog != nullptr && dialog->Listening());
        QCOMPARE(OpenListener(window), dialog);
        QCOMPARE(window.findChildren<CListenDlg*>().size(), 1);

        auto* failures = Part<QPlainTextEdit>(*dialog, "listenFailures");
        QVERIFY(!failures->isHidden());
        const QString bindRefused = FailureOf(*failures, "UDP 7 (IPv4)");
        QVERIFY2(bindRefused.contains("Permission denied") &&
                bindRefused.contains("\n    To allow it: "),
            qPrintable(bindRefused));
        const QString held = FailureOf(*failures, "UDP 40007 (IPv4)");
        QVERIFY2(held.contains("Address already in use"), qPrintable(held));
        const QString listening = Part<QLabel>(*dialog, "listeningOn")->text();
        QVERIFY(listening.contains("UDP 40009"));
        QVERIFY(!listening.contains("UDP 7 ") && !listening.contains("UDP 40007"));

        SendFromPeer(lab.peer, {MagicPacket(0x02)});
        QTRY_COMPARE_WITH_TIMEOUT(Rows(*dialog), 1, 5000);
        Click(*dialog, "copyButton");
        const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.size(), 3); // the header, the row, and the end of the last line
        QCOMPARE(lines[0], "Time\tFrom\tTo\tPath\tTarget MAC\tHost\tSecureOn\tRepeats");
        QVERIFY(lines[1].contains("\t198.51.100.200:40000\t"));
        QVERIFY(lines[1].endsWith("\tpc2\t\t1"));
        Click(*dialog, "clearButton");
        QCOMPARE(Rows(*dialog), 0);
        QVERIFY(!Part<QPushButton>(*dialog, "copyButton")->isEnabled());

        // A host appended while it listens names its packets from then on.
        ModalSeam::SetNextDialog(
            FillHostEdit({"late", "", "198.51.100.5", "", "02:00:00:00:0D:05"}));
        window.RunCommand(CommandId::kAppend);
        QTRY_VERIFY(!Part<QTimer>(*dialog, "hostsChangedTimer")->isActive());
        SendFromPeer(lab.peer, {MagicPacket(0x05)});
        QTRY_COMPARE_WITH_TIMEOUT(Rows(*dialog), 1, 5000);
        QCOMPARE(Cell(*dialog, 0, ListenedPacketModel::kHostColumn), "late");

        auto* startStop = Part<QPushButton>(*dialog, "startStopButton");
        QCOMPARE(startStop->text(), "Stop");
        startStop->click();
        QVERIFY(!dialog->Listening());
        QVERIFY(HeldPort(kListenPort).Held());
        startStop->click();
        QVERIFY(dialog->Listening());
        QVERIFY(!HeldPort(kListenPort).Held());

        startStop->click();
        dialog->UseListenOptions({.udpPorts = {kTakenPort}, .etherFrames = false});
        startStop->click();
        QVERIFY(!dialog->Listening());
        QVERIFY(failures->toPlainText().startsWith("Nothing could be opened to listen on:"));
        QCOMPARE(startStop->text(), "Start");
        QVERIFY(startStop->isEnabled());

        dialog->UseListenOptions({.udpPorts = {kListenPort}, .etherFrames = false});
        startStop->click();
        QVERIFY(dialog->Listening());
        QVERIFY(failures->isHidden());
        Click(*dialog, "closeButton");
        QTRY_VERIFY(window.findChild<CListenDlg*>() == nullptr);
        QVERIFY(HeldPort(kListenPort).Held());
    }
};

} // namespace pondel::test

PONDEL_NETWORK_UI_TEST_MAIN(
    pondel::test::ListenWindowTest, "pondel-lab", "127.0.0.1 localhost\n198.51.100.1 pondel-lab\n")
#include "ListenWindowTest.moc"
