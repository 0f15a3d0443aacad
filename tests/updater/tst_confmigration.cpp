#include "engine/config/ConfLoader.h"
#include "updater/ConfMigration.h"
#include "engine/model/EngineState.h"
#include "support/NearlyFullFolder.h"
#include "support/RecordingMessageBox.h"
#include "support/TestFolder.h"
#include "updater/UpdateLog.h"
#include "engine/protocol/Windows1252.h"

#include <QDir>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QtTest>

class TestConfMigration : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void versions_data();
    void versions();
    void block101Exactly();
    void block102Exactly();
    void currentFileIsLeftAlone();
    void unsupportedVersion_data();
    void unsupportedVersion();
    void versionTagWrittenOtherwise_data();
    void versionTagWrittenOtherwise();
    void camerasGatheredAtTheFirst();
    void cameraAlreadyUsingAddr();
    void doubledRootClosingTag();
    void addrOnlyAsAttributeName_data();
    void addrOnlyAsAttributeName();
    void cameraMigrationEnds_data();
    void cameraMigrationEnds();
    void cameraAttributesNeverTwice_data();
    void cameraAttributesNeverTwice();
    void commentedProgrammerExampleStays();
    void mainProgramLoadsTheResult_data();
    void mainProgramLoadsTheResult();
    void missingConfFails();
    void secondRunKeepsFirstBackup();
    void migrationSettles_data();
    void migrationSettles();
    void damagedFileSettles();
    void fullDiskKeepsConf_data();
    void fullDiskKeepsConf();
};

namespace {

const QString Crlf = QStringLiteral("\r\n");

QString conf(const QString &version, const QString &body)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<ACTUATOR>\r\n"
                          "<version number=\"%1\"></version>\r\n%2</ACTUATOR>\r\n")
        .arg(version, body);
}

const QString Devices = QStringLiteral(
    "<!-- inserire i nomi dei dispositivi / insert the name of the devices -->\r\n"
    "<device point=\"11\" name=\"luce sala\" type=\"light\" group=\"1\" pull=\"\" dimmer=\"\"></device>\r\n"
    "<device point=\"12\" name=\"cucina \xE8 qui\" type=\"light\" group=\"1\" pull=\"\" dimmer=\"\"></device>\r\n");

const QString ProgrammerExample = QStringLiteral(
    "<scmh200 name=\"scenario n.1\" number=\"1\" cenact=\"0101\" cendis=\"0101\" fstart=\"*1*1*11##\" ></scmh200>");

QStringList scenarioLines()
{
    return {
        QStringLiteral("<scf420 name=\"Scenario 1\" number=\"1\" adr=\"01\"></scf420>"),
        QStringLiteral("<scf420 name=\"Scenario 2\" number=\"2\" adr=\"01\"></scf420>"),
        QStringLiteral("<scf420 name=\"Scenario 3\" number=\"3\" adr=\"01\"></scf420>"),
        QStringLiteral("<scf420 name=\"Scenario 4\" number=\"4\" adr=\"01\"></scf420>"),
        QStringLiteral("<scf420 name=\"Scenario 5\" number=\"5\" adr=\"01\"></scf420>"),
        QStringLiteral("<scf420 name=\"Scenario 6\" number=\"6\" adr=\"01\"></scf420>"),
        QStringLiteral("<scf420 name=\"scenario 7\" number=\"7\" adr=\"01\"></scf420>"),
        QStringLiteral("<scf420 name=\"scenario 8\" number=\"8\" adr=\"01\"></scf420>"),
        QStringLiteral("<scf420 name=\"scenario 9\" number=\"9\" adr=\"01\"></scf420>"),
        QStringLiteral("<scf420 name=\"scenario 10\" number=\"10\" adr=\"01\"></scf420>"),
        QStringLiteral("<scf420 name=\"scenario 11\" number=\"11\" adr=\"01\"></scf420>"),
        QStringLiteral("<scf420 name=\"scenario 12\" number=\"12\" adr=\"01\"></scf420>"),
        QStringLiteral("<scf420 name=\"Scenario 13\" number=\"13\" adr=\"01\"></scf420>"),
        QStringLiteral("<scf420 name=\"Scenario 14\" number=\"14\" adr=\"01\"></scf420>"),
        QStringLiteral("<scf420 name=\"Scenario 15\" number=\"15\" adr=\"01\"></scf420>"),
        QStringLiteral("<scf420 name=\"Scenario 16\" number=\"16\" adr=\"01\"></scf420>"),
    };
}

const QString ScenarioModuleComment = QStringLiteral(
    "<!-- inserire i nomi dei scenari modulo/centr.F420 ed il suo indirizzo (APL)/ insert the name of the f420 "
    "scenarios module with the address (APL)-->");
