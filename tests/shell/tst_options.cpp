#include "support/AnsweringPort.h"
#include "shell/options/ColorDialogService.h"
#include "shell/main/CommandBoxWidget.h"
#include "shell/services/VbColor.h"
#include "shell/main/ConsolePane.h"
#include "shell/main/DeviceWindows.h"
#include "shell/main/FrmMain.h"
#include "shell/options/FrmOpt.h"
#include "support/LinkFixture.h"
#include "engine/config/GatewaySettings.h"
#include "shell/options/OptionsServices.h"
#include "shell/options/QtColorDialogService.h"
#include "support/RecordingFileDialog.h"
#include "support/RecordingStages.h"
#include "support/RecordingNotice.h"
#include "engine/links/SerialDetection.h"
#include "engine/links/SerialPortName.h"
#include "engine/config/SettingKeys.h"
#include "engine/model/WindowNames.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

namespace K = SettingKeys;

template <typename T>
T &child(QWidget &w, const QString &name)
{
    T *found = w.findChild<T *>(name);
    if (!found)
        qFatal("no child named %s", qPrintable(name));
    return *found;
}

class RecordingColours : public ColorDialogService
{
public:
    bool ScegliColore(QWidget *, QString &colour) override
    {
        ++asked;
        if (answer.isEmpty())
            return false;
        colour = answer;
        return true;
    }
    QString answer; // empty: cancelled
    int asked = 0;
};

class RecordingOptions : public OptionsServices
{
public:
    void previewNoticePosition(QWidget *) override { calls << QStringLiteral("preview"); }
    QStringList characterNames() const override { return characters; }
    bool characterLoaded() const override { return loaded; }
    bool loadCharacter(const QString &name, bool sound, bool visible) override
    {
        calls << QStringLiteral("load %1 sound=%2 visible=%3").arg(name).arg(sound).arg(visible);
        loaded = loadSucceeds;
        return loadSucceeds;
    }
    void releaseCharacter() override
    {
        calls << QStringLiteral("release");
        loaded = false;
    }
    void setCharacterSound(bool on) override { calls << QStringLiteral("sound=%1").arg(on); }
    bool startListeners() override
    {
        calls << QStringLiteral("start");
        running = true;
        return true;
    }
    void stopListeners() override
    {
        calls << QStringLiteral("stop");
        running = false;
    }
    bool listenersRunning() const override { return running; }

    QStringList characters;
    QStringList calls;
    bool loaded = false;
    bool loadSucceeds = true;
    bool running = false;
};

class RecordingWindows : public NoDeviceWindows
{
public:
    void unload(const QString &name) override { unloads << name; }
    QStringList unloads;
};

struct Fixture
{
    Fixture()
        : main(f.state, f.settings, f.messages, files, stages,
               FrmMain::Options{f.folder.filePath(QStringLiteral("ombrix.lock")), false}),
          detection(f.state, f.commands, f.monitor)
    {
        detection.setTimings({500, 50});
        for (const char *key : {"Options", "General", "Connection", "IpAdr", "Useagent", "Agnone", "OptDetect"})
            f.state.lang.text.insert(QLatin1String(key), LinkFixture::txt(key));
        for (const char *key : {"comdetect", "nodetect"})
            f.state.lang.error.insert(QLatin1String(key), LinkFixture::txt(key));
        f.state.link.IpGateway = QStringLiteral("203.0.113.7");
        f.state.link.PortaGateway = QStringLiteral("20000");
    }

    FrmOpt &open()
    {
        dialog = new FrmOpt({f.state, f.settings, main, f.messages, files, colours, notice, windows, options, detection,
                             [this] { return ports; }});
        return *dialog;
    }
    QString stored(const QString &section, const QString &key) const
    {
        return f.settings.read(section, key, QStringLiteral("<none>"));
    }
    QString stored(const SettingKey &key) const { return stored(key.sectionName(), key.keyName()); }
    void startMonitor()
    {
        main.setMonitorButtonImage(2);
        f.state.lang.text.insert(QStringLiteral("LogStop"), QStringLiteral("[LogStop]"));
    }

