#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"
#include "support/TestFolder.h"

#include <QStandardPaths>
#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void defaultsWhenMissing_data();
    void defaultsWhenMissing();
    void savedAtOnce();
    void valuesStayText();
    void numericReading_data();
    void numericReading();
    void indexedKeys();
};

void TestSettings::defaultsWhenMissing_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("gateway address") << "Option" << "ServerIP" << "192.168.1.35";
    QTest::newRow("port") << "Option" << "ServerPORT" << "20000";
    QTest::newRow("language") << "Option" << "Language" << "italian";
    QTest::newRow("serial port") << "Option" << "Com" << "3";
    QTest::newRow("monitor log background") << "Option" << "backcol" << "16777215";
    QTest::newRow("password empty") << "Option" << "Password" << "";
    QTest::newRow("last command") << "Recent" << "Cmd" << "";
}

void TestSettings::defaultsWhenMissing()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    static const SettingKey table[] = {SettingKeys::ServerIP, SettingKeys::ServerPORT, SettingKeys::Language,
                                       SettingKeys::Com,      SettingKeys::BackCol,    SettingKeys::Password,
                                       SettingKeys::RecentCmd};
    TestFolder dir;
    ProgramSettings store(dir.settingsFile());
    bool found = false;
    for (const SettingKey &k : table) {
        if (k.sectionName() == section && k.keyName() == key) {
            QCOMPARE(store.read(k), expected);
            found = true;
        }
    }
    QVERIFY(found);
}

void TestSettings::savedAtOnce()
{
    TestFolder dir;
    {
        ProgramSettings store(dir.settingsFile());
        store.save(SettingKeys::RecentCmd, QStringLiteral("*1*1*11##"));
        // Another reader of the same store sees it before the writer goes away.
        ProgramSettings other(dir.settingsFile());
        QCOMPARE(other.read(SettingKeys::RecentCmd), QStringLiteral("*1*1*11##"));
    }
    ProgramSettings reopened(dir.settingsFile());
    QCOMPARE(reopened.read(QStringLiteral("Recent"), QStringLiteral("Cmd"), QString()), QStringLiteral("*1*1*11##"));
    QCOMPARE(reopened.read(QStringLiteral("Recent"), QStringLiteral("Missing"), QStringLiteral("d")), QStringLiteral("d"));
}

void TestSettings::valuesStayText()
{
    TestFolder dir;
    // As a user would edit the store by hand: the INI syntax splits a value at commas.
    QVERIFY(dir.write(QStringLiteral("settings.ini"),
                      QByteArray("[Recent]\nCmd=*1*1*11##, *1*0*11##\n[Option]\nAgent=Merlino\n")));
    ProgramSettings store(dir.settingsFile());
    QCOMPARE(store.read(SettingKeys::RecentCmd), QStringLiteral("*1*1*11##, *1*0*11##"));
    QCOMPARE(store.read(SettingKeys::Agent), QStringLiteral("Merlino"));

    const QString tricky = QStringLiteral("@a, b \\c \"d\" ; e=f");
    store.save(SettingKeys::RecentCmd, tricky);
    QCOMPARE(ProgramSettings(dir.settingsFile()).read(SettingKeys::RecentCmd), tricky);
}

void TestSettings::numericReading_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("number") << "255" << 255;
    QTest::newRow("leading number") << "12abc" << 12;
    QTest::newRow("not a number") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestSettings::numericReading()
{
    QFETCH(QString, stored);
    QFETCH(int, expected);
    TestFolder dir;
    ProgramSettings store(dir.settingsFile());
    QCOMPARE(store.readInt(SettingKeys::MsgTras), 255); // the default when missing
    store.save(SettingKeys::MsgTras, stored);
    QCOMPARE(store.readInt(SettingKeys::MsgTras), expected);
}

void TestSettings::indexedKeys()
{
    QCOMPARE(SettingKeys::whoKey(3), QStringLiteral("Who3"));
    QCOMPARE(SettingKeys::whoAKey(0), QStringLiteral("WhoA0"));
    QCOMPARE(SettingKeys::whoLKey(8), QStringLiteral("WhoL8"));
    QCOMPARE(SettingKeys::launchPathKey(2), QStringLiteral("path2"));
    QCOMPARE(SettingKeys::launchProgKey(1), QStringLiteral("prog1"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
