#include "devices/camera/CameraButton.h"
#include "demo-gateway/CameraPictureServer.h"
#include "devices/camera/CameraWindowControl.h"
#include "devices/host/DeviceHost.h"
#include "engine/model/EngineState.h"
#include "engine/ports/FrameSender.h"
#include "devices/camera/FrmCamera.h"
#include "support/LinkRecorders.h"
#include "engine/config/ProgramSettings.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingSender.h"
#include "engine/config/SettingKeys.h"
#include "support/TestFolder.h"
#include "engine/model/WindowNames.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkReply>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

const QString Off = QStringLiteral("*6*9**##");
QString on(const QString &address) { return QStringLiteral("*6*0*") + address + QStringLiteral("*##"); }

// One camera window on a program folder, a settings store and a picture server of its own.
struct CameraFixture
{
    explicit CameraFixture(const LoopbackCertificate &certificate)
        : settings(folder.settingsFile()), sender(state.link), server(certificate)
    {
        state.programFolder = folder.path();
        for (int c = 1; c <= 12; ++c) {
            state.model.NomiCamere.at(size_t(c)) = QStringLiteral("Camera ") + QString::number(c);
            state.model.IndirizziCamere.at(size_t(c)) = QString::number(4000 + c);
        }
        state.lang.TestiPcam = {QStringLiteral("Brightness"), QStringLiteral("Contrast"), QStringLiteral("Colour"),
                                QStringLiteral("Zoom"),       QStringLiteral("Quality"),  QStringLiteral("Cycle (s)")};
        QVERIFY(server.start());
    }

    FrmCamera *open()
    {
        window = new FrmCamera(context());
        prepare(window);
        window->show();
        return window;
    }

    CameraContext context()
    {
        return {state, settings, messages, sender, &log, [this] { ++unloads; }};
    }

    void prepare(FrmCamera *w) const
    {
        w->setPictureBase(QUrl(QStringLiteral("https://127.0.0.1:") + QString::number(server.serverPort())));
        w->setTimings(timings);
    }

    static CameraTimings shortTimings()
    {
        CameraTimings t;
        t.startWait = 20;
        t.refresh = 400;
        t.ready = 100;
        t.requestTimeout = 600;
        return t;
    }

    template <typename T> T *child(const QString &name) const { return window->findChild<T *>(name); }
    void click(const QString &button) const { QTest::mouseClick(child<QToolButton>(button), Qt::LeftButton); }
    void clickCamera(int index, Qt::MouseButton button = Qt::LeftButton) const
    {
        QTest::mouseClick(child<CameraButton>(QStringLiteral("Pbut") + QString::number(index)), button);
    }
    CameraButton::Face face(int index) const
    {
        return child<CameraButton>(QStringLiteral("Pbut") + QString::number(index))->face();
    }

    TestFolder folder;
    ProgramSettings settings;
    EngineState state;
    RecordingMessageBox messages;
    RecordingSender sender;
    RecordingLogPane log{QStringLiteral("Tlog")};
    CameraPictureServer server;
    CameraTimings timings = shortTimings();
    QPointer<FrmCamera> window;
    int unloads = 0;
};

} // namespace

// The camera window against a loopback HTTPS picture server with a self-made certificate.
class TestCameraWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void framesOfARun();
    void stopWhileResponseAwaited_data();
    void stopWhileResponseAwaited();
    void cameraZeroHasNoAddress();
    void failuresEndTheLoop_data();
    void failuresEndTheLoop();
    void onlyAWholePictureIsStored_data();
    void onlyAWholePictureIsStored();
    void endlessHeadersEndTheFetch_data();
    void endlessHeadersEndTheFetch();
    void corruptPictureIsNotStored_data();
    void corruptPictureIsNotStored();
    void serialLinkRefusesVideo();
    void unacknowledgedSwitchOnStartsNothing();
    void cycling();
    void cyclingWithNoCameraFlagged();
    void displayClientRestartsTheOneLoop();
    void pictureAdjustments_data();
    void pictureAdjustments();
    void cycleTimeField_data();
    void cycleTimeField();
    void enlargeKeepsToTheTaskbar();
    void unloadSavesAndUnticks();
    void motionAfterSettling();
    void toolTipsFromTheLanguage_data();
    void toolTipsFromTheLanguage();
    void screenReaderNamesFromTheLanguage_data();
    void screenReaderNamesFromTheLanguage();
    void cameraButtonsSayShownAndFlagged();
    void unconfiguredCamerasTakeNoFocus();

