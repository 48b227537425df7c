#include "render/JobRunner.h"

#include "document/DocumentReader.h"
#include "export/CMP3.h"
#include "export/Subtitles.h"
#include "render/BookChapters.h"
#include "render/BookOutputs.h"
#include "render/OutputEstimate.h"
#include "render/WorkerProtocol.h"
#include "system/FileName.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Temporary files of one job; whatever is still there when it ends (the job
// failed or was stopped) is removed.
class TemporaryFiles
{
public:
    ~TemporaryFiles()
    {
        for (const QString &path : m_paths)
            QFile::remove(path);
    }
    QString add(const QString &path)
    {
        m_paths.append(path);
        return path;
    }

private:
    QStringList m_paths;
};

// An output: where it is made and where it goes.
struct Output {
    QString temporary;
    QString final;
};

// Replaces `to` at once, so no reader ever sees it missing or half there.
bool moveOver(const QString &from, const QString &to, QString *error)
{
    if (::rename(FileName::encode(from).constData(), FileName::encode(to).constData()) == 0)
        return true;
    *error = QStringLiteral("%1: %2").arg(to, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

bool copyToStandardOutput(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    QByteArray block;
    while (!(block = file.read(1 << 16)).isEmpty()) {
        const char *data = block.constData();
        qsizetype left = block.size();
        while (left > 0) {
            const ssize_t n = ::write(STDOUT_FILENO, data, size_t(left));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                *error = bilingual("cannot write standard output: %1", "無法寫入標準輸出：%1")
                             .arg(QString::fromLocal8Bit(std::strerror(errno)));
                return false;
            }
            data += n;
            left -= n;
        }
    }
    return true;
}

// mkdir -p on the file system's bytes of `path`.
bool makeFolders(const QString &path)
{
    const QByteArray bytes = FileName::encode(QDir::cleanPath(path));
    for (qsizetype slash = bytes.indexOf('/', 1);; slash = bytes.indexOf('/', slash + 1)) {
        const QByteArray prefix = slash < 0 ? bytes : bytes.left(slash);
        if (::mkdir(prefix.constData(), 0777) != 0 && errno != EEXIST)
            return false;
        if (slash < 0)
            break;
    }
    struct stat st {
    };
    return ::stat(bytes.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size()
        && file.flush())
        return true;
    *error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
}

// The book of a text with '\n' line ends, its chapters moved to the same
// places in the text with CR LF ones.
Document::Book withCrLfOffsets(Document::Book book, const QString &lfText)
{
    qsizetype at = 0;
    qsizetype lineEnds = 0;
    for (Document::Chapter &c : book.chapters) {
        for (; at < c.offset && at < lfText.size(); ++at)
            lineEnds += lfText[at] == u'\n' ? 1 : 0;
        c.offset += lineEnds;
    }
    return book;
}

// Why a document could not be read, in the user's language; the reader's
// own words follow as the technical detail.
QString documentFailure(Document::Status status, const QString &detail)
{
    QString why;
    switch (status) {
    case Document::Status::Ok:
    case Document::Status::NoHandle:
    case Document::Status::CannotOpen:
        why = bilingual("cannot be read", "無法讀取");
        break;
    case Document::Status::Unsupported:
        why = bilingual("is no document this program reads", "不是本程式可讀的文件");
        break;
    case Document::Status::Damaged:
        why = bilingual("is damaged or cut short", "檔案已損壞或不完整");
        break;
    case Document::Status::TooLarge:
        why = bilingual(
            "is over a size, unpacking or nesting limit", "超過大小、解壓縮或巢狀層數的上限");
        break;
    case Document::Status::TimedOut:
        why = bilingual("took too long to read", "讀取逾時");
        break;
    }
    return detail.isEmpty() ? why : QStringLiteral("%1 (%2)").arg(why, detail);
}

} // namespace

