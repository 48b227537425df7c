// The custom pronunciation list on the reading path: what applying a list of
// 2,000 entries costs per piece of text (a sentence of about 100 characters,
// mixed Chinese and Latin), once with the list in memory and once through
// applyCurrent, which also looks at the file each time. Target: well under
// the time espeak-ng takes to speak the same piece, 50 µs a piece.

#include "speech/PronunciationList.h"
#include "system/AppPaths.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    constexpr int Entries = 2000;
    constexpr int Pieces = 20000;
    constexpr double TargetUs = 50;

    QList<PronunciationList::Entry> entries;
    for (int i = 0; i < Entries; ++i) {
        // Two-character words over a spread of ideographs, and Latin words.
        const QChar a(char16_t(0x4E00 + (i * 7) % 20000)), b(char16_t(0x4E00 + (i * 13) % 20000));
        entries.append({QString(a) + b, QStringLiteral("念法%1").arg(i)});
        entries.append({QStringLiteral("word%1").arg(i), QStringLiteral("spoken %1").arg(i)});
    }
    QString piece;
    for (int k = 0; piece.size() < 100; ++k)
        piece += QChar(char16_t(0x4E00 + (k * 7) % 20000)) + QStringLiteral(" word%1 ").arg(k * 5);

    auto run = [&](auto &&apply) {
        QElapsedTimer timer;
        timer.start();
        qsizetype grew = 0;
        for (int i = 0; i < Pieces; ++i) {
            QString text = piece;
            QVector<int> map(text.size() + 1);
            for (int k = 0; k <= text.size(); ++k)
                map[k] = k;
            apply(text, map);
            grew += text.size() - piece.size();
        }
        return std::pair(timer.nsecsElapsed() / 1000.0 / Pieces, grew / Pieces);
    };

    const PronunciationList list(entries);
    const auto [memoryUs, grew] = run([&](QString &t, QVector<int> &m) { list.apply(t, m); });

    QTemporaryDir dir;
    AppPaths::setOverrideFolder(dir.path());
    PronunciationList::save(PronunciationList::defaultFile(), entries);
    const auto [fileUs, grewToo]
        = run([](QString &t, QVector<int> &m) { PronunciationList::applyCurrent(t, m); });

    std::printf("pronunciation list: %d entries, %d pieces of %lld characters\n",
        int(entries.size()), Pieces, qlonglong(piece.size()));
    std::printf("  in memory:      %8.2f us a piece (each piece grows by %lld characters)\n",
        memoryUs, qlonglong(grew));
    std::printf("  applyCurrent:   %8.2f us a piece (file looked at every piece; grows by %lld)\n",
        fileUs, qlonglong(grewToo));
    std::printf("  target:         %8.2f us a piece -> %s\n", TargetUs,
        fileUs <= TargetUs && grew == grewToo && grew > 0 ? "met" : "MISSED");
    return fileUs <= TargetUs ? 0 : 1;
}