private:
    std::unique_ptr<CameraFixture> makeFixture(const LoopbackCertificate &c) { return std::make_unique<CameraFixture>(c); }

    QTemporaryDir m_certificates;
    LoopbackCertificate m_gatewayCertificate;
    LoopbackCertificate m_nonAuthorityCertificate;
    std::unique_ptr<CameraFixture> f;
};

void TestCameraWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QDir(m_certificates.path()).mkdir(QStringLiteral("gateway"));
    QDir(m_certificates.path()).mkdir(QStringLiteral("chain"));
    m_gatewayCertificate = LoopbackCertificate::selfSigned(m_certificates.filePath(QStringLiteral("gateway")));
    QVERIFY2(m_gatewayCertificate.isValid(), qPrintable(m_gatewayCertificate.error));
    m_nonAuthorityCertificate =
        LoopbackCertificate::issuedByNonAuthority(m_certificates.filePath(QStringLiteral("chain")));
    QVERIFY2(m_nonAuthorityCertificate.isValid(), qPrintable(m_nonAuthorityCertificate.error));
}

void TestCameraWindow::toolTipsFromTheLanguage_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("language file") << QStringList{"Ciclo", "Movimento", "Avvia", "Ferma"}
                                   << QStringList{"Ciclo", "Movimento", "Avvia", "Ferma"};
    QTest::newRow("older file: built-in")
        << QStringList{"", "", "", ""}
        << QStringList{"Cycle through the flagged cameras (right-click a camera to flag it)", "Motion detection",
                       "Start", "Stop"};
}

void TestCameraWindow::toolTipsFromTheLanguage()
{
    QFETCH(QStringList, texts);
    QFETCH(QStringList, shown);
    f = makeFixture(m_gatewayCertificate);
    const QStringList keys{"ccycle", "cmotion", "cstart", "cstop"};
    for (int i = 0; i < keys.size(); ++i)
        f->state.lang.tooltip.insert(keys.at(i), texts.at(i));
    f->open();
    const QList<QWidget *> controls{f->child<QWidget>(QStringLiteral("Pbut12")), f->child<QWidget>(QStringLiteral("Cmotion")),
                                    f->child<QWidget>(QStringLiteral("Istart")), f->child<QWidget>(QStringLiteral("Istop"))};
    QStringList tips;
    for (const QWidget *w : controls)
        tips << w->toolTip();
    QCOMPARE(tips, shown);
}

void TestCameraWindow::screenReaderNamesFromTheLanguage_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("language file") << QStringList{"Ciclo", "Immagine", "Movimento"}
                                   << QStringList{"Ciclo", "Immagine", "Movimento"};
    QTest::newRow("older file: built-in English") << QStringList{"", "", ""}
                                                 << QStringList{"Cycle the cameras", "Camera picture", "Motion level"};
}

void TestCameraWindow::screenReaderNamesFromTheLanguage()
{
    QFETCH(QStringList, texts);
    QFETCH(QStringList, names);
    f = makeFixture(m_gatewayCertificate);
    const QStringList keys{"CamCycle", "CamPicture", "CamMotion"};
    for (int i = 0; i < keys.size(); ++i)
        f->state.lang.text.insert(keys.at(i), texts.at(i));
    f->open();
    QStringList said;
    for (const char *name : {"Pbut12", "Pcam", "Label1"})
        said << f->child<QWidget>(QString::fromLatin1(name))->accessibleName();
    QCOMPARE(said, names);
}

