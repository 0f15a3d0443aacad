#include "shell/notice/FrmPrev.h"

#include "shell/snapping/Snapping.h"
#include "shell/notice/FrmMsg.h"
#include "shell/notice/NoticePopup.h"
#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"
#include "shell/main/ShellOptions.h"
#include "shell/snapping/SnapDrag.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

FrmPrev::FrmPrev(ProgramSettings &settings, ShellOptions &options, QWidget *parent, const Sample &sample)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_settings(settings),
      m_options(options),
      m_sample(new FrmMsg(options.OpzMsgType.toInt(), sample.programFolder)),
      m_lb(new QLabel(QStringLiteral("Muovi la finestra nella posizione desiderata e premi ok"), this)),
      m_ok(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("FrmPrev"));
    setFixedSize(FrmMsg::Width, FrmMsg::Height);
    // The notice itself, as a part of this window: the scheme's background (or mymsg.jpg), its
    // outline, picture and text colours, with a sample line.
    m_sample->setParent(this, Qt::Widget);
    m_sample->setObjectName(QStringLiteral("sample"));
    m_sample->move(0, 0);
    m_sample->setTexts(sample.text, QString(), QIcon(QStringLiteral(":/notice/notice-picture.svg")).pixmap(32, 32));
    if (!m_sample->mask().isEmpty())
        setMask(m_sample->mask());
    // Built before the controls but made a child after them: it goes beneath them.
    m_sample->lower();

    // The instruction above the sample line, the button where the detail line ends.
    m_lb->setObjectName(QStringLiteral("Lb"));
    m_lb->setGeometry(8, 3, 300, 15);
    QFont small = m_lb->font();
    small.setPointSize(8);
    m_lb->setFont(small);
    QPalette dark = m_lb->palette();
    dark.setColor(QPalette::WindowText, Qt::black);
    m_lb->setPalette(dark);
    m_ok->setObjectName(QStringLiteral("Cok"));
    m_ok->setGeometry(286, 36, 66, 21);
    m_ok->setAccessibleName(m_ok->text());
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &FrmPrev::Cok_Click);
    const QPointF at = NoticePopup::placeTwips(m_options);
    move(NoticePopup::pixels(at.x()), NoticePopup::pixels(at.y()));
    Snapping::DockForm(this);
    auto *drag = new SnapDrag(this);
    drag->addPart(m_lb);
    drag->addPart(m_sample);
}

FrmPrev::~FrmPrev() { Snapping::UndockForm(this); }

void FrmPrev::Cok_Click()
{
    const int left = x() * NoticePopup::TwipsPerPixel;
    const int top = y() * NoticePopup::TwipsPerPixel;
    m_settings.save(SettingKeys::MsgPosX, QString::number(left));
    m_settings.save(SettingKeys::MsgPosY, QString::number(top));
    m_options.MsgPosX = QString::number(left);
    m_options.MsgPosY = top;
    accept();
}

void FrmPrev::done(int result)
{
    Snapping::UndockForm(this);
    QDialog::done(result);
}
