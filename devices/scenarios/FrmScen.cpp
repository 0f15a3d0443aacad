#include "devices/scenarios/FrmScen.h"

#include "engine/model/EngineState.h"
#include "engine/protocol/FrameRequests.h"
#include "engine/ports/FrameSender.h"
#include "engine/protocol/NumberConversions.h"
#include "devices/host/PictureBox.h"
#include "devices/host/SavedPosition.h"
#include "shell/snapping/SnapDrag.h"
#include "engine/model/WindowNames.h"
#include "shell/services/WindowUtils.h"
#include "shell/services/AccessibleRole.h"

#include <QApplication>
#include <algorithm>
#include <QBitmap>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

static void registerScenarioResources() { Q_INIT_RESOURCE(scenarios); }

namespace {

const QColor KeyColour(127, 127, 0);
const QColor NumberColour(105, 159, 226);
const QString Background = QStringLiteral(":/ombrix/scenarios/background.svg");
const std::array<QString, 2> ButtonPictures{QStringLiteral(":/ombrix/scenarios/button.svg"),
                                            QStringLiteral(":/ombrix/scenarios/button-lit.svg")};

// Layout in twips.
constexpr int PanelWidth = 3360;
constexpr int PanelHeight = 2760;
constexpr int ButtonSize = 195;
constexpr int ArcLeft = 1725;
constexpr int ArcMiddle = 1200;
constexpr int InnerRadius = 900;   // (1725, 300) to (1725, 2100)
constexpr int OuterRadius = 1125;  // (1725, 75) to (1725, 2325)
constexpr int NameLeft = 1125, NameTop = 1200, NameWidth = 1515, NameHeight = 240;
constexpr int ShadowOffset = 10;

// Top-left corner of button i (0 to 15): eight on each arc, from its top to its bottom.
QPoint buttonTwips(int i)
{
    const int radius = i < 8 ? InnerRadius : OuterRadius;
    const double angle = M_PI * (-0.5 + (i % 8) / 7.0);
    return {ArcLeft + int(std::lround(radius * std::cos(angle))), ArcMiddle + int(std::lround(radius * std::sin(angle)))};
}

// Whatever the background picture leaves transparent is the key colour, cut away.
QBitmap outline(const QSize &size)
{
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QSvgRenderer svg(Background);
    QPainter p(&picture);
    svg.render(&p, QRectF(picture.rect()));
    p.end();
    return QBitmap::fromImage(picture.createAlphaMask(Qt::ThresholdAlphaDither));
}

bool isDefined(const QString &flag)
{
    const std::optional<double> v = NumberConversions::tryValue(flag);
    return v && *v != 0.0;
}

} // namespace

FrmScen::FrmScen(const DeviceContext &context, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), m_context(context)
{
    registerScenarioResources();
    setObjectName(WindowNames::FrmScen);
    // Shown without taking the focus, but a person may still bring it forward and Tab
    // through its buttons.
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Named by the toolbar button that opens it, for the task bar and a screen reader.
    const QString name = m_context.state.lang.tooltip.value(QStringLiteral("but7"));
    setWindowTitle(name.isEmpty() ? QStringLiteral("Scenarios") : name);
    setAccessibleName(windowTitle());

    QPalette pal = palette();
    pal.setColor(QPalette::Window, KeyColour);
    setPalette(pal);
    setAutoFillBackground(true);

    buildArt();
    SavedPosition::restore(this, m_context.settings, WindowNames::FrmScen);

    m_tcur.setParent(this);
    m_tcur.setObjectName(QStringLiteral("Tcur"));
    m_tcur.setInterval(TcurInterval);
    connect(&m_tcur, &QTimer::timeout, this, &FrmScen::Tcur_Timer);
    m_tcur.start();
}