// The faces say which camera is shown and which are flagged for the cycle; a reader hears it.
void TestCameraWindow::cameraButtonsSayShownAndFlagged()
{
    f = makeFixture(m_gatewayCertificate);
    f->state.lang.text.insert(QStringLiteral("CamShown"), QStringLiteral("mostrata"));
    f->state.lang.text.insert(QStringLiteral("CamFlagged"), QStringLiteral("nel ciclo"));
    f->open();
    const auto said = [this](int index) {
        return f->child<CameraButton>(QStringLiteral("Pbut") + QString::number(index))->accessibleDescription();
    };
    QCOMPARE(said(0), QStringLiteral("mostrata"));
    QCOMPARE(said(1), QString());
    f->clickCamera(2, Qt::RightButton);
    f->clickCamera(0, Qt::RightButton);
    QCOMPARE(said(2), QStringLiteral("nel ciclo"));
    QCOMPARE(said(0), QStringLiteral("mostrata, nel ciclo"));
    f->clickCamera(2);
    QCOMPARE(said(0), QStringLiteral("nel ciclo"));
    QCOMPARE(said(2), QStringLiteral("mostrata, nel ciclo"));
    QCOMPARE(said(12), QString());
    f->clickCamera(12);
    QCOMPARE(said(12), QStringLiteral("cycling"));
    f->window->StopMe();
}

// Tab goes from one configured camera to the next, past the buttons of cameras the
// installation does not have.
void TestCameraWindow::unconfiguredCamerasTakeNoFocus()
{
    f = makeFixture(m_gatewayCertificate);
    for (int c = 3; c <= 12; ++c)
        f->state.model.IndirizziCamere.at(size_t(c)).clear();
    f->open();
    for (int k = 0; k < 12; ++k) {
        const auto *b = f->child<CameraButton>(QStringLiteral("Pbut") + QString::number(k));
        QCOMPARE(b->focusPolicy(), k < 2 ? Qt::TabFocus : Qt::NoFocus);
    }
    QCOMPARE(f->child<CameraButton>(QStringLiteral("Pbut12"))->focusPolicy(), Qt::TabFocus);
}

void TestCameraWindow::cleanup()
{
    if (f && f->window)
        delete f->window.data();
    f.reset();
}

void TestCameraWindow::framesOfARun()
{
    f = makeFixture(m_gatewayCertificate);
    FrmCamera *w = f->open();
    QSignalSpy shown(w, &FrmCamera::pictureShown);

    // Choosing a camera while idle sends nothing.
    f->clickCamera(1);
    f->clickCamera(0);
    QVERIFY(f->sender.tcp.isEmpty());

    f->click(QStringLiteral("Istart"));
    QVERIFY(w->isRunning());
    QVERIFY(f->child<QToolButton>(QStringLiteral("Istart"))->isHidden());
    QTRY_VERIFY(shown.count() >= 2);
    // The pictures come over one kept-alive connection, and the last one is on disk.
    QCOMPARE(f->server.connections(), 1);
    QVERIFY(!QImage(f->folder.filePath(QStringLiteral("temp.jpg"))).isNull());

    // The keep-alive switches the camera on again.
    QTRY_COMPARE(f->sender.tcp.size(), 2);
    QCOMPARE(f->sender.tcp, (QStringList{on(QStringLiteral("4001")), on(QStringLiteral("4001"))}));

    // A camera chosen while running: exactly one switch-on, and the loop goes on.
    f->clickCamera(1);
    QCOMPARE(f->sender.tcp.size(), 3);
    QCOMPARE(f->sender.tcp.last(), on(QStringLiteral("4002")));
    QCOMPARE(f->child<QLabel>(QStringLiteral("Lcap"))->text(), QStringLiteral("Camera 2"));
    const int before = int(shown.count());
    QTRY_VERIFY(shown.count() > before);

    QSignalSpy ended(w, &FrmCamera::loopEnded);
    f->click(QStringLiteral("Istop"));
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(f->sender.tcp.last(), Off);
    QCOMPARE(f->sender.tcp.count(Off), 1);
    QVERIFY(!w->isRunning());
    QVERIFY(!f->child<QToolButton>(QStringLiteral("Istart"))->isHidden());
    QVERIFY(f->messages.shown.isEmpty());
}

void TestCameraWindow::stopWhileResponseAwaited_data()
{
    QTest::addColumn<bool>("closing");
    QTest::newRow("stop") << false;
    QTest::newRow("program closing") << true;
}