const QString ProgrammerNotes = QStringLiteral(
    "<!-- inserire i nomi dei scenari mh200 (max 100) / insert the name of the mh200 scenarios (max 100)\r\n"
    "     cenact = comando cen per abilitare lo scenario : A PL PULSANTE(due numeri es.01) / cenact = cen command "
    "for enable scenario : A PL BUTTON(two number eg.01)\r\n"
    "     cendis = comando cen per disabilitare lo scenario : A PL PULSANTE(due numeri es.01) / cendis = cen "
    "command for disable scenario : A PL BUTTON(two number eg.01)\r\n"
    "     fstart = comando cen o own per lanciare lo scenario (es. \"*1*1*11##\" o \"*15*01*11##\") / fstart = cen "
    "or own command for start the scenario (eg. \"*1*1*11##\" o \"*15*01*11##\")");
const QString LongCameraComment = QStringLiteral(
    "<!-- inserire i nomi delle telecamere, il numero (max.12), l'indirizzo (es.4001) e il tipo (1 montante privato "
    "o 2 montante pubblico) / insert the name of the camera, the number (max.12), the address (eg.4001) and type "
    "(1 private riser or 2 public riser)");
const QString CameraExamples = QStringLiteral(
    "es. camera sala, numero 1, indirizzo 4001, montante privato = <camera name=\"camera sala\" number=\"1\" "
    "adr=\"4001\" type=\"1\"></camera>\r\n"
    "citofono, numero 2, indirizzo 4001, montante pubblico = <camera name=\"citofono\" number=\"1\" adr=\"4001\" "
    "type=\"2\"></camera>");

bool wellFormed(const QString &text, QString *why = nullptr)
{
    QXmlStreamReader xml(text);
    while (!xml.atEnd())
        xml.readNext();
    if (why)
        *why = xml.errorString();
    return !xml.hasError();
}

// The real elements of a kind, each as name=value pairs in order, as an XML reader sees them.
QStringList elements(const QString &text, const QString &kind)
{
    QStringList out;
    QXmlStreamReader xml(text);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == kind) {
            QStringList attrs;
            for (const QXmlStreamAttribute &a : xml.attributes())
                attrs << a.name().toString() + QLatin1Char('=') + a.value().toString();
            out << attrs.join(QLatin1Char(' '));
        }
    }
    return out;
}

struct Run
{
    ConfOutcome outcome;
    QString log;
    UpdateError error;
};

QMap<QString, QByteArray> filesIn(const TestFolder &folder)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(folder.path()).entryList(QDir::Files))
        files.insert(name, folder.read(name));
    return files;
}

Run migrateIn(const TestFolder &folder)
{
    UpdateLog log;
    UpdateError error;
    const ConfOutcome outcome = MigraConf(folder.path(), log, &error);
    return {outcome, log.text(), error};
}

} // namespace

void TestConfMigration::versions_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("blockStart"); // first line of what replaces the root closing tag
    QTest::addColumn<bool>("programmerActive");

    const QString cameras = QStringLiteral("<camera name=\"ingresso\" number=\"3\"></camera>\r\n");
    QTest::newRow("1.0.0") << "1.0.0" << Devices << "<!-- inserire i nomi dei gruppi / insert the name of the groups"
                           << true;
    QTest::newRow("1.0.1") << "1.0.1" << Devices << "<!-- inserire i nomi delle sonde / insert the name of the probe"
                           << true;
    QTest::newRow("1.0.2") << "1.0.2" << Devices + cameras << ScenarioModuleComment << false;
    QTest::newRow("1.0.3") << "1.0.3" << Devices + cameras + ProgrammerExample + Crlf << "</ACTUATOR>" << false;
}

void TestConfMigration::versions()
{
    QFETCH(QString, version);
    QFETCH(QString, body);
    QFETCH(QString, blockStart);
    QFETCH(bool, programmerActive);

    TestFolder folder;
    const QByteArray before = Windows1252::encode(conf(version, body));
    QVERIFY(folder.write(QStringLiteral("conf.xml"), before));
    const Run run = migrateIn(folder);
    QCOMPARE(run.outcome, ConfOutcome::Written);
    QCOMPARE(run.log, QStringLiteral("\r\n\r\nApertura file conf.xml ... \r\n(%1) aggiornamento : OK\r\n"
                                     "Scrittura nuovo xml 1.0.4 ... OK\r\n")
                          .arg(version));
    QCOMPARE(folder.read(QStringLiteral("conf.old")), before);

    const QString after = Windows1252::decode(folder.read(QStringLiteral("conf.xml")));
    QString why;
    QVERIFY2(wellFormed(after, &why), qPrintable(why));
    QCOMPARE(elements(after, QStringLiteral("version")), QStringList{QStringLiteral("number=1.0.4")});
    QVERIFY(after.contains(Devices)); // the user's own lines, accents included, stay as they were
    QVERIFY2(after.contains(Crlf + blockStart), qPrintable(after));
    QVERIFY(after.endsWith(QStringLiteral("</ACTUATOR>\r\n\r\n")));
    QCOMPARE(elements(after, QStringLiteral("scmh200")).size(), programmerActive ? 1 : 0);
    if (version >= QLatin1String("1.0.2"))
        QCOMPARE(elements(after, QStringLiteral("camera")),
                 QStringList{QStringLiteral("name=ingresso number=3 adr=4003 type=1")});
}

