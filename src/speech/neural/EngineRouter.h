// The engine a voice speaks through when it may use any installed voice:
// several engines behind one, their voice lists one after another (espeak-ng's
// voices, then the natural ones), each request handed to the engine that
// speaks the voice it names. A voice can so switch between espeak-ng and a
// natural voice from one Speak to the next without knowing either engine.
//
// A voice's streams keep their order across engines: a request for another
// engine than the one still speaking waits until the streams before it have
// ended, then goes to its engine. A channel opens its channel into an engine
// when it first needs it, so an engine nobody speaks with never starts work.
#pragma once

#include "speech/SynthesisEngine.h"

#include <vector>

class EngineRouter : public SynthesisEngine
{
public:
    // `engines` in the order of their voices; they outlive the router.
    explicit EngineRouter(std::vector<SynthesisEngine *> engines);

    // espeak-ng (SpeechEngine) and the natural voices (NeuralEngine::shared()).
    static EngineRouter &instance();

    // True when any engine is.
    bool isAvailable() const override;
    QList<SpObjectToken> voices() const override;
    std::shared_ptr<SynthesisChannel> openChannel() override;
    void closeChannel(const std::shared_ptr<SynthesisChannel> &channel) override;
    bool speaks(const SpObjectToken &voice) const override;

    // Index of the engine that speaks `voice`: the first that does, else 0.
    size_t engineFor(const SpObjectToken &voice) const;
    SynthesisEngine &engine(size_t index) const { return *m_engines.at(index); }
    size_t engineCount() const { return m_engines.size(); }

private:
    std::vector<SynthesisEngine *> m_engines;
};
