// Renders a text to a WAV file the way the window's export does: a voice
// speaks into a file stream of 16 kHz, 16-bit mono with the speak flags of
// reading aloud (asynchronous, purge first, markup or not), and the caller
// waits until the stream has ended. On the way it keeps the time of every
// spoken word, for subtitles, and reports how far the reading has come.
//
// No window is involved. The voice it makes opens the default audio output
// as every voice does, so a program without sound sets AudioSink's factory
// first. One renderer is used by one thread at a time, like the voice.
#pragma once

#include "speech/SpObjectToken.h"

#include <QList>
#include <QString>
#include <functional>

class TextRenderer
{
public:
    struct Voice {
        SpObjectToken token; // null: the engine's first voice
        int rate = 0; // -10..10
        int volume = 100; // 0..100
        bool xml = false; // the text is speech markup
    };

    // One spoken word: where it is in the text and where its sound starts.
    struct WordTime {
        int position = 0; // UTF-16 offset into the text given to render()
        int length = 0;
        qint64 sample = 0; // at sampleRate()
    };

    struct Result {
        bool ok = false;
        bool cancelled = false;
        QString error; // why it failed, for the user; empty when ok
        qint64 samples = 0; // audio written
        QList<WordTime> words; // in order of sound
    };

    // Called now and then with the text offset spoken up to; returning false
    // stops the rendering (the result is then cancelled and not ok).
    using Progress = std::function<bool(int spokenUpTo)>;

    static constexpr int SampleRate = 16000;

    explicit TextRenderer(const Voice &voice);

    // Speaks `text` into a new file at `wavPath`, replacing one that is there.
    // On failure or cancel the partly written file is left for the caller
    // to remove.
    Result render(const QString &text, const QString &wavPath, const Progress &progress = {});

    static int sampleRate() { return SampleRate; }

private:
    Voice m_voice;
};
