// A synthesis engine without engine data or real time, for tests and
// benchmarks: every letter, digit or ideograph sounds as a 200 Hz tone of
// CharMs milliseconds (scaled by the rate as espeak-ng's speed is), every
// other character as half that of silence. It raises one Word per ideograph or
// per run of letters and digits, a Sentence per piece, and a Phoneme and a
// Viseme per sounding character, cycling through every mouth shape. Markup is
// handled by the same code as for espeak-ng, so rates, volumes, silences,
// bookmarks and voice changes behave as they do there.
//
// Chunks are made when the voice takes them, at most a few seconds ahead of
// what it has not heard, so a long text costs no more than a short one.
// Its voices are those the catalogue lists for espeak-ng's Mandarin,
// Cantonese and a few other voices.
#pragma once

#include "speech/SynthesisEngine.h"

class ScriptedEngine : public SynthesisEngine
{
public:
    static constexpr int CharMs = 100;

    ScriptedEngine();
    bool isAvailable() const override { return true; }
    QList<SpObjectToken> voices() const override { return m_voices; }
    std::shared_ptr<SynthesisChannel> openChannel() override;
    void closeChannel(const std::shared_ptr<SynthesisChannel> &channel) override;

    // Samples of one sounding character at `rate` (-10..10) and `sampleRate`.
    static qint64 charSamples(int rate, int sampleRate);

private:
    QList<SpObjectToken> m_voices;
};