    LinkFixture f;
    RecordingFileDialog files;
    RecordingColours colours;
    RecordingNotice notice;
    RecordingWindows windows;
    RecordingOptions options;
    RecordingStages stages;
    FrmMain main;
    SerialDetection detection;
    QStringList ports;
    QPointer<FrmOpt> dialog;
};

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup();
    void emptyStore();
    void boxes_data();
    void boxes();
    void loadKeepsStoredBoxes();
    void combosSaveOnlyAfterLoad();
    void msgTypeQuirk();
    void opacity_data();
    void opacity();
    void colours_data();
    void colours();
    void colourDialog_data();
    void colourDialog();
    void address();
    void portBox_data();
    void portBox();
    void passwordBox_data();
    void passwordBox();
    void closingSaves();
    void gatewayFields_data();
    void gatewayFields();
    void launchSlots_data();
    void launchSlots();
    void listeners_data();
    void listeners();
    void character();
    void noticeButtons();
    void portChoice();
    void detection_data();
    void detection();

private:
    std::unique_ptr<Fixture> m_f;
    Fixture &fixture()
    {
        m_f = std::make_unique<Fixture>();
        return *m_f;
    }
};

void TestOptions::cleanup()
{
    if (m_f && m_f->dialog)
        delete m_f->dialog.data();
    m_f.reset();
}

void TestOptions::emptyStore()
{
    Fixture &f = fixture();
    f.ports = {SerialPorts::SerialPortName(QStringLiteral("1")), SerialPorts::SerialPortName(QStringLiteral("3"))};
    FrmOpt &d = f.open();
    QVERIFY(d.FormCaricato());
    QCOMPARE(d.windowTitle(), QStringLiteral("[Options]"));
    auto &tabs = child<QTabWidget>(d, QStringLiteral("STab"));
    QCOMPARE(tabs.count(), 3);
    QCOMPARE(tabs.tabText(2), QStringLiteral("Messaggi"));
    QCOMPARE(child<QComboBox>(d, QStringLiteral("CbProt")).currentText(), QStringLiteral("Gateway Ethernet"));
    QCOMPARE(child<QComboBox>(d, QStringLiteral("CbCom")).currentIndex(), 1);  // the third port
    QCOMPARE(child<QLineEdit>(d, QStringLiteral("TxtIPws")).text(), QStringLiteral("203.0.113.7"));
    QCOMPARE(child<QToolButton>(d, QStringLiteral("LcolMon")).property("colour").toUInt(), 0u);
    QCOMPARE(child<QToolButton>(d, QStringLiteral("PcolMon")).property("colour").toUInt(), 0xFFFFFFu);
    QCOMPARE(child<QToolButton>(d, QStringLiteral("LcolCom")).property("colour").toUInt(), 0u);
    QCOMPARE(child<QToolButton>(d, QStringLiteral("PcolCom")).property("colour").toUInt(), 0xFFFFFFu);
    QCOMPARE(child<QComboBox>(d, QStringLiteral("CFx")).currentText(), QStringLiteral("pop-up dal basso"));
    QCOMPARE(child<QComboBox>(d, QStringLiteral("Ctipo")).currentText(), QStringLiteral("gray"));
    auto &agent = child<QComboBox>(d, QStringLiteral("Cagent"));
    QCOMPARE(agent.count(), 1);
    QCOMPARE(agent.currentText(), QStringLiteral("[Agnone]"));
    QVERIFY(!child<QCheckBox>(d, QStringLiteral("Chide")).isEnabled());
    QVERIFY(!child<QCheckBox>(d, QStringLiteral("Csound")).isEnabled());
    // Loading saves only what its own handlers save: the gateway choice.
    QCOMPARE(f.stored(K::Gateway), QStringLiteral("0"));
    for (const SettingKey &key : {K::Fx, K::MsgType, K::MsgTras, K::Com, K::Monitor, K::WsChum})
        QCOMPARE(f.stored(key), QStringLiteral("<none>"));
    QVERIFY(f.options.calls.isEmpty());
}

// A check box saves "0" or "1" at once, and sets its live copy.
void TestOptions::boxes_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("live"); // which live copy follows, "" none
    QTest::newRow("CChi3") << "CChi3" << "Option" << "Who3" << "Who";
    QTest::newRow("CaChi5") << "CaChi5" << "Option" << "WhoA5" << "WhoA";
    QTest::newRow("ClChi0") << "ClChi0" << "Option" << "WhoL0" << "WhoL";
    QTest::newRow("Cstmon") << "Cstmon" << "Option" << "Monitor" << "";
    QTest::newRow("CStmin") << "CStmin" << "Option" << "Minimized" << "";
    QTest::newRow("Cstchk") << "Cstchk" << "Option" << "Start_chk" << "";
    QTest::newRow("Chide") << "Chide" << "Option" << "hlet" << "hlet";
    QTest::newRow("Csound") << "Csound" << "Option" << "agsound" << "";
}

