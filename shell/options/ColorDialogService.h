#pragma once

#include <QString>

class QWidget;

// The colour dialog, behind an interface so that tests never block on one.
class ColorDialogService
{
public:
    virtual ~ColorDialogService() = default;
    // ScegliColore: on OK true, and `colour` the chosen colour as the decimal text of its
    // 0xBBGGRR number; on cancel false, and `colour` untouched.
    virtual bool ScegliColore(QWidget *owner, QString &colour) = 0;
};
