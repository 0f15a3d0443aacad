#pragma once

#include "updater/UpdateError.h"

#include <QString>

class UpdateLog;

// conf.xml is migrated as text, never as a parsed document, so that everything the user wrote
// (comments, layout, unknown elements) survives; only the pieces below change.
struct ConfMigration
{
    enum class Kind {
        Migrated,    // `text` is the new file content (written followed by one CRLF)
        NotNeeded,   // already current: nothing to write
        Unsupported, // a version this program does not know: nothing to write
        Failed,      // the new version could not be set: nothing to write
    };

    Kind kind = Kind::Unsupported;
    QString version; // the five characters of the version tag
    QString text;
};

// The version as the tag gives it: five characters after `<version number="`, or an empty
// text when the file has no such tag.
QString confVersion(const QString &text);

// Gives every real camera element (not one inside a comment, not one without "</camera>")
// the "adr" and "type" attributes it lacks (address 40 and its two-digit number, private
// riser), and gathers them in their order at the place of the first one. A text that already
// uses the "addr" attribute only has it renamed.
QString migrateCameras(const QString &text);

// Whether a real tag (not one inside a comment) has an attribute named "addr".
bool hasAddrAttribute(const QString &text);
// Renames every attribute named "addr" to "adr", leaving names, values and comments alone; a
// tag that already has "adr" keeps its "addr", since a second "adr" would make it unreadable.
QString renameAddrAttributes(const QString &text);

// The whole migration of a conf.xml text read as CRLF lines.
ConfMigration migrateConfText(const QString &text);

enum class ConfOutcome { Written, NotNeeded, Unsupported, Failed };

// Migrates <folder>/conf.xml, logging each step. The former file is kept as a backup (see
// UpdaterFiles::keepBackup); on a failure conf.xml is as it was.
ConfOutcome MigraConf(const QString &folder, UpdateLog &log, UpdateError *error);
