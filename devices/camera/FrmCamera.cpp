#include "FrmCamera.h"

#include "CameraDocking.h"
#include "EngineState.h"
#include "FrameRequests.h"
#include "FrameSender.h"
#include "LogLine.h"
#include "LogPane.h"
#include "MessageBoxService.h"
#include "MotionDetector.h"
#include "ProgramIdentity.h"
#include "ProgramSettings.h"
#include "SafeFileWriter.h"
#include "SettingKeys.h"
#include "WindowNames.h"
#include "WindowUtils.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QToolButton>

#include <algorithm>
#include <cmath>

static void initCameraResources() { Q_INIT_RESOURCE(camera); }

namespace {

constexpr int WindowWidth = 334;
constexpr int PictureLeft = 7;
constexpr int PictureTop = 24;
constexpr int ButtonRow = PictureTop + MotionState::PictureHeight + 4;
constexpr int AdjustRow = ButtonRow + CameraButton::Height + 5;

// Bus parameters of the five adjustment pairs: brightness, contrast, colour, zoom, quality.
constexpr std::array<int, 5> Parameters{5, 6, 7, 2, 8};

// Run-time error numbers the loop reports besides the network's own.
constexpr int SubscriptOutOfRange = 9;
constexpr int FileAccessError = 75;
constexpr int InvalidPicture = 481;

QToolButton *imageButton(QWidget *parent, const QString &name, const QString &art, QSize size, const QString &tip)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setIcon(QIcon(QStringLiteral(":/camera/") + art));
    b->setIconSize(size);
    b->setFixedSize(size + QSize(2, 2));
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    return b;
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

void FrmCamera::buildControls()
{
    setFixedWidth(WindowWidth);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(36, 40, 45));
    pal.setColor(QPalette::WindowText, QColor(222, 226, 230));
    setPalette(pal);

    Lcap = new QLabel(this);
    Lcap->setObjectName(QStringLiteral("Lcap"));
    Lcap->setGeometry(PictureLeft + 1, 3, 270, 18);
    QFont capFont = Lcap->font();
    capFont.setBold(true);
    capFont.setPixelSize(13);
    Lcap->setFont(capFont);

    Iexpand = imageButton(this, QStringLiteral("Iexpand"), QStringLiteral("arrow-down.svg"), QSize(21, 18), QString());
    Iexpand->move(WindowWidth - 48, 2);
    connect(Iexpand, &QToolButton::clicked, this, &FrmCamera::Iexpand_Click);
    Ixit = imageButton(this, QStringLiteral("Ixit"), QStringLiteral("close.svg"), QSize(18, 18), QString());
    Ixit->move(WindowWidth - 25, 2);
    connect(Ixit, &QToolButton::clicked, this, &QWidget::close);

    Pcam = new QLabel(this);
    Pcam->setObjectName(QStringLiteral("Pcam"));
    Pcam->setAccessibleName(QStringLiteral("Camera picture"));
    Pcam->setGeometry(PictureLeft, PictureTop, MotionState::PictureWidth, MotionState::PictureHeight);
    Pcam->setPixmap(QIcon(QStringLiteral(":/camera/nopicture.svg"))
                        .pixmap(QSize(MotionState::PictureWidth, MotionState::PictureHeight)));

    Label1 = new QLabel(Pcam);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAccessibleName(QStringLiteral("Motion"));
    Label1->move(4, 4);
    Label1->setMargin(3);
    Label1->setAutoFillBackground(true);
    QPalette readout = Label1->palette();
    readout.setColor(QPalette::Window, QColor(0, 0, 0, 150));
    readout.setColor(QPalette::WindowText, QColor(255, 255, 255));
    Label1->setPalette(readout);
    Label1->hide();

    for (int k = 0; k < 13; ++k) {
        auto *b = new CameraButton(k, this);
        b->move(PictureLeft + k * (CameraButton::Width + 1), ButtonRow);
        connect(b, &CameraButton::released, this, [this, k](Qt::MouseButton button) { Pbut_MouseUp(k, button); });
        Pbut[size_t(k)] = b;
    }
    Pbut[12]->setToolTip(QStringLiteral("Cycle through the flagged cameras (right-click a camera to flag it)"));
    Pbut[12]->setAccessibleName(QStringLiteral("Cycle"));