void TestConfMigration::block101Exactly()
{
    const QString before = conf(QStringLiteral("1.0.1"), Devices);
    QStringList block{
        QStringLiteral("<!-- inserire i nomi delle sonde / insert the name of the probe"),
        QStringLiteral("<probe name=\"sonda 1\" number=\"1\"></probe>"),
        QStringLiteral("-->"),
        QString(),
        LongCameraComment,
        CameraExamples,
        QStringLiteral("<camera name=\"camera n.1\" number=\"1\" adr=\"4001\" type=\"1\" ></camera>"),
        QStringLiteral("-->"),
        QString(),
        ScenarioModuleComment,
        QStringLiteral("<!--"),
    };
    block << scenarioLines() << QStringLiteral("-->") << ProgrammerNotes
          << QStringLiteral("     NON ANCORA DISPONIBILE NELLA VERSIONE 0.98BETA / STILL NOT AVAIABLE IN 0.98BETA VERSION ")
          << QStringLiteral("-->") << ProgrammerExample << QStringLiteral("</ACTUATOR>");
    QString expected = before;
    expected.replace(QStringLiteral("\"1.0.1\""), QStringLiteral("\"1.0.4\""));
    expected.replace(QStringLiteral("</ACTUATOR>"), Crlf + block.join(Crlf));

    const ConfMigration m = migrateConfText(before);
    QCOMPARE(m.kind, ConfMigration::Kind::Migrated);
    QCOMPARE(m.version, QStringLiteral("1.0.1"));
    QCOMPARE(m.text, expected);

    // 1.0.0 adds the group and load examples in front of the same block.
    QString from100 = before;
    from100.replace(QStringLiteral("\"1.0.1\""), QStringLiteral("\"1.0.0\""));
    QString expected100 = expected;
    expected100.replace(Crlf + block.first(),
                        QStringLiteral("\r\n<!-- inserire i nomi dei gruppi / insert the name of the groups\r\n"
                                       "<group name=\"gruppo 1\" group=\"1\"></group>\r\n-->\r\n\r\n"
                                       "<!-- inserire i nomi dei carichi / insert the name of the loads\r\n"
                                       "<load name=\"carico 1\" priority=\"1\"></load>\r\n-->\r\n\r\n")
                            + block.first());
    QCOMPARE(migrateConfText(from100).text, expected100);
}

void TestConfMigration::block102Exactly()
{
    const QString before = conf(QStringLiteral("1.0.2"), Devices);
    QStringList block{ScenarioModuleComment, QStringLiteral("<!--")};
    block << scenarioLines() << QStringLiteral("-->") << ProgrammerNotes
          << QStringLiteral("     NON ANCORA DISPONIBILE NELLA VERSIONE 0.99BETA / STILL NOT AVAIABLE IN 0.99BETA VERSION ")
          << QStringLiteral("-->") << QStringLiteral("<!--") << ProgrammerExample << QStringLiteral("-->")
          << QStringLiteral("</ACTUATOR>");
    QString expected = before;
    expected.replace(QStringLiteral("\"1.0.2\""), QStringLiteral("\"1.0.4\""));
    expected.replace(QStringLiteral("</ACTUATOR>"), Crlf + block.join(Crlf));
    QCOMPARE(migrateConfText(before).text, expected);
}

void TestConfMigration::currentFileIsLeftAlone()
{
    TestFolder folder;
    const QByteArray before = Windows1252::encode(conf(QStringLiteral("1.0.4"), Devices));
    QVERIFY(folder.write(QStringLiteral("conf.xml"), before));
    const Run run = migrateIn(folder);
    QCOMPARE(run.outcome, ConfOutcome::NotNeeded);
    QCOMPARE(run.log, QStringLiteral("\r\n\r\nApertura file conf.xml ... \r\n(1.0.4) Aggiornamento non necessario\r\n"));
    QCOMPARE(folder.read(QStringLiteral("conf.xml")), before);
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("conf.old"))));
}

