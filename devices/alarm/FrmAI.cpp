#include "devices/alarm/FrmAI.h"

#include "engine/model/EngineState.h"
#include "devices/host/LampShape.h"
#include "devices/host/KeptLoaded.h"
#include "engine/protocol/NumberConversions.h"
#include "devices/host/PictureBox.h"
#include "engine/config/ProgramSettings.h"
#include "devices/host/SavedPosition.h"
#include "engine/model/WindowNames.h"

#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <QTimer>

static void registerAlarmResources() { Q_INIT_RESOURCE(alarm); }

namespace {

// The settings keep this window under its old spelling.
const QString Section = QStringLiteral("FrmAi");
constexpr int IconPx = 32;
constexpr int RowPx = 15; // 225 twips

// The pictures of the image list, 1 to 9, and what each tells.
const char *const Pictures[10] = {
    nullptr,
    "system-on",    // 1
    "system-off",   // 2
    "mains-on",     // 3
    "mains-off",    // 4
    "unlocked",     // 5
    "locked",       // 6
    "battery-ok",   // 7
    "battery-fault", // 8
    "battery-flat", // 9
};

const QColor ZoneActive(0, 255, 0);
const QColor ZoneQuiet(128, 128, 128);
// Zone 0 is labelled but never reported; its lamp keeps the colour it was drawn with.
const QColor ZoneUnused(72, 78, 86);

QLabel *heading(QWidget *parent, const QString &text, const QRect &at)
{
    auto *l = new QLabel(text, parent);
    QFont f(QStringLiteral("Arial Narrow"));
    f.setBold(true);
    f.setPixelSize(13);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: white;"));
    l->setGeometry(at);
    return l;
}

PictureBox *icon(QWidget *parent, const char *name, const QString &tip, const QPoint &at)
{
    auto *b = new PictureBox(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(QRect(at, QSize(IconPx, IconPx)));
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    return b;
}

// The log's sentence for a reported state, read as the state of its picture: the change that
// set each element to each value (system, arming, battery, mains).
QString stateSentence(const LanguageTexts &lang, int entry, const std::optional<int> &value)
{
    static const int sentence[4][3] = {{0, 1, -1}, {9, 8, -1}, {4, 5, 10}, {6, 7, -1}};
    if (!value || *value < 0 || *value > 2 || sentence[entry][*value] < 0)
        return {};
    return lang.security.value(sentence[entry][*value]);
}

// An element not reported yet counts as 0.
int element(const std::optional<int> &value) { return value.value_or(0); }

} // namespace

FrmAI::FrmAI(DeviceContext context, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint), m_ctx(std::move(context)),
      m_follow(new QTimer(this))
{
    static const bool registered = (registerAlarmResources(), true);
    Q_UNUSED(registered);
    setObjectName(WindowNames::FrmAI);
    setWindowTitle(QStringLiteral("ANTIFURTO"));
    setAccessibleName(m_ctx.state.lang.NomiWho[4]);
    setFixedSize(232, 196);
    m_background = new QSvgRenderer(QStringLiteral(":/ombrix/alarm/background.svg"), this);

    // The captions of the language file; an older file without them gets the built-in
    // English ones, as every other built-in text is.
    const auto caption = [this](const char *key, const QString &builtIn) {
        return m_ctx.state.lang.t(QString::fromLatin1(key), builtIn);
    };
    const QString unit = caption("AlUnit", QStringLiteral("Control unit"));
    heading(this, unit, QRect(16, 10, 90, 18))->setObjectName(QStringLiteral("Lcentrale"));
    heading(this, QStringLiteral("Zone"), QRect(130, 10, 90, 18));
    m_istat = icon(this, "Istat", unit, QPoint(18, 40));
    m_ilock = icon(this, "Ilock", caption("AlArmed", QStringLiteral("Armed")), QPoint(62, 40));
    m_ibatt = icon(this, "Ibatt", caption("AlBattery", QStringLiteral("Battery")), QPoint(18, 84));
    m_ipow = icon(this, "Ipow", caption("AlMains", QStringLiteral("Mains")), QPoint(62, 84));
    // Drawn as for a control unit that has not reported anything yet.
    setPicture(m_istat, 2);
    setPicture(m_ilock, 5);
    setPicture(m_ibatt, 8);
    setPicture(m_ipow, 4);

    for (int z = 0; z < ZoneRows; ++z) {
        const int top = 38 + z * RowPx;
        auto *lamp = new LampShape(this);
        lamp->setObjectName(QStringLiteral("Szone%1").arg(z));
        lamp->setGeometry(134, top + 1, 12, 12);
        lamp->setFill(ZoneUnused);
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("Lz%1").arg(z));
        label->setGeometry(152, top, 70, 14);
        label->setStyleSheet(QStringLiteral("color: white;"));
        label->setText(QStringLiteral("Zona ") + QString::number(z));
        lamp->setAccessibleName(label->text());
        m_szone[size_t(z)] = lamp;
    }

    connect(m_follow, &QTimer::timeout, this, &FrmAI::AggiornaAllarme);
    m_follow->setInterval(FollowMs);

    // Form_Load
    SavedPosition::restore(this, m_ctx.settings, Section);
    AggiornaAllarme();
}

void FrmAI::setPicture(PictureBox *box, int picture)
{
    box->setPicture(picture, QStringLiteral(":/ombrix/alarm/%1.svg").arg(QString::fromLatin1(Pictures[picture])));
}

void FrmAI::AggiornaAllarme()
{
    const auto &s = m_ctx.state.live.StatoAllarme;
    setPicture(m_istat, element(s[0]) == 1 ? 1 : 2);
    setPicture(m_ipow, element(s[3]) == 1 ? 3 : 4);
    setPicture(m_ilock, element(s[1]) == 1 ? 6 : 5);
    switch (element(s[2])) {
    case 0:
        setPicture(m_ibatt, 8);
        break;
    case 1:
        setPicture(m_ibatt, 7);
        break;
    case 2:
        setPicture(m_ibatt, 9);
        break;
    default:
        break;
    }
    const LanguageTexts &lang = m_ctx.state.lang;
    const std::array<PictureBox *, 4> elements{m_istat, m_ilock, m_ibatt, m_ipow};
    for (int e = 0; e < 4; ++e)
        elements[size_t(e)]->setAccessibleDescription(stateSentence(lang, e, s[size_t(e)]));
    const auto &zones = m_ctx.state.live.ZoneAllarme;
    for (int z = 1; z < ZoneRows; ++z) {
        const auto v = NumberConversions::tryValue(zones[size_t(z)][0]);
        m_szone[size_t(z)]->setFill(v && *v == 1 ? ZoneActive : ZoneQuiet);
        // A lamp is read with its state: armed, disarmed, or nothing until the zone reports.
        const QString said = !v ? QString() : lang.security.value(*v == 1 ? 11 : 18);
        m_szone[size_t(z)]->setAccessibleDescription(QString(said).remove(QStringLiteral("\\c")));
    }
}

void FrmAI::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    m_background->render(&p, QRectF(rect()));
}

void FrmAI::showEvent(QShowEvent *event)
{
    // The translator keeps the shared state current; an open window follows it.
    AggiornaAllarme();
    m_follow->start();
    QWidget::showEvent(event);
}

void FrmAI::hideEvent(QHideEvent *event)
{
    m_follow->stop();
    QWidget::hideEvent(event);
}

void FrmAI::closeEvent(QCloseEvent *event)
{
    // Kept loaded: opening it again shows the same window with its state.
    closeKeptLoaded(this, event, m_ctx, Section, MainMenus::Entry::Alarm);
}