    Cmotion = new QCheckBox(this);
    Cmotion->setObjectName(QStringLiteral("Cmotion"));
    Cmotion->setIcon(QIcon(QStringLiteral(":/camera/motion.svg")));
    Cmotion->setToolTip(QStringLiteral("Motion detection"));
    Cmotion->setAccessibleName(Cmotion->toolTip());
    Cmotion->setFocusPolicy(Qt::NoFocus);
    Cmotion->setStyleSheet(QStringLiteral(
        "QCheckBox { spacing: 2px; }"
        "QCheckBox::indicator { width: 11px; height: 11px; border: 1px solid #7d828a; border-radius: 2px;"
        " background: #eef0f3; }"
        "QCheckBox::indicator:checked { background: #e8590c; border-color: #a63f08; image: url(:/camera/check.svg); }"));
    Cmotion->setGeometry(PictureLeft + 13 * (CameraButton::Width + 1) + 4, ButtonRow - 2, 36, 21);
    connect(Cmotion, &QCheckBox::toggled, Label1, &QLabel::setVisible);

    Istart = imageButton(this, QStringLiteral("Istart"), QStringLiteral("start.svg"), QSize(18, 18), QStringLiteral("Start"));
    Istart->move(WindowWidth - 48, ButtonRow - 2);
    connect(Istart, &QToolButton::clicked, this, &FrmCamera::Istart_Click);
    Istop = imageButton(this, QStringLiteral("Istop"), QStringLiteral("stop.svg"), QSize(18, 18), QStringLiteral("Stop"));
    Istop->move(WindowWidth - 25, ButtonRow - 2);
    connect(Istop, &QToolButton::clicked, this, &FrmCamera::Istop_Click);

    // The enlarged part: five adjustment pairs and the cycle time, each in its frame.
    m_adjustments = new QFrame(this);
    m_adjustments->setObjectName(QStringLiteral("adjustments"));
    m_adjustments->setGeometry(PictureLeft, AdjustRow, MotionState::PictureWidth, 42);
    QFont small = font();
    small.setPixelSize(9);
    constexpr int Cell = 54;
    for (int i = 0; i < 6; ++i) {
        auto *frame = new QFrame(m_adjustments);
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setStyleSheet(QStringLiteral("QFrame { border: 1px solid #4a5058; border-radius: 3px; }"
                                            "QLabel { border: none; }"));
        frame->setGeometry(i * Cell, 0, i < 5 ? Cell - 2 : MotionState::PictureWidth - 5 * Cell, 42);
        Lb[size_t(i)] = new QLabel(frame);
        Lb[size_t(i)]->setObjectName(QStringLiteral("Lb") + QString::number(i));
        Lb[size_t(i)]->setFont(small);
        Lb[size_t(i)]->setAlignment(Qt::AlignHCenter);
        Lb[size_t(i)]->setGeometry(0, 3, frame->width(), 12);
        if (i == 5)
            continue;
        Ipiu[size_t(i)] = imageButton(frame, QStringLiteral("Ipiu") + QString::number(i), QStringLiteral("plus.svg"),
                                      QSize(16, 16), QString());
        Ipiu[size_t(i)]->move(frame->width() / 2 + 1, 19);
        connect(Ipiu[size_t(i)], &QToolButton::clicked, this, [this, i] { Ipiu_Click(i); });
        Imeno[size_t(i)] = imageButton(frame, QStringLiteral("Imeno") + QString::number(i), QStringLiteral("minus.svg"),
                                       QSize(16, 16), QString());
        Imeno[size_t(i)]->move(frame->width() / 2 - 19, 19);
        connect(Imeno[size_t(i)], &QToolButton::clicked, this, [this, i] { Imeno_Click(i); });
    }
    Txtcicla = new QLineEdit(Lb[5]->parentWidget());
    Txtcicla->setObjectName(QStringLiteral("Txtcicla"));
    Txtcicla->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), Txtcicla));
    Txtcicla->setAlignment(Qt::AlignCenter);
    Txtcicla->setGeometry(8, 18, Txtcicla->parentWidget()->width() - 16, 20);
    connect(Txtcicla, &QLineEdit::editingFinished, this, &FrmCamera::Txtcicla_Validate);
}