void TestConfMigration::unsupportedVersion_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("newer") << conf(QStringLiteral("1.0.5"), Devices);
    QTest::newRow("no version tag") << QStringLiteral("<ACTUATOR>\r\n<version/>\r\n%1</ACTUATOR>\r\n").arg(Devices);
    QTest::newRow("blank before the equals sign")
        << QStringLiteral("<ACTUATOR>\r\n<version number =\"1.0.1\"/>\r\n</ACTUATOR>\r\n");
    QTest::newRow("empty file") << QString();
}

void TestConfMigration::unsupportedVersion()
{
    QFETCH(QString, text);
    TestFolder folder;
    QVERIFY(folder.writeText1252(QStringLiteral("conf.xml"), text));
    const Run run = migrateIn(folder);
    QCOMPARE(run.outcome, ConfOutcome::Unsupported);
    QCOMPARE(run.log, QStringLiteral("\r\n\r\nApertura file conf.xml ... \r\nVersione non supportata.\r\n"));
    QCOMPARE(folder.read(QStringLiteral("conf.xml")), Windows1252::encode(text));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("conf.old"))));
}

void TestConfMigration::versionTagWrittenOtherwise_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("expected");
    QTest::newRow("single quotes") << "<version number='1.0.1'/>" << "<version number='1.0.4'/>";
    QTest::newRow("blank before the end of the tag") << "<version number=\"1.0.2\" ></version>"
                                                     << "<version number=\"1.0.4\" ></version>";
    // The camera is left where it is rather than moved with the tag it swallowed.
    QTest::newRow("inside a camera's closing tag")
        << "<camera name=\"a\" number=\"1\"></camera<version number=\"1.0.2\">"
        << "<camera name=\"a\" number=\"1\"></camera<version number=\"1.0.4\">";
}

// Such a tag is read all the same; it must also be set, or every later run adds the blocks again.
void TestConfMigration::versionTagWrittenOtherwise()
{
    QFETCH(QString, tag);
    QFETCH(QString, expected);
    TestFolder folder;
    const QString declaration = QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n");
    QVERIFY(folder.writeText1252(QStringLiteral("conf.xml"),
                                 declaration + QStringLiteral("<ACTUATOR>\r\n") + tag + QStringLiteral("\r\n</ACTUATOR>\r\n")));
    QCOMPARE(migrateIn(folder).outcome, ConfOutcome::Written);
    const QByteArray once = folder.read(QStringLiteral("conf.xml"));
    QVERIFY2(once.startsWith(declaration.toLatin1() + "<ACTUATOR>\r\n" + expected.toLatin1()), once.constData());
    QCOMPARE(migrateIn(folder).outcome, ConfOutcome::NotNeeded);
    QCOMPARE(folder.read(QStringLiteral("conf.xml")), once);
}

void TestConfMigration::camerasGatheredAtTheFirst()
{
    const QString body = QStringLiteral(
        "<device point=\"11\" name=\"luce\" type=\"light\" group=\"1\"></device>\r\n"
        "  <camera name=\"ingresso\" number=\"1\"></camera>\r\n"
        "<group name=\"piano terra\" group=\"1\"></group>\r\n"
        "<!-- inserire i nomi delle telecamere / insert the name of the camera\r\n"
        "<camera name=\"esempio\" number=\"5\"></camera>\r\n"
        "-->\r\n"
        "<probe name=\"sala\" number=\"1\"></probe><camera name=\"garage\" number=\"12\" ></camera>\r\n");
    const QString expectedBody = QStringLiteral(
        "<device point=\"11\" name=\"luce\" type=\"light\" group=\"1\"></device>\r\n"
        "<camera name=\"ingresso\" number=\"1\" adr=\"4001\" type=\"1\"></camera>\r\n"
        "<camera name=\"garage\" number=\"12\"  adr=\"4012\" type=\"1\"></camera>\r\n"
        "<group name=\"piano terra\" group=\"1\"></group>\r\n")
        + LongCameraComment + QStringLiteral("\r\n\r\n") + CameraExamples
        + QStringLiteral("\r\n<camera name=\"esempio\" number=\"5\"></camera>\r\n-->\r\n"
                         "<probe name=\"sala\" number=\"1\"></probe>\r\n");
    QCOMPARE(migrateCameras(body), expectedBody);

    const ConfMigration m = migrateConfText(conf(QStringLiteral("1.0.2"), body));
    QString why;
    QVERIFY2(wellFormed(m.text, &why), qPrintable(why));
    QCOMPARE(elements(m.text, QStringLiteral("camera")),
             (QStringList{QStringLiteral("name=ingresso number=1 adr=4001 type=1"),
                          QStringLiteral("name=garage number=12 adr=4012 type=1")}));
}

