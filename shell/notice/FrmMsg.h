#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QRegion>
#include <QString>
#include <QWidget>

class QLabel;
class QSvgRenderer;

// The notice window: 360 x 61 pixels, borderless, above the other windows and never taking
// the focus. Its colour scheme is fixed when it is built; a new scheme means a new window.
class FrmMsg : public QWidget
{
    Q_OBJECT

public:
    enum Scheme { Blue = 0, Gray = 1, White = 2, Custom = 3 };
    static constexpr int Width = 360;
    static constexpr int Height = 61;

    // scheme: the "msgtype" setting; an unknown one shows the blue background. The custom
    // scheme takes mymsg.jpg from the program folder when it is there.
    FrmMsg(int scheme, const QString &programFolder);

    // The notice text (12 point up to 33 characters, 11 beyond), the detail line, the picture.
    void setTexts(const QString &text, const QString &detail, const QPixmap &picture);
    // The white scheme's rounded outline, as the window's shape.
    void RitagliaForm();
    // That outline: the rows of the white background.
    static QRegion whiteOutline();
    static int fontSizeFor(const QString &text);
    // The built-in background picture of a scheme (a resource path).
    static QString backgroundFor(int scheme);


protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *label(const char *name, int x, int y, int w, int h);

    QSvgRenderer *m_background = nullptr;
    QPixmap m_custom;
    QLabel *m_shadow = nullptr;
    QLabel *m_text = nullptr;
    QLabel *m_detail = nullptr;
    QLabel *m_picture = nullptr;
};