void TestCameraWindow::stopWhileResponseAwaited()
{
    QFETCH(bool, closing);
    f = makeFixture(m_gatewayCertificate);
    f->server.setAnswerDelay(300);
    FrmCamera *w = f->open();
    QSignalSpy shown(w, &FrmCamera::pictureShown);
    QSignalSpy ended(w, &FrmCamera::loopEnded);
    QSignalSpy asked(&f->server, &CameraPictureServer::requestReceived);

    w->Video(1);
    QVERIFY(asked.wait());
    if (closing)
        f->state.InChiusura = true;
    else
        w->StopMe();
    QCOMPARE(f->sender.tcp, QStringList{on(QStringLiteral("4001"))});
    QVERIFY(ended.wait());
    QCOMPARE(f->sender.tcp, (QStringList{on(QStringLiteral("4001")), Off}));
    QCOMPARE(f->server.requests(), 1);
    // A stopped loop drops the picture it waited for; a closing program still shows it.
    QCOMPARE(shown.count(), closing ? 1 : 0);
    QCOMPARE(QFile::exists(f->folder.filePath(QStringLiteral("temp.jpg"))), closing);
}

void TestCameraWindow::cameraZeroHasNoAddress()
{
    f = makeFixture(m_gatewayCertificate);
    FrmCamera *w = f->open();
    QSignalSpy shown(w, &FrmCamera::pictureShown);
    w->Video(0);
    QCOMPARE(f->sender.tcp, QStringList{QStringLiteral("*6*0**##")});
    QVERIFY(shown.wait());
}

void TestCameraWindow::failuresEndTheLoop_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("number");

    QTest::newRow("server never answers") << QStringLiteral("silent") << int(QNetworkReply::TimeoutError);
    QTest::newRow("certificate issued by no authority") << QStringLiteral("chain")
                                                        << int(QNetworkReply::SslHandshakeFailedError);
    QTest::newRow("not a picture") << QStringLiteral("garbage") << 481;
}

void TestCameraWindow::failuresEndTheLoop()
{
    QFETCH(QString, fault);
    QFETCH(int, number);
    f = makeFixture(fault == QLatin1String("chain") ? m_nonAuthorityCertificate : m_gatewayCertificate);
    f->server.setSilent(fault == QLatin1String("silent"));
    if (fault == QLatin1String("garbage"))
        f->server.setFixedBody("<html>busy</html>");
    f->timings.refresh = 60000;
    QVERIFY(f->folder.write(QStringLiteral("temp.jpg"), "previous"));
    FrmCamera *w = f->open();
    QSignalSpy ended(w, &FrmCamera::loopEnded);

    f->click(QStringLiteral("Istart"));
    QVERIFY(ended.wait(3000));
    QCOMPARE(f->messages.shown.size(), 1);
    QVERIFY2(f->messages.shown.first().text.startsWith(QString::number(number) + QStringLiteral(" - ")),
             qPrintable(f->messages.shown.first().text));
    QCOMPARE(f->messages.shown.first().icon, MessageBoxService::Icon::Critical);
    QCOMPARE(f->messages.shown.first().title, QStringLiteral("Ombrix"));
    // The error path sends no switch-off and keeps the last picture on disk.
    QCOMPARE(f->sender.tcp, QStringList{on(QStringLiteral("4001"))});
    QCOMPARE(f->folder.read(QStringLiteral("temp.jpg")), QByteArray("previous"));

    // The window stays usable: the same start works once the gateway behaves.
    QVERIFY(!w->isRunning());
    QVERIFY(!f->child<QToolButton>(QStringLiteral("Istart"))->isHidden());
    if (fault == QLatin1String("chain"))
        return;
    f->server.setSilent(false);
    f->server.setFixedBody(QByteArray());
    QSignalSpy shown(w, &FrmCamera::pictureShown);
    f->click(QStringLiteral("Istart"));
    QVERIFY(shown.wait());
}

void TestCameraWindow::onlyAWholePictureIsStored_data()
{
    QTest::addColumn<bool>("cut");
    QTest::addColumn<qint64>("announced");  // -1: the body's own length, 0: the whole picture's
    QTest::addColumn<bool>("endless");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    const qint64 none = CameraPictureServer::NoLength;
    QTest::newRow("cut at half, length as sent") << true << qint64(-1) << false << 481 << "Invalid picture: cut short";
    QTest::newRow("shorter than its Content-Length")
        << true << qint64(0) << false << int(QNetworkReply::RemoteHostClosedError) << "";
    QTest::newRow("cut at half, no length") << true << none << false << 481 << "Invalid picture: cut short";
    QTest::newRow("4 GB announced") << false << qint64(4) * 1024 * 1024 * 1024 << true
                                    << int(QNetworkReply::UnknownContentError)
                                    << "Picture larger than 8388608 bytes (4294967296)";
    QTest::newRow("no length, never ends") << false << none << true << int(QNetworkReply::UnknownContentError)
                                           << "Picture larger than 8388608 bytes";
}

