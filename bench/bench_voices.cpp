// Renders the same sentence with every suite voice into 16 kHz WAV files, so
// their sound can be compared (sox stat, a listen). Prints each file with its
// length; pass a folder to keep the files there.

#include "audio/AudioSink.h"
#include "export/WavReader.h"
#include "speech/SpFileStream.h"
#include "speech/SpVoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
    QTemporaryDir temp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    QDir().mkpath(folder);
    if (argc <= 1)
        temp.setAutoRemove(false);

    SpVoice voice;
    for (const SpObjectToken &token : voice.GetVoices()) {
        const QString name = token.GetDescription();
        if (!name.startsWith(QStringLiteral("Mavi ")))
            continue;
        const QString path = folder + QLatin1Char('/') + name.mid(5) + QStringLiteral(".wav");
        SpFileStream stream;
        stream.Format.Type = SAFT16kHz16BitMono;
        if (!stream.Open(path, SSFMCreateForWrite, false)) {
            std::printf("%s: cannot write %s\n", qPrintable(name), qPrintable(path));
            continue;
        }
        voice.setVoice(token);
        voice.setAudioOutputStream(&stream);
        voice.Speak(
            QStringLiteral("請輸入文字於此。今天天氣很好，我們一起去公園散步吧。"), SVSFDefault);
        voice.setAudioOutputStream(nullptr);
        stream.Close();
        WavReader wav;
        const double seconds = wav.open(path) ? wav.frames() / 16000.0 : -1.0;
        std::printf("%-12s %6.2f s  %s\n", qPrintable(name), seconds, qPrintable(path));
    }
    return 0;
}
