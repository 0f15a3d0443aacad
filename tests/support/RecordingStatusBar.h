#pragma once

#include "StatusBar.h"

class RecordingStatusBar : public StatusBar
{
public:
    void setStatusText(const QString &text) override { m_text = text; }
    QString statusText() const override { return m_text; }

private:
    QString m_text;
};
