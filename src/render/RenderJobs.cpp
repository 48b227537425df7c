#include "render/RenderJobs.h"

#include "document/DocumentReader.h"
#include "render/WorkerProtocol.h"
#include "system/FileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

bool isSingleOutputName(const QString &output)
{
    const QString lower = output.toLower();
    return lower.endsWith(u".wav") || lower.endsWith(u".mp3") || lower.endsWith(u".m4b");
}

// A file as the file system knows it: every name of it (links, "./", "..")
// gives the same identity.
using FileIdentity = QPair<quint64, quint64>; // device, inode

std::optional<FileIdentity> identityOf(const QString &path)
{
    struct stat st {
    };
    if (::stat(FileName::encode(path).constData(), &st) != 0)
        return std::nullopt;
    return FileIdentity(quint64(st.st_dev), quint64(st.st_ino));
}

// What a path that is neither a file nor a folder is, as a message naming
// it; empty when nothing is there.
QString specialFileKind(const QString &path)
{
    struct stat st {
    };
    if (::stat(FileName::encode(path).constData(), &st) != 0)
        return QString();
    if (S_ISFIFO(st.st_mode))
        return bilingual("%1: is a named pipe, not a file (give - to read a pipe)",
            "%1：是具名管道，不是檔案（要讀取管道請用 -）")
            .arg(path);
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return bilingual("%1: is a device, not a file", "%1：是裝置，不是檔案").arg(path);
    if (S_ISSOCK(st.st_mode))
        return bilingual("%1: is a socket, not a file", "%1：是通訊端，不是檔案").arg(path);
    return bilingual("%1: is not a file", "%1：不是檔案").arg(path);
}

// The real path of `path`, links resolved, as the file system's bytes;
// empty when it does not exist.
QByteArray canonicalOf(const QByteArray &path)
{
    char *real = ::realpath(path.constData(), nullptr);
    if (!real)
        return QByteArray();
    QByteArray out(real);
    std::free(real);
    return out;
}

QByteArray canonicalOf(const QString &path)
{
    return canonicalOf(FileName::encode(path));
}

QString standardInputLabel()
{
    // A name, in both languages at once, that messages put in each of theirs.
    return QStringLiteral("(standard input, 標準輸入)");
}

QString join(const QString &folder, const QString &name)
{
    return QDir::cleanPath(folder + u'/' + name);
}

class Collector
{
public:
    Collector(const RenderOptions &options)
        : m_options(options)
    {
        for (const QString &glob : options.globs)
            m_globs.append(
                QRegularExpression(QRegularExpression::wildcardToRegularExpression(glob)));
        if (isSingleOutputName(options.output)) {
            const QFileInfo info(options.output);
            m_single = join(info.path(), info.completeBaseName());
        } else if (!options.output.isEmpty()) {
            m_folder = options.output;
        }
    }

    void addFile(const QString &path, const QString &outputFolder)
    {
        RenderJob job;
        job.path = path;
        job.label = path;
        job.base = join(outputFolder, FileName::withoutExtension(path));
        add(job);
    }

    // Under -o DIR a folder keeps its own name and its subfolders:
    // "-o audio lessons" writes audio/lessons/unit1/a.wav.
    void addFolder(const QString &folder)
    {
        // Plain string work on the path: the toolkit's file classes would
        // lose a folder name that is not UTF-8.
        const QString root = QDir::cleanPath(QDir::current().absoluteFilePath(folder));
        QStringList found;
        QSet<QByteArray> visited;
        walk(root, root, canonicalOf(root) + '/', visited, found);
        if (found.isEmpty()) {
            m_list.errors.append(m_globs.isEmpty()
                    ? bilingual("%1: no document found in this folder", "%1：這個資料夾裡沒有文件")
                          .arg(folder)
                    : bilingual("%1: no file in this folder matches --glob",
                        "%1：這個資料夾裡沒有符合 --glob 的檔案")
                          .arg(folder));
            return;
        }
        std::sort(found.begin(), found.end());
        for (const QString &relative : found) {
            const QString path = join(folder, relative);
            addFile(path,
                m_folder.isEmpty()
                    ? QFileInfo(path).path()
                    : join(m_folder, root.section(u'/', -1) + u'/' + QFileInfo(relative).path()));
        }
    }

