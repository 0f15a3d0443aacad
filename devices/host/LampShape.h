#pragma once

#include <QColor>
#include <QWidget>

// A small round lamp: a solid fill of one colour, or only its rim when it has no fill.
class LampShape : public QWidget
{
public:
    explicit LampShape(QWidget *parent = nullptr);

    void setFill(const QColor &colour);
    void clearFill();
    bool hasFill() const { return m_fill.isValid(); }
    QColor fill() const { return m_fill; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_fill;
};
