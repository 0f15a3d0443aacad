#pragma once

#include "engine/ports/NoticeService.h"
#include "engine/translator/OutputError.h"

#include <QList>
#include <QString>

class RecordingNotice : public NoticeService
{
public:
    struct Shown
    {
        QString text;
        QString detail;
        int durationMs;
        int icon;
    };

    void MostraMessaggio(const QString &text, const QString &detail, int durationMs, int icon) override
    {
        if (failNumber)
            throw OutputError(failNumber, QStringLiteral("notice refused"));
        shown.append({text, detail, durationMs, icon});
    }

    QList<Shown> shown;
    int failNumber = 0; // non-zero: every notice fails with this number
};
