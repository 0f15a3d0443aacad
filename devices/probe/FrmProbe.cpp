#include "devices/probe/FrmProbe.h"

#include "engine/model/EngineState.h"
#include "engine/protocol/FrameRequests.h"
#include "engine/ports/FrameSender.h"
#include "engine/config/ProgramSettings.h"
#include "devices/host/SavedPosition.h"
#include "shell/main/ShellOptions.h"
#include "shell/snapping/SnapDrag.h"
#include "shell/snapping/Snapping.h"
#include "engine/model/WindowNames.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <QTimer>

static void registerProbeResources() { Q_INIT_RESOURCE(probe); }

namespace {

constexpr int FirstPollMs = 100;
constexpr int PollMs = 30000;
constexpr int PollSpreadMs = 5000;

// Rows 0, 1, 34 and 35 round the corners; the rows between span the whole width.
const int RowTable[FrmProbe::Height] = {
    2000128, 1001129, 2130,  3130,  4130,  5130,  6130,  7130,  8130,  9130,  10130,  11130,
    12130,   13130,   14130, 15130, 16130, 17130, 18130, 19130, 20130, 21130, 22130,  23130,
    24130,   25130,   26130, 27130, 28130, 29130, 30130, 31130, 32130, 33130, 1034129, 2035128,
};

const char *const PicturePaths[3] = {":/ombrix/probe/pill-blue.svg", ":/ombrix/probe/pill-red.svg",
                                     ":/ombrix/probe/pill-grey.svg"};

// The text colour by the palette: a style sheet would be parsed again at each change of mode.
void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette p = label->palette();
    if (p.color(QPalette::WindowText) == colour)
        return;
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

QString exitText(const EngineState &state)
{
    const QString t = state.lang.t(QStringLiteral("Exit"));
    return t.isEmpty() ? QStringLiteral("Exit") : t;
}

} // namespace

