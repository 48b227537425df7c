#include "speech/neural/NeuralVoiceFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <optional>

namespace NeuralVoiceFolder
{

namespace
{

const QString TokensFile = QStringLiteral("tokens.txt");
const QString LexiconFile = QStringLiteral("lexicon.txt");

// The most common syllables of Mandarin text; a pinyin lexicon has them all.
const QStringList CommonSyllables = {QStringLiteral("de5"), QStringLiteral("shi4"),
    QStringLiteral("yi1"), QStringLiteral("bu4"), QStringLiteral("ren2"), QStringLiteral("wo3"),
    QStringLiteral("ni3"), QStringLiteral("zai4")};
// How many of them make a lexicon a pinyin one: a lexicon of characters may
// hold a stray syllable or two among its English words.
constexpr int PinyinEvidence = 6;

// The ONNX ModelProto field that holds metadata_props, and the key and
// value fields of each entry.
constexpr quint64 MetadataField = 14;
constexpr quint64 EntryKey = 1;
constexpr quint64 EntryValue = 2;
// A metadata entry larger than this is no description of a voice.
constexpr quint64 LargestEntry = 1 << 20;

QStringList onnxFiles(const QDir &dir)
{
    return dir.entryList({QStringLiteral("*.onnx")}, QDir::Files | QDir::Readable, QDir::Name);
}

// The model whose metadata describes the voice: model.onnx, else one that
// is no vocoder, the full-precision one before an int8 one.
QString mainModel(const QDir &dir)
{
    const QStringList files = onnxFiles(dir);
    if (files.contains(QStringLiteral("model.onnx")))
        return dir.filePath(QStringLiteral("model.onnx"));
    static const QRegularExpression vocoder(
        QStringLiteral("vocos|hifigan|vocoder"), QRegularExpression::CaseInsensitiveOption);
    QString chosen;
    for (const QString &f : files) {
        if (vocoder.match(f).hasMatch())
            continue;
        if (chosen.isEmpty()
            || (chosen.contains(QLatin1String(".int8.")) && !f.contains(QLatin1String(".int8."))))
            chosen = f;
    }
    return chosen.isEmpty() ? QString() : dir.filePath(chosen);
}

QString genderOf(const QString &text)
{
    const QString g = text.trimmed().toLower();
    if (g == u"female" || g == u"f" || g == u"woman")
        return QStringLiteral("Female");
    if (g == u"male" || g == u"m" || g == u"man")
        return QStringLiteral("Male");
    return QString();
}

// A protobuf varint, from the file or from bytes.
std::optional<quint64> varint(QFile &file)
{
    quint64 value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        char c = 0;
        if (!file.getChar(&c))
            return std::nullopt;
        value |= quint64(uchar(c) & 0x7f) << shift;
        if (!(uchar(c) & 0x80))
            return value;
    }
    return std::nullopt;
}

std::optional<quint64> varint(const QByteArray &bytes, qsizetype &at)
{
    quint64 value = 0;
    for (int shift = 0; shift < 64 && at < bytes.size(); shift += 7) {
        const uchar c = uchar(bytes[at++]);
        value |= quint64(c & 0x7f) << shift;
        if (!(c & 0x80))
            return value;
    }
    return std::nullopt;
}

// One StringStringEntryProto: {key, value}.
std::optional<std::pair<QString, QString>> metadataEntry(const QByteArray &bytes)
{
    QString key, value;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const auto tag = varint(bytes, at);
        if (!tag || (*tag & 7) != 2)
            return std::nullopt;
        const auto length = varint(bytes, at);
        if (!length || *length > quint64(bytes.size() - at))
            return std::nullopt;
        const QString text = QString::fromUtf8(bytes.mid(at, qsizetype(*length)));
        at += qsizetype(*length);
        if ((*tag >> 3) == EntryKey)
            key = text;
        else if ((*tag >> 3) == EntryValue)
            value = text;
    }
    return std::make_pair(key, value);
}

} // namespace

bool isVoiceFolder(const QString &folder)
{
    const QDir dir(folder);
    return QFileInfo(dir.filePath(TokensFile)).isFile() && !onnxFiles(dir).isEmpty();
}

QStringList voiceFoldersIn(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return {};
    const QString absolute = info.absoluteFilePath();
    if (isVoiceFolder(absolute))
        return {absolute};
    QStringList found;
    const QDir dir(absolute);
    const QStringList subfolders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : subfolders) {
        const QString path = dir.filePath(name);
        if (isVoiceFolder(path))
            found.append(path);
    }
    return found;
}

