#pragma once

#include <QByteArray>
#include <QString>

// The version file as the web server sent it: "newest,download[,anything]". A reply that
// starts with "<" is a server's HTML page, not a version file.
struct VersionReply
{
    QString text;     // the whole reply, each byte one Windows-1252 character
    bool html = false;
    bool hasComma = false;
    QString newest;   // field 1, or the whole text without a comma
    QString download; // field 2, without surrounding blanks and line ends

    static VersionReply parse(const QByteArray &bytes);
};
