#include "shell/notice/NoticePopup.h"

#include "engine/model/EngineState.h"
#include "shell/notice/FrmMsg.h"
#include "shell/icons/ImageList.h"
#include "shell/main/ShellOptions.h"
#include "shell/services/TopLevelWindows.h"
#include "shell/services/WindowUtils.h"

#include <QCheckBox>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <utility>

NoticePopup::NoticePopup(QObject *parent) : QObject(parent), m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("Tpopup"));
    connect(m_timer, &QTimer::timeout, this, &NoticePopup::Tpopup_Timer);
}

NoticePopup::~NoticePopup() { delete m_window.data(); }

void NoticePopup::attach(const EngineState &state, const ShellOptions &options, const ImageList &images)
{
    m_state = &state;
    m_options = &options;
    m_images = &images;
}

FrmMsg *NoticePopup::window()
{
    showLatest();
    return m_window.data();
}

int NoticePopup::pixels(double twips) { return int(std::lround(twips / TwipsPerPixel)); }

FrmMsg *NoticePopup::frmMsg()
{
    if (!m_window)
        m_window = new FrmMsg(m_options->OpzMsgType.toInt(), m_state->programFolder);
    return m_window;
}

void NoticePopup::unload()
{
    m_timer->stop();
    m_phase = Idle;
    delete m_window.data();
    m_pictures.clear();
}

void NoticePopup::waitFor(QWidget *window)
{
    if (!window)
        return;
    if (m_waitFor) {
        m_waitFor->removeEventFilter(this);
        disconnect(m_waitFor, nullptr, this, nullptr);
    }
    m_waitFor = window;
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this, &NoticePopup::endWait);
    // The preview stands where the notice shows: the notice makes way at once.
    m_timer->stop();
    m_phase = Idle;
    m_height = 0;
    if (m_window)
        m_window->hide();
}

bool NoticePopup::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_waitFor && event->type() == QEvent::Hide)
        endWait();
    return QObject::eventFilter(watched, event);
}

void NoticePopup::endWait()
{
    if (m_waitFor)
        m_waitFor->removeEventFilter(this);
    m_waitFor = nullptr;
    if (const std::optional<Waiting> latest = std::exchange(m_waiting, std::nullopt))
        MostraMessaggio(latest->text, latest->detail, latest->durationMs, latest->icon);
}

const QPixmap &NoticePopup::picture(int icon)
{
    auto found = m_pictures.find(icon);
    if (found != m_pictures.end())
        return *found;
    QIcon picture = m_images->icon(icon + 7);
    if (picture.isNull())
        picture = QIcon(QStringLiteral(":/notice/notice-picture.svg"));
    return *m_pictures.insert(icon, picture.pixmap(32, 32));
}

void NoticePopup::showLatest()
{
    if (m_latestShown)
        return;
    m_latestShown = true;
    FrmMsg *w = m_window;
    if (!w)
        return;
    w->setTexts(m_text, m_detail, picture(m_icon));
    if (std::exchange(m_raise, false) && m_height > 0) {
        w->show();
        w->raise();
    }
}

void NoticePopup::MostraMessaggio(const QString &text, const QString &detail, int durationMs, int icon)
{
    // While the program closes nothing new appears, and no timer starts.
    if (!m_state || m_state->InChiusura)
        return;
    if (m_waitFor) {
        m_waiting = Waiting{text, detail, durationMs, icon};
        return;
    }
    m_duration = std::max(0, durationMs);
    m_opacity = 0;
    FrmMsg *w = frmMsg();
    m_text = text;
    m_detail = detail;
    m_icon = icon;
    if (m_latestShown) {
        m_latestShown = false;
        QMetaObject::invokeMethod(this, &NoticePopup::showLatest, Qt::QueuedConnection);
    }

    switch (m_phase) {
    case Held:
        restartTimer(m_duration);
        break;
    case Idle:
    case GoingOut: {
        const QPointF at = placeTwips(*m_options);
        m_left = at.x();
        m_posY = int(at.y());
        m_height = 0;
        m_top = m_posY + WindowHeightTwips;
        // A fade starts from nothing; the other effects show the window solid even after a
        // fade has left it clear.
        w->setWindowOpacity(m_options->OpzFx == 2 ? 0.0 : 1.0);
        place();
        m_phase = ComingIn;
        restartTimer(10);
        break;
    }
    default:
        break;
    }
    // Shown at once (a notice never waits for its window), raised with the latest texts.
    if (m_height > 0) {
        m_raise = true;
        if (!w->isVisible())
            showLatest();
    }
}