void TestConfMigration::cameraAlreadyUsingAddr()
{
    const QString body = QStringLiteral(
        "<camera name=\"ingresso\" number=\"1\" addr=\"4001\" type=\"1\"></camera>\r\n"
        "<probe name=\"sala\" number=\"1\"></probe>\r\n"
        "<camera name=\"garage\" number=\"12\" addr=\"4012\" type=\"2\"></camera>\r\n");
    QString expectedBody = body;
    expectedBody.replace(QStringLiteral("addr="), QStringLiteral("adr="));
    for (const char *version : {"1.0.2", "1.0.3", "1.0.4"}) {
        const ConfMigration m = migrateConfText(conf(QLatin1String(version), body));
        QCOMPARE(m.kind, ConfMigration::Kind::Migrated);
        QVERIFY2(m.text.contains(QStringLiteral("<version number=\"1.0.4\"></version>\r\n") + expectedBody),
                 qPrintable(m.text));
    }
}

void TestConfMigration::doubledRootClosingTag()
{
    const QString text = QStringLiteral("<ACTUATOR>\r\n<version number=\"1.0.1\"></version>\r\n</ACTUATOR>\r\n</ACTUATOR>\r\n");
    const ConfMigration m = migrateConfText(text);
    QCOMPARE(m.text.count(QStringLiteral("<!-- inserire i nomi delle sonde / insert the name of the probe")), 2);
    QCOMPARE(m.text.count(ProgrammerExample), 2);
    QCOMPARE(m.text.count(QStringLiteral("</ACTUATOR>")), 2);
}

void TestConfMigration::addrOnlyAsAttributeName_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("expected");
    QTest::newRow("attribute renamed, nothing else")
        << "<camera name=\"addr= test\" number=\"1\" addr=\"4001\" type=\"1\"></camera>\r\n"
        << "<camera name=\"addr= test\" number=\"1\" adr=\"4001\" type=\"1\"></camera>\r\n";
    QTest::newRow("blanks around the equals sign")
        << "<camera number=\"1\" addr = \"4001\" type=\"1\"></camera>\r\n"
        << "<camera number=\"1\" adr = \"4001\" type=\"1\"></camera>\r\n";
    QTest::newRow("other names ending in addr")
        << "<device point=\"1\" name=\"n\" type=\"t\" group=\"1\" ipaddr=\"x\"></device><camera addr=\"4001\"/>\r\n"
        << "<device point=\"1\" name=\"n\" type=\"t\" group=\"1\" ipaddr=\"x\"></device><camera adr=\"4001\"/>\r\n";
    QTest::newRow("comments and text")
        << "<!-- addr=\"4001\" was the old name -->\r\n<note>addr=x</note>\r\n<camera addr=\"4001\"></camera>\r\n"
        << "<!-- addr=\"4001\" was the old name -->\r\n<note>addr=x</note>\r\n<camera adr=\"4001\"></camera>\r\n";
    QTest::newRow("element already holding adr, beside one to rename")
        << "<camera adr=\"4002\" addr=\"4001\"></camera>\r\n<camera addr=\"4003\"></camera>\r\n"
        << "<camera adr=\"4002\" addr=\"4001\"></camera>\r\n<camera adr=\"4003\"></camera>\r\n";
}

void TestConfMigration::addrOnlyAsAttributeName()
{
    QFETCH(QString, body);
    QFETCH(QString, expected);
    const ConfMigration m = migrateConfText(conf(QStringLiteral("1.0.4"), body));
    QCOMPARE(m.kind, ConfMigration::Kind::Migrated);
    QVERIFY2(m.text.contains(QStringLiteral("</version>\r\n") + expected + Crlf + QStringLiteral("</ACTUATOR>")),
             qPrintable(m.text));
}

void TestConfMigration::cameraMigrationEnds_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("cameras");
    QTest::newRow("self-closing camera")
        << "<camera name=\"a\" number=\"1\" />\r\n<camera name=\"b\" number=\"2\"></camera>\r\n"
        << QStringList{QStringLiteral("name=a number=1"), QStringLiteral("name=b number=2 adr=4002 type=1")};
    QTest::newRow("camera never closed")
        << "<x>\r\n<camera name=\"a\" number=\"1\">\r\n</x>\r\n" << QStringList();
    QTest::newRow("closing tag only inside a comment")
        << "<camera name=\"a\" number=\"1\"><!-- </camera> -->\r\n" << QStringList();
}

