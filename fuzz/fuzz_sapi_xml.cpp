// libFuzzer target for the speech markup parser. The input is the markup as
// UTF-8. Besides crashes and undefined behaviour it checks what the voice
// relies on: every text unit points into the markup, offsets never go
// backwards within a run, and the settings stay in their ranges.

#include "speech/SapiXmlParser.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{
void check(bool condition)
{
    if (!condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString markup = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)SapiXmlParser::looksLikeMarkup(markup);
    const QList<SapiXmlParser::Run> runs = SapiXmlParser::parse(markup);
    const int length = int(markup.size());
    for (const SapiXmlParser::Run &run : std::as_const(runs)) {
        check(run.rate >= -10 && run.rate <= 10);
        check(run.pitch >= -10 && run.pitch <= 10);
        check(run.volume >= 0 && run.volume <= 100);
        check(run.source >= 0 && run.source <= length);
        if (run.kind == SapiXmlParser::Run::Silence)
            check(run.silenceMs >= 0 && run.silenceMs <= SapiXmlParser::MaxSilenceMs);
        if (run.kind != SapiXmlParser::Run::Text)
            continue;
        check(!run.text.isEmpty());
        check(run.offsets.isEmpty() || run.offsets.size() == run.text.size() + 1);
        int previous = 0;
        for (int k = 0; k <= run.text.size(); ++k) {
            const int at = run.offsetAt(k);
            check(at >= previous && at <= length);
            check(k == run.text.size() || at < length);
            previous = at;
        }
    }
    return 0;
}
