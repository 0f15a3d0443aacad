// Any reply a web server sends the camera picture fetch or the update check is read within
// its bounds without a crash: the body never passes its bound, a reply is told whole or not
// the same way however the bytes are cut into reads, and a failed one keeps nothing.
#include "FuzzSupport.h"
#include "engine/http/HttpReplyParser.h"

#include <algorithm>

namespace {

struct Outcome
{
    HttpReplyParser::State state;
    HttpReplyParser::Fault fault;
    int status;
    QByteArray body;
    bool keepAlive;
    bool operator==(const Outcome &o) const
    {
        return state == o.state && fault == o.fault && status == o.status && body == o.body && keepAlive == o.keepAlive;
    }
};

Outcome parse(qint64 maxBody, const QByteArray &reply, qsizetype piece, bool closed)
{
    HttpReplyParser p(maxBody);
    for (qsizetype at = 0; at < reply.size(); at += piece) {
        p.feed(QByteArrayView(reply).sliced(at, std::min(piece, reply.size() - at)));
        FUZZ_PROPERTY(p.body().size() <= maxBody);
    }
    if (closed)
        p.endOfStream();
    FUZZ_PROPERTY(p.state() != HttpReplyParser::State::Failed || (p.body().isEmpty() && p.fault() != HttpReplyParser::Fault::None));
    FUZZ_PROPERTY(p.state() != HttpReplyParser::State::Done || p.fault() == HttpReplyParser::Fault::None);
    FUZZ_PROPERTY(!closed || p.state() == HttpReplyParser::State::Done || p.state() == HttpReplyParser::State::Failed);
    return {p.state(), p.fault(), p.status(), p.body(), p.keepAlive()};
}

} // namespace

// The first byte chooses the body's bound, the size of the reads and whether the connection
// ends after the bytes; the rest is the reply.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::app();
    if (size < 1)
        return 0;
    const uint8_t mode = data[0];
    const QByteArray reply = Fuzz::bytes(data + 1, size - 1);
    const qint64 maxBody = (mode & 0x3) == 0 ? 16 : (mode & 0x3) == 1 ? 1024 : 64 * 1024;
    const qsizetype piece = 1 + ((mode >> 2) & 0x1F);
    const bool closed = mode & 0x80;
    const Outcome whole = parse(maxBody, reply, std::max<qsizetype>(reply.size(), 1), closed);
    const Outcome pieces = parse(maxBody, reply, piece, closed);
    FUZZ_PROPERTY(whole == pieces);
    return 0;
}
