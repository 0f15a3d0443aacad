#pragma once

#include "updater/UpdateLog.h"

#include <QTimer>
#include <QWidget>

class MessageBoxService;
class QFrame;
class QLabel;
class QPlainTextEdit;
struct LanguageLayout;

// The update window: half a second after it opens it brings the language files and conf.xml
// of its program folder up to date once, shows the log and the progress, saves the log as
// agg.log and closes five seconds after a complete run.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    static constexpr int BarFullTwips = 5170;
    static constexpr int BarHeightTwips = 150;
    static constexpr int BarAfterItalian = 1723;
    static constexpr int BarAfterEnglish = 3446;
    static constexpr int BarDrainTwips = 130;

    Form1(const QString &programFolder, MessageBoxService &boxes, QWidget *parent = nullptr);

    QString logText() const { return m_log.text(); }
    int barWidthTwips() const { return m_barTwips; }
    // "6" after Yes, "7" after No, empty until the error dialog was answered.
    QString risposta() const { return Risposta; }
    const QTimer &tagg() const { return Tagg; }
    const QTimer &tbar() const { return Tbar; }
    const QTimer &texit() const { return Texit; }

public slots:
    void Tagg_Timer();
    void Tbar_Timer();
    void Texit_Timer();
    void EseguiAggiornamento();

private:
    // The log box as an UpdateLog: it shows each piece as the steps append it.
    class LogBox : public UpdateLog
    {
    public:
        explicit LogBox(QPlainTextEdit *&box) : m_box(box) {}

    protected:
        void textReplaced(const QString &text) override;
        void textAppended(const QString &piece) override;

    private:
        QPlainTextEdit *&m_box;
    };

    void setBarWidth(int twips);
    // One language merge with its error dialog; false when the user chose to stop the run.
    bool runLanguageStep(const LanguageLayout &language, int barAfter, const QString &failedLine,
                         const QString &question);
    // The error dialog of a failed language step; true when the user goes on.
    bool askToContinue(const QString &firstLine, const QString &question, const QString &error);
    // "ERRORE" and the reason, on its own lines.
    void logFailure(const QString &error);
    // agg.log with the log's text; a failure is added to the log on screen.
    bool saveLog();
    int twipsToPixels(int twips) const;

    QString m_folder;
    MessageBoxService &m_boxes;

    QLabel *Lb = nullptr;
    QPlainTextEdit *Tlogs = nullptr;
    QFrame *Sh1 = nullptr;
    QWidget *Shbar = nullptr;
    QTimer Tagg;
    QTimer Tbar;
    QTimer Texit;

    LogBox m_log{Tlogs};
    int m_barTwips = 0;
    QString Risposta;
};
