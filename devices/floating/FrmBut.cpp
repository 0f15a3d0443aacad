#include "devices/floating/FrmBut.h"

#include "devices/floating/LevelPopup.h"
#include "devices/host/SavedPosition.h"
#include "shell/snapping/SnapDrag.h"
#include "shell/snapping/Snapping.h"
#include "engine/model/WindowNames.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QSvgRenderer>
#include <array>

static void registerButtonResources() { Q_INIT_RESOURCE(floating); }

namespace {

// The outline, row by row: the first pixel and the one past the last.
struct Span
{
    int x1, x2;
};
constexpr std::array<Span, 8> TopRows{{{7, 41}, {5, 43}, {4, 44}, {3, 45}, {2, 46}, {1, 47}, {1, 47}, {0, 48}}};

Span rowSpan(int y)
{
    if (y < int(TopRows.size()))
        return TopRows.at(size_t(y));
    // Rows 41 to 47 mirror rows 6 to 0; rows 7 to 40 are full.
    if (y > 40)
        return TopRows.at(size_t(47 - y));
    return {0, 48};
}

// The level square: 30 twips in from the corner and 675 on each side, in pixels as the
// window itself is.
constexpr int FillInset = 2;
constexpr int FillSide = 45;

} // namespace

FrmBut::FrmBut(ProgramSettings &settings, LevelPopup &popup, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), m_settings(settings), m_popup(popup)
{
    setObjectName(WindowNames::FrmBut);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setFixedSize(Side, Side);

    registerButtonResources();
    m_frame = new QSvgRenderer(QStringLiteral(":/ombrix/floating/button-frame.svg"), this);
    m_gloss = new QSvgRenderer(QStringLiteral(":/ombrix/floating/button-gloss.svg"), this);

    QFont nameFont = font();
    nameFont.setPointSizeF(6);
    nameFont.setBold(true);
    m_lname = new QLabel(QStringLiteral("LUCE CAMERA"), this);
    m_lname->setObjectName(QStringLiteral("Lname"));
    m_lname->setGeometry(3, 4, Side - 6, 22);
    m_lname->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_lname->setWordWrap(true);
    m_lname->setFont(nameFont);
    QPalette np = m_lname->palette();
    np.setColor(QPalette::WindowText, QColor(96, 96, 96));
    m_lname->setPalette(np);

    QFont levelFont = font();
    levelFont.setPointSizeF(8);
    levelFont.setBold(true);
    m_lp = new QLabel(QStringLiteral("0%"), this);
    m_lp->setObjectName(QStringLiteral("Lp"));
    m_lp->setGeometry(3, 27, Side - 6, 16);
    m_lp->setAlignment(Qt::AlignCenter);
    m_lp->setFont(levelFont);
    QPalette lp = m_lp->palette();
    lp.setColor(QPalette::WindowText, QColor(40, 40, 40));
    m_lp->setPalette(lp);
    // The labels are part of the button: every press, move and release reaches the window.
    for (QLabel *label : {m_lname, m_lp})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(m_lname->text());

    m_tmPop.setParent(this);
    m_tmPop.setObjectName(QStringLiteral("TmPop"));
    m_tmPop.setSingleShot(true);
    connect(&m_tmPop, &QTimer::timeout, this, &FrmBut::TmPop_Timer);

    Snapping::DockForm(this);
    RitagliaForm();
    m_fill = QColor(220, 220, 220);
}

FrmBut::~FrmBut()
{
    if (!m_undocked)
        Snapping::UndockForm(this);
}

void FrmBut::bIndex(const QString &value)
{
    m_indice = value.toInt();
    SavedPosition::restore(this, m_settings, WindowNames::FrmBut + QString::number(m_indice));
}

void FrmBut::RitagliaForm()
{
    QRegion outline;
    for (int y = 0; y < Side; ++y) {
        const Span s = rowSpan(y);
        outline += QRect(s.x1, y, s.x2 - s.x1, 1);
    }
    setMask(outline);
}

void FrmBut::ImpostaLivello(int &level)
{
    if (level > 100)
        level = 100;
    const int q = level / 4;
    // Light grey at 0 to yellow at 100; the blue part rounds halves to even.
    const int blue = int(std::nearbyint(220 - level * 2.2));
    m_fill = QColor(q + 220, q + 220, blue);
    m_lp->setText(QString::number(level) + QLatin1Char('%'));
    update();
}

void FrmBut::Form_Click()
{
    m_livello = m_livello != 0 ? 0 : 100;
    ImpostaLivello(m_livello);
}

void FrmBut::TmPop_Timer()
{
    m_tmPop.stop();
    m_noClick = true;
    m_popup.show(x(), y());
}

void FrmBut::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    m_frame->render(&p, QRectF(rect()));
    const QRectF fill(FillInset, FillInset, FillSide, FillSide);
    p.setPen(Qt::NoPen);
    p.setBrush(m_fill);
    p.drawRoundedRect(fill, 7, 7);
    m_gloss->render(&p, fill);
}

void FrmBut::mousePressEvent(QMouseEvent *event)
{
    m_premuto = true;
    m_noClick = false;
    m_snap = Snap::start(Snap::Edges::of(frameGeometry()), event->globalPosition().toPoint());
    if (!m_popArmato) {
        m_tmPop.start(LongPressMs);
        m_popArmato = true;
    }
    event->accept();
}

void FrmBut::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || !m_premuto)
        return;
    m_tmPop.stop();
    const QPoint cursor = event->globalPosition().toPoint();
    // The drag begins with the first move, not the press, so a still press can open the pop-up.
    if (!m_dragging) {
        m_targets = SnapDrag::targets(this);
        m_dragging = true;
    }
    m_noClick = true;
    const QRect proposed(cursor - m_snap.cursorOffset, frameGeometry().size());
    const Snap::Edges placed = Snap::moveStep(Snap::Edges::of(proposed), cursor, m_targets, m_snap);
    move(placed.left, placed.top);
}

void FrmBut::mouseReleaseEvent(QMouseEvent *event)
{
    m_premuto = false;
    m_popArmato = false;
    m_tmPop.stop();
    m_dragging = false;
    m_targets.clear();
    if (event->button() == Qt::LeftButton && !m_noClick && rect().contains(event->position().toPoint()))
        Form_Click();
}

void FrmBut::mouseDoubleClickEvent(QMouseEvent *)
{
    m_noClick = true;
    close();
    deleteLater();
}

void FrmBut::closeEvent(QCloseEvent *event)
{
    m_popup.unload();
    SavedPosition::save(this, m_settings, WindowNames::FrmBut + QString::number(m_indice));
    Snapping::UndockForm(this);
    m_undocked = true;
    QWidget::closeEvent(event);
}