void TestCameraWindow::onlyAWholePictureIsStored()
{
    QFETCH(bool, cut);
    QFETCH(qint64, announced);
    QFETCH(bool, endless);
    QFETCH(int, number);
    QFETCH(QString, description);
    f = makeFixture(m_gatewayCertificate);
    const QByteArray whole = CameraPictureServer::drawPicture(0);
    // A half picture decodes: the decoder fills the rest with grey and only warns.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("premature end")));
    QVERIFY(!QImage::fromData(whole.left(whole.size() / 2)).isNull());
    f->server.setFixedBody(cut ? whole.left(whole.size() / 2) : whole);
    f->server.setAnnouncedLength(announced == 0 ? whole.size() : announced);
    f->server.setEndless(endless);
    f->timings.refresh = 60000;
    f->timings.requestTimeout = 5000;
    QVERIFY(f->folder.write(QStringLiteral("temp.jpg"), "previous"));
    FrmCamera *w = f->open();
    QSignalSpy ended(w, &FrmCamera::loopEnded);
    QSignalSpy shown(w, &FrmCamera::pictureShown);
    QElapsedTimer clock;
    clock.start();
    f->click(QStringLiteral("Istart"));
    QVERIFY(ended.wait(8000));
    // Refused at the bound, not at the deadline.
    QVERIFY(clock.elapsed() < 4000);
    QCOMPARE(shown.count(), 0);
    QCOMPARE(f->folder.read(QStringLiteral("temp.jpg")), QByteArray("previous"));
    QCOMPARE(f->messages.shown.size(), 1);
    const QString text = f->messages.shown.first().text;
    QVERIFY2(text.startsWith(QString::number(number) + QStringLiteral(" - ") + description), qPrintable(text));
}

void TestCameraWindow::endlessHeadersEndTheFetch_data()
{
    QTest::addColumn<int>("head");
    QTest::newRow("one endless header line") << int(CameraPictureServer::EndlessHead::OneLine);
    QTest::newRow("endless header lines") << int(CameraPictureServer::EndlessHead::Lines);
}

void TestCameraWindow::endlessHeadersEndTheFetch()
{
    QFETCH(int, head);
    f = makeFixture(m_gatewayCertificate);
    f->server.setEndlessHead(CameraPictureServer::EndlessHead(head));
    f->timings.refresh = 60000;
    f->timings.requestTimeout = 5000;
    QVERIFY(f->folder.write(QStringLiteral("temp.jpg"), "previous"));
    FrmCamera *w = f->open();
    QSignalSpy ended(w, &FrmCamera::loopEnded);
    QElapsedTimer clock;
    clock.start();
    f->click(QStringLiteral("Istart"));
    QVERIFY(ended.wait(8000));
    // Refused at the bound, not at the deadline.
    QVERIFY(clock.elapsed() < 4000);
    QCOMPARE(f->folder.read(QStringLiteral("temp.jpg")), QByteArray("previous"));
    QCOMPARE(f->messages.shown.size(), 1);
    QCOMPARE(f->messages.shown.first().text,
             QString::number(int(QNetworkReply::UnknownContentError)) + QStringLiteral(" - Reply headers longer than 8192 bytes"));
}

void TestCameraWindow::corruptPictureIsNotStored_data()
{
    QTest::addColumn<QByteArray>("body");
    const QByteArray whole = CameraPictureServer::drawPicture(0);
    const QByteArray endMarker("\xFF\xD9");
    QByteArray brokenMiddle = whole;
    for (qsizetype i = whole.size() / 2; i < whole.size() / 2 + 40; ++i)
        brokenMiddle[i] = char(0x00);
    QTest::newRow("broken middle") << brokenMiddle;
    QTest::newRow("cut, then its end marker") << whole.left(whole.size() / 2) + endMarker;
    QTest::newRow("cut, zero-padded to 1 MiB, end marker")
        << whole.left(whole.size() / 2) + QByteArray(1024 * 1024 - whole.size() / 2 - 2, '\0') + endMarker;
}

