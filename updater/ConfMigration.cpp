#include "updater/ConfMigration.h"

#include "updater/UpdateLog.h"
#include "updater/UpdaterFiles.h"
#include "engine/protocol/Windows1252.h"
#include "updater/XmlTextScanner.h"

#include <QDir>
#include <QStringList>

#include <algorithm>

using UpdaterFiles::Crlf;
using UpdaterFiles::CurrentFormat;

namespace {

const QString RootClose = QStringLiteral("</ACTUATOR>");
const QString VersionTag = QStringLiteral("<version number=");
const QString CameraClose = QStringLiteral("</camera>");

const QString GroupComment = QStringLiteral("<!-- inserire i nomi dei gruppi / insert the name of the groups");
const QString GroupExample = QStringLiteral("<group name=\"gruppo 1\" group=\"1\"></group>");
const QString LoadComment = QStringLiteral("<!-- inserire i nomi dei carichi / insert the name of the loads");
const QString LoadExample = QStringLiteral("<load name=\"carico 1\" priority=\"1\"></load>");
const QString ProbeComment = QStringLiteral("<!-- inserire i nomi delle sonde / insert the name of the probe");
const QString ProbeExample = QStringLiteral("<probe name=\"sonda 1\" number=\"1\"></probe>");
const QString LongCameraComment = QStringLiteral(
    "<!-- inserire i nomi delle telecamere, il numero (max.12), l'indirizzo (es.4001) e il tipo (1 montante "
    "privato o 2 montante pubblico) / insert the name of the camera, the number (max.12), the address (eg.4001) "
    "and type (1 private riser or 2 public riser)");
const QString CameraExample1 = QStringLiteral(
    "es. camera sala, numero 1, indirizzo 4001, montante privato = <camera name=\"camera sala\" number=\"1\" "
    "adr=\"4001\" type=\"1\"></camera>");
const QString CameraExample2 = QStringLiteral(
    "citofono, numero 2, indirizzo 4001, montante pubblico = <camera name=\"citofono\" number=\"1\" adr=\"4001\" "
    "type=\"2\"></camera>");
const QString CameraElement =
    QStringLiteral("<camera name=\"camera n.1\" number=\"1\" adr=\"4001\" type=\"1\" ></camera>");
const QString ScenarioModuleComment = QStringLiteral(
    "<!-- inserire i nomi dei scenari modulo/centr.F420 ed il suo indirizzo (APL)/ insert the name of the f420 "
    "scenarios module with the address (APL)-->");
const QString ProgrammerComment = QStringLiteral(
    "<!-- inserire i nomi dei scenari mh200 (max 100) / insert the name of the mh200 scenarios (max 100)");
const QString CenactNote = QStringLiteral(
    "     cenact = comando cen per abilitare lo scenario : A PL PULSANTE(due numeri es.01) / cenact = cen "
    "command for enable scenario : A PL BUTTON(two number eg.01)");
const QString CendisNote = QStringLiteral(
    "     cendis = comando cen per disabilitare lo scenario : A PL PULSANTE(due numeri es.01) / cendis = cen "
    "command for disable scenario : A PL BUTTON(two number eg.01)");
const QString FstartNote = QStringLiteral(
    "     fstart = comando cen o own per lanciare lo scenario (es. \"*1*1*11##\" o \"*15*01*11##\") / fstart = "
    "cen or own command for start the scenario (eg. \"*1*1*11##\" o \"*15*01*11##\")");
const QString BetaNote98 = QStringLiteral(
    "     NON ANCORA DISPONIBILE NELLA VERSIONE 0.98BETA / STILL NOT AVAIABLE IN 0.98BETA VERSION ");
const QString BetaNote99 = QStringLiteral(
    "     NON ANCORA DISPONIBILE NELLA VERSIONE 0.99BETA / STILL NOT AVAIABLE IN 0.99BETA VERSION ");
const QString ProgrammerExample = QStringLiteral(
    "<scmh200 name=\"scenario n.1\" number=\"1\" cenact=\"0101\" cendis=\"0101\" fstart=\"*1*1*11##\" "
    "></scmh200>");
const QString OldCameraComment =
    QStringLiteral("<!-- inserire i nomi delle telecamere / insert the name of the camera");
const QString CommentOpen = QStringLiteral("<!--");
const QString CommentClose = QStringLiteral("-->");

QStringList scenarioLines()
{
    QStringList lines;
    for (int n = 1; n <= 16; ++n) {
        const QString word = (n >= 7 && n <= 12) ? QStringLiteral("scenario") : QStringLiteral("Scenario");
        lines << QStringLiteral("<scf420 name=\"%1 %2\" number=\"%2\" adr=\"01\"></scf420>").arg(word).arg(n);
    }
    return lines;
}

QString block101()
{
    QStringList l{ProbeComment, ProbeExample, CommentClose, QString(), LongCameraComment, CameraExample1,
                  CameraExample2, CameraElement, CommentClose, QString(), ScenarioModuleComment, CommentOpen};
    l << scenarioLines();
    l << CommentClose << ProgrammerComment << CenactNote << CendisNote << FstartNote << BetaNote98 << CommentClose
      << ProgrammerExample << RootClose;
    return l.join(Crlf);
}

QString block100()
{
    const QStringList l{GroupComment, GroupExample, CommentClose, QString(),
                        LoadComment,  LoadExample,  CommentClose, QString()};
    return l.join(Crlf) + Crlf + block101();
}

QString block102()
{
    QStringList l{ScenarioModuleComment, CommentOpen};
    l << scenarioLines();
    l << CommentClose << ProgrammerComment << CenactNote << CendisNote << FstartNote << BetaNote99 << CommentClose
      << CommentOpen << ProgrammerExample << CommentClose << RootClose;
    return l.join(Crlf);
}

// The classic numeric reading of a text: leading blanks skipped, then the digits that follow.
int leadingNumber(QStringView text)
{
    text = text.trimmed();
    int value = 0;
    for (const QChar c : text) {
        if (!c.isDigit())
            break;
        value = value * 10 + c.digitValue();
    }
    return value;
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The element's span, widened to its whole line (indentation and line break) when it stands
// alone on it, so that moving it leaves no blank line behind.
XmlRange removalRange(const QString &text, qsizetype start, qsizetype end)
{
    qsizetype lineStart = start;
    while (lineStart > 0 && isBlank(text[lineStart - 1]))
        --lineStart;
    if (lineStart > 0 && text[lineStart - 1] != QLatin1Char('\n'))
        return {start, end};
    qsizetype lineEnd = end;
    while (lineEnd < text.size() && isBlank(text[lineEnd]))
        ++lineEnd;
    if (QStringView(text).mid(lineEnd).startsWith(Crlf))
        return {lineStart, lineEnd + Crlf.size()};
    if (lineEnd == text.size())
        return {lineStart, lineEnd};
    return {start, end};
}

QString replaceOutsideComments(const QString &text, const QString &what, const QString &with)
{
    const XmlScan scan = scanXml(text);
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    auto comment = scan.comments.cbegin(); // hits and comments both come in text order
    for (qsizetype at = text.indexOf(what); at >= 0; at = text.indexOf(what, at + what.size())) {
        while (comment != scan.comments.cend() && comment->end <= at)
            ++comment;
        if (comment != scan.comments.cend() && comment->start <= at)
            continue;
        out += QStringView(text).mid(from, at - from);
        out += with;
        from = at + what.size();
    }
    out += QStringView(text).mid(from);
    return out;
}

} // namespace

QString confVersion(const QString &text)
{
    const qsizetype at = text.indexOf(VersionTag);
    if (at < 0)
        return {};
    return text.mid(at + VersionTag.size() + 1, 5);
}

bool hasAddrAttribute(const QString &text)
{
    const XmlScan scan = scanXml(text);
    return std::any_of(scan.tags.cbegin(), scan.tags.cend(),
                       [](const XmlTag &t) { return t.hasAttribute(QStringLiteral("addr")); });
}

QString renameAddrAttributes(const QString &text)
{
    const XmlScan scan = scanXml(text);
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    for (const XmlTag &t : scan.tags) {
        // A tag that has both would end up with "adr" twice, which no reader accepts.
        if (t.hasAttribute(QStringLiteral("adr")))
            continue;
        for (const XmlAttribute &a : t.attributes) {
            if (a.name == QLatin1String("addr")) {
                out += QStringView(text).mid(from, a.nameStart - from);
                out += QLatin1String("adr");
                from = a.nameStart + a.name.size();
            }
        }
    }
    out += QStringView(text).mid(from);
    return out;
}

QString migrateCameras(const QString &text)
{
    if (hasAddrAttribute(text))
        return renameAddrAttributes(text);

    const XmlScan scan = scanXml(text);
    QList<XmlRange> removed;
    QString moved;
    for (qsizetype i = 0; i < scan.tags.size(); ++i) {
        const XmlTag &open = scan.tags[i];
        if (open.name != QLatin1String("camera") || open.closing || open.selfClosing)
            continue;
        // Its own closing tag is the next camera tag; anything else leaves the element as it is.
        // A closing tag with more than its name in it ("</camera<version ...>") is no "</camera>":
        // moving it would carry off whatever it swallowed.
        const XmlTag *close = nullptr;
        for (qsizetype j = i + 1; j < scan.tags.size(); ++j) {
            if (scan.tags[j].name == QLatin1String("camera")) {
                if (scan.tags[j].closing && scan.tags[j].attributes.isEmpty())
                    close = &scan.tags[j];
                break;
            }
        }
        if (!close)
            continue;

        QString added;
        if (!open.hasAttribute(QStringLiteral("adr"))) {
            const XmlAttribute *number = open.attribute(QStringLiteral("number"));
            const int n = number ? leadingNumber(number->value.left(2)) : 0;
            added += QStringLiteral(" adr=\"40%1\"").arg(n, 2, 10, QLatin1Char('0'));
        }
        if (!open.hasAttribute(QStringLiteral("type")))
            added += QStringLiteral(" type=\"1\"");
        QString element = text.mid(open.start, close->start - open.start);
        element.insert(open.end - 1 - open.start, added);
        moved += element + CameraClose + Crlf;
        removed.append(removalRange(text, open.start, close->end));
    }

    QString out;
    if (removed.isEmpty()) {
        out = text;
    } else {
        out.reserve(text.size() + moved.size());
        qsizetype from = 0;
        for (qsizetype k = 0; k < removed.size(); ++k) {
            out += QStringView(text).mid(from, removed[k].start - from);
            if (k == 0)
                out += moved;
            from = removed[k].end;
        }
        out += QStringView(text).mid(from);
    }
    out.replace(OldCameraComment,
                LongCameraComment + Crlf + Crlf + CameraExample1 + Crlf + CameraExample2);
    return out;
}

ConfMigration migrateConfText(const QString &text)
{
    ConfMigration m;
    m.version = confVersion(text);
    QString x = text;
    QString block;
    const auto setVersionTag = [&x](const QString &from) {
        x.replace(QStringLiteral("<version number=\"%1\">").arg(from),
                  QStringLiteral("<version number=\"%1\">").arg(CurrentFormat));
        // A tag written otherwise (other quotes, a blank before ">") would keep its old version
        // and get the blocks again on every run: set the version where it was read.
        const qsizetype at = x.indexOf(VersionTag);
        if (at >= 0 && confVersion(x) != CurrentFormat)
            x.replace(at + VersionTag.size() + 1, 5, CurrentFormat);
    };
    if (m.version == QLatin1String("1.0.1")) {
        block = block101();
        setVersionTag(m.version);
    } else if (m.version == QLatin1String("1.0.0")) {
        block = block100();
        setVersionTag(m.version);
    } else if (m.version == QLatin1String("1.0.2")) {
        x = migrateCameras(x);
        block = block102();
        setVersionTag(m.version);
    } else if (m.version == QLatin1String("1.0.3")) {
        x = migrateCameras(x);
        setVersionTag(m.version);
        // An example already inside a comment stays as it is: "<!--" within a comment is not XML.
        x = replaceOutsideComments(x, ProgrammerExample, CommentOpen + Crlf + ProgrammerExample + Crlf + CommentClose);
        block = RootClose;
    } else if (m.version == CurrentFormat) {
        // Only a rename that changes something makes a current file worth writing: an "addr"
        // that stays beside an "adr" would otherwise have the file rewritten on every run.
        x = renameAddrAttributes(x);
        if (x == text) {
            m.kind = ConfMigration::Kind::NotNeeded;
            return m;
        }
        block = RootClose;
    } else {
        m.kind = ConfMigration::Kind::Unsupported;
        return m;
    }
    // An edit that took the version tag with it must not be written: the next run would read
    // no version, and the blocks would be added again.
    if (confVersion(x) != CurrentFormat) {
        m.kind = ConfMigration::Kind::Failed;
        return m;
    }
    x.replace(RootClose, Crlf + block);
    // Every format gets the attribute rename, on the text as it will be written (in a damaged
    // file the blocks can change what reads as a tag): a file migrated once needs nothing on
    // the next run.
    x = renameAddrAttributes(x);
    m.kind = ConfMigration::Kind::Migrated;
    m.text = std::move(x);
    return m;
}

ConfOutcome MigraConf(const QString &folder, UpdateLog &log, UpdateError *error)
{
    const QDir dir(folder);
    const QString confPath = dir.filePath(QStringLiteral("conf.xml"));
    log.append(Crlf + Crlf + QStringLiteral("Apertura file conf.xml ... "));
    QString text;
    QByteArray bytes;
    if (!UpdaterFiles::readLines(confPath, &text, &bytes, error))
        return ConfOutcome::Failed;

    const ConfMigration m = migrateConfText(text);
    switch (m.kind) {
    case ConfMigration::Kind::NotNeeded:
        log.append(Crlf + QLatin1Char('(') + m.version + QStringLiteral(") Aggiornamento non necessario") + Crlf);
        return ConfOutcome::NotNeeded;
    case ConfMigration::Kind::Unsupported:
        log.append(Crlf + QStringLiteral("Versione non supportata.") + Crlf);
        return ConfOutcome::Unsupported;
    case ConfMigration::Kind::Failed:
    case ConfMigration::Kind::Migrated:
        break;
    }
    log.append(Crlf + QLatin1Char('(') + m.version + QStringLiteral(") aggiornamento : "));
    if (m.kind == ConfMigration::Kind::Failed) {
        failStep(error, UpdateError::noVersionTag(QStringLiteral("conf.xml")));
        return ConfOutcome::Failed;
    }
    log.append(QStringLiteral("OK") + Crlf);

    // The backup is a copy: conf.xml is never absent, and it is replaced only by a complete file.
    if (!UpdaterFiles::keepBackup(folder, QStringLiteral("conf"), bytes, error))
        return ConfOutcome::Failed;
    UpdaterFiles::processPendingEvents();
    log.append(QStringLiteral("Scrittura nuovo xml ") + CurrentFormat + QStringLiteral(" ... "));
    if (!UpdaterFiles::writeAtomically(confPath, Windows1252::encode(m.text + Crlf), error))
        return ConfOutcome::Failed;
    log.append(QStringLiteral("OK") + Crlf);
    return ConfOutcome::Written;
}
