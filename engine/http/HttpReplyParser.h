#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>

// One HTTP/1.x reply read from the bytes as they come, every part bounded: the status line
// and headers together (and a chunked body's trailers with them), each chunk-size line, and
// the body. A reply past a bound fails as soon as the bound is passed, however the server
// frames it, so a server cannot make the program hold more than the bounds.
class HttpReplyParser
{
public:
    // The status line and every header line, with their line ends.
    static constexpr qsizetype MaxHeadBytes = 8 * 1024;
    static constexpr qsizetype MaxChunkLineBytes = 256;

    enum class State { Head, Body, Done, Failed };
    enum class Fault { None, HeadTooLarge, BodyTooLarge, Malformed, CutShort };

    explicit HttpReplyParser(qint64 maxBodyBytes);

    void feed(QByteArrayView bytes);
    // The connection has ended: a body that runs to the end of the stream is whole, anything
    // else is cut short.
    void endOfStream();

    State state() const { return m_state; }
    Fault fault() const { return m_fault; }
    // The reply passed one of its bounds (its head or its body).
    static bool pastBound(Fault fault) { return fault == Fault::HeadTooLarge || fault == Fault::BodyTooLarge; }
    QString faultText() const { return m_faultText; }
    // The size that passed the body's bound: announced, or received so far.
    qint64 sizeOverBound() const { return m_overBound; }
    // Bytes fed so far (a kept-alive connection that the server had closed gives none).
    qint64 bytesSeen() const { return m_seen; }

    int status() const { return m_status; }
    QByteArray reason() const { return m_reason; }
    // The first value of the header, its name matched in any case; empty when absent.
    QByteArray header(QByteArrayView name) const;
    const QByteArray &body() const { return m_body; }
    // The connection may carry the next request once this reply is done.
    bool keepAlive() const;

private:
    enum class Framing { None, Length, Chunked, UntilClose };
    enum class ChunkPart { Size, Data, DataEnd, Trailer };

    // A whole line from the buffer, without its line end; false while it has not all come.
    bool takeLine(QByteArray &line, qsizetype bound, Fault overBound);
    void headLine(const QByteArray &line);
    void headDone();
    void bodyBytes();
    void chunkedBytes();
    void appendBody(QByteArrayView bytes);
    void tooLarge(qint64 size);
    void fail(Fault fault, const QString &text);
    void finish();

    qint64 m_maxBody;
    State m_state = State::Head;
    Fault m_fault = Fault::None;
    QString m_faultText;
    QByteArray m_buffer;
    qint64 m_seen = 0;
    qsizetype m_headBytes = 0;
    bool m_statusSeen = false;
    int m_status = 0;
    int m_minorVersion = 1;
    QByteArray m_reason;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    Framing m_framing = Framing::None;
    ChunkPart m_chunkPart = ChunkPart::Size;
    qint64 m_remaining = 0;
    qint64 m_announced = -1;
    QByteArray m_body;
    qint64 m_overBound = 0;
    bool m_extra = false;
};
