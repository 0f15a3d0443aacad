#include "devices/aux/FrmAux.h"

#include "engine/model/EngineState.h"
#include "engine/protocol/FrameRequests.h"
#include "engine/ports/FrameSender.h"
#include "devices/host/KeptLoaded.h"
#include "devices/host/PictureBox.h"
#include "engine/config/ProgramSettings.h"
#include "devices/host/SavedPosition.h"
#include "engine/model/WindowNames.h"
#include "shell/services/WindowUtils.h"

#include <QCheckBox>
#include <algorithm>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

static void registerAuxResources() { Q_INIT_RESOURCE(aux); }

namespace {

const QString Section = WindowNames::FrmAux;
const QString LampOff = QStringLiteral(":/ombrix/aux/lamp-off.svg");
const QString LampOn = QStringLiteral(":/ombrix/aux/lamp-on.svg");
constexpr int LampPx = 18;
constexpr int NumberPx = 52;
constexpr int MarginPx = 10;
constexpr int SpacingPx = 6;
// The window grows up to this many times its design width to show the channels' whole names.
constexpr double WidestGrowth = 1.3;

// Set once: a channel's "on" property picks its colour, so a change restyles that button only.
const QString ChannelSheet = QStringLiteral(
    "QPushButton { border: none; text-align: left; padding: 0 2px; font-weight: bold; color: rgb(192, 192, 192); }"
    "QPushButton[on=\"true\"] { color: black; }"
    "QPushButton:hover { text-decoration: underline; }");

} // namespace

FrmAux::FrmAux(DeviceContext context, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint), m_ctx(std::move(context)),
      m_contop(new QCheckBox(this))
{
    static const bool registered = (registerAuxResources(), true);
    Q_UNUSED(registered);
    setObjectName(WindowNames::FrmAux);
    setWindowTitle(QStringLiteral("AUX"));
    setAccessibleName(m_ctx.state.lang.menu.value(QStringLiteral("waux")));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(pal);

    auto *rows = new QGridLayout;
    rows->setHorizontalSpacing(SpacingPx);
    rows->setVerticalSpacing(2);
    const auto &names = m_ctx.state.model.NomiAux;
    const double tx = WindowUtils::twipsPerPixelX();
    const double ty = WindowUtils::twipsPerPixelY();
    const int designWidth = int(3045 / tx);
    const int besideName = 2 * MarginPx + LampPx + NumberPx + 2 * SpacingPx;
    int widestName = 0;
    for (int n = 1; n <= Channels && size_t(n) < names.size(); ++n)
        widestName = std::max(widestName, fontMetrics().horizontalAdvance(names[size_t(n)]) + 2);
    const int width = std::clamp(besideName + widestName, designWidth, int(designWidth * WidestGrowth));
    const int nameWidth = width - besideName;
    for (int i = 0; i < Channels; ++i) {
        const int n = i + 1;
        auto *lamp = new PictureBox(this);
        lamp->setObjectName(QStringLiteral("ImgAux%1").arg(i));
        lamp->setFixedSize(LampPx, LampPx);
        auto *number = new QPushButton(QStringLiteral("Aux %1").arg(n), this);
        number->setObjectName(QStringLiteral("Laux%1").arg(i));
        number->setFlat(true);
        number->setCursor(Qt::PointingHandCursor);
        number->setFixedWidth(NumberPx);
        number->setProperty("on", false);
        number->setStyleSheet(ChannelSheet);
        auto *name = new QLabel(this);
        name->setObjectName(QStringLiteral("LnAux%1").arg(i));
        name->setStyleSheet(QStringLiteral("color: white;"));
        // A name longer than the widest window is shortened; the whole of it is in the tool tip.
        const QString full = size_t(n) < names.size() ? names[size_t(n)] : QString();
        name->setText(name->fontMetrics().elidedText(full, Qt::ElideRight, nameWidth));
        name->setToolTip(full);
        // The button switches the channel: a reader says the channel's name, not its number.
        number->setAccessibleName(full.trimmed().isEmpty() ? number->text() : full.trimmed());
        connect(number, &QPushButton::clicked, this, [this, i] { Laux_Click(i); });
        m_imgAux[size_t(i)] = lamp;
        m_laux[size_t(i)] = number;
        m_lnAux[size_t(i)] = name;
        rows->addWidget(lamp, i, 0);
        rows->addWidget(number, i, 1);
        rows->addWidget(name, i, 2);
    }
    rows->setColumnStretch(2, 1);

    m_contop->setObjectName(QStringLiteral("Contop"));
    m_contop->setStyleSheet(QStringLiteral("color: white;"));
    const QString ontop = m_ctx.state.lang.t(QStringLiteral("ontop"));
    m_contop->setText(ontop.isEmpty() ? QStringLiteral("Always on top") : ontop);
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(MarginPx, 10, MarginPx, 8);
    box->addLayout(rows);
    box->addStretch(1);
    box->addWidget(m_contop);
    setFixedSize(width, int(5010 / ty));

    // Form_Load
    const bool onTop = m_ctx.settings.readInt(Section, QStringLiteral("ontop"), 0) == 1;
    m_contop->setChecked(onTop);
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    connect(m_contop, &QCheckBox::clicked, this, &FrmAux::Contop_Click);
    SavedPosition::restore(this, m_ctx.settings, Section);
    Aggiorna();
}

void FrmAux::Aggiorna()
{
    const auto &state = m_ctx.state.live.StatoAux;
    for (int i = 0; i < Channels; ++i) {
        // A channel not reported yet looks like one that is off.
        const bool on = state[size_t(i + 1)].value_or(false);
        // Only what changed: the window is asked again and again while the bus is busy.
        if (m_shown[size_t(i)] == on)
            continue;
        m_shown[size_t(i)] = on;
        QPushButton *number = m_laux[size_t(i)];
        m_imgAux[size_t(i)]->setPicture(on ? 1 : 0, on ? LampOn : LampOff);
        m_imgAux[size_t(i)]->setAccessibleName(number->accessibleName());
        // Its state, as the log would say it.
        number->setAccessibleDescription(
            QString(m_ctx.state.lang.aux.value(on ? 1 : 0)).replace(QStringLiteral("\\n"), number->accessibleName()));
        number->setProperty("on", on);
        number->style()->unpolish(number);
        number->style()->polish(number);
    }
}

void FrmAux::Laux_Click(int index)
{
    if (index < 0 || index >= Channels)
        return;
    const int n = index + 1;
    const bool switchOff = m_ctx.state.live.StatoAux[size_t(n)].value_or(false);
    const QString frame = Frame::command(9, switchOff ? QStringLiteral("0") : QStringLiteral("1"), QString::number(n));
    // Always the command link: only it tells whether the gateway took the command.
    if (!m_ctx.sender.SendTCP(frame))
        return;
    m_ctx.state.live.StatoAux[size_t(n)] = !switchOff;
    Aggiorna();
}

void FrmAux::Contop_Click()
{
    const bool on = m_contop->isChecked();
    WindowUtils::SempreInPrimoPiano(this, on);
    m_ctx.settings.save(Section, QStringLiteral("ontop"), on ? QStringLiteral("1") : QStringLiteral("0"));
}

void FrmAux::closeEvent(QCloseEvent *event)
{
    // Kept loaded: opening it again shows the same window with its state.
    closeKeptLoaded(this, event, m_ctx, Section, MainMenus::Entry::Aux);
}
