#include "shell/main/CommandBoxWidget.h"

#include "engine/protocol/Frame.h"
#include "shell/services/VbColor.h"

#include <QKeyEvent>
#include <algorithm>
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

namespace {

bool isFrameCharacter(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('*') || c == QLatin1Char('#');
}

// What is wrong with a text made of frame characters that is no run of frames.
CommandBoxWidget::Refusal shapeFault(const QString &text)
{
    using R = CommandBoxWidget::Refusal;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype end = text.indexOf(Frame::Terminator, start);
        if (end < 0 || text.at(start) != QLatin1Char('*'))
            return R::Shape;
        if (!Frame::isWellFormed(text.mid(start, end + 2 - start)))
            return R::NoWho;
        start = end + 2;
    }
    return R::Shape;
}

} // namespace

CommandBoxWidget::Typed CommandBoxWidget::framesIn(const QString &typed)
{
    // Blanks around a pasted frame are no part of it.
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return {QString(), Refusal::Empty};
    if (Frame::isFrameRun(text))
        return {text, Refusal::None};
    const QString box = QStringLiteral("*##");
    if (text.startsWith(box) && Frame::isFrameRun(text.mid(box.size())))
        return {text.mid(box.size()), Refusal::None};
    if (text.size() > box.size() && text.startsWith(QLatin1Char('*')) && text.endsWith(Frame::Terminator)) {
        const QString inside = text.mid(1, text.size() - box.size());
        if (Frame::isFrameRun(inside))
            return {inside, Refusal::None};
    }
    if (!std::all_of(text.begin(), text.end(), isFrameCharacter))
        return {QString(), Refusal::Characters};
    return {QString(), shapeFault(text)};
}

std::pair<QString, QString> CommandBoxWidget::refusalText(Refusal refusal)
{
    switch (refusal) {
    case Refusal::Empty:
        return {QStringLiteral("CmdEmpty"), QStringLiteral("Nothing to send: type a frame such as *1*1*11##")};
    case Refusal::Characters:
        return {QStringLiteral("CmdChars"), QStringLiteral("Not sent: a frame holds only digits, * and #")};
    case Refusal::Shape:
        return {QStringLiteral("CmdShape"), QStringLiteral("Not sent: a frame starts with * and ends with ##")};
    case Refusal::NoWho:
        return {QStringLiteral("CmdWho"),
                QStringLiteral("Not sent: a frame needs its WHO, the number after the first *")};
    case Refusal::None:
        break;
    }
    return {};
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
