#include "devices/meters/FrmMeter.h"

#include "engine/model/EngineState.h"
#include "engine/ports/FrameSender.h"
#include "devices/host/LampShape.h"
#include "shell/main/MainMenus.h"
#include "devices/host/PictureBox.h"
#include "engine/config/ProgramSettings.h"
#include "devices/host/SavedPosition.h"
#include "shell/snapping/SnapDrag.h"
#include "shell/snapping/Snapping.h"
#include "shell/services/WindowUtils.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>

static void registerMeterResources() { Q_INIT_RESOURCE(meters); }

namespace {

constexpr int FrameMs = 100;
constexpr int FirstPollMs = 100;
constexpr int BusyRetryMs = 200;
constexpr int PollMs = 60000;
constexpr int LampFull = 255;
constexpr int LampStep = 10;
constexpr int LampLast = 50;
constexpr qint16 DialScale = 12;
constexpr qint16 NeedleLength = 1100;
constexpr double NeedleShownTw = 930;

QString menuText(const EngineState &state, const char *key)
{
    const QString k = QString::fromLatin1(key);
    const QString t = state.lang.t(k);
    return t.isEmpty() ? k : t;
}

// The unit a reading is in, by the meter's entry: volt, ampere, watt.
QString unitOf(const MeterVariant &variant)
{
    static const std::array<QString, 3> units{QStringLiteral("V"), QStringLiteral("A"), QStringLiteral("W")};
    return units.at(size_t(std::clamp(variant.entry, 1, 3) - 1));
}

} // namespace

FrmMeter::FrmMeter(DeviceContext context, const MeterVariant &variant, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), m_ctx(std::move(context)), m_variant(variant),
      m_reading(new QLabel(this)), m_slamp(new LampShape(this)), m_iv(new PictureBox(this)),
      m_tlanc(new QTimer(this)), m_tcol(new QTimer(this)), m_tagg(new QTimer(this)),
      m_menu(this, [this](int id) { menuChosen(id); })
{
    static const bool registered = (registerMeterResources(), true);
    Q_UNUSED(registered);
    setObjectName(variant.name);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Named by its menu entry, for the task bar and a screen reader. The drop-down entry
    // carries the blanks of its check mark; the window's name does not.
    const QString caption = m_ctx.state.lang.VociEnergia[size_t(variant.entry - 1)].trimmed();
    setWindowTitle(caption.isEmpty() ? variant.builtInTitle : caption);
    setAccessibleName(windowTitle());
    m_face = new QSvgRenderer(variant.face, this);
    setFixedSize(toPixels(QRectF(0, 0, WidthTw, HeightTw)).size());

    m_reading->setObjectName(variant.labelName);
    m_reading->setGeometry(toPixels(QRectF(675, 525, 615, 165)));
    m_reading->setAlignment(Qt::AlignCenter);
    QFont lcd(QStringLiteral("LCDMono"));
    lcd.setStyleHint(QFont::Monospace);
    lcd.setBold(true);
    lcd.setPointSizeF(9.75);
    m_reading->setFont(lcd);
    // The display sits over the needle, so the reading stays legible wherever the needle is.
    m_reading->setStyleSheet(QStringLiteral("color: rgb(0, 192, 0); background: #07100a; border: 1px solid #55606b;"
                                            " border-radius: 2px;"));
    showReading(variant.designText);
    if (!variant.dragFromLabel)
        m_reading->setAttribute(Qt::WA_NoMousePropagation);

    m_slamp->setObjectName(QStringLiteral("Slamp"));
    m_slamp->setGeometry(toPixels(QRectF(1665, 105, 150, 150)));
    m_iv->setObjectName(QStringLiteral("Iv"));
    m_iv->setGeometry(toPixels(QRectF(795, 960, 360, 180)));
    m_iv->setPicture(1, QStringLiteral(":/ombrix/meters/hub.svg"));

    auto *drag = new SnapDrag(this);
    drag->onRightRelease = [this] { MostraMenu(); };

    connect(m_tlanc, &QTimer::timeout, this, &FrmMeter::Tlanc_Timer);
    connect(m_tcol, &QTimer::timeout, this, &FrmMeter::Tcol_Timer);
    connect(m_tagg, &QTimer::timeout, this, &FrmMeter::Tagg_Timer);
    m_tcol->setInterval(FrameMs);

    // Form_Load
    Snapping::DockForm(this);
    SavedPosition::restore(this, m_ctx.settings, variant.name);
    showReading(variant.stored(m_ctx.state.live));
    m_posLancetta = -125;
    m_tlanc->start(FrameMs);
    m_tagg->start(FirstPollMs);
}

FrmMeter::~FrmMeter()
{
    // A closed window withdraws from snapping, so no stale entry is left behind; here, because
    // the program's end deletes it without closing it.
    Snapping::UndockForm(this);
}