void TestOptions::boxes()
{
    QFETCH(QString, box);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, live);
    Fixture &f = fixture();
    FrmOpt &d = f.open();
    auto &b = child<QCheckBox>(d, box);
    b.setEnabled(true);
    const Filters before = f.f.state.filters;
    const auto liveValue = [&]() -> QString {
        const Filters &flt = f.f.state.filters;
        const int k = box.right(1).toInt();
        if (live == QLatin1String("Who"))
            return QString::number(flt.Who[size_t(k)]);
        if (live == QLatin1String("WhoA"))
            return QString::number(flt.WhoA[size_t(k)]);
        if (live == QLatin1String("WhoL"))
            return QString::number(flt.WhoL[size_t(k)]);
        return f.main.shellOptions().OpzHlet;
    };
    for (const QString &value : {QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1")}) {
        if ((value == QLatin1String("1")) != b.isChecked())
            b.click();
        QCOMPARE(f.stored(section, key), value);
        if (!live.isEmpty())
            QCOMPARE(liveValue(), value);
    }
    // Only that group's entry changed.
    Filters after = f.f.state.filters;
    if (live.startsWith(QLatin1String("Who"))) {
        const size_t k = size_t(box.right(1).toInt());
        after.Who[k] = before.Who[k];
        after.WhoA[k] = before.WhoA[k];
        after.WhoL[k] = before.WhoL[k];
    }
    QVERIFY(after.Who == before.Who && after.WhoA == before.WhoA && after.WhoL == before.WhoL);
}

void TestOptions::loadKeepsStoredBoxes()
{
    Fixture &f = fixture();
    f.f.settings.save(K::OptionSection, K::whoKey(4), QStringLiteral("1"));
    f.f.settings.save(K::OptionSection, K::whoLKey(2), QStringLiteral("0"));
    f.f.settings.save(K::Hlet, QStringLiteral("1"));
    f.f.settings.save(K::LaunchSection, K::launchPathKey(2), QStringLiteral("/opt/tool/Tool.exe"));
    f.f.settings.save(K::LaunchSection, K::launchProgKey(2), QStringLiteral("1"));
    FrmOpt &d = f.open();
    QVERIFY(child<QCheckBox>(d, QStringLiteral("CChi4")).isChecked());
    QVERIFY(!child<QCheckBox>(d, QStringLiteral("ClChi2")).isChecked());
    QVERIFY(child<QCheckBox>(d, QStringLiteral("Chide")).isChecked());
    QVERIFY(child<QCheckBox>(d, QStringLiteral("Cprog1")).isChecked());
    QCOMPARE(child<QLineEdit>(d, QStringLiteral("Tprog1")).text(), QStringLiteral("/opt/tool/Tool.exe"));
    // The handlers the load fired set the live copies to what is stored.
    QCOMPARE(f.f.state.filters.Who[4], 1);
    QCOMPARE(f.main.shellOptions().OpzHlet, QStringLiteral("1"));
    QVERIFY(f.files.asked.isEmpty());
}

void TestOptions::combosSaveOnlyAfterLoad()
{
    Fixture &f = fixture();
    f.f.settings.save(K::Fx, QStringLiteral("2"));
    FrmOpt &d = f.open();
    auto &fx = child<QComboBox>(d, QStringLiteral("CFx"));
    QCOMPARE(fx.currentIndex(), 2);
    QCOMPARE(f.main.shellOptions().OpzFx, quint8(2));
    fx.setCurrentIndex(0);
    QCOMPARE(f.stored(K::Fx), QStringLiteral("0"));
    QCOMPARE(f.main.shellOptions().OpzFx, quint8(0));
    QVERIFY(f.windows.unloads.isEmpty());
}

void TestOptions::msgTypeQuirk()
{
    Fixture &f = fixture();
    // Start-up reads a never-saved scheme as blue; the dialog's load makes it gray.
    f.main.shellOptions().OpzMsgType = QStringLiteral("0");
    FrmOpt &d = f.open();
    QCOMPARE(f.main.shellOptions().OpzMsgType, QStringLiteral("1"));
    QCOMPARE(f.stored(K::MsgType), QStringLiteral("<none>"));
    auto &type = child<QComboBox>(d, QStringLiteral("Ctipo"));
    type.setCurrentIndex(3);
    QCOMPARE(f.stored(K::MsgType), QStringLiteral("3"));
    QCOMPARE(f.main.shellOptions().OpzMsgType, QStringLiteral("3"));
    QCOMPARE(f.windows.unloads, QStringList{WindowNames::FrmMsg});
    delete f.dialog.data();

    // A saved scheme is what the next load shows.
    f.open();
    QCOMPARE(child<QComboBox>(*f.dialog, QStringLiteral("Ctipo")).currentIndex(), 3);
}