    // The documents under `dir`, relative to `root`; hidden files and
    // folders (our own unfinished outputs among them) are left out. A link
    // is followed only when it leads inside the folder given (`inside`, its
    // real path with a trailing slash), so a link planted there cannot have
    // another file read, unless --follow-links. A folder is walked once,
    // however many links lead to it. Names are the file system's bytes (see
    // FileName), so none is lost for not being UTF-8.
    void walk(const QString &root, const QString &dir, const QByteArray &inside,
        QSet<QByteArray> &visited, QStringList &found) const
    {
        const QByteArray canonical = canonicalOf(dir);
        if (canonical.isEmpty() || visited.contains(canonical))
            return;
        visited.insert(canonical);
        const QByteArray encoded = FileName::encode(dir);
        DIR *stream = ::opendir(encoded.constData());
        if (!stream)
            return;
        QList<QByteArray> names;
        while (const dirent *entry = ::readdir(stream)) {
            if (entry->d_name[0] != '.') // hidden, and ".", ".."
                names.append(QByteArray(entry->d_name));
        }
        ::closedir(stream);
        std::sort(names.begin(), names.end());
        for (const QByteArray &name : std::as_const(names)) {
            const QByteArray path = encoded + '/' + name;
            struct stat st {
            };
            if (::lstat(path.constData(), &st) != 0)
                continue;
            if (S_ISLNK(st.st_mode)) {
                if (!m_options.followLinks && !(canonicalOf(path) + '/').startsWith(inside))
                    continue;
                if (::stat(path.constData(), &st) != 0)
                    continue; // a link to nothing
            }
            const QString entry = FileName::decode(path);
            if (S_ISDIR(st.st_mode))
                walk(root, entry, inside, visited, found);
            else if (S_ISREG(st.st_mode) && wanted(FileName::decode(name)))
                found.append(entry.mid(root.size() + (root.endsWith(u'/') ? 0 : 1)));
        }
    }

    void addInput(const QString &input, const StandardInput &standardInput)
    {
        if (input == u"-") {
            if (!standardInput.error.isEmpty()) {
                m_list.errors.append(standardInput.error);
                return;
            }
            RenderJob job;
            job.source = RenderJob::Source::Bytes;
            job.bytes = standardInput.bytes;
            job.label = standardInputLabel();
            job.base = join(folderOrHere(), QStringLiteral("stdin"));
            add(job);
            return;
        }
        // The name's own bytes, so a name that is not UTF-8 is found too.
        const QFileInfo info(input);
        struct stat st {
        };
        const bool exists = ::stat(FileName::encode(input).constData(), &st) == 0;
        if (exists && S_ISDIR(st.st_mode)) {
            addFolder(input);
        } else if (exists && S_ISREG(st.st_mode)) {
            addFile(input, m_folder.isEmpty() ? info.path() : m_folder);
        } else if (const QString what = specialFileKind(input); !what.isEmpty()) {
            m_list.errors.append(what);
        } else {
            m_list.errors.append(
                bilingual("%1: no such file or folder", "%1：沒有這個檔案或資料夾").arg(input));
        }
    }

    void addText(const QString &text, int number)
    {
        RenderJob job;
        job.source = RenderJob::Source::Text;
        job.text = text;
        job.label = QStringLiteral("--text #%1").arg(number);
        job.base = join(folderOrHere(),
            number == 1 ? QStringLiteral("text") : QStringLiteral("text-%1").arg(number));
        add(job);
    }

    JobList finish()
    {
        if (!m_single.isEmpty() && m_list.jobs.size() + m_list.errors.size() > 1)
            m_list.errors.prepend(bilingual("-o %1 names one file, but there are several inputs",
                "-o %1 是單一檔名，但輸入不只一個")
                                      .arg(m_options.output));
        if (!m_single.isEmpty() && m_list.jobs.size() == 1 && m_list.errors.isEmpty())
            m_list.jobs.first().base = m_single;
        dropJobsThatWriteOverAnInput();
        return m_list;
    }

private:
    // The outputs a job makes, by their final names.
    QStringList outputsOf(const RenderJob &job) const
    {
        if (m_options.toStdout)
            return {};
        QStringList outputs;
        if (m_options.wav)
            outputs.append(job.base + QStringLiteral(".wav"));
        if (m_options.mp3)
            outputs.append(job.base + QStringLiteral(".mp3"));
        if (m_options.srt)
            outputs.append(job.base + QStringLiteral(".srt"));
        if (m_options.lrc)
            outputs.append(job.base + QStringLiteral(".lrc"));
        return outputs;
    }

    // An output that would replace a document of the same run is never
    // written, --force or not: the user's text would be lost.
    void dropJobsThatWriteOverAnInput()
    {
        QSet<FileIdentity> inputs;
        for (const RenderJob &job : std::as_const(m_list.jobs)) {
            if (job.source == RenderJob::Source::File)
                if (const std::optional<FileIdentity> id = identityOf(job.path))
                    inputs.insert(*id);
        }
        QList<RenderJob> kept;
        for (RenderJob &job : m_list.jobs) {
            QString clash;
            for (const QString &output : outputsOf(job)) {
                const std::optional<FileIdentity> id = identityOf(output);
                if (id && inputs.contains(*id)) {
                    clash = output;
                    break;
                }
            }
            if (clash.isEmpty())
                kept.append(std::move(job));
            else
                m_list.errors.append(bilingual(
                    "%1: its output %2 is an input of this run", "%1：輸出檔 %2 是這次的輸入檔之一")
                                         .arg(job.label, clash));
        }
        for (qsizetype i = 0; i < kept.size(); ++i)
            kept[i].id = int(i);
        m_list.jobs = std::move(kept);
    }

