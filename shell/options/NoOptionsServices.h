#pragma once

#include "shell/options/OptionsServices.h"

// Until those pieces are wired: no preview, no characters, no listeners.
class NoOptionsServices : public OptionsServices
{
public:
    void previewNoticePosition(QWidget *) override {}
    QStringList characterNames() const override { return {}; }
    bool characterLoaded() const override { return false; }
    bool loadCharacter(const QString &, bool, bool) override { return false; }
    void releaseCharacter() override {}
    void setCharacterSound(bool) override {}
    bool startListeners() override { return false; }
    void stopListeners() override {}
    bool listenersRunning() const override { return false; }
};
