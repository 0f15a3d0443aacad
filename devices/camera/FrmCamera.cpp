#include "devices/camera/FrmCamera.h"

#include "devices/camera/CameraLayout.h"
#include "engine/model/EngineState.h"
#include "engine/protocol/FrameRequests.h"
#include "engine/ports/FrameSender.h"
#include "engine/protocol/LogLine.h"
#include "engine/ports/LogPane.h"
#include "engine/ports/MessageBoxService.h"
#include "devices/camera/MotionDetector.h"
#include "devices/camera/StrictDecode.h"
#include "engine/config/ProgramIdentity.h"
#include "engine/config/ProgramSettings.h"
#include "engine/config/SafeFileWriter.h"
#include "devices/host/SavedPosition.h"
#include "engine/config/SettingKeys.h"
#include "shell/snapping/SnapDrag.h"
#include "shell/snapping/Snapping.h"
#include "engine/model/WindowNames.h"
#include "shell/services/WindowUtils.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QToolButton>

#include <algorithm>
#include <cmath>

static void initCameraResources() { Q_INIT_RESOURCE(camera); }

using namespace CameraLayout;

namespace {

// Run-time error numbers the loop reports besides the network's own.
constexpr int SubscriptOutOfRange = 9;
constexpr int FileAccessError = 75;
constexpr int InvalidPicture = 481;

// A JPEG cut short still decodes, its missing part grey, with only a warning: a whole one
// ends with its end-of-image marker (line ends or NULs some servers append after it aside),
// which tells the common case plainly before the decode. Other formats fail to decode when cut.
bool isWholePicture(const QByteArray &body)
{
    if (!body.startsWith("\xFF\xD8"))
        return true;
    qsizetype end = body.size();
    while (end > 0 && (body.at(end - 1) == '\r' || body.at(end - 1) == '\n' || body.at(end - 1) == '\0'))
        --end;
    return end >= 4 && body.at(end - 2) == '\xFF' && body.at(end - 1) == '\xD9';
}

} // namespace

FrmCamera::FrmCamera(const CameraContext &context, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_ctx(context)
{
    initCameraResources();
    setObjectName(WindowNames::FrmCamera);
    setAttribute(Qt::WA_DeleteOnClose);
    // A borderless window never takes the focus from the window the user works in.
    setAttribute(Qt::WA_ShowWithoutActivating);

    Trefresh = new QTimer(this);
    Tready = new QTimer(this);
    Tcicla = new QTimer(this);
    connect(Trefresh, &QTimer::timeout, this, &FrmCamera::Trefresh_Timer);
    connect(Tready, &QTimer::timeout, this, &FrmCamera::Tready_Timer);
    connect(Tcicla, &QTimer::timeout, this, &FrmCamera::Tcicla_Timer);
    m_startWait.setSingleShot(true);
    connect(&m_startWait, &QTimer::timeout, this, &FrmCamera::requestPicture);
    connect(&m_fetcher, &PictureFetcher::received, this, &FrmCamera::onPicture);
    connect(&m_fetcher, &PictureFetcher::failed, this, &FrmCamera::errorPath);
    setTimings(CameraTimings{});

    buildControls();
    Form_Load();
}

// Deleted without closing (the program's teardown): what it would call out to may be gone.
FrmCamera::~FrmCamera() { m_fetcher.abort(); }

void FrmCamera::setTimings(const CameraTimings &timings)
{
    m_timings = timings;
    Tready->setInterval(timings.ready);
    m_fetcher.setTimeout(timings.requestTimeout);
}

void FrmCamera::Form_Load()
{
    ProgramSettings &settings = m_ctx.settings;
    m_tempoCiclo = qint16(std::clamp(settings.readInt(SettingKeys::Tcic), 1000, 32000));
    Txtcicla->setText(QString::number(m_tempoCiclo / 1000));

    // Never placed before: the desktop chooses where the window first appears.
    const bool placed = !settings.read(WindowNames::FrmCamera, SettingKeys::PosX, QString()).isEmpty()
        || !settings.read(WindowNames::FrmCamera, SettingKeys::PosY, QString()).isEmpty();
    if (placed)
        SavedPosition::restore(this, settings, WindowNames::FrmCamera);
    Snapping::DockForm(this);
    auto *drag = new SnapDrag(this);
    drag->addPart(Label1);

    m_cameraCorrente = 1;
    paintCameraButtons();
    showCameraName();
    setHeightTwips(Basso);
    applyTexts();
    if (settings.readInt(SettingKeys::CameraExpand) == 1)
        Iexpand_Click();
}

void FrmCamera::setHeightTwips(int twips)
{
    setFixedHeight(int(std::lround(twips / WindowUtils::twipsPerPixelY())));
    m_adjustments->setVisible(twips == Alto);
}

// The enlarged window stays above the task bar; one sitting on it stays on it when shrunk.
void FrmCamera::Iexpand_Click()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double ty = WindowUtils::twipsPerPixelY();
    const int screenHeight = screen ? screen->geometry().height() : 0;
    const int taskbar = int(std::lround(WindowUtils::AltezzaTaskbar() / ty));
    const auto onTaskbarTop = [&] { return screenHeight - height() - taskbar; };
    if (!m_enlarged) {
        setHeightTwips(Alto);
        m_enlarged = true;
        Iexpand->setIcon(QIcon(QStringLiteral(":/camera/arrow-up.svg")));
        if (screen && y() > onTaskbarTop())
            move(x(), onTaskbarTop());
        m_ctx.settings.save(SettingKeys::CameraExpand, QStringLiteral("1"));
        return;
    }
    const bool sitsOnTaskbar = screen && y() == onTaskbarTop();
    setHeightTwips(Basso);
    m_enlarged = false;
    if (sitsOnTaskbar)
        move(x(), onTaskbarTop());
    m_ctx.settings.save(SettingKeys::CameraExpand, QStringLiteral("0"));
    Iexpand->setIcon(QIcon(QStringLiteral(":/camera/arrow-down.svg")));
}

