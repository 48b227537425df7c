// The steps that turn one piece of text into espeak-ng's sound and our
// events, apart from the engine call itself: the text handed to espeak with
// the source offset of every code point, the speaking parameters, and the
// translation of espeak's events (one Word per ideograph, Phoneme and Viseme
// ids for the mouth pictures, positions in the caller's text).
#pragma once

#include "speech/SapiXmlParser.h"
#include "speech/SynthesisEngine.h"

#include <QByteArray>
#include <vector>

namespace EspeakPiece
{

// The text of run.text[from, to) as espeak takes it (wide characters, NUL
// ended), with where each code point came from in the caller's text.
struct Text {
    std::vector<wchar_t> wide;
    int codePoints = 0;
    // Source offset of code point cp; cp == codePoints gives the end.
    int sourceAt(int cp) const;

    std::vector<int> unitOf; // UTF-16 index of each code point, plus the end
    QVector<int> map; // source offset of each UTF-16 unit, plus the end
};
Text mapText(const SapiXmlParser::Run &run, int from, int to);

// A stretch of a piece spoken by one espeak-ng voice.
struct Segment {
    Text text;
    QByteArray voice; // espeak-ng voice name with its variant
};
// run.text[from, to) as `voice` speaks it. The Mandarin voices get pinyin for
// the Chinese (numbers and symbols spelled out, words read as Taiwan reads
// them) and hand Latin words to an English voice of the same variant; every
// other voice gets the text as it is, in one segment.
std::vector<Segment> segments(
    const SapiXmlParser::Run &run, int from, int to, const SpObjectToken &voice);

struct Parameters {
    int rate = 175; // words per minute, at least espeak's minimum
    int wordGap = 0; // 10 ms units of extra pause, for rates below the minimum
    int pitch = 50;
    int range = 50;
};
Parameters parameters(
    const SpeechRequest &request, const SapiXmlParser::Run &run, const SpObjectToken &voice);

// Words per minute for a rate step: 175 at 0, about 3x faster at +10 and 3x
// slower at -10.
double wordsPerMinute(int rate);

struct RawEvent {
    int type = 0; // espeak_EVENT_TYPE
    int codePoint = 0; // 0-based index into the text handed to espeak
    int length = 0;
    qint64 sample = 0;
    QByteArray phoneme;
};
// Our events, in sample order, for espeak's events of a piece `total` samples long.
std::vector<SpeechEvent> translate(
    const std::vector<RawEvent> &raw, const Text &text, qint64 total, int rate);

} // namespace EspeakPiece
