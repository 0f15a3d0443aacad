#pragma once

#include <QHash>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

// A character of ours: a manifest "<name>.chr" (JSON) beside a folder of frame pictures. The
// manifest gives the figure's size and, for each animation, its frames (file names in the
// picture folder), the time each is shown and whether it loops:
//
//   {"size": [120, 150], "pictures": "Civetta",
//    "animations": {"Idle": {"frames": ["idle-1.svg", "idle-2.svg"], "interval": 400, "loop": true}, ...}}
//
// "Idle", "Show", "Hide" and "Read" are required; "Speak" is played while a sentence is
// spoken when the character has it.
struct CharacterFile
{
    struct Animation
    {
        QStringList frames; // absolute paths
        int intervalMs = 150;
        bool loop = false;
    };

    static inline const QString Extension = QStringLiteral(".chr");

    QString name;
    QSize size;
    QHash<QString, Animation> animations;

    // The named character of the folder, or nothing (with the reason) when it cannot be used.
    static std::optional<CharacterFile> load(const QString &folder, const QString &name, QString *error = nullptr);
    // The names of the characters in the folder, for a list to choose from, sorted.
    static QStringList names(const QString &folder);
};