void TestConfMigration::cameraMigrationEnds()
{
    QFETCH(QString, body);
    QFETCH(QStringList, cameras);
    const QString migrated = migrateCameras(body);
    if (!cameras.isEmpty())
        QCOMPARE(elements(QStringLiteral("<a>") + migrated + QStringLiteral("</a>"), QStringLiteral("camera")), cameras);
    else
        QCOMPARE(migrated, body);
}

void TestConfMigration::cameraAttributesNeverTwice_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("expected");
    QTest::newRow("has type") << "<camera name=\"c\" number=\"7\" type=\"2\"></camera>"
                              << "<camera name=\"c\" number=\"7\" type=\"2\" adr=\"4007\"></camera>";
    QTest::newRow("has adr") << "<camera name=\"c\" number=\"7\" adr=\"4100\"></camera>"
                             << "<camera name=\"c\" number=\"7\" adr=\"4100\" type=\"1\"></camera>";
    QTest::newRow("has both") << "<camera adr=\"4100\" type=\"2\" name=\"c\" number=\"7\"></camera>"
                              << "<camera adr=\"4100\" type=\"2\" name=\"c\" number=\"7\"></camera>";
    QTest::newRow("three digits cut to two") << "<camera name=\"c\" number=\"123\"></camera>"
                                             << "<camera name=\"c\" number=\"123\" adr=\"4012\" type=\"1\"></camera>";
    QTest::newRow("'>' in a value and in the content")
        << "<camera name=\"a>b\" number=\"4\">x &gt; y</camera>"
        << "<camera name=\"a>b\" number=\"4\" adr=\"4004\" type=\"1\">x &gt; y</camera>";
}

void TestConfMigration::cameraAttributesNeverTwice()
{
    QFETCH(QString, element);
    QFETCH(QString, expected);
    const QString migrated = migrateCameras(QStringLiteral("<a>\r\n") + element + QStringLiteral("\r\n</a>\r\n"));
    QCOMPARE(migrated, QStringLiteral("<a>\r\n") + expected + QStringLiteral("\r\n</a>\r\n"));
    QVERIFY(wellFormed(migrated));
}

void TestConfMigration::commentedProgrammerExampleStays()
{
    const QString body = QStringLiteral("<!--\r\n") + ProgrammerExample + QStringLiteral("\r\n-->\r\n") + ProgrammerExample
                         + Crlf;
    const ConfMigration m = migrateConfText(conf(QStringLiteral("1.0.3"), body));
    QVERIFY2(m.text.contains(QStringLiteral("<!--\r\n") + ProgrammerExample + QStringLiteral("\r\n-->\r\n<!--\r\n")
                             + ProgrammerExample + QStringLiteral("\r\n-->\r\n")),
             qPrintable(m.text));
    QString why;
    QVERIFY2(wellFormed(m.text, &why), qPrintable(why));
    QCOMPARE(m.text.count(QStringLiteral("<!--")), 2);
}

void TestConfMigration::mainProgramLoadsTheResult_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("cameraAddresses"); // cameras 1 and 12
    QTest::addColumn<QString>("programmerName");      // scenario programmer entry 1

    const QString points = QStringLiteral(
        "<device point=\"11\" name=\"Luce soggiorno\" type=\"1\" group=\"1\"></device>\r\n"
        "<device point=\"21\" name=\"Tapparella\" type=\"2\" group=\"0\"></device>\r\n");
    const QString groups = QStringLiteral("<group name=\"Zona giorno\" group=\"1\"></group>\r\n"
                                          "<load name=\"Lavatrice\" priority=\"1\"></load>\r\n");
    const QString oldCameras = QStringLiteral(
        "<probe name=\"Soggiorno\" number=\"1\"></probe>\r\n"
        "<!-- inserire i nomi delle telecamere / insert the name of the camera\r\n"
        "<camera name=\"esempio\" number=\"1\"></camera>\r\n-->\r\n"
        "<camera name=\"Ingresso\" number=\"1\"></camera>\r\n"
        "<aux name=\"Cancello\" number=\"2\"></aux>\r\n"
        "<camera name=\"Garage\" number=\"12\"></camera>\r\n");
    QTest::newRow("1.0.0") << "1.0.0" << points << QStringList{QString(), QString()} << "scenario n.1";
    QTest::newRow("1.0.1") << "1.0.1" << points + groups << QStringList{QString(), QString()} << "scenario n.1";
    QTest::newRow("1.0.2") << "1.0.2" << points + groups + oldCameras
                           << QStringList{QStringLiteral("4001"), QStringLiteral("4012")} << QString();
    QTest::newRow("1.0.3") << "1.0.3" << points + groups + oldCameras + ProgrammerExample + Crlf
                           << QStringList{QStringLiteral("4001"), QStringLiteral("4012")} << QString();
    QTest::newRow("1.0.4 with addr")
        << "1.0.4"
        << points + QStringLiteral("<camera name=\"Ingresso\" number=\"1\" addr=\"4001\" type=\"2\"></camera>\r\n")
        << QStringList{QStringLiteral("4001#2"), QString()} << QString();
}

