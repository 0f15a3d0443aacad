#include "devices/camera/FrmCamera.h"

#include "devices/camera/CameraLayout.h"
#include "engine/model/EngineState.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QToolButton>

// The window's controls, their captions and its border; the picture loop is in FrmCamera.cpp.

using namespace CameraLayout;

namespace {

QToolButton *imageButton(QWidget *parent, const QString &name, const QString &art, QSize size, const QString &tip)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::TabFocus);
    b->setIcon(QIcon(QStringLiteral(":/camera/") + art));
    b->setIconSize(size);
    b->setFixedSize(size + QSize(2, 2));
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    return b;
}

} // namespace

void FrmCamera::buildControls()
{
    buildFrame();
    buildPicture();
    buildCameraRow();
    buildAdjustments();
}

// The dark window, its caption (the camera's name) and the enlarge and close buttons.
void FrmCamera::buildFrame()
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
}

// The picture, and over it the motion readout, shown while motion detection is on.
void FrmCamera::buildPicture()
{
    Pcam = new QLabel(this);
    Pcam->setObjectName(QStringLiteral("Pcam"));
    Pcam->setGeometry(PictureLeft, PictureTop, MotionState::PictureWidth, MotionState::PictureHeight);
    Pcam->setPixmap(QIcon(QStringLiteral(":/camera/nopicture.svg"))
                        .pixmap(QSize(MotionState::PictureWidth, MotionState::PictureHeight)));

    Label1 = new QLabel(Pcam);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(4, 4);
    Label1->setMargin(3);
    Label1->setAutoFillBackground(true);
    QPalette readout = Label1->palette();
    readout.setColor(QPalette::Window, QColor(0, 0, 0, 150));
    readout.setColor(QPalette::WindowText, QColor(255, 255, 255));
    Label1->setPalette(readout);
    Label1->hide();
}

// The twelve camera buttons and the cycle button, the motion box, start and stop.
void FrmCamera::buildCameraRow()
{
    for (int k = 0; k < 13; ++k) {
        auto *b = new CameraButton(k, this);
        b->move(PictureLeft + k * (CameraButton::Width + 1), ButtonRow);
        connect(b, &CameraButton::released, this, [this, k](Qt::MouseButton button) { Pbut_MouseUp(k, button); });
        Pbut[size_t(k)] = b;
    }

    Cmotion = new QCheckBox(this);
    Cmotion->setObjectName(QStringLiteral("Cmotion"));
    Cmotion->setIcon(QIcon(QStringLiteral(":/camera/motion.svg")));
    Cmotion->setFocusPolicy(Qt::TabFocus);
    Cmotion->setStyleSheet(QStringLiteral(
        "QCheckBox { spacing: 2px; }"
        "QCheckBox::indicator { width: 11px; height: 11px; border: 1px solid #7d828a; border-radius: 2px;"
        " background: #eef0f3; }"
        "QCheckBox::indicator:checked { background: #e8590c; border-color: #a63f08; image: url(:/camera/check.svg); }"));
    Cmotion->setGeometry(PictureLeft + 13 * (CameraButton::Width + 1) + 4, ButtonRow - 2, 36, 21);
    connect(Cmotion, &QCheckBox::toggled, Label1, &QLabel::setVisible);

    Istart = imageButton(this, QStringLiteral("Istart"), QStringLiteral("start.svg"), QSize(18, 18), QString());
    Istart->move(WindowWidth - 48, ButtonRow - 2);
    connect(Istart, &QToolButton::clicked, this, &FrmCamera::Istart_Click);
    Istop = imageButton(this, QStringLiteral("Istop"), QStringLiteral("stop.svg"), QSize(18, 18), QString());
    Istop->move(WindowWidth - 25, ButtonRow - 2);
    connect(Istop, &QToolButton::clicked, this, &FrmCamera::Istop_Click);
}

