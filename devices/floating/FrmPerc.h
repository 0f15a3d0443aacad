#pragma once

#include <QWidget>
#include <array>

class QLabel;

// The level pop-up of the floating buttons: a strip of eleven choices, 100 % at the top to
// 0 % at the bottom. Any click closes it; the choice goes nowhere.
class FrmPerc : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Choices = 11;

    explicit FrmPerc(QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Lsel_Click();

    std::array<QLabel *, Choices> m_lsel{};
};
