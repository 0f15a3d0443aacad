#include "devices/floating/FrmPerc.h"

#include "devices/host/PictureBox.h"
#include "shell/services/WindowUtils.h"

#include <QLabel>
#include <QMouseEvent>
#include <cmath>

static void registerLevelResources() { Q_INIT_RESOURCE(level); }

namespace {
// Twips: each choice is 735 wide and 465 high, the next one 465 lower.
constexpr int ChoiceWidth = 735;
constexpr int ChoiceHeight = 465;
} // namespace

FrmPerc::FrmPerc(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FrmPerc"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);

    const int w = int(std::lround(ChoiceWidth / WindowUtils::twipsPerPixelX()));
    const int h = int(std::lround(ChoiceHeight / WindowUtils::twipsPerPixelY()));
    setFixedSize(w, h * Choices);

    registerLevelResources();
    auto *background = new PictureBox(this);
    background->setObjectName(QStringLiteral("Ifondo"));
    background->setGeometry(rect());
    background->setPicture(0, QStringLiteral(":/ombrix/level/level-strip.svg"));

    QFont small = font();
    small.setPointSizeF(7.5);
    small.setBold(true);
    for (int i = 0; i < Choices; ++i) {
        auto *choice = new QLabel(QString::number(100 - 10 * i) + QLatin1Char('%'), this);
        choice->setObjectName(QStringLiteral("Lsel%1").arg(i));
        choice->setGeometry(0, i * h, w, h);
        choice->setAlignment(Qt::AlignCenter);
        choice->setFont(small);
        QPalette p = choice->palette();
        p.setColor(QPalette::WindowText, QColor(40, 40, 40));
        choice->setPalette(p);
        choice->installEventFilter(this);
        m_lsel.at(size_t(i)) = choice;
    }
}

bool FrmPerc::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        auto *choice = qobject_cast<QLabel *>(watched);
        if (choice && choice->rect().contains(mouse->position().toPoint()))
            Lsel_Click();
    }
    return QWidget::eventFilter(watched, event);
}

void FrmPerc::Lsel_Click()
{
    close();
    deleteLater();
}
