#include "shell/about/FrmAbout.h"
#include "shell/main/ShellOptions.h"
#include "shell/services/QtMessageBoxService.h"
#include "engine/model/LanguageTexts.h"
#include "support/RecordingLinkOpener.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

// A message box belongs to the window the person is using, not always to the main window.
class TestMessageBoxes : public QObject
{
    Q_OBJECT

private slots:
    void ownerIsTheWindowInUse_data();
    void ownerIsTheWindowInUse();
    void aboutBoxMessageBelongsToTheAboutBox();
};

void TestMessageBoxes::ownerIsTheWindowInUse_data()
{
    QTest::addColumn<QString>("inUse");
    QTest::newRow("nothing active") << "main";
    QTest::newRow("main window active") << "main";
    QTest::newRow("another window active") << "other";
    QTest::newRow("modal dialog over the main window") << "modal";
}

void TestMessageBoxes::ownerIsTheWindowInUse()
{
    QFETCH(QString, inUse);
    QMainWindow main;
    QWidget other;
    QDialog modal(&main);
    QtMessageBoxService boxes(&main);
    const QString row = QString::fromLatin1(QTest::currentDataTag());

    QWidget *expected = &main;
    if (row == QLatin1String("main window active")) {
        main.show();
        QApplication::setActiveWindow(&main);
    } else if (inUse == QLatin1String("other")) {
        main.show();
        other.show();
        QApplication::setActiveWindow(&other);
        expected = &other;
    } else if (inUse == QLatin1String("modal")) {
        main.show();
        QApplication::setActiveWindow(&main);
        modal.open();
        expected = &modal;
    }
    QCOMPARE(boxes.owner(), expected);
}

void TestMessageBoxes::aboutBoxMessageBelongsToTheAboutBox()
{
    QMainWindow main;
    main.show();
    QtMessageBoxService boxes(&main);
    LanguageTexts lang;
    lang.Lingua = QStringLiteral("english");
    ShellOptions options;
    RecordingLinkOpener links;
    FrmAbout about(lang, options, links, boxes, SystemInfoTool({{QStringLiteral("no-such-sysinfo-tool")}}), &main);
    about.show();
    QApplication::setActiveWindow(&about);

    // The box is answered as soon as it is up; its parent says whose it is.
    QPointer<QWidget> parentOfBox;
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen = true;
            parentOfBox = box->parentWidget();
            box->accept();
        }
    });
    QTest::mouseClick(about.findChild<QPushButton *>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);
    QVERIFY(seen);
    QCOMPARE(parentOfBox.data(), &about);
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
