#include "engine/http/HttpReplyParser.h"

namespace {

bool isToken(QByteArrayView name)
{
    if (name.isEmpty())
        return false;
    for (const char c : name) {
        if (c <= ' ' || c >= 127 || c == ':')
            return false;
    }
    return true;
}

// A decimal number of at most 18 digits, nothing else.
bool parseLength(QByteArrayView text, qint64 &value)
{
    if (text.isEmpty() || text.size() > 18)
        return false;
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool hasToken(QByteArrayView list, QByteArrayView token)
{
    for (const QByteArray &t : list.toByteArray().split(',')) {
        if (t.trimmed().compare(token, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

HttpReplyParser::HttpReplyParser(qint64 maxBodyBytes) : m_maxBody(maxBodyBytes) {}

QByteArray HttpReplyParser::header(QByteArrayView name) const
{
    for (const auto &h : m_headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    }
    return QByteArray();
}

bool HttpReplyParser::keepAlive() const
{
    if (m_state != State::Done || m_extra || m_framing == Framing::UntilClose)
        return false;
    const QByteArray connection = header("Connection");
    if (hasToken(connection, "close"))
        return false;
    return m_minorVersion >= 1 || hasToken(connection, "keep-alive");
}

void HttpReplyParser::tooLarge(qint64 size)
{
    m_overBound = size;
    fail(Fault::BodyTooLarge, QStringLiteral("Reply larger than %1 bytes (%2)").arg(m_maxBody).arg(size));
}

void HttpReplyParser::fail(Fault fault, const QString &text)
{
    m_state = State::Failed;
    m_fault = fault;
    m_faultText = text;
    m_buffer.clear();
    m_body.clear();
}

void HttpReplyParser::finish()
{
    m_state = State::Done;
    m_extra = !m_buffer.isEmpty();
    m_buffer.clear();
}

void HttpReplyParser::feed(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    m_seen += bytes.size();
    if (m_state == State::Done) {
        // Nothing was asked for: the connection is not fit for another request.
        m_extra = true;
        return;
    }
    if (m_state == State::Failed)
        return;
    m_buffer.append(bytes.data(), bytes.size());
    QByteArray line;
    while (m_state == State::Head && takeLine(line, MaxHeadBytes - m_headBytes, Fault::HeadTooLarge))
        headLine(line);
    if (m_state == State::Body)
        bodyBytes();
}

bool HttpReplyParser::takeLine(QByteArray &line, qsizetype bound, Fault overBound)
{
    const qsizetype end = m_buffer.indexOf('\n');
    const qsizetype length = end < 0 ? m_buffer.size() : end + 1;
    if (length > bound) {
        fail(overBound, overBound == Fault::HeadTooLarge
                            ? QStringLiteral("Reply headers longer than %1 bytes").arg(MaxHeadBytes)
                            : QStringLiteral("Chunk size line longer than %1 bytes").arg(MaxChunkLineBytes));
        return false;
    }
    if (end < 0)
        return false;
    line = m_buffer.left(end);
    m_buffer.remove(0, end + 1);
    if (line.endsWith('\r'))
        line.chop(1);
    if (overBound == Fault::HeadTooLarge)
        m_headBytes += length;
    return true;
}

void HttpReplyParser::headLine(const QByteArray &line)
{
    if (!m_statusSeen) {
        // "HTTP/1.1 200 OK": a version, three digits, an optional reason.
        if (line.size() < 12 || !line.startsWith("HTTP/1.") || line.at(8) != ' ' || (line.size() > 12 && line.at(12) != ' ')) {
            fail(Fault::Malformed, QStringLiteral("Not an HTTP reply"));
            return;
        }
        const char minor = line.at(7);
        qint64 status = 0;
        if (minor < '0' || minor > '9' || !parseLength(QByteArrayView(line).sliced(9, 3), status) || status < 100) {
            fail(Fault::Malformed, QStringLiteral("Not an HTTP reply"));
            return;
        }
        m_minorVersion = minor - '0';
        m_status = int(status);
        m_reason = line.mid(13);
        m_statusSeen = true;
        return;
    }
    if (line.isEmpty()) {
        headDone();
        return;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0 || !isToken(QByteArrayView(line).first(colon))) {
        fail(Fault::Malformed, QStringLiteral("Malformed reply header"));
        return;
    }
    m_headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
}

void HttpReplyParser::headDone()
{
    // An interim reply ("100 Continue") is followed by the real one; its bytes count
    // against the same bound.
    if (m_status >= 100 && m_status < 200) {
        if (m_status == 101) {
            fail(Fault::Malformed, QStringLiteral("Unexpected protocol switch"));
            return;
        }
        m_statusSeen = false;
        m_headers.clear();
        return;
    }
    m_state = State::Body;
    if (m_status == 204 || m_status == 304) {
        m_framing = Framing::Length;
        m_remaining = 0;
    } else if (!header("Transfer-Encoding").isEmpty()) {
        // A length beside a transfer coding is ignored; a coding other than chunked last
        // runs to the end of the stream.
        const QList<QByteArray> codings = header("Transfer-Encoding").split(',');
        m_framing = codings.last().trimmed().compare("chunked", Qt::CaseInsensitive) == 0 ? Framing::Chunked
                                                                                          : Framing::UntilClose;
    } else {
        qint64 length = -1;
        for (const auto &h : m_headers) {
            if (h.first.compare("Content-Length", Qt::CaseInsensitive) != 0)
                continue;
            qint64 value = 0;
            if (!parseLength(h.second, value) || (length >= 0 && value != length)) {
                fail(Fault::Malformed, QStringLiteral("Invalid Content-Length"));
                return;
            }
            length = value;
        }
        m_announced = length;
        if (length > m_maxBody) {
            tooLarge(length);
            return;
        }
        m_framing = length >= 0 ? Framing::Length : Framing::UntilClose;
        m_remaining = length;
    }
}

void HttpReplyParser::appendBody(QByteArrayView bytes)
{
    if (m_body.size() + bytes.size() > m_maxBody) {
        tooLarge(m_body.size() + bytes.size());
        return;
    }
    m_body.append(bytes.data(), bytes.size());
}

void HttpReplyParser::bodyBytes()
{
    switch (m_framing) {
    case Framing::Length: {
        const qsizetype take = qsizetype(qMin<qint64>(m_remaining, m_buffer.size()));
        appendBody(QByteArrayView(m_buffer).first(take));
        if (m_state != State::Body)
            return;
        m_buffer.remove(0, take);
        m_remaining -= take;
        if (m_remaining == 0)
            finish();
        return;
    }
    case Framing::UntilClose:
        appendBody(m_buffer);
        m_buffer.clear();
        return;
    case Framing::Chunked:
        chunkedBytes();
        return;
    case Framing::None:
        return;
    }
}

void HttpReplyParser::chunkedBytes()
{
    QByteArray line;
    while (m_state == State::Body) {
        switch (m_chunkPart) {
        case ChunkPart::Size: {
            if (!takeLine(line, MaxChunkLineBytes, Fault::Malformed))
                return;
            // "1a3f;name=value": the extension is ignored.
            const qsizetype extension = line.indexOf(';');
            const QByteArray digits = (extension < 0 ? line : line.left(extension)).trimmed();
            bool ok = !digits.isEmpty() && digits.size() <= 15;
            const qint64 size = ok ? digits.toLongLong(&ok, 16) : 0;
            if (!ok || size < 0) {
                fail(Fault::Malformed, QStringLiteral("Invalid chunk size"));
                return;
            }
            if (m_body.size() + size > m_maxBody) {
                tooLarge(m_body.size() + size);
                return;
            }
            m_remaining = size;
            m_chunkPart = size == 0 ? ChunkPart::Trailer : ChunkPart::Data;
            break;
        }
        case ChunkPart::Data: {
            if (m_buffer.isEmpty())
                return;
            const qsizetype take = qsizetype(qMin<qint64>(m_remaining, m_buffer.size()));
            appendBody(QByteArrayView(m_buffer).first(take));
            m_buffer.remove(0, take);
            m_remaining -= take;
            if (m_remaining == 0)
                m_chunkPart = ChunkPart::DataEnd;
            break;
        }
        case ChunkPart::DataEnd:
            if (!takeLine(line, MaxChunkLineBytes, Fault::Malformed))
                return;
            if (!line.isEmpty()) {
                fail(Fault::Malformed, QStringLiteral("Chunk longer than its size"));
                return;
            }
            m_chunkPart = ChunkPart::Size;
            break;
        case ChunkPart::Trailer:
            // Trailer lines count against the headers' bound; the blank line ends the reply.
            if (!takeLine(line, MaxHeadBytes - m_headBytes, Fault::HeadTooLarge))
                return;
            if (line.isEmpty())
                finish();
            break;
        }
    }
}

void HttpReplyParser::endOfStream()
{
    if (m_state == State::Body && m_framing == Framing::UntilClose) {
        finish();
        return;
    }
    if (m_state == State::Head || m_state == State::Body) {
        fail(Fault::CutShort, m_announced >= 0 ? QStringLiteral("Connection closed after %1 of %2 bytes")
                                                     .arg(m_body.size())
                                                     .arg(m_announced)
                                               : QStringLiteral("Connection closed before the whole reply"));
    }
}
