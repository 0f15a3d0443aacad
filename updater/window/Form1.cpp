#include "updater/window/Form1.h"

#include "updater/ConfMigration.h"
#include "updater/LanguageMerge.h"
#include "engine/ports/MessageBoxService.h"
#include "updater/UpdaterFiles.h"
#include "engine/protocol/Windows1252.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

using UpdaterFiles::Crlf;
using UpdaterFiles::ProgramName;

namespace {
QString forDisplay(QString text)
{
    return text.replace(Crlf, QStringLiteral("\n"));
}
} // namespace

void Form1::LogBox::textReplaced(const QString &text)
{
    if (m_box)
        m_box->setPlainText(forDisplay(text));
}

void Form1::LogBox::textAppended(const QString &piece)
{
    if (!m_box)
        return;
    m_box->moveCursor(QTextCursor::End);
    m_box->insertPlainText(forDisplay(piece));
    m_box->verticalScrollBar()->setValue(m_box->verticalScrollBar()->maximum());
}

Form1::Form1(const QString &programFolder, MessageBoxService &boxes, QWidget *parent)
    : QWidget(parent), m_folder(programFolder), m_boxes(boxes)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Update"));
    setFixedSize(twipsToPixels(5415), twipsToPixels(3285));

    Lb = new QLabel(QStringLiteral("Aggiornamento traduzioni"), this);
    Lb->setObjectName(QStringLiteral("Lb"));
    Tlogs = new QPlainTextEdit(this);
    Tlogs->setObjectName(QStringLiteral("Tlogs"));
    Tlogs->setReadOnly(true);
    // The log is read by the caption above it.
    Lb->setBuddy(Tlogs);
    Sh1 = new QFrame(this);
    Sh1->setObjectName(QStringLiteral("Sh1"));
    Sh1->setFrameShape(QFrame::Box);
    Sh1->setFixedSize(twipsToPixels(BarFullTwips) + 2, twipsToPixels(BarHeightTwips) + 2);
    Shbar = new QWidget(Sh1);
    Shbar->setObjectName(QStringLiteral("Shbar"));
    Shbar->setAutoFillBackground(true);
    QPalette p = Shbar->palette();
    p.setColor(QPalette::Window, p.color(QPalette::Highlight));
    Shbar->setPalette(p);

    auto *layout = new QVBoxLayout(this);
    // Margins as wide as the room beside the bar, so its frame sits centred under the log box.
    const int margin = std::max(0, (width() - Sh1->width()) / 2);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->addWidget(Lb);
    layout->addWidget(Tlogs, 1);
    layout->addWidget(Sh1, 0, Qt::AlignHCenter);

    Tagg.setObjectName(QStringLiteral("Tagg"));
    Tagg.setSingleShot(true);
    Tbar.setObjectName(QStringLiteral("Tbar"));
    Tbar.setInterval(100);
    Texit.setObjectName(QStringLiteral("Texit"));
    connect(&Tagg, &QTimer::timeout, this, &Form1::Tagg_Timer);
    connect(&Tbar, &QTimer::timeout, this, &Form1::Tbar_Timer);
    connect(&Texit, &QTimer::timeout, this, &Form1::Texit_Timer);

    setBarWidth(0);
    Tagg.start(500);
}

int Form1::twipsToPixels(int twips) const
{
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    return twips * dpi / 1440;
}

void Form1::setBarWidth(int twips)
{
    m_barTwips = twips;
    Shbar->setGeometry(1, 1, twipsToPixels(twips), twipsToPixels(BarHeightTwips));
}

void Form1::Tagg_Timer()
{
    Tagg.stop();
    EseguiAggiornamento();
}

void Form1::Tbar_Timer()
{
    if (m_barTwips > BarHeightTwips) {
        setBarWidth(m_barTwips - BarDrainTwips);
    } else {
        setBarWidth(0);
        Tbar.stop();
    }
}

void Form1::Texit_Timer()
{
    Tbar.stop();
    Texit.stop();
    close();
}

bool Form1::askToContinue(const QString &firstLine, const QString &question, const QString &error)
{
    logFailure(error);
    const bool yes = m_boxes.askYesNo(firstLine + Crlf + error + Crlf + question, ProgramName,
                                      MessageBoxService::Icon::Critical);
    Risposta = yes ? QStringLiteral("6") : QStringLiteral("7");
    return yes;
}

bool Form1::runLanguageStep(const LanguageLayout &language, int barAfter, const QString &failedLine,
                            const QString &question)
{
    UpdateError error;
    switch (MergeLingua(language, m_folder, m_log, &error)) {
    case MergeOutcome::Merged:
        setBarWidth(barAfter);
        return true;
    case MergeOutcome::AlreadyCurrent:
        return true;
    case MergeOutcome::Failed:
        break;
    }
    return askToContinue(failedLine, question, error.text());
}

void Form1::EseguiAggiornamento()
{
    if (!runLanguageStep(LanguageLayout::italian(), BarAfterItalian,
                         QStringLiteral("Aggiornamento lingua italiana fallito,"),
                         QStringLiteral("Continuare con la lingua inglese ?")))
        return;
    if (!runLanguageStep(LanguageLayout::english(), BarAfterEnglish,
                         QStringLiteral("Aggiornamento lingua inglese fallito,"),
                         QStringLiteral("Continuare con il file xml ?")))
        return;

    UpdateError error;
    if (MigraConf(m_folder, m_log, &error) == ConfOutcome::Failed) {
        // No dialog here: the log says why, in agg.log as well, and the window stays open so
        // the user can read it.
        logFailure(error.text());
        saveLog();
        return;
    }

    setBarWidth(BarFullTwips);
    m_log.append(Crlf + QStringLiteral("Aggiornamento completato.") + Crlf);
    Tbar.start();
    Texit.start(5000);
    if (!saveLog())
        Texit.stop(); // leave the reason on screen
}

void Form1::logFailure(const QString &error)
{
    m_log.append(Crlf + QStringLiteral("ERRORE") + Crlf + error + Crlf);
}

bool Form1::saveLog()
{
    UpdateError error;
    if (UpdaterFiles::writeAtomically(QDir(m_folder).filePath(QStringLiteral("agg.log")),
                                      Windows1252::encode(m_log.text() + Crlf), &error))
        return true;
    logFailure(error.text());
    return false;
}