QPointF NoticePopup::placeTwips(const ShellOptions &options)
{
    bool ok = false;
    const double left = options.MsgPosX.toDouble(&ok);
    const QRect at(pixels(left), pixels(options.MsgPosY), FrmMsg::Width, FrmMsg::Height);
    bool onScreen = false;
    for (const QScreen *s : QGuiApplication::screens())
        onScreen = onScreen || s->geometry().intersects(at);
    const QScreen *primary = QGuiApplication::primaryScreen();
    if ((ok && onScreen) || !primary)
        return QPointF(left, options.MsgPosY);
    const QRect area = primary->availableGeometry();
    return QPointF((area.x() + area.width() - FrmMsg::Width) * TwipsPerPixel,
                   (area.y() + area.height() - FrmMsg::Height) * TwipsPerPixel);
}

void NoticePopup::restartTimer(int intervalMs)
{
    m_timer->stop();
    m_timer->setInterval(intervalMs);
    m_timer->start();
}

void NoticePopup::place()
{
    FrmMsg *w = m_window;
    if (!w)
        return;
    const int h = pixels(m_height);
    if (h <= 0) {
        w->hide();
        return;
    }
    w->setGeometry(pixels(m_left), pixels(m_top), FrmMsg::Width, std::min(h, int(FrmMsg::Height)));
    if (!w->isVisible()) {
        w->show();
        w->raise();
    }
}

void NoticePopup::applyOpacity()
{
    if (m_window)
        m_window->setWindowOpacity(m_opacity / 255.0);
}

void NoticePopup::hold()
{
    m_phase = Held;
    restartTimer(m_duration);
}

void NoticePopup::goOut()
{
    m_phase = GoingOut;
    restartTimer(10);
}

void NoticePopup::Tpopup_Timer()
{
    if (!m_options)
        return;
    showLatest();
    // An effect the program does not know shows plainly, rather than leaving the timer
    // ticking for a notice that never comes or goes.
    const int effect = m_options->OpzFx <= 2 ? m_options->OpzFx : 0;
    if (m_phase == Held) {
        goOut();
        return;
    }
    if (effect == 0) {
        if (m_phase == ComingIn) {
            m_top = m_posY;
            m_height = WindowHeightTwips;
            place();
            hold();
        } else if (m_phase == GoingOut) {
            end();
        }
    } else if (effect == 1) {
        if (m_phase == ComingIn) {
            // The top is not corrected at full height: the window ends 15 twips above its place.
            m_top -= SlideStepTwips;
            m_height += SlideStepTwips;
            if (m_height >= WindowHeightTwips) {
                m_height = WindowHeightTwips;
                place();
                hold();
                return;
            }
            place();
        } else if (m_phase == GoingOut) {
            m_top += SlideStepTwips;
            m_height = m_height < SlideStepTwips ? 0 : m_height - SlideStepTwips;
            place();
            if (m_height <= 0)
                end();
        }
    } else {
        const int tras = m_options->OpzMsgTras;
        if (m_phase == ComingIn) {
            m_top = m_posY;
            m_height = WindowHeightTwips;
            // A step past 255 is refused; close to the target, the target itself.
            if (m_opacity + 10 <= 255)
                m_opacity += 10;
            if (m_opacity >= tras - 9)
                m_opacity = tras;
            applyOpacity();
            place();
            if (m_opacity == tras)
                hold();
        } else if (m_phase == GoingOut) {
            if (m_opacity - 10 >= 0)
                m_opacity -= 10;
            if (m_opacity <= 10)
                m_opacity = 0;
            applyOpacity();
            if (m_opacity == 0)
                end();
        }
    }
}

void NoticePopup::end()
{
    m_phase = Idle;
    m_timer->stop();
    if (m_window)
        m_window->hide();
    // The notice was above everything; an auxiliary window kept on top goes back above it.
    for (QWidget *w : TopLevelWindows::programWindows()) {
        if (w->objectName() != QLatin1String("FrmAux") || !w->isVisible())
            continue;
        const auto *onTop = w->findChild<QCheckBox *>(QStringLiteral("Contop"));
        if (onTop && onTop->isChecked())
            WindowUtils::SempreInPrimoPiano(w, true);
    }
}
