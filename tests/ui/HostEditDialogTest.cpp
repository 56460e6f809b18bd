#include <utility>

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "AddressEdit.h"
#include "AddressLookup.h"
#include "CGetHostDlg.h"
#include "CGetIpDlg.h"
#include "CGetMacAddrDlg.h"
#include "CHostEditDlg.h"
#include "DialogDriving.h"
#include "Ipv4Text.h"
#include "ModalSeam.h"
#include "TemporaryDirectory.h"
#include "VendorDirectory.h"

namespace pondel::test {
namespace {

QString NetMaskFor(const char* address)
{
    return QString::fromStdString(IpToText(GetNetMask(TextToIp(address))));
}

} // namespace

class HostEditDialogTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
    }

    void theAddressFieldKeepsOnlyWhatCanBecomeAnAddress()
    {
        AddressEdit edit;
        QTest::keyClicks(&edit, QStringLiteral("19x2.168.1a.300.5"));
        // Letters, a fifth number and a number above 255 are refused, and
        // each refusal is said.
        QCOMPARE(edit.text(), QStringLiteral("192.168.1.30"));
        const QString notAddress =
            QStringLiteral("An IP address is four numbers from 0 to 255, split by dots.");
        const QString tooLarge =
            QStringLiteral("%1 is too large: each number of an IP address is 0 to 255.");
        QCOMPARE(ModalSeam::ShownTexts(),
            QStringList(
                {notAddress, notAddress, tooLarge.arg(300), notAddress, tooLarge.arg(305)}));
        QVERIFY(edit.IsComplete());
        QCOMPARE(edit.Address(), TextToIp("192.168.1.30"));
    }

    void theAddressFieldReadsPartsNotYetTypedAsZero()
    {
        AddressEdit edit;
        QVERIFY(edit.IsBlank());
        QVERIFY(!edit.IsComplete());
        QCOMPARE(edit.Address(), 0u);

        edit.setText(QStringLiteral("10.20"));
        QVERIFY(!edit.IsBlank());
        QVERIFY(!edit.IsComplete());
        QCOMPARE(edit.Address(), TextToIp("10.20.0.0"));

        edit.setText(QStringLiteral("10..3.4"));
        QVERIFY(!edit.IsComplete());
        QCOMPARE(edit.Address(), TextToIp("10.0.3.4"));
    }

    void theAddressFieldShowsDottedText()
    {
        AddressEdit edit;
        edit.SetAddress(kInvalidIp);
        QCOMPARE(edit.text(), QStringLiteral("255.255.255.255"));
        QVERIFY(edit.IsComplete());
        edit.SetAddress(TextToIp("198.51.100.7"));
        QCOMPARE(edit.Address(), TextToIp("198.51.100.7"));
    }

    void aNewHostShowsAnEmptyAddressAndTheDefaultNetmask()
    {
        CHostEditDlg dialog;
        QCOMPARE(dialog.windowTitle(), "Edit Host");
        dialog.SetAddMode(true);
        QCOMPARE(dialog.windowTitle(), "Add Host");
        QCOMPARE(FieldText(dialog, "ipAddressEdit"), QString());
        QCOMPARE(FieldText(dialog, "netMaskEdit"), "255.255.255.0");

        dialog.SetValues({"pc", "desk", "not an address", "", "aa"});
        QCOMPARE(FieldText(dialog, "ipAddressEdit"), "255.255.255.255");
        QCOMPARE(FieldText(dialog, "netMaskEdit"), QString());
        QCOMPARE(FieldText(dialog, "hostNameEdit"), "pc");
    }

    void theNetmaskFollowsEveryEditOfTheAddress()
    {
        CHostEditDlg dialog;
        QLineEdit* ip = Part<QLineEdit>(dialog, "ipAddressEdit");
        QTest::keyClicks(ip, "10");
        QCOMPARE(FieldText(dialog, "netMaskEdit"), NetMaskFor("10.0.0.0"));
        QTest::keyClicks(ip, ".1.2.3");
        QCOMPARE(FieldText(dialog, "netMaskEdit"), NetMaskFor("10.1.2.3"));
        // What the user typed in the netmask is overwritten by the next edit.
        Type(dialog, "netMaskEdit", "255.255.255.252");
        QTest::keyClick(ip, Qt::Key_Backspace);
        QCOMPARE(FieldText(dialog, "netMaskEdit"), NetMaskFor("10.1.2.0"));
    }

    void okNeedsACompleteAddressAndKeepsEverythingTyped()
    {
        CHostEditDlg dialog;
        Type(dialog, "hostNameEdit", "pc");
        Type(dialog, "macAddressEdit", "00-11-22-33-44-55");
        Type(dialog, "ipAddressEdit", "192.0.2");
        Click(dialog, "okButton");
        QCOMPARE(ModalSeam::ShownTexts(), QStringList({"Please enter the IP address"}));
        QCOMPARE(dialog.result(), int{QDialog::Rejected});
        QCOMPARE(FieldText(dialog, "ipAddressEdit"), "192.0.2");
        QCOMPARE(FieldText(dialog, "hostNameEdit"), "pc");

        QTest::keyClicks(Part<QLineEdit>(dialog, "ipAddressEdit"), ".7");
        // A netmask left incomplete is derived from the address.
        Type(dialog, "netMaskEdit", "255.255");
        Click(dialog, "okButton");
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        const HostTexts values = dialog.Values();
        QCOMPARE(values.ipAddr, "192.0.2.7");
        QCOMPARE(QString::fromStdString(values.netMask), NetMaskFor("192.0.2.7"));
        QCOMPARE(values.macAddr, "00:11:22:33:44:55"); // in the canonical form
        QCOMPARE(values.comment, "");
    }

    void fieldsRefuseWhatTheRecordCouldNotKeep()
    {
        CHostEditDlg dialog;
        QLineEdit* name = Part<QLineEdit>(dialog, "hostNameEdit");
        QTest::keyClicks(name, QString(130, QLatin1Char('n')));
        QCOMPARE(name->text().size(), 127);
        // Three bytes each in the record: 42 fit in 127 bytes, a 43rd not.
        QLineEdit* comment = Part<QLineEdit>(dialog, "commentEdit");
        for (int i = 0; i < 43; ++i)
            comment->insert(QString(QChar(0x65E5)));
        QCOMPARE(comment->text().size(), 42);
        QLineEdit* mac = Part<QLineEdit>(dialog, "macAddressEdit");
        QTest::keyClicks(mac, QString(40, QLatin1Char('a')));
        QCOMPARE(mac->text().size(), 31);

        mac->clear();
        mac->insert(QStringLiteral("00:11\n22"));
        QCOMPARE(mac->text(), QString());
        mac->insert(QStringLiteral("00:11\r"));
        QCOMPARE(mac->text(), QString());
    }

    // The vendor beside the MAC address follows each edit, from a registry
    // the test writes.
    void theVendorFollowsTheMacAsItIsTyped()
    {
        const TemporaryDirectory registry;
        WriteTextFile(registry / "oui.csv", "MA-L,020000,Lab Boards,\n");
        VendorDirectory vendors(registry.Path());
        vendors.WaitUntilRead();
        CHostEditDlg dialog;
        dialog.SetValues({"pc", "", "192.0.2.5", "255.255.255.0", "02:00:00:00:00:01"});
        dialog.SetVendorLookup([&vendors](const QString& mac) {
            return QString::fromStdString(vendors.FindText(mac.toStdString()));
        });
        QCOMPARE(Part<QLabel>(dialog, "vendorLabel")->text(), "Lab Boards");
        const std::pair<const char*, const char*> typed[] = {
            {"02:00:00:00:00", ""},
            {"02-00-00-00-00-07", "Lab Boards"},
            {"0A:00:00:00:00:01", ""}, // not in the registry
            {"not a mac", ""},
            {"", ""},
        };
        for (const auto& [mac, vendor] : typed) {
            Type(dialog, "macAddressEdit", mac);
            QCOMPARE(Part<QLabel>(dialog, "vendorLabel")->text(), QString::fromUtf8(vendor));
        }
    }

    void getButtonsPassTheLastCompleteAddressAndCancelChangesNothing()
    {
        CHostEditDlg dialog;
        dialog.SetValues({"pc", "", "192.0.2.5", "255.255.255.0", "mac"});
        // Partly retyped: the lookups still get the address given before.
        Type(dialog, "ipAddressEdit", "198.51");

        QString givenToIp;
        QString givenName;
        QString givenToHost;
        QString givenToMac;
        bool returnModes = true;
        ModalSeam::SetNextDialog([&](QDialog& lookup) {
            givenToIp = FieldText(lookup, "ipAddressEdit");
            givenName = FieldText(lookup, "hostNameEdit");
            returnModes &= Part<QPushButton>(lookup, "okButton")->isVisibleTo(&lookup);
            Type(lookup, "hostNameEdit", "changed");
            return int{QDialog::Rejected};
        });
        Click(dialog, "getIpAddressButton");
        ModalSeam::SetNextDialog([&](QDialog& lookup) {
            givenToHost = FieldText(lookup, "ipAddressEdit");
            returnModes &= Part<QPushButton>(lookup, "okButton")->isVisibleTo(&lookup);
            return int{QDialog::Rejected};
        });
        Click(dialog, "getHostNameButton");
        ModalSeam::SetNextDialog([&](QDialog& lookup) {
            givenToMac = FieldText(lookup, "hostEdit");
            returnModes &= Part<QPushButton>(lookup, "okButton")->isVisibleTo(&lookup);
            return int{QDialog::Rejected};
        });
        Click(dialog, "getMacAddressButton");

        QCOMPARE(ModalSeam::ShownTexts(),
            QStringList({"Get IP Address", "Get Host Name", "Get MAC Address"}));
        QCOMPARE(givenToIp, "192.0.2.5");
        QCOMPARE(givenName, "pc");
        QCOMPARE(givenToHost, "192.0.2.5");
        QCOMPARE(givenToMac, "192.0.2.5");
        QVERIFY(returnModes);
        QCOMPARE(FieldText(dialog, "hostNameEdit"), "pc");
        QCOMPARE(FieldText(dialog, "ipAddressEdit"), "198.51");
        QCOMPARE(FieldText(dialog, "macAddressEdit"), "mac");
    }

    // Bad text typed into one field, the others valid: what the field shows,
    // what is said while typing and at OK, whether OK takes the host, and
    // the field's text after OK.
    void badTextInOneField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("messages");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("stored");
        const QString ip = QStringLiteral("Please enter the IP address");
        const QString notAddress =
            QStringLiteral("An IP address is four numbers from 0 to 255, split by dots.");
        const QString mac = QStringLiteral("It is illegal MAC address");
        const QString secureOn = QStringLiteral("It is illegal SecureOn password");
        const QString interfaceName = QStringLiteral(
            "An interface name has at most 15 characters, without blanks, '/' or ':'.");
        const struct {
            const char* field;
            QString typed;
            QString kept;
            QString messages;
            bool accepted;
            QString stored;
        } rows[] = {
            {"ipAddressEdit", "", "", ip, false, ""},
            {"ipAddressEdit", "192.0.2", "192.0.2", ip, false, "192.0.2"},
            // Each refused key is said; what is left is no address.
            {"ipAddressEdit", "-c 5", "5", QStringList(3, notAddress).join('/') + "/" + ip, false,
                "5"},
            {"ipAddressEdit", "192.0.2.7\n-f", "", notAddress + "/" + ip, false, ""},
            {"ipAddressEdit", "10.77.0.999", "10.77.0.99",
                "999 is too large: each number of an IP address is 0 to 255.", true, "10.77.0.99"},
            {"netMaskEdit", "255.x", "255.", notAddress, true, "255."}, // derived from the address
            {"hostNameEdit", "`reboot` -rf", "`reboot` -rf", "", true, "`reboot` -rf"},
            {"commentEdit", "\"a, b\"; $(c)", "\"a, b\"; $(c)", "", true, "\"a, b\"; $(c)"},
            {"macAddressEdit", "-f; reboot", "-f; reboot", mac, false, "-f; reboot"},
            {"macAddressEdit", "02:00:00:00:00", "02:00:00:00:00", mac, false, "02:00:00:00:00"},
            {"macAddressEdit", "zz:zz:zz:zz:zz:zz", "zz:zz:zz:zz:zz:zz", mac, false,
                "zz:zz:zz:zz:zz:zz"},
            {"macAddressEdit", "", "", "", true, ""}, // a host listed for its status only
            {"macAddressEdit", "02-00-5e-10-00-01", "02-00-5e-10-00-01", "", true,
                "02:00:5E:10:00:01"},
            {"secureOnEdit", "", "", "", true, ""},
            {"secureOnEdit", "0102.0304.0506", "0102.0304.0506", "", true, "01:02:03:04:05:06"},
            {"secureOnEdit", "01:02:03", "01:02:03", secureOn, false, "01:02:03"},
            {"interfaceEdit", " enp3s0 ", " enp3s0 ", "", true, "enp3s0"},
            {"interfaceEdit", "eth0:1", "eth0:1", interfaceName, false, "eth0:1"},
            {"interfaceEdit", "../eth0", "../eth0", interfaceName, false, "../eth0"},
            {"interfaceEdit", "my nic", "my nic", interfaceName, false, "my nic"},
            // The field keeps what the record can: 15 bytes.
            {"interfaceEdit", "0123456789abcdefg", "0123456789abcde", "", true, "0123456789abcde"},
        };
        for (const auto& row : rows)
            QTest::addRow("%s %s", row.field, qPrintable(row.typed.left(12)))
                << QString::fromLatin1(row.field) << row.typed << row.kept << row.messages
                << row.accepted << row.stored;
    }
    void badTextInOneField()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(QString, messages);
        QFETCH(bool, accepted);
        QFETCH(QString, stored);
        CHostEditDlg dialog;
        dialog.SetValues({"pc", "", "192.0.2.7", "255.255.255.0", "00:11:22:33:44:55"});
        QLineEdit* edit = Part<QLineEdit>(dialog, qPrintable(field));
        edit->clear();
        // A line break can only be pasted; the field takes a paste whole or not at all.
        if (typed.contains(QLatin1Char('\n')))
            edit->insert(typed);
        else
            QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), kept);
        Click(dialog, "okButton");
        QCOMPARE(ModalSeam::ShownTexts().join(QLatin1Char('/')), messages);
        QCOMPARE(dialog.result(), int{accepted ? QDialog::Accepted : QDialog::Rejected});
        QCOMPARE(edit->text(), stored);
        if (accepted && field == "macAddressEdit")
            QCOMPARE(QString::fromStdString(dialog.Values().macAddr), stored);
        if (accepted && field == "secureOnEdit")
            QCOMPARE(QString::fromStdString(dialog.WakeOptions().secureOn), stored);
        if (accepted && field == "interfaceEdit")
            QCOMPARE(QString::fromStdString(dialog.WakeOptions().interfaceName), stored);
    }

    void anIncompleteAddressInGetHostNameClosesWithTheNameAsItWas()
    {
        CHostEditDlg dialog;
        dialog.SetValues({"keep-me", "", "", "", ""});
        bool busy = true;
        ModalSeam::SetNextDialog([&busy](QDialog& lookup) {
            Click(lookup, "getHostNameButton");
            // Nothing to look up, and nothing said.
            busy = static_cast<LookupDialog&>(lookup).IsBusy();
            Click(lookup, "okButton");
            return lookup.result();
        });
        Click(dialog, "getHostNameButton");
        QVERIFY(!busy);
        QCOMPARE(ModalSeam::ShownTexts(), QStringList({"Get Host Name"}));
        QCOMPARE(FieldText(dialog, "hostNameEdit"), "keep-me");
    }
};

} // namespace pondel::test

QTEST_MAIN(pondel::test::HostEditDialogTest)
#include "HostEditDialogTest.moc"
