#include "speech/SynthesisEngine.h"

#include "speech/neural/EngineRouter.h"

#include <atomic>

namespace
{
std::atomic<SynthesisEngine *> g_default {nullptr};
}

SynthesisEngine &SynthesisEngine::defaultEngine()
{
    SynthesisEngine *engine = g_default.load();
    return engine ? *engine : EngineRouter::instance();
}

void SynthesisEngine::setDefault(SynthesisEngine *engine)
{
    g_default.store(engine);
}
