#pragma once

#include <QWidget>

class QComboBox;
struct InstallationModel;

// The presence-schedule window: the configured bus points to choose an automation from,
// a validity period and the buttons of a schedule grid. Only the list is filled; the rest
// has no behaviour yet.
class FrmRND : public QWidget
{
    Q_OBJECT

public:
    explicit FrmRND(const InstallationModel &model, QWidget *parent = nullptr);

private:
    QComboBox *m_caut = nullptr;
};