void FrmCamera::Form_Load()
{
    ProgramSettings &settings = m_ctx.settings;
    m_tempoCiclo = qint16(std::clamp(settings.readInt(SettingKeys::Tcic), 1000, 32000));
    Txtcicla->setText(QString::number(m_tempoCiclo / 1000));

    const double tx = WindowUtils::twipsPerPixelX();
    const double ty = WindowUtils::twipsPerPixelY();
    // Never placed before: the desktop chooses where the window first appears.
    const bool placed = !settings.read(WindowNames::FrmCamera, SettingKeys::PosX, QString()).isEmpty()
        || !settings.read(WindowNames::FrmCamera, SettingKeys::PosY, QString()).isEmpty();
    if (placed) {
        const int x = settings.readInt(WindowNames::FrmCamera, SettingKeys::PosX, int(std::lround(pos().x() * tx)));
        const int y = settings.readInt(WindowNames::FrmCamera, SettingKeys::PosY, int(std::lround(pos().y() * ty)));
        move(int(std::lround(x / tx)), int(std::lround(y / ty)));
    }
    CameraDocking::dock(this);

    m_cameraCorrente = 1;
    paintCameraButtons();
    showCameraName();
    setHeightTwips(Basso);
    applyTexts();
    if (settings.readInt(SettingKeys::CameraExpand) == 1)
        Iexpand_Click();
}

void FrmCamera::applyTexts()
{
    const InstallationModel &model = m_ctx.state.model;
    for (int k = 0; k < 12; ++k) {
        const QString &name = model.NomiCamere.at(size_t(k + 1));
        Pbut[size_t(k)]->setToolTip(name);
        Pbut[size_t(k)]->setAccessibleName(name.isEmpty() ? QString::number(k + 1) : name);
    }
    const LanguageTexts &lang = m_ctx.state.lang;
    for (int i = 0; i < 6; ++i)
        Lb[size_t(i)]->setText(lang.TestiPcam.at(size_t(i)));
    for (int i = 0; i < 5; ++i) {
        const QString &what = lang.TestiPcam.at(size_t(i));
        Ipiu[size_t(i)]->setToolTip(what + QStringLiteral(" +"));
        Ipiu[size_t(i)]->setAccessibleName(Ipiu[size_t(i)]->toolTip());
        Imeno[size_t(i)]->setToolTip(what + QStringLiteral(" -"));
        Imeno[size_t(i)]->setAccessibleName(Imeno[size_t(i)]->toolTip());
    }
    Txtcicla->setAccessibleName(lang.TestiPcam.at(5));
    Iexpand->setToolTip(lang.cexp);
    Iexpand->setAccessibleName(lang.cexp.isEmpty() ? QStringLiteral("Enlarge") : lang.cexp);
    const QString exit = lang.t(QStringLiteral("Exit"));
    Ixit->setToolTip(exit.isEmpty() ? QStringLiteral("Close") : exit);
    Ixit->setAccessibleName(Ixit->toolTip());
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
    // Decoded before it is stored, so a broken picture never replaces the last good one.
    QImage picture;
    if (!picture.loadFromData(body)) {
        errorPath(InvalidPicture, QStringLiteral("Invalid picture"));
        return false;
    }
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
    const double tx = WindowUtils::twipsPerPixelX();
    const double ty = WindowUtils::twipsPerPixelY();
    m_ctx.settings.save(WindowNames::FrmCamera, SettingKeys::PosX, QString::number(std::lround(x() * tx)));
    m_ctx.settings.save(WindowNames::FrmCamera, SettingKeys::PosY, QString::number(std::lround(y() * ty)));
    if (m_ctx.unloaded)
        m_ctx.unloaded();
}

void FrmCamera::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    QWidget::mousePressEvent(event);
}

void FrmCamera::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPosition().toPoint() - m_dragOffset);
    QWidget::mouseMoveEvent(event);
}

void FrmCamera::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter p(this);
    p.setPen(QColor(14, 16, 19));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(QColor(70, 76, 84));
    p.drawLine(1, 1, width() - 2, 1);
}