RenderSettings RenderSettings::from(const RenderOptions &options)
{
    RenderSettings s;
    s.voice = options.voice;
    s.voiceDirs = options.voiceDirs;
    s.rate = options.rate;
    s.volume = options.volume;
    s.xml = options.xml;
    s.wav = options.wav;
    s.mp3 = options.mp3;
    s.srt = options.srt;
    s.lrc = options.lrc;
    s.m4b = options.m4b;
    s.bitrate = options.bitrate;
    s.chapterLevel = options.chapterLevel;
    s.splitChapters = options.splitChapters;
    s.force = options.force;
    s.toStdout = options.toStdout;
    s.maxDurationSeconds = options.maxDurationSeconds;
    return s;
}

QJsonObject RenderSettings::toJson() const
{
    return QJsonObject {{WorkerKey::Voice, voice},
        {WorkerKey::VoiceDirs, QJsonArray::fromStringList(voiceDirs)}, {WorkerKey::Rate, rate},
        {WorkerKey::Volume, volume}, {WorkerKey::Xml, xml}, {WorkerKey::Wav, wav},
        {WorkerKey::Mp3, mp3}, {WorkerKey::Srt, srt}, {WorkerKey::Lrc, lrc}, {WorkerKey::M4b, m4b},
        {WorkerKey::Bitrate, bitrate}, {WorkerKey::ChapterLevel, chapterLevel},
        {WorkerKey::Split, splitChapters}, {WorkerKey::Force, force}, {WorkerKey::Stdout, toStdout},
        {WorkerKey::MaxDuration, maxDurationSeconds}};
}

RenderSettings RenderSettings::fromJson(const QJsonObject &json)
{
    RenderSettings s;
    s.voice = json[WorkerKey::Voice].toString();
    for (const QJsonValue &folder : json[WorkerKey::VoiceDirs].toArray())
        s.voiceDirs.append(folder.toString());
    s.rate = json[WorkerKey::Rate].toInt();
    s.volume = json[WorkerKey::Volume].toInt(100);
    s.xml = json[WorkerKey::Xml].toBool();
    s.wav = json[WorkerKey::Wav].toBool(true);
    s.mp3 = json[WorkerKey::Mp3].toBool();
    s.srt = json[WorkerKey::Srt].toBool();
    s.lrc = json[WorkerKey::Lrc].toBool();
    s.m4b = json[WorkerKey::M4b].toBool();
    s.bitrate = json[WorkerKey::Bitrate].toInt(64);
    s.chapterLevel = json[WorkerKey::ChapterLevel].toInt(1);
    s.splitChapters = json[WorkerKey::Split].toBool();
    s.force = json[WorkerKey::Force].toBool();
    s.toStdout = json[WorkerKey::Stdout].toBool();
    s.maxDurationSeconds = json[WorkerKey::MaxDuration].toDouble();
    return s;
}

JobRunner::JobRunner(const RenderSettings &settings, const SpObjectToken &voice)
    : m_settings(settings)
{
    m_voice.token = voice;
    m_voice.rate = settings.rate;
    m_voice.volume = settings.volume;
    m_voice.xml = settings.xml;
    if (settings.mp3)
        m_mp3 = std::make_unique<CMP3>(CMP3::ShowMessage());
}

JobRunner::~JobRunner() = default;

QString JobRunner::temporaryFolder(const QString &base)
{
    // The toolkit writes the temporaries, and it cannot name a folder that
    // is not UTF-8: they then wait in the nearest folder above that it can.
    QString folder = QFileInfo(base).path();
    while (FileName::hasRawBytes(folder))
        folder = QFileInfo(folder).path();
    return folder;
}

QString JobRunner::temporaryBase(const QString &base, int job)
{
    QString name = QFileInfo(base).fileName();
    for (QChar &c : name) {
        if (FileName::hasRawBytes(QStringView(&c, 1)))
            c = u'_';
    }
    return QStringLiteral("%1/.%2.part-%3-%4")
        .arg(temporaryFolder(base), name)
        .arg(QCoreApplication::applicationPid())
        .arg(job);
}

