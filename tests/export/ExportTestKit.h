// Shared by the export tests: tone WAV files, what soxi and lame make of a
// file, and an MP3 front end whose boxes are recorded.
#pragma once

#include "export/CMP3.h"
#include "speech/SpFileStream.h"

#include <QDir>
#include <QProcess>
#include <QString>
#include <cmath>
#include <vector>

namespace ExportTestKit
{

// Interleaved 16-bit frames of a 440 Hz tone (a fifth higher on the right).
inline std::vector<int16_t> tone(int rate, int channels, double seconds)
{
    const std::size_t frames = std::size_t(std::lround(rate * seconds));
    std::vector<int16_t> pcm(frames * std::size_t(channels));
    for (std::size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double hz = 440.0 * (c ? 1.5 : 1.0);
            pcm[i * std::size_t(channels) + std::size_t(c)]
                = int16_t(8000 * std::sin(2 * M_PI * hz * double(i) / rate));
        }
    }
    return pcm;
}

// A mono tone written the way a voice writes it.
inline bool writeToneWav(const QString &path, double seconds, int type = SAFT16kHz16BitMono)
{
    SpFileStream stream;
    stream.Format.Type = type;
    if (!stream.Open(path))
        return false;
    const std::vector<int16_t> pcm = tone(stream.sampleRate(), 1, seconds);
    return stream.writeSamples(pcm.data(), qint64(pcm.size())) && stream.Close();
}

// Runs a tool to a clean end; its standard output goes to `output`.
inline bool run(const QString &program, const QStringList &arguments, QString *output = nullptr)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return false;
    if (output)
        *output = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    return true;
}

// soxi's answer to one option ("-D", "-r", "-c"), or -1.
inline double soxi(const char *option, const QString &path)
{
    QString out;
    bool ok = false;
    const double value = run(QStringLiteral("soxi"), {QString::fromLatin1(option), path}, &out)
        ? out.toDouble(&ok)
        : 0;
    return ok ? value : -1;
}

// Everything left in a folder, hidden files included.
inline QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// A CMP3 that appends each box it shows to `shown` as "icon|title|text".
inline std::unique_ptr<CMP3> makeCMP3(QStringList &shown, const QString &library = QString())
{
    CMP3::Options options;
    options.library = library;
    return std::make_unique<CMP3>(
        [&shown](CMP3::Icon icon, const QString &title, const QString &text) {
            shown.append(QString::number(int(icon)) + u'|' + title + u'|' + text);
        },
        options);
}

} // namespace ExportTestKit
