// Test helper: records every event a voice raises, in order, and a sink that
// keeps the PCM it is given so tests can look at the sound itself.
#pragma once

#include "audio/AudioSink.h"
#include "speech/SpVoice.h"

#include <QList>
#include <QString>
#include <memory>
#include <vector>

struct RecordedEvent {
    QString type; // "Start", "End", "Word", "Phoneme", "Viseme", "Sentence", "Bookmark", "Voice"
    int stream = 0;
    qint64 position = 0;
    int a = 0; // Word/Sentence: character position; Phoneme: current phone; Viseme: viseme
    int b = 0; // Word/Sentence: length
    QString text;
};

class SpeechRecorder
{
public:
    explicit SpeechRecorder(SpVoice *voice)
    {
        auto record = [this](const char *type) {
            return [this, type](int s, qint64 p, int pos = 0, int len = 0) {
                events.append({QLatin1String(type), s, p, pos, len, {}});
            };
        };
        QObject::connect(voice, &SpVoice::StartStream, record("Start"));
        QObject::connect(voice, &SpVoice::EndStream, record("End"));
        QObject::connect(voice, &SpVoice::Word, record("Word"));
        QObject::connect(voice, &SpVoice::Sentence, record("Sentence"));
        QObject::connect(
            voice, &SpVoice::Phoneme, [this](int s, qint64 p, int, short, int, short current) {
                events.append({QStringLiteral("Phoneme"), s, p, current, 0, {}});
            });
        QObject::connect(voice, &SpVoice::Viseme, [this](int s, qint64 p, int, int, int, int v) {
            events.append({QStringLiteral("Viseme"), s, p, v, 0, {}});
        });
        QObject::connect(
            voice, &SpVoice::Bookmark, [this](int s, qint64 p, const QString &mark, int id) {
                events.append({QStringLiteral("Bookmark"), s, p, id, 0, mark});
            });
        QObject::connect(
            voice, &SpVoice::VoiceChange, [this](int s, qint64 p, const SpObjectToken &token) {
                events.append({QStringLiteral("Voice"), s, p, 0, 0, token.GetDescription()});
            });
    }

    QList<RecordedEvent> of(const QString &type, int stream = -1) const
    {
        QList<RecordedEvent> out;
        for (const RecordedEvent &e : events) {
            if (e.type == type && (stream < 0 || e.stream == stream))
                out.append(e);
        }
        return out;
    }

    // The text of each Word event, cut from `text` by the event's offsets.
    QStringList words(const QString &text, int stream = -1) const
    {
        QStringList out;
        const QList<RecordedEvent> list = of(QStringLiteral("Word"), stream);
        for (const RecordedEvent &e : list)
            out.append(text.mid(e.a, e.b));
        return out;
    }

    QList<RecordedEvent> events;
};

// Keeps every sample written (tests only speak short texts).
class CaptureSink : public ImmediateSink
{
public:
    explicit CaptureSink(std::shared_ptr<std::vector<int16_t>> store, int sampleRate = 22050)
        : ImmediateSink(sampleRate)
        , m_store(std::move(store))
    {
    }
    void write(const int16_t *samples, qint64 count) override
    {
        m_store->insert(m_store->end(), samples, samples + count);
        ImmediateSink::write(samples, count);
    }

private:
    std::shared_ptr<std::vector<int16_t>> m_store;
};