Description describe(const QString &folder)
{
    Description d;
    d.folder = QFileInfo(folder).absoluteFilePath();
    const QDir dir(d.folder);
    QFile file(dir.filePath(QLatin1String(DescriptionFile)));
    if (file.open(QIODevice::ReadOnly)) {
        const QJsonObject json = QJsonDocument::fromJson(file.read(1 << 16)).object();
        d.name = json.value(QStringLiteral("name")).toString().trimmed();
        d.language = json.value(QStringLiteral("language")).toString().trimmed();
        d.gender = genderOf(json.value(QStringLiteral("gender")).toString());
    }
    if (d.language.isEmpty() || d.gender.isEmpty()) {
        const QString model = mainModel(dir);
        const QMap<QString, QString> meta
            = model.isEmpty() ? QMap<QString, QString>() : onnxMetadata(model);
        // Piper voices name their espeak-ng voice, which is a language tag;
        // the others give a language name.
        if (d.language.isEmpty())
            d.language = languageTag(meta.value(QStringLiteral("voice")));
        if (d.language.isEmpty())
            d.language = languageTag(meta.value(QStringLiteral("language")));
        if (d.gender.isEmpty())
            d.gender = genderOf(meta.value(QStringLiteral("gender")));
    }
    if (d.name.isEmpty())
        d.name = dir.dirName();
    return d;
}

QMap<QString, QString> onnxMetadata(const QString &path)
{
    QMap<QString, QString> out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    const qint64 size = file.size();
    // The top-level fields of the ModelProto, one after another; the graph
    // (megabytes) is skipped with a seek.
    while (!file.atEnd()) {
        const auto tag = varint(file);
        if (!tag || (*tag >> 3) == 0)
            break;
        const quint64 field = *tag >> 3;
        switch (*tag & 7) {
        case 0:
            if (!varint(file))
                return out;
            break;
        case 1:
            if (!file.seek(file.pos() + 8))
                return out;
            break;
        case 5:
            if (!file.seek(file.pos() + 4))
                return out;
            break;
        case 2: {
            const auto length = varint(file);
            if (!length || *length > quint64(size - file.pos()))
                return out;
            if (field == MetadataField && *length <= LargestEntry) {
                const auto entry = metadataEntry(file.read(qint64(*length)));
                if (!entry)
                    return out;
                out.insert(entry->first, entry->second);
            } else if (!file.seek(file.pos() + qint64(*length))) {
                return out;
            }
            break;
        }
        default:
            return out; // groups never occur in a model; this is no model
        }
    }
    return out;
}

QString languageTag(const QString &metadata)
{
    QString text = metadata.trimmed();
    if (text.isEmpty())
        return QString();
    static const QRegularExpression tag(QStringLiteral("^[A-Za-z]{2,3}([-_][A-Za-z0-9]{2,8})*$"));
    if (tag.match(text).hasMatch())
        return text.replace(u'_', u'-');
    // "Chinese + English", "Chinese,English": the first language.
    static const QRegularExpression separator(QStringLiteral("[^A-Za-z ]"));
    const QString first = text.split(separator, Qt::SkipEmptyParts).value(0).trimmed().toLower();
    static const QHash<QString, QString> byName = [] {
        QHash<QString, QString> names;
        for (int l = QLocale::AnyLanguage + 1; l <= QLocale::LastLanguage; ++l) {
            const auto language = QLocale::Language(l);
            const QString code = QLocale::languageToCode(language, QLocale::ISO639Part1);
            if (!code.isEmpty())
                names.insert(QLocale::languageToString(language).toLower(), code);
        }
        names.insert(QStringLiteral("mandarin"), QStringLiteral("zh"));
        names.insert(QStringLiteral("cantonese"), QStringLiteral("yue"));
        return names;
    }();
    return byName.value(first);
}

bool lexiconTakesPinyin(const QString &folder)
{
    QFile file(QDir(folder).filePath(LexiconFile));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QSet<QString> wanted(CommonSyllables.begin(), CommonSyllables.end());
    int found = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine(4096);
        qsizetype end = 0;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        if (end > 0 && wanted.remove(QString::fromUtf8(line.left(end)))
            && ++found >= PinyinEvidence)
            return true;
    }
    return false;
}

} // namespace NeuralVoiceFolder
