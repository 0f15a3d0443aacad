#include "shell/main/CommandBoxWidget.h"

#include "engine/protocol/Frame.h"
#include "shell/services/VbColor.h"

#include <QKeyEvent>
#include <QMouseEvent>

CommandBoxWidget::CommandBoxWidget(QWidget *parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("Tcmd"));
    m_tsnd.setObjectName(QStringLiteral("Tsnd"));
    m_tsnd.setSingleShot(true);
    m_tsnd.setInterval(RestoreMs);
    connect(&m_tsnd, &QTimer::timeout, this, [this] { setBackground(White); });
    setBackground(White);
}

void CommandBoxWidget::setBackground(quint32 bgr)
{
    m_background = bgr;
    QPalette p = palette();
    p.setColor(QPalette::Base, VbColor::toQColor(bgr));
    p.setColor(QPalette::Text, Qt::black);
    setPalette(p);
}

void CommandBoxWidget::flash(quint32 bgr)
{
    setBackground(bgr);
    m_tsnd.start();
}

bool CommandBoxWidget::isFrame(const QString &text)
{
    return Frame::isWellFormed(text);
}

void CommandBoxWidget::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    // An empty box gets the two ends of a frame, the caret where WHO goes.
    if (event->button() == Qt::LeftButton && text().isEmpty()) {
        setText(QStringLiteral("*##"));
        setCursorPosition(1);
    }
}

void CommandBoxWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit sendRequested();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
