#pragma once

#include "shell/options/ColorDialogService.h"

// The real colour dialog.
class QtColorDialogService : public ColorDialogService
{
public:
    bool ScegliColore(QWidget *owner, QString &colour) override;
};
