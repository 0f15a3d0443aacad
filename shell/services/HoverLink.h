#pragma once

#include <QLabel>

// A label that reads as a link: blue, a pointing hand, underlined while the mouse is over
// it, clicked() on a left click or on Return/Space when it has the focus.
class HoverLink : public QLabel
{
    Q_OBJECT

public:
    explicit HoverLink(const QString &objectName, QWidget *parent = nullptr);

    void setText(const QString &text);
    bool isUnderlined() const { return font().underline(); }
    void setUnderlined(bool on);

signals:
    void clicked();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