int JobRunner::removeStaleTemporaries(const QString &folder)
{
    // ".NAME.part-PID-JOB.EXT" beside the outputs, "parlo-render-PID-JOB.EXT"
    // in the temporary folder for --stdout.
    static const QRegularExpression temporary(
        QStringLiteral(R"(^(?:\..+\.part|parlo-render)-(\d+)-\d+\.(?:wav|mp3|srt|lrc)$)"));
    int removed = 0;
    const QStringList names
        = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QRegularExpressionMatch m = temporary.match(name);
        if (!m.hasMatch())
            continue;
        bool ok = false;
        const qint64 pid = m.captured(1).toLongLong(&ok);
        if (!ok || pid <= 0 || pid > std::numeric_limits<pid_t>::max()
            || pid == QCoreApplication::applicationPid())
            continue;
        // Only a process that is surely gone: EPERM means it runs as
        // someone else.
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        if (QFile::remove(QDir(folder).filePath(name)))
            ++removed;
    }
    return removed;
}

QString JobRunner::loadText(const RenderJob &job, QString *error, Document::Book *book) const
{
    switch (job.source) {
    case RenderJob::Source::Text:
        return DocumentReader::withCrLf(job.text);
    case RenderJob::Source::Bytes: {
        const Document::Result result
            = DocumentReader::extract(job.bytes, QStringLiteral("stdin"), Document::Limits());
        if (!result.ok())
            *error = documentFailure(result.status, result.detail);
        *book = withCrLfOffsets(result.book, result.text);
        return DocumentReader::withCrLf(result.text);
    }
    case RenderJob::Source::File:
        break;
    }
    DocumentReader reader;
    reader.AllocHdl(1);
    reader.OpenWfxKey(0, QStringLiteral("parlo-render"));
    const Document::Status status = reader.OpenFile(0, job.path);
    if (status != Document::Status::Ok) {
        // The reader names the file itself; the caller names it already.
        QString why = reader.errorString();
        const QString prefix = job.path + QStringLiteral(": ");
        if (why.startsWith(prefix))
            why.remove(0, prefix.size());
        *error = documentFailure(status, why);
        return QString();
    }
    *book = reader.book(0);
    return reader.ReadBuf(0);
}

bool JobRunner::writeSubtitles(const QList<Subtitles::Cue> &cues, qint64 lengthMs,
    const QString &title, const QString &srt, const QString &lrc, QString *error) const
{
    if (!srt.isEmpty() && !writeFile(srt, Subtitles::toSrt(cues), error))
        return false;
    return lrc.isEmpty() || writeFile(lrc, Subtitles::toLrc(cues, title, lengthMs), error);
}

QString JobRunner::temporaryBaseOf(const RenderJob &job) const
{
    return m_settings.toStdout ? QStringLiteral("%1/parlo-render-%2-%3")
                                     .arg(QDir::tempPath())
                                     .arg(QCoreApplication::applicationPid())
                                     .arg(job.id)
                               : temporaryBase(job.base, job.id);
}

JobOutcome JobRunner::run(const RenderJob &job, const Progress &progress)
{
    JobOutcome outcome = make(job, progress);
    // A message names the output the user asked for, never the hidden name
    // it is made under.
    const QString tempBase = temporaryBaseOf(job);
    for (const char *extension : {".wav", ".mp3", ".m4b", ".srt", ".lrc"}) {
        const QString suffix = QLatin1String(extension);
        outcome.message.replace(tempBase + suffix,
            m_settings.toStdout ? bilingual("standard output", "標準輸出") : job.base + suffix);
    }
    return outcome;
}