void TestCameraWindow::corruptPictureIsNotStored()
{
    QFETCH(QByteArray, body);
    // Each decodes, with a warning only.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Corrupt JPEG data|Premature end")));
    QVERIFY(!QImage::fromData(body).isNull());
    f = makeFixture(m_gatewayCertificate);
    f->server.setFixedBody(body);
    f->timings.refresh = 60000;
    QVERIFY(f->folder.write(QStringLiteral("temp.jpg"), "previous"));
    FrmCamera *w = f->open();
    QSignalSpy ended(w, &FrmCamera::loopEnded);
    QSignalSpy shown(w, &FrmCamera::pictureShown);
    f->click(QStringLiteral("Istart"));
    QVERIFY(ended.wait(8000));
    QCOMPARE(shown.count(), 0);
    QCOMPARE(f->folder.read(QStringLiteral("temp.jpg")), QByteArray("previous"));
    QCOMPARE(f->messages.shown.size(), 1);
    const QString text = f->messages.shown.first().text;
    QVERIFY2(text.startsWith(QStringLiteral("481 - Invalid picture: ")), qPrintable(text));

    // The next whole picture is stored again.
    f->server.setFixedBody(QByteArray());
    f->click(QStringLiteral("Istart"));
    QVERIFY(shown.wait());
    QVERIFY(f->folder.read(QStringLiteral("temp.jpg")).startsWith("\xFF\xD8"));
}

void TestCameraWindow::serialLinkRefusesVideo()
{
    f = makeFixture(m_gatewayCertificate);
    f->state.link.ModoUsb = true;
    FrmCamera *w = f->open();
    f->click(QStringLiteral("Istart"));
    QCOMPARE(f->messages.texts(), QStringList{QStringLiteral("USB don't suppot video")});
    QVERIFY(f->sender.tcp.isEmpty());
    QVERIFY(!w->isRunning());

    // A display client's request opens no dialog: the refusal goes to the monitor log.
    w->Video(2, true);
    QCOMPARE(f->messages.shown.size(), 1);
    QVERIFY(f->log.text().contains(QStringLiteral("USB don't suppot video")));
    QCOMPARE(f->server.requests(), 0);
}

void TestCameraWindow::unacknowledgedSwitchOnStartsNothing()
{
    f = makeFixture(m_gatewayCertificate);
    f->sender.acknowledge = false;
    FrmCamera *w = f->open();
    f->click(QStringLiteral("Istart"));
    QVERIFY(!w->isRunning());
    QTest::qWait(100);
    QCOMPARE(f->server.requests(), 0);
    QVERIFY(f->messages.shown.isEmpty());
    QCOMPARE(f->sender.tcp, QStringList{on(QStringLiteral("4001"))});
}

void TestCameraWindow::cycling()
{
    f = makeFixture(m_gatewayCertificate);
    f->settings.save(SettingKeys::Tcic, QStringLiteral("1000"));
    f->timings.refresh = 60000;
    FrmCamera *w = f->open();
    using F = CameraButton::Face;

    // Right-click flags cameras 2 and 3; the selected camera 1 is not flagged.
    f->clickCamera(1, Qt::RightButton);
    f->clickCamera(2, Qt::RightButton);
    f->clickCamera(12, Qt::RightButton);
    QCOMPARE((QList<F>{f->face(0), f->face(1), f->face(2), f->face(12)}), (QList<F>{F::Red, F::Down, F::Down, F::White}));

    // Cycling starts on the first flagged camera from the selected one.
    f->clickCamera(12);
    QVERIFY(w->isCycling());
    QCOMPARE(w->cameraCorrente(), 2);
    QCOMPARE((QList<F>{f->face(0), f->face(1), f->face(2), f->face(12)}),
             (QList<F>{F::White, F::DownRed, F::Down, F::Down}));
    QCOMPARE(f->sender.tcp, QStringList{on(QStringLiteral("4002"))});

    // Each step waits for a picture, then switches the next flagged camera on in the running loop.
    QTRY_COMPARE_WITH_TIMEOUT(f->sender.tcp.size(), 3, 4000);
    QCOMPARE(f->sender.tcp,
             (QStringList{on(QStringLiteral("4002")), on(QStringLiteral("4003")), on(QStringLiteral("4002"))}));
    QVERIFY(w->isRunning());

    // Cycling off stops the loop.
    QSignalSpy ended(w, &FrmCamera::loopEnded);
    f->clickCamera(12);
    QVERIFY(!w->isCycling());
    QCOMPARE(f->face(12), F::White);
    QVERIFY(ended.wait());
    QCOMPARE(f->sender.tcp.last(), Off);
}