    bool wanted(const QString &name) const
    {
        if (!m_globs.isEmpty()) {
            return std::any_of(m_globs.begin(), m_globs.end(),
                [&](const QRegularExpression &glob) { return glob.match(name).hasMatch(); });
        }
        return documentExtensions().contains(QFileInfo(name).suffix().toLower());
    }

    QString folderOrHere() const { return m_folder.isEmpty() ? QStringLiteral(".") : m_folder; }

    void add(RenderJob job)
    {
        const QString key = QFileInfo(job.base).absoluteFilePath();
        const auto clash = m_bases.constFind(key);
        if (clash != m_bases.constEnd()) {
            m_list.errors.append(
                bilingual("%1: its output %2 would be that of %3", "%1：輸出檔 %2 會與 %3 的相同")
                    .arg(job.label, job.base, clash.value()));
            return;
        }
        m_bases.insert(key, job.label);
        job.id = int(m_list.jobs.size());
        m_list.jobs.append(std::move(job));
    }

    const RenderOptions &m_options;
    QList<QRegularExpression> m_globs;
    QString m_single; // output base named by -o NAME.wav
    QString m_folder; // -o DIR
    QHash<QString, QString> m_bases; // output base -> label of its input
    JobList m_list;
};

} // namespace

const QStringList &documentExtensions()
{
    static const QStringList extensions {QStringLiteral("txt"), QStringLiteral("text"),
        QStringLiteral("md"), QStringLiteral("htm"), QStringLiteral("html"),
        QStringLiteral("xhtml"), QStringLiteral("xht"), QStringLiteral("rtf"),
        QStringLiteral("docx"), QStringLiteral("docm"), QStringLiteral("dotx"),
        QStringLiteral("odt"), QStringLiteral("ott"), QStringLiteral("epub"),
        QStringLiteral("pdf")};
    return extensions;
}

StandardInput readStandardInput(int fd, const Document::Limits &limits)
{
    constexpr qsizetype Chunk = qsizetype(1) << 16;
    StandardInput in;
    qsizetype checked = 0; // bytes already seen free of binary data
    for (;;) {
        const qsizetype had = in.bytes.size();
        in.bytes.resize(had + Chunk);
        const ssize_t n = ::read(fd, in.bytes.data() + had, size_t(Chunk));
        if (n < 0 && errno == EINTR) {
            in.bytes.resize(had);
            continue;
        }
        in.bytes.resize(had + std::max<qsizetype>(n, 0));
        if (n < 0) {
            in.error = QStringLiteral("%1: %2").arg(
                standardInputLabel(), QString::fromLocal8Bit(std::strerror(errno)));
            break;
        }
        if (in.bytes.size() > limits.maxInputBytes) {
            in.error = bilingual("%1: larger than %2 bytes", "%1：大於 %2 位元組")
                           .arg(standardInputLabel())
                           .arg(limits.maxInputBytes);
            break;
        }
        // The format is known once its first bytes are; a plain text can
        // then be refused at its first NUL.
        if (n == 0 || in.bytes.size() >= DocumentReader::FormatHeadBytes) {
            if (DocumentReader::isBinary(in.bytes, checked)) {
                in.error = bilingual("%1: binary data, not text", "%1：是二進位資料，不是文字")
                               .arg(standardInputLabel());
                break;
            }
            checked = in.bytes.size();
        }
        if (n == 0)
            return in;
    }
    in.bytes.clear();
    return in;
}

JobList collectJobs(const RenderOptions &options, const StandardInput &standardInput)
{
    Collector collector(options);
    for (const QString &input : options.inputs)
        collector.addInput(input, standardInput);
    for (int i = 0; i < options.texts.size(); ++i)
        collector.addText(options.texts[i], i + 1);
    return collector.finish();
}

QJsonObject RenderJob::toJson() const
{
    QJsonObject json;
    json[WorkerKey::Id] = id;
    json[WorkerKey::Source] = int(source);
    // Names travel as their bytes: JSON text cannot hold one that is not UTF-8.
    json[WorkerKey::Path] = QString::fromLatin1(FileName::encode(path).toBase64());
    json[WorkerKey::Bytes] = QString::fromLatin1(bytes.toBase64());
    json[WorkerKey::Text] = text;
    json[WorkerKey::Label] = label;
    json[WorkerKey::Base] = QString::fromLatin1(FileName::encode(base).toBase64());
    return json;
}

RenderJob RenderJob::fromJson(const QJsonObject &json)
{
    RenderJob job;
    job.id = json[WorkerKey::Id].toInt();
    job.source = Source(json[WorkerKey::Source].toInt());
    job.path
        = FileName::decode(QByteArray::fromBase64(json[WorkerKey::Path].toString().toLatin1()));
    job.bytes = QByteArray::fromBase64(json[WorkerKey::Bytes].toString().toLatin1());
    job.text = json[WorkerKey::Text].toString();
    job.label = json[WorkerKey::Label].toString();
    job.base
        = FileName::decode(QByteArray::fromBase64(json[WorkerKey::Base].toString().toLatin1()));
    return job;
}
