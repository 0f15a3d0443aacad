#pragma once

#include <QString>

class LogPane;

// Where the links hand what they receive and what they send: the frame translator.
class FrameSink
{
public:
    virtual ~FrameSink() = default;
    // A received chunk (any number of frames) for the given pane. The caller routes a chunk
    // that is exactly "*#*1##" or "*#*0##" past the translator and logs it itself.
    virtual void Traduci(QString &frames, LogPane &box) = 0;
    // The echo of a frame the program sends itself: written, translated, into the pane,
    // but it changes no live state and pushes nothing.
    virtual void TraduciEco(const QString &frame, LogPane &box) = 0;
};