void TestOptions::opacity_data()
{
    QTest::addColumn<int>("live");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("moved");
    QTest::addColumn<QString>("saved");
    QTest::newRow("slider at 0") << 255 << 250 << 0 << "5";
    QTest::newRow("slider at the top") << 100 << 95 << 250 << "255";
    QTest::newRow("below the floor") << 2 << 0 << 120 << "125";
}

void TestOptions::opacity()
{
    QFETCH(int, live);
    QFETCH(int, shown);
    QFETCH(int, moved);
    QFETCH(QString, saved);
    Fixture &f = fixture();
    f.main.shellOptions().OpzMsgTras = quint8(live);
    FrmOpt &d = f.open();
    auto &slider = child<QSlider>(d, QStringLiteral("Sltrasp"));
    QCOMPARE(slider.value(), shown);
    QCOMPARE(f.stored(K::MsgTras), QStringLiteral("<none>"));
    slider.setValue(moved);
    QCOMPARE(f.stored(K::MsgTras), saved);
    QCOMPARE(int(f.main.shellOptions().OpzMsgTras), saved.toInt());
}

void TestOptions::colours_data()
{
    QTest::addColumn<QString>("swatch");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("command");
    QTest::addColumn<bool>("text");
    QTest::newRow("monitor text") << "LcolMon" << "forecol" << false << true;
    QTest::newRow("monitor background") << "PcolMon" << "backcol" << false << false;
    QTest::newRow("command text") << "LcolCom" << "forecolC" << true << true;
    QTest::newRow("command background") << "PcolCom" << "backcolC" << true << false;
}

void TestOptions::colours()
{
    QFETCH(QString, swatch);
    QFETCH(QString, key);
    QFETCH(bool, command);
    QFETCH(bool, text);
    Fixture &f = fixture();
    FrmOpt &d = f.open();
    ConsolePane &pane = command ? f.main.TlogC() : f.main.Tlog();
    const QPalette::ColorRole role = text ? QPalette::Text : QPalette::Base;
    const QColor before = pane.palette().color(role);

    auto &button = child<QToolButton>(d, swatch);
    button.click();  // cancelled
    QCOMPARE(f.colours.asked, 1);
    QCOMPARE(f.stored(QStringLiteral("Option"), key), QStringLiteral("<none>"));
    QCOMPARE(pane.palette().color(role), before);

    f.colours.answer = QString::number(0x3366CC);  // 0xBBGGRR: red CC, green 66, blue 33
    button.click();
    QCOMPARE(f.stored(QStringLiteral("Option"), key), QStringLiteral("3368652"));
    QCOMPARE(pane.palette().color(role), QColor(0xCC, 0x66, 0x33));
    QCOMPARE(button.property("colour").toUInt(), 0x3366CCu);
}

void TestOptions::colourDialog_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("colour");
    QTest::newRow("OK") << true << "3368652";  // red CC, green 66, blue 33 as 0xBBGGRR
    QTest::newRow("cancel") << false << "untouched";
}

void TestOptions::colourDialog()
{
    QFETCH(bool, ok);
    QFETCH(QString, colour);
    // The dialog is answered as soon as it shows; whatever shows is closed, so that a wrong
    // window fails the test instead of waiting for the run's time-out.
    bool found = false;
    QTimer::singleShot(0, this, [ok, &found] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *dialog = qobject_cast<QColorDialog *>(modal);
        found = dialog != nullptr;
        if (dialog) {
            dialog->setCurrentColor(QColor(0xCC, 0x66, 0x33));
            ok ? dialog->accept() : dialog->reject();
        } else if (modal) {
            modal->close();
        }
    });
    QtColorDialogService colours;
    QString chosen = QStringLiteral("untouched");
    const bool answered = colours.ScegliColore(nullptr, chosen);
    QVERIFY(found);
    QCOMPARE(answered, ok);
    QCOMPARE(chosen, colour);
}

