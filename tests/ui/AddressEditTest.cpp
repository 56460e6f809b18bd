#include <QTest>

#include "AddressEdit.h"
#include "Ipv4Text.h"

namespace pondel::test {

class AddressEditTest final : public QObject {
    Q_OBJECT

private slots:
    void typingKeepsOnlyWhatCanBecomeAnAddress()
    {
        AddressEdit edit;
        QTest::keyClicks(&edit, QStringLiteral("19x2.168.1a.300.5"));
        // Letters, a fifth number and a number above 255 are refused.
        QCOMPARE(edit.text(), QStringLiteral("192.168.1.30"));
        QVERIFY(edit.IsComplete());
        QCOMPARE(edit.Address(), TextToIp("192.168.1.30"));
    }

    void partsNotYetTypedReadAsZero()
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

    void setAddressShowsDottedText()
    {
        AddressEdit edit;
        edit.SetAddress(kInvalidIp);
        QCOMPARE(edit.text(), QStringLiteral("255.255.255.255"));
        QVERIFY(edit.IsComplete());
        edit.SetAddress(TextToIp("198.51.100.7"));
        QCOMPARE(edit.Address(), TextToIp("198.51.100.7"));
    }
};

} // namespace pondel::test

QTEST_MAIN(pondel::test::AddressEditTest)
#include "AddressEditTest.moc"