FrmProbe::FrmProbe(DeviceContext context, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_ctx(std::move(context)),
      m_lname(new QLabel(this)), m_ltemp(new QLabel(this)), m_lsetp(new QLabel(this)), m_tagg(new QTimer(this)),
      m_menu(this, [this](int id) { menuChosen(id); })
{
    static const bool registered = (registerProbeResources(), true);
    Q_UNUSED(registered);
    setObjectName(WindowNames::FrmProbe);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(Width, Height);
    for (int i = 0; i < 3; ++i)
        m_ipic[i] = new QSvgRenderer(QString::fromLatin1(PicturePaths[i]), this);

    m_lname->setObjectName(QStringLiteral("Lname"));
    m_ltemp->setObjectName(QStringLiteral("Ltemp"));
    m_lsetp->setObjectName(QStringLiteral("Lsetp"));
    m_lname->setGeometry(10, 3, 112, 12);
    m_ltemp->setGeometry(10, 14, 64, 19);
    m_lsetp->setGeometry(72, 18, 52, 13);
    m_lsetp->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont small = font();
    small.setPixelSize(10);
    small.setBold(true);
    m_lname->setFont(small);
    small.setBold(false);
    small.setPixelSize(9);
    m_lsetp->setFont(small);
    QFont big = font();
    big.setPixelSize(15);
    big.setBold(true);
    m_ltemp->setFont(big);
    // The set point neither drags the window nor opens its menu.
    m_lsetp->setAttribute(Qt::WA_NoMousePropagation);

    auto *drag = new SnapDrag(this);
    drag->onRightRelease = [this] { MostraMenu(); };

    RitagliaForm();
    Snapping::DockForm(this);
    connect(m_tagg, &QTimer::timeout, this, &FrmProbe::Tagg_Timer);
    m_tagg->start(FirstPollMs);
    for (QLabel *label : {m_lname, m_ltemp, m_lsetp})
        setTextColour(label, Qt::white);
}

FrmProbe::~FrmProbe()
{
    // The main window unloads its probe windows by deleting them: the place is kept here.
    if (m_zona > 0)
        SavedPosition::save(this, m_ctx.settings, WindowNames::probeCaption(m_zona));
    Snapping::UndockForm(this);
}

QRegion FrmProbe::RitagliaRegion()
{
    QRegion region;
    for (int coded : RowTable) {
        const QString digits = QStringLiteral("%1").arg(coded, 7, 10, QLatin1Char('0'));
        const int left = digits.mid(0, 1).toInt();
        const int y = digits.mid(1, 3).toInt();
        const int right = digits.mid(4, 3).toInt();
        region += QRect(QPoint(left, y), QPoint(right - 1, y));
    }
    return region;
}

void FrmProbe::RitagliaForm() { setMask(RitagliaRegion()); }

void FrmProbe::Lname(const QString &name)
{
    m_lname->setText(name);
    m_lname->setAccessibleName(name);
    setAccessibleName(name);
}

void FrmProbe::pZona(int zone)
{
    m_zona = qint16(zone);
    // Until the zone answers, the last temperature the bus reported for it.
    const QString &stored = m_ctx.state.live.TempSonde[size_t(qBound(0, zone, LiveState::Zones - 1))];
    if (!stored.isEmpty())
        Temperatura(stored);
    SavedPosition::restore(this, m_ctx.settings, WindowNames::probeCaption(m_zona));
}

void FrmProbe::Temperatura(const QString &text) { m_ltemp->setText(text + QStringLiteral("\u00B0C")); }

void FrmProbe::Tempset(const QString &text)
{
    m_ultimoSet = text;
    showSetPoint();
}

void FrmProbe::Knob(const QString &text)
{
    m_ultimoKnob = text;
    showSetPoint();
}

void FrmProbe::showSetPoint() { m_lsetp->setText(m_ultimoSet + QStringLiteral(" (") + m_ultimoKnob + QLatin1Char(')')); }

void FrmProbe::pCol(int mode)
{
    struct Look
    {
        Picture picture;
        QColor name;
        QColor setPoint;
    };
    static const Look looks[3] = {
        {Grey, QColor(255, 255, 255), QColor(255, 255, 255)},
        {Blue, QColor(186, 210, 222), QColor(193, 199, 213)},
        {Red, QColor(255, 208, 208), QColor(197, 194, 216)},
    };
    if (mode < 0 || mode > 2)
        return;
    const Look &l = looks[mode];
    setTextColour(m_lname, l.name);
    setTextColour(m_lsetp, l.setPoint);
    if (m_picture == l.picture)
        return;
    m_picture = l.picture;
    update();
}

void FrmProbe::Tagg_Timer()
{
    const QString z = QString::number(m_zona);
    if (m_ctx.state.link.ModoUsb) {
        // The serial link takes one request at a time; the valves are not asked for there.
        for (int dimension : {0, 12, 13})
            m_ctx.sender.SendUsb(Frame::dimensionRequest(4, z, dimension), false);
    } else {
        m_ctx.sender.SendTCP(Frame::probeZoneRequests(m_zona));
    }
    // The spread keeps the zones from asking all at once.
    m_tagg->stop();
    m_tagg->setInterval(PollMs + int(m_ctx.draw() * PollSpreadMs));
    m_tagg->start();
}

QList<KeyboardMenu::Entry> FrmProbe::menuEntries() const { return {{exitText(m_ctx.state), 1}}; }

void FrmProbe::MostraMenu() { m_menu.open(menuEntries(), 1, QCursor::pos()); }

void FrmProbe::keyPressEvent(QKeyEvent *event)
{
    if (KeyboardMenu::asksForMenu(event))
        m_menu.openFromKeyboard(menuEntries(), 1);
    else if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        menuChosen(1);
    else
        QWidget::keyPressEvent(event);
}

void FrmProbe::contextMenuEvent(QContextMenuEvent *event)
{
    // The right button opens the menu on its release (the drag's); this is the keyboard's.
    if (event->reason() == QContextMenuEvent::Keyboard)
        m_menu.openFromKeyboard(menuEntries(), 1);
}

void FrmProbe::menuChosen(int id)
{
    if (id != 1)
        return;
    QString &open = m_ctx.shared.SondeAperte;
    const QStringList zones = open.split(QLatin1Char(','));
    if (zones.size() == 1) {
        open.clear();
    } else {
        QStringList kept;
        for (const QString &z : zones)
            if (z != QString::number(m_zona))
                kept << z;
        open = kept.join(QLatin1Char(','));
    }
    deleteLater();
    hide();
}

void FrmProbe::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    m_ipic[m_picture]->render(&p, QRectF(0, 0, Width, Height));
}