void TestCameraWindow::cyclingWithNoCameraFlagged()
{
    f = makeFixture(m_gatewayCertificate);
    FrmCamera *w = f->open();
    f->clickCamera(12);
    QVERIFY(!w->isCycling());
    QCOMPARE(f->face(12), CameraButton::Face::White);
    QVERIFY(f->sender.tcp.isEmpty());
    QVERIFY(!w->isRunning());
}

void TestCameraWindow::displayClientRestartsTheOneLoop()
{
    f = makeFixture(m_gatewayCertificate);
    f->timings.refresh = 60000;
    DeviceHost host;
    host.addWindow(WindowNames::FrmCamera, [this] {
        f->window = new FrmCamera(f->context());
        f->prepare(f->window);
        return f->window.data();
    });
    CameraWindowControl control(host);

    // The listener's "co/" n: shown, stopped, started.
    QVERIFY(control.showCamera());
    control.StopMe();
    control.Video(1);
    FrmCamera *w = f->window;
    QSignalSpy shown(w, &FrmCamera::pictureShown);
    QVERIFY(shown.wait());
    control.StopMe();
    control.Video(3);
    QVERIFY(shown.wait());
    // No second loop, no switch-off in between: one camera was swapped for the other.
    QCOMPARE(f->sender.tcp, (QStringList{on(QStringLiteral("4001")), on(QStringLiteral("4003"))}));
    // The keep-alive keeps the camera the client asked for, not the one selected in the window.
    QCOMPARE(w->cameraCorrente(), 1);
    w->Trefresh_Timer();
    QCOMPARE(f->sender.tcp.last(), on(QStringLiteral("4003")));

    QSignalSpy ended(w, &FrmCamera::loopEnded);
    control.StopMe();
    QVERIFY(ended.wait());
    QTest::qWait(100);
    QCOMPARE(f->sender.tcp.count(Off), 1);
    QVERIFY(f->messages.shown.isEmpty());
    host.unload(WindowNames::FrmCamera);
}

void TestCameraWindow::pictureAdjustments_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("frame");
    const char *names[5] = {"brightness", "contrast", "colour", "zoom", "quality"};
    const char *codes[5] = {"15", "16", "17", "12", "18"};
    for (int i = 0; i < 5; ++i) {
        const QString code = QString::fromLatin1(codes[i]);
        QTest::addRow("%s up", names[i]) << QStringLiteral("Ipiu") + QString::number(i)
                                         << QStringLiteral("*6*") + code + QStringLiteral("0*##");
        QTest::addRow("%s down", names[i]) << QStringLiteral("Imeno") + QString::number(i)
                                           << QStringLiteral("*6*") + code + QStringLiteral("1*##");
    }
}

void TestCameraWindow::pictureAdjustments()
{
    QFETCH(QString, button);
    QFETCH(QString, frame);
    f = makeFixture(m_gatewayCertificate);
    f->open()->Iexpand_Click();
    f->click(button);
    QCOMPARE(f->sender.tcp, QStringList{frame});
}

void TestCameraWindow::cycleTimeField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("milliseconds");
    QTest::addColumn<QString>("shown");

    QTest::newRow("5 s") << QStringLiteral("5") << 5000 << QStringLiteral("5");
    QTest::newRow("letters are dropped") << QStringLiteral("1x2") << 12000 << QStringLiteral("12");
    QTest::newRow("empty keeps the time") << QString() << 10000 << QStringLiteral("10");
    QTest::newRow("0 is 1 s") << QStringLiteral("0") << 1000 << QStringLiteral("1");
    QTest::newRow("99 is 32 s") << QStringLiteral("99") << 32000 << QStringLiteral("32");
}