void TestOptions::address()
{
    Fixture &f = fixture();
    FrmOpt &d = f.open();
    auto &ip = child<QLineEdit>(d, QStringLiteral("TxtIPws"));
    ip.clear();
    QTest::keyClicks(&ip, QStringLiteral("gw.home-1:x"));
    QTest::keyClick(&ip, Qt::Key_Return);
    QCOMPARE(f.stored(K::ServerIP), QStringLiteral("gw.home-1:x"));
    QCOMPARE(f.f.state.link.IpGateway, QStringLiteral("gw.home-1:x"));
}

void TestOptions::portBox_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("saved");
    QTest::newRow("digits") << "8080" << "8080" << "8080";
    QTest::newRow("letters dropped") << "2a0b01" << "2001" << "2001";
    QTest::newRow("highest") << "65535" << "65535" << "65535";
    QTest::newRow("zero refused") << "0" << "20000" << "<none>";
    QTest::newRow("above range refused") << "65536" << "20000" << "<none>";
    QTest::newRow("empty refused") << "" << "20000" << "<none>";
}

void TestOptions::portBox()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, saved);
    Fixture &f = fixture();
    FrmOpt &d = f.open();
    auto &port = child<QLineEdit>(d, QStringLiteral("TxtPortaws"));
    port.clear();
    QTest::keyClicks(&port, typed);
    d.TxtPortaws_Validate();
    QCOMPARE(port.text(), shown);
    QCOMPARE(f.stored(K::ServerPORT), saved);
    QCOMPARE(f.f.state.link.PortaGateway, saved == QLatin1String("<none>") ? QStringLiteral("20000") : saved);
}

void TestOptions::passwordBox_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("saved");
    QTest::newRow("digits") << "12345" << "12345" << "12345";
    QTest::newRow("letters dropped") << "12ab34" << "1234" << "1234";
    QTest::newRow("largest the links answer with") << "4294967295" << "4294967295" << "4294967295";
    QTest::newRow("past 32 bits refused") << "4294967296" << "999" << "<none>";
    QTest::newRow("emptied: no password") << "" << "" << "";
}

// The box shows the password the links use, masked, and what it takes is what they answer with.
void TestOptions::passwordBox()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, saved);
    Fixture &f = fixture();
    f.f.state.link.PasswordGateway = QStringLiteral("999");
    FrmOpt &d = f.open();
    auto &password = child<QLineEdit>(d, QStringLiteral("TxtPwd"));
    QCOMPARE(password.text(), QStringLiteral("999"));
    QCOMPARE(password.echoMode(), QLineEdit::Password);
    password.clear();
    QTest::keyClicks(&password, typed);
    QTest::keyClick(&password, Qt::Key_Return);
    QCOMPARE(password.text(), shown);
    QCOMPARE(f.stored(K::Password), saved);
    QCOMPARE(f.f.state.link.PasswordGateway, saved == QLatin1String("<none>") ? QStringLiteral("999") : saved);
    // A refusal is seen and said, as the command box's is; typing again clears it.
    const bool refused = saved == QLatin1String("<none>");
    const QColor red = VbColor::toQColor(CommandBoxWidget::Red);
    QCOMPARE(password.palette().color(QPalette::Base) == red, refused);
    QCOMPARE(f.main.statusText().contains(QLatin1String("4294967295")), refused);
    QCOMPARE(password.accessibleDescription().isEmpty(), !refused);
    if (refused) {
        QTest::keyClick(&password, Qt::Key_1);
        QVERIFY(password.palette().color(QPalette::Base) != red);
        QVERIFY(password.accessibleDescription().isEmpty());
    }
    // What the start-up reads back from the store is the same password.
    if (saved != QLatin1String("<none>")) {
        LinkState link;
        LeggiImpostazioniGateway(f.f.settings, link);
        QCOMPARE(link.PasswordGateway, saved);
    }
}

void TestOptions::closingSaves()
{
    Fixture &f = fixture();
    FrmOpt &d = f.open();
    // Changed behind the dialog's back: the close reloads Who and WhoA, never WhoL.
    f.f.settings.save(K::OptionSection, K::whoKey(1), QStringLiteral("1"));
    f.f.settings.save(K::OptionSection, K::whoAKey(6), QStringLiteral("1"));
    f.f.settings.save(K::OptionSection, K::whoLKey(1), QStringLiteral("0"));
    QVERIFY(d.close());
    QCOMPARE(f.stored(K::ServerIP), QStringLiteral("203.0.113.7"));
    QCOMPARE(f.stored(K::ServerPORT), QStringLiteral("20000"));
    QCOMPARE(f.stored(K::Agent), QString());
    QCOMPARE(f.f.state.filters.Who[1], 1);
    QCOMPARE(f.f.state.filters.WhoA[6], 1);
    QCOMPARE(f.f.state.filters.WhoL[1], 1);
    // Closing unloads it: the next opening starts afresh.
    QTRY_VERIFY(f.dialog.isNull());
}

