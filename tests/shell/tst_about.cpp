#include "shell/about/FrmAbout.h"
#include "shell/services/HoverLink.h"
#include "engine/model/LanguageTexts.h"
#include "support/RecordingLinkOpener.h"
#include "support/RecordingMessageBox.h"
#include "shell/main/ShellOptions.h"
#include "support/TestFolder.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QUrlQuery>
#include <QtTest>

namespace {

struct About
{
    explicit About(const QString &language, SystemInfoTool tool = SystemInfoTool(QList<QStringList>()))
    {
        lang.Lingua = language;
        options.VersioneCorrente = QStringLiteral("1.0.4B5");
        window = std::make_unique<FrmAbout>(lang, options, links, messages, std::move(tool));
        window->show();
    }
    QString label(const char *name) const { return window->findChild<QLabel *>(QString::fromLatin1(name))->text(); }

    LanguageTexts lang;
    ShellOptions options;
    RecordingLinkOpener links;
    RecordingMessageBox messages;
    std::unique_ptr<FrmAbout> window;
};

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void textsByLanguage_data();
    void textsByLanguage();
    void links_data();
    void links();
    void systemInformation();
};

void TestAbout::textsByLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("firstLine");
    const QString it = QStringLiteral("Applicazione per inviare, monitorare, mostrare e tradurre le frame ");
    const QString en = QStringLiteral("Application to send, monitoring, transalte and show the frames ");
    QTest::newRow("italian") << "italian" << it;
    QTest::newRow("Italian in capitals") << "ITALIAN" << it;
    QTest::newRow("english") << "English" << en;
    QTest::newRow("any other") << "deutsch" << en;
}

void TestAbout::textsByLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, firstLine);
    About a(language);
    QCOMPARE(a.window->windowTitle(), QStringLiteral("About Ombrix"));
    QCOMPARE(a.label("lblVersion"), QStringLiteral("Ver. 1.0.4"));
    const QStringList lines = a.label("lblDescription").split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], firstLine);
    QVERIFY(lines[1].contains(QStringLiteral(u"MY-Home Btcino\u00ae")));
    QVERIFY(lines[3].isEmpty());
    QVERIFY(lines[4].contains(QLatin1String("Ombrix")));
    QCOMPARE(a.window->findChild<HoverLink *>(QStringLiteral("Llink"))->text(), QStringLiteral("Ombrix Homepage"));
    QCOMPARE(a.window->findChild<HoverLink *>(QStringLiteral("Llink2"))->text(), QStringLiteral("Report a bug"));
    QCOMPARE(a.window->findChild<QPushButton *>(QStringLiteral("cmdSysInfo"))->text(),
             QStringLiteral("&System Info..."));
}

void TestAbout::links_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("page");
    QTest::newRow("italian") << "Italian" << "/it/";
    QTest::newRow("english") << "english" << "/en/";
}

void TestAbout::links()
{
    QFETCH(QString, language);
    QFETCH(QString, page);
    About a(language);
    a.window->Llink_Click();
    a.window->Llink2_Click();
    QCOMPARE(a.links.opened.size(), 2);
    QCOMPARE(a.links.opened[0].path(), page);
    const QUrl mail = a.links.opened[1];
    QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
    QCOMPARE(QUrlQuery(mail).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
             QStringLiteral("Tervalia 1.0.4B5 bug-report"));
}

void TestAbout::systemInformation()
{
    {
        About none(QStringLiteral("english"), SystemInfoTool({{QStringLiteral("no-such-sysinfo-tool")}}));
        QTest::mouseClick(none.window->findChild<QPushButton *>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);
        QCOMPARE(none.messages.texts(), QStringList{QStringLiteral("System Information Is Unavailable At This Time")});
    }
    TestFolder dir;
    const QString tool = dir.filePath(QStringLiteral("sysinfo"));
    const QString ran = dir.filePath(QStringLiteral("ran"));
    dir.write(QStringLiteral("sysinfo"), "#!/bin/sh\necho \"$1\" > \"$2\"\n");
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    About a(QStringLiteral("english"),
            SystemInfoTool({{QStringLiteral("no-such-sysinfo-tool")}, {tool, QStringLiteral("overview"), ran}}));
    a.window->cmdSysInfo_Click();
    QTRY_VERIFY(QFile::exists(ran));
    QTRY_COMPARE(dir.read(QStringLiteral("ran")), QByteArray("overview\n"));
    QVERIFY(a.messages.shown.isEmpty());
    QTest::mouseClick(a.window->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QVERIFY(!a.window->isVisible());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
