#include "shell/main/MainStatusBar.h"

#include "shell/icons/ShellResources.h"
#include "shell/services/VbColor.h"

#include <QLabel>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>

namespace {

// Panel 1: a reason can be longer than the bar. It is cut with an ellipsis before the lamps,
// never under them, and the whole of it is in the tool tip; text() and a reader keep it whole.
class StatusText : public QLabel
{
public:
    explicit StatusText(QWidget *parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }

    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }
    QSize sizeHint() const override { return {0, QLabel::sizeHint().height()}; }

    void setStatus(const QString &text)
    {
        setText(text);
        updateTip();
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        updateTip();
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QRect room = contentsRect();
        style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(), shown(room.width()),
                              foregroundRole());
    }

private:
    QString shown(int width) const { return fontMetrics().elidedText(text(), Qt::ElideRight, width); }

    void updateTip() { setToolTip(shown(contentsRect().width()) == text() ? QString() : text()); }
};

} // namespace

MainStatusBar::MainStatusBar(QStatusBar &bar)
    : QObject(&bar),
      m_panel1(new StatusText(&bar)),
      m_panel2(new QLabel(&bar)),
      m_lchum(new QLabel(QStringLiteral("\u25CF"), &bar)),
      m_ttray(new QTimer(this)),
      m_idle(ShellResources::icon(QStringLiteral("status")).pixmap(16, 16)),
      m_active(ShellResources::icon(QStringLiteral("status-active")).pixmap(16, 16))
{
    bar.setObjectName(QStringLiteral("StBar"));
    m_panel1->setObjectName(QStringLiteral("StBarPanel1"));
    m_panel2->setObjectName(QStringLiteral("StBarPanel2"));
    m_lchum->setObjectName(QStringLiteral("Lchum"));
    bar.addWidget(m_panel1, 1);
    bar.addPermanentWidget(m_lchum);
    bar.addPermanentWidget(m_panel2);

    m_ttray->setObjectName(QStringLiteral("Ttray"));
    m_ttray->setSingleShot(true);
    m_ttray->setInterval(500);
    connect(m_ttray, &QTimer::timeout, this, [this] {
        setLight(false);
        emit activityEnded();
    });
}

void MainStatusBar::setText(const QString &text) { static_cast<StatusText *>(m_panel1)->setStatus(text); }

QString MainStatusBar::text() const { return m_panel1->text(); }

void MainStatusBar::setLight(bool active)
{
    // Every received chunk lights it: the pictures are drawn once, and set only on a change.
    const QPixmap &light = active ? m_active : m_idle;
    if (m_panel2->pixmap().cacheKey() != light.cacheKey())
        m_panel2->setPixmap(light);
}

void MainStatusBar::showActivity()
{
    setLight(true);
    m_ttray->start();
}

void MainStatusBar::stopActivity()
{
    m_ttray->stop();
    setLight(false);
}

void MainStatusBar::setClientLamp(quint32 bgr)
{
    QPalette p = m_lchum->palette();
    p.setColor(QPalette::WindowText, VbColor::toQColor(bgr));
    m_lchum->setPalette(p);
}

void MainStatusBar::nameLamps(const QString &activity, const QString &clients)
{
    m_panel2->setAccessibleName(activity);
    m_lchum->setAccessibleName(clients);
}