QRect FrmMeter::toPixels(const QRectF &twips) const
{
    const double tx = WindowUtils::twipsPerPixelX();
    const double ty = WindowUtils::twipsPerPixelY();
    return QRect(int(std::lround(twips.x() / tx)), int(std::lround(twips.y() / ty)),
                 int(std::lround(twips.width() / tx)), int(std::lround(twips.height() / ty)));
}

void FrmMeter::showReading(const QString &reading)
{
    // The same reading again, as a burst or each poll brings it: nothing to change.
    if (reading == m_reading->text() && !m_reading->accessibleName().isEmpty())
        return;
    m_reading->setText(reading);
    // A reader says the reading with its unit, which the dial shows only as a picture.
    m_reading->setAccessibleName(accessibleName() + QStringLiteral(": ") + reading + QLatin1Char(' ') + unitOf(m_variant));
}

void FrmMeter::Tagg_Timer()
{
    m_tagg->stop();
    if (m_ctx.state.link.InInvio) {
        // The command link is busy: try again shortly rather than queue behind it.
        m_tagg->start(BusyRetryMs);
        return;
    }
    m_livLamp = LampFull;
    // Set before the send, so a slow acknowledgement does not shift the next poll.
    m_tagg->start(PollMs);
    m_slamp->setFill(QColor(0, 255, 0));
    m_tcol->start();
    m_ctx.sender.SendTCP(m_variant.pollFrame);
}

void FrmMeter::Tcol_Timer()
{
    m_livLamp -= LampStep;
    if (m_livLamp > LampLast) {
        m_slamp->setFill(QColor(255 - m_livLamp, 205, 255 - m_livLamp));
    } else {
        m_slamp->clearFill();
        m_tcol->stop();
    }
}

void FrmMeter::Tlanc_Timer()
{
    const std::optional<double> target = m_variant.target(m_ctx.state.live);
    // A reading that is not a number leaves the needle where it is.
    if (!target)
        return;
    const double t = *target;
    // nearbyint rounds halves to the even integer in the default rounding mode.
    if (m_posLancetta < t)
        m_posLancetta = qint16(m_posLancetta + std::nearbyint((t - m_posLancetta) / 5));
    else if (m_posLancetta > t)
        m_posLancetta = qint16(m_posLancetta - std::nearbyint((m_posLancetta - t) / 5));
    else
        return;
    DisegnaLancetta(float(m_posLancetta / 63.0), DialScale, NeedleLength);
}

void FrmMeter::DisegnaLancetta(float value, qint16 scale, qint16 length)
{
    const float angle = value * (6.283f / float(scale)) - 3.1415f / 2.0f;
    const double reach = std::fabs(double(length) * std::sin(angle));
    const double y = (angle >= 0 && angle < 3.1415f) ? PivotTw.y() + reach : PivotTw.y() - reach;
    m_needleEnd = QPointF(PivotTw.x() + double(length) * std::cos(angle), y);
    ++m_draws;
    update();
}

QList<KeyboardMenu::Entry> FrmMeter::menuEntries() const
{
    return {{menuText(m_ctx.state, "Refresh"), 1}, {menuText(m_ctx.state, "Exit"), 2}};
}

void FrmMeter::MostraMenu() { m_menu.open(menuEntries(), 2, QCursor::pos()); }

void FrmMeter::keyPressEvent(QKeyEvent *event)
{
    if (KeyboardMenu::asksForMenu(event))
        m_menu.openFromKeyboard(menuEntries(), 2);
    else
        QWidget::keyPressEvent(event);
}

void FrmMeter::contextMenuEvent(QContextMenuEvent *event)
{
    // The right button opens the menu on its release (the drag's); this is the keyboard's.
    if (event->reason() == QContextMenuEvent::Keyboard)
        m_menu.openFromKeyboard(menuEntries(), 2);
}

void FrmMeter::menuChosen(int id)
{
    if (id == 1) {
        m_tagg->stop();
        m_tagg->start(FirstPollMs);
    } else if (id == 2) {
        close();
    }
}

void FrmMeter::closeEvent(QCloseEvent *event)
{
    SavedPosition::save(this, m_ctx.settings, m_variant.name);
    if (m_ctx.menus)
        m_ctx.menus->markMeter(m_variant.entry, false);
    m_tlanc->stop();
    m_tcol->stop();
    m_tagg->stop();
    event->accept();
    deleteLater();
}

void FrmMeter::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(double(width()) / WidthTw, double(height()) / HeightTw);
    m_face->render(&p, QRectF(0, 0, WidthTw, HeightTw));
    // The needle lies under the hub and the display, and is shown up to the rim of the scale.
    const QLineF needle(PivotTw, m_needleEnd);
    QLineF shown = needle;
    if (needle.length() > NeedleShownTw)
        shown.setLength(NeedleShownTw);
    p.setPen(QPen(QColor(255, 96, 48), 24, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(shown);
}
