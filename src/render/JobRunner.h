// Renders one job from its input to its finished outputs: reads the document,
// speaks it into a WAV, times the subtitles, converts to MP3, and only then
// gives each output its final name. Until that last step every output lives
// under a hidden temporary name beside it (".name.part-PID.wav"), removed
// again when the job fails or is stopped, so an interrupted run never leaves
// a half-written file under a final name.
//
// One runner per process: the voice layer drives one engine per process.
#pragma once

#include "document/DocumentResult.h"
#include "export/Subtitles.h"
#include "export/TextRenderer.h"
#include "render/RenderJobs.h"

#include <QJsonObject>
#include <QStringList>
#include <functional>
#include <memory>

class CMP3;

// What every job of a run shares; sent to worker processes as JSON.
struct RenderSettings {
    QString voice; // as given to --voice; empty: the first voice
    QStringList voiceDirs; // as given to --voice-dir, so that workers offer the same voices
    int rate = 0;
    int volume = 100;
    bool xml = false;
    bool wav = true;
    bool mp3 = false;
    bool srt = false;
    bool lrc = false;
    bool m4b = false;
    int bitrate = 64; // kbit/s of the .m4b
    int chapterLevel = 1;
    bool splitChapters = false;
    bool force = false;
    bool toStdout = false;
    double maxDurationSeconds = 0; // 0: no limit

    static RenderSettings from(const RenderOptions &options);
    QJsonObject toJson() const;
    static RenderSettings fromJson(const QJsonObject &json);
};

class JobRunner
{
public:
    // Called as the reading goes on: characters spoken so far, the length of
    // the text (0 while it is being read) and the title of the chapter being
    // read (empty for a text without chapters); false stops the job.
    using Progress = std::function<bool(int spoken, int total, const QString &chapter)>;

    // `voice` is the token --voice named (null: the first voice).
    JobRunner(const RenderSettings &settings, const SpObjectToken &voice);
    ~JobRunner();

    JobOutcome run(const RenderJob &job, const Progress &progress);

    // The hidden name an output waits under while it is being made, in
    // temporaryFolder(): beside it, or in the nearest folder above whose
    // name the toolkit can write.
    static QString temporaryBase(const QString &base, int job);
    static QString temporaryFolder(const QString &base);

    // Removes from `folder` the temporaries (see temporaryBase()) that
    // processes no longer running left there when they were killed; those of
    // running processes are left alone. Returns how many were removed.
    static int removeStaleTemporaries(const QString &folder);

private:
    JobOutcome make(const RenderJob &job, const Progress &progress);
    QString temporaryBaseOf(const RenderJob &job) const;
    QString loadText(const RenderJob &job, QString *error, Document::Book *book) const;
    bool writeSubtitles(const QList<Subtitles::Cue> &cues, qint64 lengthMs, const QString &title,
        const QString &srt, const QString &lrc, QString *error) const;

    RenderSettings m_settings;
    TextRenderer::Voice m_voice;
    std::unique_ptr<CMP3> m_mp3;
};
