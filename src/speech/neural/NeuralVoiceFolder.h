// What a natural voice's folder says about the voice, read without starting
// the voice: the folders are looked at every time the reader starts, so each
// costs a directory listing and a few small reads, never a model load.
//
// A voice folder is an unpacked sherpa-onnx voice archive: a tokens.txt and
// at least one .onnx model. Its name, language and gender come from Parlo's
// parlo-voice.json when the user (or tools/make-test-voice) wrote one, else
// from the metadata inside the model (only the model's small top-level fields
// are read: the network itself is skipped over), else the name is the
// folder's and the rest is unknown.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace NeuralVoiceFolder
{

// The file Parlo reads a voice's own description from.
inline constexpr char DescriptionFile[] = "parlo-voice.json";

struct Description {
    QString folder; // absolute
    QString name;
    QString language; // a language tag ("zh-TW", "en-us", "zh"); empty when unknown
    QString gender; // "Female", "Male", or empty when unknown
};

// Whether `folder` holds a voice (tokens.txt and an .onnx file).
bool isVoiceFolder(const QString &folder);

// The voices `folder` holds: the folder itself when it is a voice, else
// each of its subfolders that is one, by name. Absolute paths.
QStringList voiceFoldersIn(const QString &folder);

Description describe(const QString &folder);

// The metadata_props of an ONNX model file (key -> value); empty when the
// file cannot be read or is no ONNX model.
QMap<QString, QString> onnxMetadata(const QString &path);

// A language tag for a model's "language" metadata: tags pass as they are
// ("en-us"), language names in English become their code ("Chinese" ->
// "zh"); the first of several ("Chinese + English") counts. Empty when it
// is neither.
QString languageTag(const QString &metadata);

// Whether the voice's lexicon spells words as pinyin syllables with tone
// digits ("jin1 tian1"), so that the reader's own Mandarin readings can be
// sent instead of characters. Reads lexicon.txt until it can tell.
bool lexiconTakesPinyin(const QString &folder);

} // namespace NeuralVoiceFolder