void TestCameraWindow::cycleTimeField()
{
    QFETCH(QString, typed);
    QFETCH(int, milliseconds);
    QFETCH(QString, shown);
    f = makeFixture(m_gatewayCertificate);
    FrmCamera *w = f->open();
    w->Iexpand_Click();
    auto *field = f->child<QLineEdit>(QStringLiteral("Txtcicla"));
    QCOMPARE(field->text(), QStringLiteral("10"));
    field->clear();
    QTest::keyClicks(field, typed);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(w->tempoCiclo(), milliseconds);
    QCOMPARE(field->text(), shown);
    QCOMPARE(f->settings.read(SettingKeys::Tcic), QString::number(milliseconds));
}

void TestCameraWindow::enlargeKeepsToTheTaskbar()
{
    f = makeFixture(m_gatewayCertificate);
    FrmCamera *w = f->open();
    const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
    const int shrunk = w->height();
    auto *adjustments = f->child<QWidget>(QStringLiteral("adjustments"));
    QVERIFY(adjustments->isHidden());

    // Sitting on the bottom edge: enlarged it moves up, shrunk it moves back down.
    w->move(40, screenHeight - shrunk);
    w->Iexpand_Click();
    QVERIFY(w->isEnlarged());
    QVERIFY(w->height() > shrunk);
    QVERIFY(!adjustments->isHidden());
    QCOMPARE(w->y(), screenHeight - w->height());
    QCOMPARE(f->settings.read(SettingKeys::CameraExpand), QStringLiteral("1"));
    w->Iexpand_Click();
    QCOMPARE(w->height(), shrunk);
    QCOMPARE(w->y(), screenHeight - shrunk);
    QCOMPARE(f->settings.read(SettingKeys::CameraExpand), QStringLiteral("0"));

    // Elsewhere it keeps its top.
    w->move(40, 100);
    w->Iexpand_Click();
    w->Iexpand_Click();
    QCOMPARE(w->y(), 100);
}

void TestCameraWindow::unloadSavesAndUnticks()
{
    f = makeFixture(m_gatewayCertificate);
    f->settings.save(SettingKeys::CameraExpand, QStringLiteral("1"));
    FrmCamera *w = f->open();
    QVERIFY(w->isEnlarged());
    w->move(120, 80);
    QSignalSpy shown(w, &FrmCamera::pictureShown);
    w->Video(1);
    QVERIFY(shown.wait());

    f->click(QStringLiteral("Ixit"));
    QTRY_VERIFY(f->window.isNull());
    QCOMPARE(f->unloads, 1);
    QCOMPARE(f->sender.tcp.last(), Off);
    // Twips at 15 per pixel on the test screen.
    QCOMPARE(f->settings.read(WindowNames::FrmCamera, SettingKeys::PosX, QString()), QStringLiteral("1800"));
    QCOMPARE(f->settings.read(WindowNames::FrmCamera, SettingKeys::PosY, QString()), QStringLiteral("1200"));

    FrmCamera *again = f->open();
    QCOMPARE(again->pos(), QPoint(120, 80));
}

void TestCameraWindow::motionAfterSettling()
{
    f = makeFixture(m_gatewayCertificate);
    FrmCamera *w = f->open();
    f->child<QCheckBox>(QStringLiteral("Cmotion"))->setChecked(true);
    auto *readout = f->child<QLabel>(QStringLiteral("Label1"));
    QSignalSpy shown(w, &FrmCamera::pictureShown);
    w->Video(1);
    // Pictures right after the switch-on are not analysed; after the settle delay they are.
    QVERIFY(shown.wait());
    QVERIFY(readout->text().isEmpty());
    QTRY_VERIFY(!readout->text().isEmpty());
    QVERIFY(readout->text().contains(QStringLiteral(" % movement\nReal Movement: ")));
    // A screen reader hears the level as the readout's value, on one line.
    QCOMPARE(readout->accessibleDescription(), readout->text().replace(QLatin1Char('\n'), QStringLiteral(", ")));
    // The settle phase began with the delay; the calm demo scene ends it.
    QTRY_VERIFY(!w->motion().Assestamento && w->motion().Fotogrammi > 0);
    w->StopMe();
}

QTEST_MAIN(TestCameraWindow)
#include "tst_camerawindow.moc"