// The point of the migration: the main program's own loader takes the result without a word.
void TestConfMigration::mainProgramLoadsTheResult()
{
    QFETCH(QString, version);
    QFETCH(QString, body);
    QFETCH(QStringList, cameraAddresses);
    QFETCH(QString, programmerName);

    TestFolder folder;
    QVERIFY(folder.writeText1252(QStringLiteral("conf.xml"), conf(version, body)));
    QCOMPARE(migrateIn(folder).outcome, ConfOutcome::Written);

    EngineState state;
    state.programFolder = folder.path();
    for (const char *key : {"xmlold", "xmlgen", "xmlCameraErr", "xmlCameraDup", "xml200Err", "xmlcenAErr"})
        state.lang.error.insert(QLatin1String(key), QLatin1String(key));
    RecordingMessageBox boxes;
    QVERIFY(ConfLoader(state, boxes).CaricaConf());
    QVERIFY2(boxes.shown.isEmpty(), qPrintable(boxes.texts().join(QLatin1Char('|'))));
    QVERIFY(!state.InChiusura);
    QCOMPARE(state.model.Dispositivi.at(11).name, QStringLiteral("Luce soggiorno"));
    QCOMPARE(state.model.IndirizziCamere.at(1), cameraAddresses.at(0));
    QCOMPARE(state.model.IndirizziCamere.at(12), cameraAddresses.at(1));
    QCOMPARE(state.model.ScenariMH200.at(1).name, programmerName);
}

void TestConfMigration::missingConfFails()
{
    TestFolder folder;
    const Run run = migrateIn(folder);
    QCOMPARE(run.outcome, ConfOutcome::Failed);
    QCOMPARE(run.error.number, 53);
    QVERIFY(run.error.description.contains(QLatin1String("conf.xml")));
    QVERIFY(QDir(folder.path()).entryList(QDir::Files).isEmpty());
}

// A later run on another old file must not take the user's first original from conf.old.
void TestConfMigration::secondRunKeepsFirstBackup()
{
    TestFolder folder;
    const QByteArray original = Windows1252::encode(
        conf(QStringLiteral("1.0.1"), QStringLiteral("<camera name=\"ingresso\" number=\"1\" addr=\"4001\"></camera>\r\n")));
    QVERIFY(folder.write(QStringLiteral("conf.xml"), original));
    QCOMPARE(migrateIn(folder).outcome, ConfOutcome::Written);
    // Renamed in the same run: the migrated file needs nothing more.
    QVERIFY(!folder.read(QStringLiteral("conf.xml")).contains("addr="));
    const QByteArray another = Windows1252::encode(conf(QStringLiteral("1.0.2"), Devices));
    QVERIFY(folder.write(QStringLiteral("conf.xml"), another));
    QCOMPARE(migrateIn(folder).outcome, ConfOutcome::Written);
    QCOMPARE(migrateIn(folder).outcome, ConfOutcome::NotNeeded);

    QCOMPARE(folder.read(QStringLiteral("conf.old")), original);
    QCOMPARE(folder.read(QStringLiteral("conf.2.old")), another);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
             (QStringList{QStringLiteral("conf.2.old"), QStringLiteral("conf.old"), QStringLiteral("conf.xml")}));
}

void TestConfMigration::migrationSettles_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("firstWrites");
    const QString both = QStringLiteral("<camera name=\"c\" number=\"1\" adr=\"4001\" addr=\"4001\" type=\"1\"></camera>\r\n");
    QTest::newRow("current, camera with both adr and addr") << "1.0.4" << Devices + both << false;
    QTest::newRow("current, only adr") << "1.0.4" << Devices << false;
    QTest::newRow("current, addr beside a camera with both")
        << "1.0.4" << both + QStringLiteral("<camera name=\"d\" number=\"2\" addr=\"4002\"></camera>\r\n") << true;
    QTest::newRow("1.0.1, camera with both") << "1.0.1" << Devices + both << true;
    QTest::newRow("1.0.1, camera with addr")
        << "1.0.1" << QStringLiteral("<camera name=\"c\" number=\"1\" addr=\"4001\"></camera>\r\n") << true;
    QTest::newRow("1.0.2 cameras") << "1.0.2"
                                   << QStringLiteral("<camera name=\"a\" number=\"1\"></camera>\r\n") + Devices
                                          + QStringLiteral("<camera name=\"b\" number=\"12\"></camera>\r\n")
                                   << true;
    QTest::newRow("1.0.3 programmer example") << "1.0.3" << Devices + ProgrammerExample + QStringLiteral("\r\n") << true;
}

