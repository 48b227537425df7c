#include "export/TextRenderer.h"

#include "speech/SpFileStream.h"
#include "speech/SpVoice.h"

#include <QObject>

namespace
{
// How long one wait on the voice lasts before the caller is asked again.
constexpr int WaitSliceMs = 50;
} // namespace

TextRenderer::TextRenderer(const Voice &voice)
    : m_voice(voice)
{
}

TextRenderer::Result TextRenderer::render(
    const QString &text, const QString &wavPath, const Progress &progress)
{
    Result result;
    // The stream outlives the voice, which may write into it until it goes.
    SpFileStream stream;
    SpVoice voice;
    if (!voice.isEngineAvailable()) {
        result.error = QStringLiteral("espeak-ng could not start (is espeak-ng-data installed?)");
        return result;
    }
    voice.setVoice(m_voice.token);
    voice.setRate(m_voice.rate);
    voice.setVolume(m_voice.volume);

    stream.Format.Type = SAFT16kHz16BitMono;
    if (!stream.Open(wavPath, SSFMCreateForWrite, false)) {
        result.error = stream.errorString();
        return result;
    }
    voice.setAllowAudioOutputFormatChangesOnNextSet(false);
    voice.setAudioOutputStream(&stream);

    int spoken = 0;
    bool stop = false;
    QObject::connect(
        &voice, &SpVoice::Word, &voice, [&](int, qint64 streamPosition, int position, int length) {
            result.words.append(WordTime {position, length, streamPosition / 2});
            spoken = position + length;
            if (progress && !stop)
                stop = !progress(spoken);
        });

    const int flags
        = SVSFlagsAsync | SVSFPurgeBeforeSpeak | (m_voice.xml ? SVSFIsXML : SVSFIsNotXML);
    voice.Speak(text, flags);
    while (!voice.WaitUntilDone(WaitSliceMs)) {
        if (!stop && progress)
            stop = !progress(spoken);
        if (stop) {
            voice.Speak(QString(), SVSFPurgeBeforeSpeak);
            voice.WaitUntilDone(-1);
            break;
        }
    }
    const bool closed = stream.Close();
    result.samples = stream.samplesWritten();
    if (stop) {
        result.cancelled = true;
        result.error = QStringLiteral("cancelled");
    } else if (!closed) {
        result.error = stream.errorString();
    } else {
        result.ok = true;
    }
    return result;
}