void FrmScen::buildArt()
{
    const double tx = WindowUtils::twipsPerPixelX();
    const double ty = WindowUtils::twipsPerPixelY();
    const auto px = [tx, ty](int left, int top, int width, int height) {
        return QRect(int(std::lround(left / tx)), int(std::lround(top / ty)), int(std::lround(width / tx)),
                     int(std::lround(height / ty)));
    };
    setFixedSize(px(0, 0, PanelWidth, PanelHeight).size());

    m_isfondo = new PictureBox(this);
    m_isfondo->setObjectName(QStringLiteral("Isfondo"));
    m_isfondo->setGeometry(rect());
    m_isfondo->setPicture(0, Background);
    m_isfondo->setMouseTracking(true);
    m_isfondo->installEventFilter(this);
    setMask(outline(size()));

    // The design's small bitmap serif blurs at this size on a scalable font; a bold narrow sans
    // fitted to the button keeps "16" whole and sharp.
    QFont numberFont;
    numberFont.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow")});
    numberFont.setStyleHint(QFont::SansSerif);
    numberFont.setBold(true);
    numberFont.setPixelSize(std::max(8, int(std::lround(px(0, 0, ButtonSize, ButtonSize).height() * 0.62))));
    for (int i = 0; i < Buttons; ++i) {
        const QPoint at = buttonTwips(i);
        auto *isc = new PictureBox(this);
        isc->setObjectName(QStringLiteral("Isc%1").arg(i));
        isc->setGeometry(px(at.x(), at.y(), ButtonSize, ButtonSize));
        isc->setPicture(Normal, ButtonPictures[Normal]);
        // A defined scenario is a button a person can reach and press; the others are pictures.
        const ScenarioF420 &scenario = m_context.state.model.ScenariF420.at(size_t(i + 1));
        if (isDefined(scenario.defined)) {
            AccessibleRole::makeButton(isc, [this, i] { Lnum_Click(i); });
            const QString number = QString::number(i + 1);
            isc->setAccessibleName(scenario.name.trimmed().isEmpty()
                                       ? accessibleName() + QLatin1Char(' ') + number
                                       : number + QStringLiteral(" - ") + scenario.name.trimmed());
        }
        isc->setMouseTracking(true);
        isc->installEventFilter(this);
        m_isc.at(size_t(i)) = isc;

        auto *lnum = new QLabel(QString::number(i + 1), isc);
        lnum->setObjectName(QStringLiteral("Lnum%1").arg(i));
        lnum->setGeometry(isc->rect());
        lnum->setAlignment(Qt::AlignCenter);
        lnum->setFont(numberFont);
        m_lnum.at(size_t(i)) = lnum;
        paintNumber(i, false);
        // The number is part of its button: pointing and clicking reach the button.
        lnum->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    QFont nameFont = font();
    nameFont.setPointSizeF(8);
    nameFont.setBold(true);
    for (int k = 1; k >= 0; --k) {
        auto *name = new QLabel(this);
        name->setObjectName(QStringLiteral("Lsce%1").arg(k));
        name->setGeometry(px(NameLeft + k * ShadowOffset, NameTop + k * ShadowOffset, NameWidth, NameHeight));
        name->setAlignment(Qt::AlignCenter);
        name->setFont(nameFont);
        QPalette lp = name->palette();
        lp.setColor(QPalette::WindowText, k == 0 ? QColor(Qt::white) : QColor(Qt::blue));
        name->setPalette(lp);
        name->raise();
        m_lsce.at(size_t(k)) = name;
    }

    // Moved like the other borderless windows, but never registered: it snaps to nothing.
    auto *drag = new SnapDrag(this);
    for (QWidget *part : {static_cast<QWidget *>(m_isfondo), static_cast<QWidget *>(m_lsce[0]),
                          static_cast<QWidget *>(m_lsce[1])})
        drag->addPart(part);
    drag->onRightRelease = [this] { MostraMenu(); };
}

bool FrmScen::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return QWidget::eventFilter(watched, event);
    if (watched == m_isfondo) {
        // Pointing at the background clears the highlight at once.
        if (type == QEvent::MouseMove && m_hoverAttivo)
            AggiornaScenari(0);
        return false;
    }
    const auto *mouse = static_cast<QMouseEvent *>(event);
    for (int i = 0; i < Buttons; ++i) {
        PictureBox *isc = m_isc.at(size_t(i));
        if (watched != isc)
            continue;
        if (type == QEvent::MouseMove)
            Isc_MouseMove(i);
        else if (mouse->button() == Qt::LeftButton && isc->rect().contains(mouse->position().toPoint()))
            Lnum_Click(i);
        return false;
    }
    return QWidget::eventFilter(watched, event);
}

