#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>

// Every text of the current language file: interface captions, messages and the tables
// that turn frames into sentences. Filled by CaricaLingua.
struct LanguageTexts
{
    QString Lingua;                    // base name of the loaded file
    QHash<QString, QString> menu;      // [menu] captions by key
    QHash<QString, QString> tooltip;   // [tooltip] texts by key
    QHash<QString, QString> text;      // [text] language texts by key
    QHash<QString, QString> error;     // [error] texts by key
    QString Lcom;                      // caption beside the command tab
    QString Lmon;                      // caption beside the monitor tab
    QString Cfind;                     // the find button shares the [menu] "Find" caption
    std::array<QString, 3> VociEnergia{}; // drop-down of toolbar button 8: volt, current, power
    std::array<QString, 12> TooltipBarra{}; // tooltips by toolbar button number (1..11)
    QString Isend;                     // send image beside the command box
    QString cexp;                      // camera window's enlarge image
    std::array<QString, 9> NomiWho{};
    std::array<QString, 6> TestiPcam{};
    std::array<QString, 2> NomiProg{};
    QString TitoloApp;
    QString degreesWord;               // [text] "Degrees": spoken in place of the degree sign

    // Translation tables, one per section, sized as the translator indexes them.
    QStringList wholight, light, automation, power, whopower;
    QStringList thermo, whothermo, dimthermo, modthermo, knobthermo, valvethermo;
    QStringList devmodel, device, daydevice, security, whosecurity, aux, video, whovideo, audio;

    QString t(const QString &key) const { return text.value(key); }
    // A [text] entry an older file may lack: the built-in text stands in for it.
    QString t(const QString &key, const QString &builtIn) const
    {
        const QString found = text.value(key);
        return found.isEmpty() ? builtIn : found;
    }
    QString e(const QString &key) const { return error.value(key); }
};