void TestOptions::gatewayFields_data()
{
    QTest::addColumn<int>("ports");
    QTest::addColumn<bool>("detect");
    QTest::newRow("no serial port") << 0 << false;
    QTest::newRow("two ports") << 2 << true;
}

void TestOptions::gatewayFields()
{
    QFETCH(int, ports);
    QFETCH(bool, detect);
    Fixture &f = fixture();
    for (int i = 0; i < ports; ++i)
        f.ports << QStringLiteral("ttyUSB%1").arg(i);
    FrmOpt &d = f.open();
    d.show();
    auto &protocol = child<QComboBox>(d, QStringLiteral("CbProt"));
    auto &com = child<QComboBox>(d, QStringLiteral("CbCom"));
    auto &ip = child<QLineEdit>(d, QStringLiteral("TxtIPws"));
    auto &cdet = child<QPushButton>(d, QStringLiteral("Cdet"));
    auto &label = child<QLabel>(d, QStringLiteral("Lb1"));
    child<QTabWidget>(d, QStringLiteral("STab")).setCurrentIndex(1);
    QVERIFY(ip.isVisible() && !com.isVisible() && !cdet.isVisible());

    protocol.setCurrentIndex(1);
    QCOMPARE(f.stored(K::Gateway), QStringLiteral("1"));
    QVERIFY(!ip.isVisible() && com.isVisible());
    QVERIFY(!child<QLineEdit>(d, QStringLiteral("TxtPortaws")).isVisible());
    QCOMPARE(com.count(), ports);
    QCOMPARE(cdet.isVisible(), detect);
    QCOMPARE(label.text(), QStringLiteral("COM"));

    protocol.setCurrentIndex(0);
    QCOMPARE(f.stored(K::Gateway), QStringLiteral("0"));
    QVERIFY(ip.isVisible() && !com.isVisible() && !cdet.isVisible());
    QCOMPARE(label.text(), QStringLiteral("[IpAdr]"));
}

void TestOptions::launchSlots_data()
{
    QTest::addColumn<QString>("action");  // "check" the empty box, or "open"
    QTest::addColumn<QString>("answer");  // the file dialog's answer, empty: cancelled
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("prog");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("caption");
    QTest::newRow("check, cancel") << "check" << "" << false << "0" << "<none>" << "...";
    QTest::newRow("check, choose") << "check" << "/opt/t/Tool.EXE" << true << "1" << "/opt/t/Tool.EXE" << "Tool";
    QTest::newRow("open, choose") << "open" << "C:\\P\\Cam.exe" << true << "1" << "C:\\P\\Cam.exe" << "Cam";
    QTest::newRow("open, cancel") << "open" << "" << false << "<none>" << "<none>" << "...";
    // No path is cut to a buffer's length.
    const QString deep = QStringLiteral("/opt/") + QString(300, QLatin1Char('d')) + QStringLiteral("/Deep.exe");
    QTest::newRow("open, long path") << "open" << deep << true << "1" << deep << "Deep";
}

void TestOptions::launchSlots()
{
    QFETCH(QString, action);
    QFETCH(QString, answer);
    QFETCH(bool, checked);
    QFETCH(QString, prog);
    QFETCH(QString, path);
    QFETCH(QString, caption);
    Fixture &f = fixture();
    f.f.state.lang.NomiProg = {QStringLiteral("..."), QStringLiteral("...")};
    FrmOpt &d = f.open();
    f.files.answer = answer;
    auto &box = child<QCheckBox>(d, QStringLiteral("Cprog1"));
    if (action == QLatin1String("check"))
        box.click();
    else
        child<QToolButton>(d, QStringLiteral("Iopen1")).click();

    QCOMPARE(f.files.asked.size(), 1);
    const RecordingFileDialog::Asked &asked = f.files.asked.first();
    QCOMPARE(asked.mode, FileDialogService::Mode::Open);
    QCOMPARE(asked.title, QStringLiteral("Apri"));
    QCOMPARE(asked.initialFolder, QStringLiteral("%programfiles%"));
    QCOMPARE(asked.filters.size(), 1);
    QCOMPARE(asked.filters.first().pattern, QStringLiteral("*.exe"));
    QCOMPARE(box.isChecked(), checked);
    QCOMPARE(f.stored(K::LaunchSection, K::launchProgKey(2)), prog);
    QCOMPARE(f.stored(K::LaunchSection, K::launchPathKey(2)), path);
    QCOMPARE(f.f.state.lang.NomiProg[1], caption);
    QCOMPARE(f.stored(K::LaunchSection, K::launchProgKey(1)), QStringLiteral("<none>"));

    // Whatever the user does next, the box and the store agree.
    box.click();
    QCOMPARE(f.stored(K::LaunchSection, K::launchProgKey(2)), box.isChecked() ? QStringLiteral("1") : QStringLiteral("0"));

    child<QToolButton>(d, QStringLiteral("Idel1")).click();
    QVERIFY(!box.isChecked());
    QVERIFY(child<QLineEdit>(d, QStringLiteral("Tprog1")).text().isEmpty());
    QCOMPARE(f.stored(K::LaunchSection, K::launchPathKey(2)), QString());
    QCOMPARE(f.stored(K::LaunchSection, K::launchProgKey(2)), QStringLiteral("0"));
    QCOMPARE(f.f.state.lang.NomiProg[1], QStringLiteral("..."));
}

