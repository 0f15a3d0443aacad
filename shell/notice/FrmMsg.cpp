#include "shell/notice/FrmMsg.h"

#include "shell/services/VbColor.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <array>

static void initNoticeResources() { Q_INIT_RESOURCE(notice); }

namespace {

constexpr quint32 BlueText = 0xE4633D;
constexpr quint32 GrayText = 0xC0C0C0;

// The white outline, row by row: L, Y and R packed in decimal as LLLYYYRRR (the left edge
// may be shorter). Row 3 has two entries; a row whose L lies beyond its R covers R to L.
constexpr std::array<int, 62> OutlineRows{
    9000351,  6001353,  4002355,  3003356,  359003350, 2004357,  2005358,  1006358,  1007359,  8359,
    9360,     10360,    11360,    12360,    13360,     14360,    15360,    16360,    17360,    18360,
    19360,    20360,    21360,    22360,    23360,     24360,    25360,    26360,    27360,    28360,
    29360,    30360,    31360,    32360,    33360,     34360,    35360,    36360,    37360,    38360,
    39360,    40360,    41360,    42360,    43360,     44360,    45360,    46360,    47360,    48360,
    49360,    50360,    51360,    52359,    1053359,   1054358,  2055358,  3056357,  4057356,  5058355,
    7059353,  9060352};

void setColour(QLabel *label, const QColor &colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

} // namespace

FrmMsg::FrmMsg(int scheme, const QString &programFolder)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    initNoticeResources();
    setObjectName(QStringLiteral("FrmMsg"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    resize(Width, Height);

    m_picture = label("Ipic", 5, 15, 32, 32);
    QLabel *corner = label("Im", 315, 0, 32, 32);
    corner->setPixmap(QIcon(QStringLiteral(":/notice/corner.svg")).pixmap(32, 32, QIcon::Normal));
    m_shadow = label("Lstato0", 40, 20, 316, 21);
    m_text = label("Lstato1", 41, 21, 316, 21);
    m_detail = label("Lframe", 55, 40, 231, 16);
    setColour(m_shadow, Qt::black);
    setColour(m_detail, Qt::black);

    // Drawn on every step of a slide: read once.
    m_background = new QSvgRenderer(backgroundFor(scheme), this);
    setColour(m_text, VbColor::toQColor(scheme == Gray || scheme == White ? GrayText : BlueText));
    if (scheme == White)
        RitagliaForm();
    if (scheme == Custom) {
        const QString file = QDir(programFolder).filePath(QStringLiteral("mymsg.jpg"));
        if (QFileInfo::exists(file))
            m_custom.load(file);
    }
}

QLabel *FrmMsg::label(const char *name, int x, int y, int w, int h)
{
    auto *l = new QLabel(this);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(x, y, w, h);
    l->setFocusPolicy(Qt::NoFocus);
    return l;
}

QString FrmMsg::backgroundFor(int scheme)
{
    initNoticeResources();
    switch (scheme) {
    case Gray:
        return QStringLiteral(":/notice/notice-gray.svg");
    case White:
        return QStringLiteral(":/notice/notice-white.svg");
    default:
        return QStringLiteral(":/notice/notice-blue.svg");
    }
}

int FrmMsg::fontSizeFor(const QString &text) { return text.size() < 34 ? 12 : 11; }

void FrmMsg::setTexts(const QString &text, const QString &detail, const QPixmap &picture)
{
    QFont f = font();
    f.setBold(true);
    f.setPointSize(fontSizeFor(text));
    for (QLabel *l : {m_shadow, m_text}) {
        l->setFont(f);
        l->setText(text);
    }
    m_detail->setText(detail);
    m_picture->setPixmap(picture);
    setAccessibleName(text);
}

QRegion FrmMsg::whiteOutline()
{
    QRegion region;
    for (const int n : OutlineRows) {
        const int l = n / 1000000;
        const int y = n / 1000 % 1000;
        const int r = n % 1000;
        region += QRect(QPoint(std::min(l, r), y), QPoint(std::max(l, r) - 1, y));
    }
    return region;
}

void FrmMsg::RitagliaForm()
{
    setMask(whiteOutline());
    update();
}

void FrmMsg::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!m_custom.isNull()) {
        p.drawPixmap(0, 0, m_custom);
        return;
    }
    m_background->render(&p, QRectF(0, 0, Width, Height));
}
