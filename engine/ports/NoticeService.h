#pragma once

#include <QString>

// The notice pop-up near the task bar (and nothing else): the engine raises notices through it.
class NoticeService
{
public:
    virtual ~NoticeService() = default;
    // text: the sentence; detail: the frame or a second line; durationMs: how long it stays;
    // icon: 0 none, 1..14 the notice pictures.
    virtual void MostraMessaggio(const QString &text, const QString &detail, int durationMs, int icon) = 0;
};