void FrmCamera::Istart_Click()
{
    Tcicla->setInterval(m_tempoCiclo);
    Video(m_cameraCorrente);
}

QString FrmCamera::cameraAddress(int camera) const { return m_ctx.state.model.IndirizziCamere.at(size_t(camera)); }

QUrl FrmCamera::pictureUrl() const
{
    QUrl url = m_base.isValid() ? m_base : QUrl(QStringLiteral("https://") + m_ctx.state.link.IpGateway);
    url.setPath(QStringLiteral("/telecamera.php"));
    return url;
}

void FrmCamera::Video(int camera, bool fromDisplayClient)
{
    // One loop only: a loop already running is dropped here and restarted below.
    m_fetcher.abort();
    m_startWait.stop();
    m_fermo = false;
    m_fromDisplayClient = fromDisplayClient;
    const auto backToIdle = [this] {
        Tcicla->stop();
        Trefresh->stop();
        m_inCorso = false;
        Istart->show();
    };
    if (m_ctx.state.link.ModoUsb) {
        backToIdle();
        report(QStringLiteral("USB don't suppot video"), false);
        return;
    }
    if (camera < 0 || camera > 12) {
        errorPath(SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
        return;
    }
    if (!m_ctx.sender.SendTCP(Frame::cameraOn(cameraAddress(camera)))) {
        m_fermo = true;
        backToIdle();
        return;
    }
    m_cameraAccesa = camera;
    m_commutata = true;
    Trefresh->start(m_timings.refresh);
    m_inCorso = true;
    Istart->hide();
    m_url = pictureUrl();
    m_startWait.start(m_timings.startWait);
}

void FrmCamera::StopMe()
{
    m_fermo = true;
    Istart->show();
    Trefresh->stop();
    Tcicla->stop();
    // In the start wait no response is awaited, so the loop can end at once.
    if (m_inCorso && m_startWait.isActive()) {
        m_startWait.stop();
        finishLoop();
    }
}

void FrmCamera::requestPicture()
{
    if (m_fermo) {
        finishLoop();
        return;
    }
    m_fetcher.fetch(m_url);
}

void FrmCamera::onPicture(const QByteArray &body)
{
    if (!m_inCorso)
        return;
    if (!m_fermo && !MostraImmagine(body))
        return;
    if (m_fermo || m_ctx.state.InChiusura) {
        finishLoop();
        return;
    }
    requestPicture();
}

void FrmCamera::finishLoop()
{
    m_inCorso = false;
    Trefresh->stop();
    Istart->show();
    m_ctx.sender.SendTCP(Frame::cameraOff());
    emit loopEnded();
}

void FrmCamera::errorPath(int number, const QString &description)
{
    // The state is idle before the message shows: its wait runs the event loop.
    m_fetcher.abort();
    m_startWait.stop();
    m_fermo = true;
    Trefresh->stop();
    m_inCorso = false;
    Istart->show();
    emit loopEnded();
    report(QString::number(number) + QStringLiteral(" - ") + description, true);
}

void FrmCamera::report(const QString &text, bool critical)
{
    if (m_fromDisplayClient && m_ctx.monitorLog) {
        m_ctx.monitorLog->appendText(LogLine::at(QStringLiteral("Camera: ") + text));
        m_ctx.monitorLog->moveCaretToEnd();
        return;
    }
    m_ctx.messages.message(text, ProgramIdentity::Title,
                           critical ? MessageBoxService::Icon::Critical : MessageBoxService::Icon::None);
}

bool FrmCamera::MostraImmagine(const QByteArray &body)
{
    if (m_ciclo && !Tcicla->isActive())
        Tcicla->start();
    // Checked whole and decoded before it is stored, so a cut or broken picture never
    // replaces the last good one.
    if (!isWholePicture(body)) {
        errorPath(InvalidPicture, QStringLiteral("Invalid picture: cut short"));
        return false;
    }
    StrictDecode::Result decoded = StrictDecode::decode(body);
    if (decoded.picture.isNull()) {
        errorPath(InvalidPicture, decoded.fault.isEmpty() ? QStringLiteral("Invalid picture")
                                                          : QStringLiteral("Invalid picture: ") + decoded.fault);
        return false;
    }
    QImage &picture = decoded.picture;
    // The snapshot server hands this file out: replaced whole or not at all.
    SafeFileWriter file(QDir(m_ctx.state.programFolder).filePath(QStringLiteral("temp.jpg")));
    if (!file.write(body)) {
        errorPath(FileAccessError, QStringLiteral("Path/File access error: ") + file.reason());
        return false;
    }
    const QSize size(MotionState::PictureWidth, MotionState::PictureHeight);
    if (picture.size() != size)
        picture = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (picture.format() != QImage::Format_RGB32)
        picture = picture.convertToFormat(QImage::Format_RGB32);

    if (!m_commutata) {
        if (Cmotion->isChecked())
            RilevaMovimento(picture);
    } else if (!Tready->isActive()) {
        Tready->start();
    }
    Pcam->setPixmap(QPixmap::fromImage(picture));
    emit pictureShown();
    return true;
}

void FrmCamera::RilevaMovimento(QImage &picture)
{
    const MotionDetector::Result r = MotionDetector::RilevaMovimento(picture, m_motion);
    if (r.alarm) {
        QApplication::beep();
        QPalette pal = Label1->palette();
        pal.setColor(QPalette::Window, QColor(255, 0, 0));
        Label1->setPalette(pal);
    }
    Label1->setText(QString(r.readout).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    // The readout's name says what it is; its value (the level, the alarm) is said here.
    QStringList readout = Label1->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (r.alarm)
        readout.prepend(m_ctx.state.lang.t(QStringLiteral("CamAlarm"), QStringLiteral("Motion alarm")));
    Label1->setAccessibleDescription(readout.join(QStringLiteral(", ")));
    Label1->adjustSize();
    // Bottom left, where a door camera usually sees the floor.
    Label1->move(4, MotionState::PictureHeight - Label1->height() - 4);
}

void FrmCamera::switchOn(int camera)
{
    m_cameraAccesa = camera;
    m_ctx.sender.SendTCP(Frame::cameraOn(cameraAddress(camera)));
    m_commutata = true;
}

void FrmCamera::Trefresh_Timer()
{
    switchOn(m_cameraAccesa);
    Tready->stop();
    Tready->setInterval(m_timings.ready);
}

void FrmCamera::Tready_Timer()
{
    Tready->stop();
    m_commutata = false;
    m_motion.Assestamento = true;
}

void FrmCamera::paintCameraButtons()
{
    for (int k = 0; k < 12; ++k) {
        const int camera = k + 1;
        const bool flagged = m_inCiclo.at(size_t(camera));
        const bool selected = camera == m_cameraCorrente;
        using F = CameraButton::Face;
        Pbut[size_t(k)]->setFace(selected ? (flagged ? F::DownRed : F::Red) : (flagged ? F::Down : F::White));
    }
}

void FrmCamera::showCameraName()
{
    Lcap->setText(m_ctx.state.model.NomiCamere.at(size_t(m_cameraCorrente)));
    Lcap->setAccessibleName(Lcap->text());
}

void FrmCamera::Pbut_MouseUp(int index, Qt::MouseButton button)
{
    if (index < 0 || index > 12)
        return;
    if (button == Qt::RightButton) {
        if (index < 12) {
            m_inCiclo[size_t(index + 1)] = !m_inCiclo[size_t(index + 1)];
            paintCameraButtons();
        }
        return;
    }
    if (index < 12) {
        m_cameraCorrente = index + 1;
        showCameraName();
        paintCameraButtons();
        if (Trefresh->isActive()) {
            switchOn(m_cameraCorrente);
            Tready->stop();
            Tready->setInterval(m_timings.ready);
        }
        return;
    }
    if (m_ciclo) {
        Tcicla->stop();
        m_ciclo = false;
        Pbut[12]->setFace(CameraButton::Face::White);
        if (m_inCorso)
            StopMe();
        return;
    }
    m_ciclo = true;
    Tcicla->setInterval(m_tempoCiclo);
    Pbut[12]->setFace(CameraButton::Face::Down);
    m_posizioneCiclo = m_cameraCorrente;
    Tcicla_Timer();
}

void FrmCamera::Tcicla_Timer()
{
    int found = 0;
    for (int c = m_posizioneCiclo; c <= 12 && !found; ++c)
        found = m_inCiclo.at(size_t(c)) ? c : 0;
    for (int c = 1; c <= 12 && !found; ++c)
        found = m_inCiclo.at(size_t(c)) ? c : 0;
    if (!found) {
        m_ciclo = false;
        Tcicla->stop();
        Pbut[12]->setFace(CameraButton::Face::White);
        return;
    }
    m_cameraCorrente = found;
    paintCameraButtons();
    m_posizioneCiclo = found % 12 + 1;
    // Each shown picture starts the timer again, so cycling advances only while pictures arrive.
    Tcicla->stop();
    Tcicla->setInterval(m_tempoCiclo);
    if (!m_inCorso)
        Video(m_cameraCorrente);
    else
        switchOn(m_cameraCorrente);
    showCameraName();
}

void FrmCamera::Ipiu_Click(int index)
{
    if (index >= 0 && index < 5)
        m_ctx.sender.SendTCP(Frame::cameraAdjustment(Parameters.at(size_t(index)), true));
}

void FrmCamera::Imeno_Click(int index)
{
    if (index >= 0 && index < 5)
        m_ctx.sender.SendTCP(Frame::cameraAdjustment(Parameters.at(size_t(index)), false));
}

// Whole seconds from 1 to 32, the most a 16-bit count of milliseconds holds; an empty field
// keeps the time it had.
void FrmCamera::Txtcicla_Validate()
{
    const QString text = Txtcicla->text().trimmed();
    if (!text.isEmpty()) {
        // The validator keeps the field to five digits, so the number always converts.
        m_tempoCiclo = qint16(std::clamp(text.toInt(), 1, 32) * 1000);
        m_ctx.settings.save(SettingKeys::Tcic, QString::number(m_tempoCiclo));
    }
    Txtcicla->setText(QString::number(m_tempoCiclo / 1000));
}

void FrmCamera::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void FrmCamera::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_fermo = true;
    Txtcicla_Validate();
    Tcicla->stop();
    Trefresh->stop();
    m_startWait.stop();
    m_fetcher.abort();
    // A camera left switched on would stay on until the gateway times it out.
    if (m_inCorso) {
        m_inCorso = false;
        m_ctx.sender.SendTCP(Frame::cameraOff());
    }
    SavedPosition::save(this, m_ctx.settings, WindowNames::FrmCamera);
    if (m_ctx.unloaded)
        m_ctx.unloaded();
}