void TestOptions::listeners_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QStringList>("onLoad");
    QTest::newRow("off") << "0" << false << QStringList{};
    QTest::newRow("on, not running") << "1" << false << QStringList{"stop", "start"};
    // A connected display client is not dropped by opening the dialog.
    QTest::newRow("on, running") << "1" << true << QStringList{};
}

void TestOptions::listeners()
{
    QFETCH(QString, stored);
    QFETCH(bool, running);
    QFETCH(QStringList, onLoad);
    Fixture &f = fixture();
    f.f.settings.save(K::WsChum, stored);
    f.options.running = running;
    FrmOpt &d = f.open();
    QCOMPARE(f.options.calls, onLoad);
    auto &box = child<QCheckBox>(d, QStringLiteral("Cchum"));
    const QLabel &lamp = child<QLabel>(f.main, QStringLiteral("Lchum"));

    f.options.calls.clear();
    box.click();
    QCOMPARE(f.stored(K::WsChum), box.isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    const QStringList expected = box.isChecked() ? QStringList{"stop", "start"} : QStringList{"stop"};
    QCOMPARE(f.options.calls, expected);
    QCOMPARE(f.options.running, box.isChecked());
    QCOMPARE(lamp.palette().color(QPalette::WindowText), box.isChecked() ? QColor(0, 0xFF, 0) : QColor(0xC0, 0xC0, 0xC0));
}

void TestOptions::character()
{
    Fixture &f = fixture();
    f.options.characters = {QStringLiteral("Merlin"), QStringLiteral("Genie")};
    f.f.settings.save(K::Agent, QStringLiteral("Genie "));
    f.f.settings.save(K::AgSound, QStringLiteral("1"));
    FrmOpt &d = f.open();
    auto &agent = child<QComboBox>(d, QStringLiteral("Cagent"));
    auto &hide = child<QCheckBox>(d, QStringLiteral("Chide"));
    auto &sound = child<QCheckBox>(d, QStringLiteral("Csound"));
    QCOMPARE(agent.count(), 3);
    QCOMPARE(agent.currentText(), QStringLiteral("Genie"));
    QVERIFY(hide.isEnabled() && sound.isEnabled());
    QVERIFY2(f.options.calls.isEmpty(), "the load does not load the character");

    agent.setCurrentIndex(1);
    QCOMPARE(f.options.calls, QStringList{"load Merlin sound=1 visible=1"});
    sound.click();
    QCOMPARE(f.stored(K::AgSound), QStringLiteral("0"));
    QCOMPARE(f.options.calls.last(), QStringLiteral("sound=0"));

    agent.setCurrentIndex(0);
    QCOMPARE(f.options.calls.last(), QStringLiteral("release"));
    QVERIFY(!hide.isEnabled() && !sound.isEnabled());
    QVERIFY(!child<QCheckBox>(d, QStringLiteral("CaChi3")).isEnabled());

    // A character that will not load leaves none chosen.
    f.options.loadSucceeds = false;
    agent.setCurrentIndex(2);
    QCOMPARE(agent.currentIndex(), 0);
    QVERIFY(!hide.isEnabled());

    f.options.loadSucceeds = true;
    agent.setCurrentIndex(2);
    QVERIFY(child<QCheckBox>(d, QStringLiteral("CaChi3")).isEnabled());
    QVERIFY(d.close());
    QCOMPARE(f.stored(K::Agent), QStringLiteral("Genie"));
}

void TestOptions::noticeButtons()
{
    Fixture &f = fixture();
    FrmOpt &d = f.open();
    child<QPushButton>(d, QStringLiteral("Ctry")).click();
    QCOMPARE(f.notice.shown.size(), 1);
    QCOMPARE(f.notice.shown.first().text, QStringLiteral("prova"));
    QCOMPARE(f.notice.shown.first().durationMs, 2000);
    child<QPushButton>(d, QStringLiteral("Cpos")).click();
    QCOMPARE(f.options.calls, QStringList{"preview"});
}

void TestOptions::portChoice()
{
    if (!PtyPair::socatAvailable())
        QSKIP("socat is not installed");
    Fixture &f = fixture();
    AnsweringPort port;
    QVERIFY(port.start());
    const QString missing = f.f.folder.filePath(QStringLiteral("gone"));
    f.ports = {missing, port.portPath()};
    f.startMonitor();
    FrmOpt &d = f.open();
    auto &com = child<QComboBox>(d, QStringLiteral("CbCom"));

    com.setCurrentIndex(0);
    emit com.activated(0);
    // The running link stops first, as the monitor button stops it.
    QVERIFY(f.main.Tlog().toPlainText().contains(QStringLiteral("[LogStop]")));
    QCOMPARE(f.main.monitorButtonImage(), 1);
    QCOMPARE(f.f.messages.shown.size(), 1);
    QCOMPARE(f.stored(K::Com), QStringLiteral("<none>"));

    com.setCurrentIndex(1);
    emit com.activated(1);
    QCOMPARE(f.f.messages.shown.size(), 1);
    QCOMPARE(f.stored(K::Com), port.portPath());
    QVERIFY(!f.f.commands.Comm().isOpen());
}

void TestOptions::detection_data()
{
    QTest::addColumn<int>("ports");
    QTest::addColumn<int>("gateway");  // -1: none answers
    QTest::addColumn<bool>("monitorRunning");
    QTest::newRow("second of three, monitor running") << 3 << 1 << true;
    QTest::newRow("nothing answers") << 2 << -1 << false;
    QTest::newRow("empty list") << 0 << -1 << false;
}

void TestOptions::detection()
{
    QFETCH(int, ports);
    QFETCH(int, gateway);
    QFETCH(bool, monitorRunning);
    if (!PtyPair::socatAvailable())
        QSKIP("socat is not installed");
    Fixture &f = fixture();
    std::vector<std::unique_ptr<AnsweringPort>> devices;
    for (int i = 0; i < ports; ++i) {
        devices.push_back(std::make_unique<AnsweringPort>(i == gateway ? QList<QByteArray>{"*#*1##"}
                                                                       : QList<QByteArray>{}));
        QVERIFY(devices.back()->start());
        f.ports << devices.back()->portPath();
    }
    if (monitorRunning)
        f.startMonitor();
    f.f.settings.save(K::Gateway, QStringLiteral("1"));
    // The shipped text ends in the Windows prefix; a port found here is named as this system names it.
    f.f.state.lang.error.insert(QStringLiteral("comdetect"), QStringLiteral("Gateway found on port COM"));
    FrmOpt &d = f.open();
    auto &cdet = child<QPushButton>(d, QStringLiteral("Cdet"));
    auto &com = child<QComboBox>(d, QStringLiteral("CbCom"));
    QVERIFY(com.isEnabled());

    d.Cdet_Click();
    QCOMPARE(f.f.messages.shown.size(), 1);
    if (gateway >= 0) {
        QCOMPARE(f.f.messages.shown.first().text, QStringLiteral("Gateway found on port ") + f.ports.at(gateway));
        QCOMPARE(com.currentIndex(), gateway);
        QCOMPARE(f.stored(K::Com), f.ports.at(gateway));
    } else {
        QCOMPARE(f.f.messages.shown.first().text, QStringLiteral("[nodetect]"));
        QCOMPARE(f.stored(K::Com), QStringLiteral("<none>"));
    }
    if (monitorRunning) {
        QVERIFY(f.main.Tlog().toPlainText().contains(QStringLiteral("[LogStop]")));
        QCOMPARE(f.main.monitorButtonImage(), 1);
    }
    QVERIFY(!f.f.state.link.RilevamentoCom);
    QVERIFY(!f.f.commands.Comm().isOpen());
    QVERIFY(cdet.isEnabled() && com.isEnabled() && child<QComboBox>(d, QStringLiteral("CbProt")).isEnabled());
}

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