// A file that needs nothing is not written, and a migrated file needs nothing: the second
// run leaves the file and its backups exactly as the first left them.
void TestConfMigration::migrationSettles()
{
    QFETCH(QString, version);
    QFETCH(QString, body);
    QFETCH(bool, firstWrites);
    TestFolder folder;
    const QByteArray original = Windows1252::encode(conf(version, body));
    QVERIFY(folder.write(QStringLiteral("conf.xml"), original));

    QCOMPARE(migrateIn(folder).outcome, firstWrites ? ConfOutcome::Written : ConfOutcome::NotNeeded);
    const QMap<QString, QByteArray> once = filesIn(folder);
    QCOMPARE(once.keys(), firstWrites ? (QStringList{QStringLiteral("conf.old"), QStringLiteral("conf.xml")})
                                      : QStringList{QStringLiteral("conf.xml")});
    if (!firstWrites)
        QCOMPARE(once.value(QStringLiteral("conf.xml")), original);

    const Run second = migrateIn(folder);
    QCOMPARE(second.outcome, ConfOutcome::NotNeeded);
    QVERIFY2(second.log.endsWith(QStringLiteral("(1.0.4) Aggiornamento non necessario\r\n")), qPrintable(second.log));
    QCOMPARE(filesIn(folder), once);
}

// A 1.0.1 file with broken markup, found by fuzzing: the blocks added at its end changed which
// text read as a tag, and an "addr" renamed only on the second run.
void TestConfMigration::damagedFileSettles()
{
    QFile seed(QStringLiteral(OMBRIX_SOURCE_DIR "/tests/fuzz/seeds/confmigration/damaged-101.xml"));
    QVERIFY(seed.open(QIODevice::ReadOnly));
    TestFolder folder;
    QVERIFY(folder.write(QStringLiteral("conf.xml"), seed.readAll()));
    QCOMPARE(migrateIn(folder).outcome, ConfOutcome::Written);
    const QMap<QString, QByteArray> once = filesIn(folder);
    QCOMPARE(migrateIn(folder).outcome, ConfOutcome::NotNeeded);
    QCOMPARE(filesIn(folder), once);
}

void TestConfMigration::fullDiskKeepsConf_data()
{
    QTest::addColumn<NearlyFullFolder::Kind>("kind");
    for (const auto &[kind, name] : NearlyFullFolder::kinds())
        QTest::newRow(name) << kind;
}

// Room for the backup but not for the migrated file: conf.xml stays as it was.
void TestConfMigration::fullDiskKeepsConf()
{
    QFETCH(NearlyFullFolder::Kind, kind);
    NearlyFullFolder folder(kind);
    if (!folder.isValid())
        QSKIP(qPrintable(folder.whyNot()));
    QString body = Devices;
    while (body.size() < 6000)
        body += QStringLiteral("<device point=\"%1\" name=\"luce\" type=\"light\" group=\"1\"></device>\r\n").arg(body.size());
    const QByteArray before = Windows1252::encode(conf(QStringLiteral("1.0.1"), body));
    const qint64 room = NearlyFullFolder::blocksFor(before.size());
    QVERIFY(migrateConfText(conf(QStringLiteral("1.0.1"), body)).text.size() > room);
    QVERIFY(folder.write(QStringLiteral("conf.xml"), before));

    UpdateLog log;
    UpdateError error;
    QVERIFY(folder.runOutOfRoom(room));
    const ConfOutcome outcome = MigraConf(folder.path(), log, &error);
    folder.makeRoom();

    QCOMPARE(outcome, ConfOutcome::Failed);
    QCOMPARE(error.number, 75);
    QVERIFY2(error.description.contains(QStringLiteral("conf.xml: ") + folder.reason()), qPrintable(error.description));
    QVERIFY(log.text().endsWith(QStringLiteral("Scrittura nuovo xml 1.0.4 ... ")));
    QCOMPARE(folder.files(), (QMap<QString, QByteArray>{{QStringLiteral("conf.old"), before},
                                                         {QStringLiteral("conf.xml"), before}}));

    QCOMPARE(MigraConf(folder.path(), log, &error), ConfOutcome::Written);
    QCOMPARE(folder.files().keys(), (QStringList{QStringLiteral("conf.old"), QStringLiteral("conf.xml")}));
}

QTEST_GUILESS_MAIN(TestConfMigration)
#include "tst_confmigration.moc"
