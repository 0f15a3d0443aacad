// Nothing lost: however the input is split into reads, the frames handed on followed by the
// tail still waiting are the input itself, and every hand-over ends with "##".
#include "FuzzSupport.h"
#include "engine/links/FrameReassembler.h"

namespace {
class CountingPane : public Fuzz::NullPane
{
public:
    void writeText(const QString &) override { ++lines; }
    int lines = 0;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte gives the number of cuts, the next ones the lengths of the reads.
    const int cuts = data[0] % 16;
    if (size < size_t(1 + cuts))
        return 0;
    const QString input = QString::fromLatin1(Fuzz::bytes(data + 1 + cuts, size - 1 - size_t(cuts)));

    FrameReassembler reassembler;
    CountingPane pane;
    QString out;
    qsizetype at = 0;
    for (int i = 0; i <= cuts && at <= input.size(); ++i) {
        const qsizetype length = i < cuts ? qsizetype(data[1 + i]) : input.size() - at;
        const QString whole = reassembler.join(input.mid(at, length), pane);
        FUZZ_PROPERTY(whole.isEmpty() || whole.endsWith(QLatin1String("##")));
        out += whole;
        at += length;
    }
    // A tail that outgrew its bound is dropped on purpose, with a line that says so.
    if (pane.lines == 0)
        FUZZ_PROPERTY(out + reassembler.tail() == input);
    return 0;
}
