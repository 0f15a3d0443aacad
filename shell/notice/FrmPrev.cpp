#include "shell/notice/FrmPrev.h"

#include "shell/snapping/Snapping.h"
#include "shell/notice/FrmMsg.h"
#include "shell/notice/NoticePopup.h"
#include "engine/config/ProgramSettings.h"
#include "engine/config/SettingKeys.h"
#include "shell/main/ShellOptions.h"
#include "shell/snapping/SnapDrag.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>

FrmPrev::FrmPrev(ProgramSettings &settings, ShellOptions &options, QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint),
      m_settings(settings),
      m_options(options),
      m_lb(new QLabel(QStringLiteral("Muovi la finestra nella posizione desiderata e premi ok"), this)),
      m_ok(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("FrmPrev"));
    setFixedSize(FrmMsg::Width, FrmMsg::Height);
    m_lb->setObjectName(QStringLiteral("Lb"));
    m_lb->setGeometry(5, 10, 351, 16);
    m_lb->setAlignment(Qt::AlignCenter);
    m_ok->setObjectName(QStringLiteral("Cok"));
    m_ok->setGeometry(150, 35, 66, 21);
    m_ok->setAccessibleName(m_ok->text());
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &FrmPrev::Cok_Click);
    const QPointF at = NoticePopup::placeTwips(m_options);
    move(NoticePopup::pixels(at.x()), NoticePopup::pixels(at.y()));
    Snapping::DockForm(this);
    (new SnapDrag(this))->addPart(m_lb);
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

void FrmPrev::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QSvgRenderer(FrmMsg::backgroundFor(FrmMsg::Blue)).render(&p, QRectF(rect()));
}