// The enlarged part: five adjustment pairs and the cycle time, each in its frame.
void FrmCamera::buildAdjustments()
{
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
        if (i < 5)
            buildAdjustmentPair(frame, i);
    }
    Txtcicla = new QLineEdit(Lb[5]->parentWidget());
    Txtcicla->setObjectName(QStringLiteral("Txtcicla"));
    Txtcicla->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), Txtcicla));
    Txtcicla->setAlignment(Qt::AlignCenter);
    Txtcicla->setGeometry(8, 18, Txtcicla->parentWidget()->width() - 16, 20);
    connect(Txtcicla, &QLineEdit::editingFinished, this, &FrmCamera::Txtcicla_Validate);
}

// The minus and plus buttons of adjustment `i`, side by side in its frame.
void FrmCamera::buildAdjustmentPair(QFrame *frame, int i)
{
    Ipiu[size_t(i)] = imageButton(frame, QStringLiteral("Ipiu") + QString::number(i), QStringLiteral("plus.svg"),
                                  QSize(16, 16), QString());
    Ipiu[size_t(i)]->move(frame->width() / 2 + 1, 19);
    connect(Ipiu[size_t(i)], &QToolButton::clicked, this, [this, i] { Ipiu_Click(i); });
    Imeno[size_t(i)] = imageButton(frame, QStringLiteral("Imeno") + QString::number(i), QStringLiteral("minus.svg"),
                                   QSize(16, 16), QString());
    Imeno[size_t(i)]->move(frame->width() / 2 - 19, 19);
    connect(Imeno[size_t(i)], &QToolButton::clicked, this, [this, i] { Imeno_Click(i); });
}

void FrmCamera::applyTexts()
{
    const InstallationModel &model = m_ctx.state.model;
    const LanguageTexts &lang = m_ctx.state.lang;
    // Named by its menu entry, for the task bar and a screen reader.
    QString cameras = lang.menu.value(QStringLiteral("wcamera"));
    if (cameras.isEmpty())
        cameras = QStringLiteral("Cameras");
    setWindowTitle(cameras);
    setAccessibleName(cameras);
    const QString shown = lang.t(QStringLiteral("CamShown"), QStringLiteral("shown"));
    const QString flagged = lang.t(QStringLiteral("CamFlagged"), QStringLiteral("in the cycle"));
    for (int k = 0; k < 12; ++k) {
        CameraButton *b = Pbut[size_t(k)];
        const QString &name = model.NomiCamere.at(size_t(k + 1));
        b->setToolTip(name);
        // A camera without a name is read by its number after the window's own name.
        b->setAccessibleName(name.trimmed().isEmpty() ? cameras + QLatin1Char(' ') + QString::number(k + 1) : name);
        b->setStateTexts(shown, flagged);
        // A camera the installation does not have is no stop for Tab, as an undefined scenario.
        b->setFocusPolicy(model.IndirizziCamere.at(size_t(k + 1)).trimmed().isEmpty() ? Qt::NoFocus : Qt::TabFocus);
    }
    Pbut[12]->setAccessibleName(lang.t(QStringLiteral("CamCycle"), QStringLiteral("Cycle the cameras")));
    Pbut[12]->setStateTexts(QString(), lang.t(QStringLiteral("CamCycling"), QStringLiteral("cycling")));
    Pcam->setAccessibleName(lang.t(QStringLiteral("CamPicture"), QStringLiteral("Camera picture")));
    Label1->setAccessibleName(lang.t(QStringLiteral("CamMotion"), QStringLiteral("Motion level")));
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
    // The tool tips of the language file, or the built-in English where an older file lacks them.
    const auto tip = [&lang](QWidget *control, const char *key, const QString &builtIn) {
        const QString text = lang.tooltip.value(QString::fromLatin1(key));
        control->setToolTip(text.isEmpty() ? builtIn : text);
    };
    tip(Pbut[12], "ccycle", QStringLiteral("Cycle through the flagged cameras (right-click a camera to flag it)"));
    tip(Cmotion, "cmotion", QStringLiteral("Motion detection"));
    tip(Istart, "cstart", QStringLiteral("Start"));
    tip(Istop, "cstop", QStringLiteral("Stop"));
    for (QWidget *control : std::initializer_list<QWidget *>{Cmotion, Istart, Istop})
        control->setAccessibleName(control->toolTip());
    Ixit->setToolTip(lang.t(QStringLiteral("Exit"), QStringLiteral("Close")));
    Ixit->setAccessibleName(Ixit->toolTip());
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
