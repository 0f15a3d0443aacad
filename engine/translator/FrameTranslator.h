#pragma once

#include "engine/ports/FrameSink.h"
#include "engine/translator/TemperatureText.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTime>
#include <QTimer>
#include <QVarLengthArray>

#include <functional>
#include <stdexcept>

class CharacterService;
class DisplayClient;
class MessageBoxService;
class NoticeService;
class StatusBar;
class WindowRegistry;
struct EngineState;

// Turns every received frame into a sentence of the current language, keeps the live state
// of the installation, and hands the result to the log pane, the notice, the character, the
// open device windows and the display client.
class FrameTranslator : public FrameSink
{
public:
    struct Outputs
    {
        NoticeService &notice;
        CharacterService &character;
        WindowRegistry &windows;
        DisplayClient &display;
        StatusBar &statusBar;
        MessageBoxService &messages;
    };

    static constexpr int DurataAvviso = 5000; // how long a notice of the translator stays up
    static constexpr int ReadHoldMs = 3000;   // "Read" plays once per burst of this length
    static constexpr int ReadRestartMs = 100; // sentences this close share one timer restart

    FrameTranslator(EngineState &state, const Outputs &outputs);

    void Traduci(QString &frames, LogPane &box) override;
    void TraduciEco(const QString &frame, LogPane &box) override;

    // The configured name of bus point `where`, else its address with at least two digits.
    // Throws std::out_of_range for an address outside 0..999.
    QString Dove(QStringView where) const;

    bool InLettura() const { return m_inLettura; }
    int UltimaRichiesta() const { return m_ultimaRichiesta; }
    const QTimer &Tread() const { return m_tread; }

    // The time of day written into log lines; tests pin it.
    void setClock(std::function<QTime()> clock) { m_clock = std::move(clock); }

private:
    // Working values of one frame; they start afresh for every frame. The fields are views
    // into the frame, which outlives them.
    struct Work
    {
        explicit Work(QString &buffer) : sentence(buffer)
        {
            // A sentence an output still holds is let go rather than copied first.
            if (sentence.isDetached())
                sentence.truncate(0);
            else
                sentence.clear();
        }

        QVarLengthArray<QStringView, 16> fields;
        // The translator's sentence buffer: written in place, never assigned, so that it
        // keeps its storage from frame to frame.
        QString &sentence;
        bool notice = false;
        bool speech = false;
        int icon = 0;
        bool heldBack = false;
        bool echo = false; // a frame we sent: translate it, but touch no state and push nothing

        QStringView field(int i) const
        {
            if (i < 0 || i >= fields.size())
                throw std::out_of_range("missing field");
            return fields[i];
        }
        int lastField() const { return int(fields.size()) - 1; }
    };

    // Translates every frame of the chunk, which is read in place. Returns whether a frame
    // was translated and not held back: the caller's chunk is then used up.
    bool run(const QString &chunk, LogPane &box, bool echo);
    // The frame from `start` to `end` of the chunk, its "##" included, split into `w`.
    // Returns false when an output failed and the whole call must end.
    bool translateOne(const QString &chunk, qsizetype start, qsizetype end, Work &w, LogPane &box);
    void dispatch(Work &w);
    void output(const QString &frame, const Work &w, LogPane &box);
    void speak(const QString &sentence);
    void restartRead();
    void writeLine(LogPane &box, const QString &sentence, const QString &frame, const QString &last);
    QTime now();
    const QString &timeOfDay(const QTime &t);
    void setFilters(Work &w, int group) const;

    // What a lighting frame's WHERE names, commands and dimension replies alike: a point on
    // another bus as received, a group by its name (no category word) or number, else the
    // installation's point. The views live until the next frame.
    struct LightingTarget
    {
        enum Kind { Point, Group, OtherBus };
        QStringView name;
        QStringView category;
        Kind kind;
    };
    LightingTarget lightingTarget(QStringView where);

    void lighting(Work &w);
    void lightingDimension(Work &w);
    void automation(Work &w);
    void energy(Work &w);
    void energyDimension(Work &w);
    void thermo(Work &w);
    void thermoDimension(Work &w);
    // The steps of thermoDimension, one per dimension it reads into a sentence.
    class ZoneSentence;
    void zoneTemperature(Work &w, ZoneSentence &s);
    void zoneSetPoint(Work &w, ZoneSentence &s, int e);
    void zoneKnob(Work &w, ZoneSentence &s);
    void zoneValves(Work &w, ZoneSentence &s);
    // `exactDim` is the packed dimension as received: a "#" write is no reading to push.
    void probePush(const Work &w, quint64 exactDim);
    void setProbe(QStringView zone, QStringView text);
    void alarm(Work &w);
    void doorEntry(Work &w);
    void auxiliary(Work &w);
    void gateway(Work &w);
    void sound(Work &w);

    // Dove without a copy: a view of the name, or of the address written into `address`.
    QStringView pointName(QStringView where, QString &address) const;
    void temperature(QStringView field, QString &text);
    // A dimension written with "#" (a write, or its echo) reads as the dimension itself.
    static QStringView dimension(QStringView field);

    EngineState &m_state;
    Outputs m_out;
    QTimer m_tread;
    QElapsedTimer m_readStarted;
    QElapsedTimer m_lastSpoken;
    bool m_inLettura = false;
    int m_ultimaRichiesta = 0;
    TemperatureText m_temperatureText;
    std::function<QTime()> m_clock;
    // Reading the local time costs a time-zone lookup; within one second the time of day
    // and its text are the same for every line.
    qint64 m_clockSecond = -1;
    QTime m_clockTime;
    QTime m_formattedTime;
    QString m_formatted;
    // The bytes of the last text for the display client: the client copies what it sends,
    // so one buffer serves every text.
    QByteArray m_displayBytes;
    // The address of an unnamed point, for the sentence it is copied into.
    QString m_address;
    // Buffers refilled for every frame, so that they are allocated once: the sentence, its
    // spoken form, the words said in place of the degree sign and a zone's temperature.
    QString m_sentence;
    QString m_spoken;
    QString m_degreesWord;
    QString m_temperature;
    // A field without its "#", and a part of a sentence put together before it is filled in.
    QString m_field;
    QString m_part;
};