void FrmScen::Isc_MouseMove(int index)
{
    const int n = index + 1;
    const ScenarioF420 &scenario = m_context.state.model.ScenariF420.at(size_t(n));
    if (!isDefined(scenario.defined)) {
        AggiornaScenari(0);
        return;
    }
    if (m_evidenziato == n)
        return;
    AggiornaScenari(n);
    m_evidenziato = n;
    m_isc.at(size_t(index))->setPicture(Highlighted, ButtonPictures[Highlighted]);
    paintNumber(index, true);
    m_tcur.start();
    m_lsce[0]->setText(scenario.name);
    m_lsce[1]->setText(scenario.name);
    m_hoverAttivo = true;
}

// The design's blue number vanishes on the lit button's blue; there it turns white.
void FrmScen::paintNumber(int index, bool lit)
{
    QLabel *number = m_lnum.at(size_t(index));
    QPalette np = number->palette();
    np.setColor(QPalette::WindowText, lit ? QColor(Qt::white) : NumberColour);
    number->setPalette(np);
}

void FrmScen::AggiornaScenari(int keep)
{
    for (int k = 0; k < Buttons; ++k) {
        if (k != keep - 1) {
            m_isc.at(size_t(k))->setPicture(Normal, ButtonPictures[Normal]);
            paintNumber(k, false);
        }
    }
    m_evidenziato = 0;
    m_lsce[0]->clear();
    m_lsce[1]->setText(m_lsce[0]->text());
    m_hoverAttivo = false;
}

void FrmScen::Tcur_Timer()
{
    const QPoint cursor = QCursor::pos();
    const int sum = cursor.x() + cursor.y();
    // Only the sum is kept: a move along a line of equal sums goes unnoticed until it changes.
    if (sum == m_ultimaSommaCursore)
        return;
    m_ultimaSommaCursore = sum;
    if (!onPanel(cursor)) {
        AggiornaScenari(0);
        m_tcur.stop();
    }
}

bool FrmScen::onPanel(const QPoint &globalPos) const
{
    const QWidget *under = QApplication::widgetAt(globalPos);
    return under && under->window() == this && mask().contains(mapFromGlobal(globalPos));
}

void FrmScen::Lnum_Click(int index)
{
    const int n = index + 1;
    const QString &address = m_context.state.model.ScenariF420.at(size_t(n)).address;
    if (address.isEmpty())
        return;
    // A failed send is reported by the link itself; the panel keeps its state.
    m_context.sender.Send(Frame::command(0, QString::number(n), address));
}

void FrmScen::MostraMenu()
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("scenarioPanelMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *exit = menu->addAction(m_context.state.lang.t(QStringLiteral("Exit")));
    exit->setData(1);
    menu->setDefaultAction(exit);
    connect(menu, &QMenu::triggered, this, [this](QAction *chosen) {
        if (chosen->data().toInt() == 1) {
            close();
            deleteLater();
        }
    });
    // Not exec(): nothing waits on the menu, so the panel's timer and sends keep running.
    menu->popup(QCursor::pos());
}

void FrmScen::closeEvent(QCloseEvent *event)
{
    SavedPosition::save(this, m_context.settings, WindowNames::FrmScen);
    QWidget::closeEvent(event);
}