JobOutcome JobRunner::make(const RenderJob &job, const Progress &progress)
{
    using Kind = JobOutcome::Kind;
    const QFileInfo baseInfo(job.base);
    const QString tempBase = temporaryBaseOf(job);
    const bool split = m_settings.splitChapters && !m_settings.toStdout;
    TemporaryFiles temporaries;
    const QString wavTemp = temporaries.add(tempBase + QStringLiteral(".wav"));
    QList<Output> outputs;
    auto output = [&](const QString &partBase, const QString &finalBase, const char *extension) {
        const QString ext = QLatin1String(extension);
        return Output {temporaries.add(partBase + ext), finalBase + ext};
    };
    const Output wav {wavTemp, job.base + QStringLiteral(".wav")};
    const Output mp3 = output(tempBase, job.base, ".mp3");
    const Output m4b = output(tempBase, job.base, ".m4b");
    const Output srt = output(tempBase, job.base, ".srt");
    const Output lrc = output(tempBase, job.base, ".lrc");
    if (!m_settings.toStdout) {
        // A book split by chapter has its files in a folder of their own.
        if (m_settings.wav && !split)
            outputs.append(wav);
        if (m_settings.mp3 && !split)
            outputs.append(mp3);
        if (m_settings.m4b)
            outputs.append(m4b);
        if (m_settings.srt && !split)
            outputs.append(srt);
        if (m_settings.lrc && !split)
            outputs.append(lrc);
    }
    auto keptIfAny = [&](const QList<Output> &outs) -> std::optional<JobOutcome> {
        if (m_settings.force)
            return std::nullopt;
        for (const Output &out : outs) {
            if (::access(FileName::encode(out.final).constData(), F_OK) == 0)
                return JobOutcome {Kind::Kept,
                    bilingual("kept the existing %1 (--force replaces it)",
                        "保留已存在的 %1（--force 可取代）")
                        .arg(out.final)};
        }
        return std::nullopt;
    };
    if (const auto kept = keptIfAny(outputs))
        return *kept;

    if (progress && !progress(0, 0, QString()))
        return {Kind::Cancelled, QString()};
    QString error;
    Document::Book document;
    const QString text = loadText(job, &error, &document);
    if (!error.isEmpty())
        return {Kind::Failed, error};
    if (BookChapters::hasNothingToRead(text, m_settings.xml))
        return {Kind::Failed, bilingual("has no text to read", "沒有可朗讀的文字")};
    const QString refused = OutputEstimate::refusal(OutputEstimate::of(text, m_settings),
        m_settings.maxDurationSeconds, OutputEstimate::freeBytesFor(QFileInfo(wavTemp).path()),
        m_settings.toStdout ? bilingual("standard output", "標準輸出") : baseInfo.path());
    if (!refused.isEmpty())
        return {Kind::Failed, refused};

    // The book: its chapters, and the files of each when it is split.
    BookOutputs::Book book;
    book.title
        = document.title.simplified().isEmpty() ? baseInfo.fileName() : document.title.simplified();
    book.author = document.author.simplified();
    book.cover = document.cover;
    book.coverMimeType = document.coverMimeType;
    const bool chaptered = m_settings.m4b || split;
    if (chaptered)
        book.chapters = BookChapters::plan(
            document, text, m_settings.chapterLevel, book.title, m_settings.xml);
    QList<BookOutputs::PartTargets> parts;
    QList<Output> partSrt, partLrc;
    if (split) {
        const QStringList names = BookChapters::fileNames(book.chapters);
        for (int i = 0; i < names.size(); ++i) {
            const QString finalBase = job.base + u'/' + names[i];
            const QString partBase = temporaryBase(finalBase, job.id);
            BookOutputs::PartTargets targets;
            if (m_settings.wav) {
                outputs.append(output(partBase, finalBase, ".wav"));
                targets.wav = outputs.last().temporary;
            }
            if (m_settings.mp3) {
                outputs.append(output(partBase, finalBase, ".mp3"));
                targets.mp3 = outputs.last().temporary;
            }
            parts.append(targets);
            partSrt.append(output(partBase, finalBase, ".srt"));
            partLrc.append(output(partBase, finalBase, ".lrc"));
            if (m_settings.srt)
                outputs.append(partSrt.last());
            if (m_settings.lrc)
                outputs.append(partLrc.last());
        }
        if (const auto kept = keptIfAny(outputs))
            return *kept;
    }
    const QString outFolder = split ? job.base : baseInfo.path();
    if (!makeFolders(outFolder))
        return {Kind::Failed,
            bilingual("cannot create the folder %1", "無法建立資料夾 %1").arg(outFolder)};

    const int total = int(text.size());
    auto chapterAt = [&](qsizetype offset) {
        QString title;
        for (const BookChapters::Planned &c : std::as_const(book.chapters)) {
            if (c.offset > offset)
                break;
            title = c.title;
        }
        return title;
    };
    TextRenderer renderer(m_voice);
    const TextRenderer::Result rendered = renderer.render(text, wavTemp,
        [&](int spoken) { return !progress || progress(spoken, total, chapterAt(spoken)); });
    if (rendered.cancelled)
        return {Kind::Cancelled, QString()};
    if (!rendered.ok)
        return {Kind::Failed,
            rendered.error.contains(wavTemp)
                ? bilingual("cannot write %1: %2", "無法寫入 %1：%2").arg(wavTemp, rendered.error)
                : bilingual("the voice could not start: %1", "發音人無法啟動：%1")
                      .arg(rendered.error)};
    const int rate = TextRenderer::sampleRate();
    const QString lastChapter = chapterAt(total);
    // After the reading, the line names what is being made and how far.
    auto going = [&](double done) {
        return !progress
            || progress(total, total,
                done < 0 ? lastChapter
                         : inUserLanguage("encoding %1 %", "編碼中 %1 %").arg(int(done * 100)));
    };
    book.starts = BookChapters::startSamples(book.chapters, rendered.words, rendered.samples);

    if (m_settings.srt || m_settings.lrc) {
        const QList<Subtitles::Cue> cues = Subtitles::cues(text, m_settings.xml, rendered.words,
            rendered.samples, rate, Subtitles::Loudness::fromWav(wavTemp));
        const qint64 lengthMs = rendered.samples * 1000 / rate;
        if (!split
            && !writeSubtitles(cues, lengthMs, baseInfo.fileName(),
                m_settings.srt ? srt.temporary : QString(),
                m_settings.lrc ? lrc.temporary : QString(), &error))
            return {Kind::Failed, error};
        for (qsizetype i = 0; split && i < book.chapters.size(); ++i) {
            const qint64 from = book.starts[i] * 1000 / rate;
            const qint64 to
                = i + 1 < book.chapters.size() ? book.starts[i + 1] * 1000 / rate : lengthMs;
            if (!writeSubtitles(BookOutputs::cuesBetween(cues, from, to), to - from,
                    book.chapters[i].title, m_settings.srt ? partSrt[i].temporary : QString(),
                    m_settings.lrc ? partLrc[i].temporary : QString(), &error))
                return {Kind::Failed, error};
        }
    }
    if (split && (m_settings.wav || m_settings.mp3)
        && !BookOutputs::writeParts(wavTemp, book, parts, going, &error))
        return {error.isEmpty() ? Kind::Cancelled : Kind::Failed, error};
    if (m_settings.mp3 && !split) {
        if (!m_mp3->hasEncoder())
            return {Kind::Failed,
                bilingual("the MP3 encoder (libmp3lame) is not installed",
                    "未安裝 MP3 編碼器（libmp3lame）")};
        QString source = wavTemp;
        QString folder = QFileInfo(mp3.temporary).path() + u'/';
        const QString made = m_mp3->ToMP3(source, folder);
        if (made != mp3.temporary || QFileInfo(made).size() <= CMP3::FailedSizeLimit)
            return {Kind::Failed, bilingual("the MP3 conversion failed", "MP3 轉檔失敗")};
    }
    if (m_settings.m4b
        && !BookOutputs::writeM4b(wavTemp, m4b.temporary, book, m_settings.bitrate, going, &error))
        return {error.isEmpty() ? Kind::Cancelled : Kind::Failed, error};
    // The last chance to stop: after this the outputs appear.
    if (!going(-1))
        return {Kind::Cancelled, QString()};
    if (m_settings.toStdout)
        return copyToStandardOutput(wavTemp, &error) ? JobOutcome {Kind::Rendered, QString()}
                                                     : JobOutcome {Kind::Failed, error};
    for (const Output &out : outputs) {
        if (!moveOver(out.temporary, out.final, &error))
            return {Kind::Failed, error};
    }
    // What the document got wrong but did not stop it (a table of contents
    // naming a missing file) is told with the outcome.
    return {Kind::Rendered, chaptered ? document.warnings.join(QStringLiteral("; ")) : QString()};
}
