#pragma once

#include "engine/ports/MessageBoxService.h"

#include <QList>
#include <QString>

// Records every message instead of showing it; questions get the scripted answer.
class RecordingMessageBox : public MessageBoxService
{
public:
    struct Shown
    {
        QString text;
        QString title;
        Icon icon;
    };

    void message(const QString &text, const QString &title, Icon icon = Icon::None) override
    {
        shown.append({text, title, icon});
    }
    bool askYesNo(const QString &text, const QString &title, Icon icon = Icon::Question) override
    {
        shown.append({text, title, icon});
        return answerYes;
    }

    QStringList texts() const
    {
        QStringList t;
        for (const auto &s : shown)
            t << s.text;
        return t;
    }

    QList<Shown> shown;
    bool answerYes = true;
};
