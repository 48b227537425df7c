// libFuzzer target for the settings file. The first byte picks the section
// and key to write; the rest is the file, in any encoding or none. Besides
// crashes and undefined behaviour it checks the promise of a write: when it
// succeeds, the key reads back as written and every other key reads as it
// did before.

#include "system/CIni.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace
{
struct Name {
    const char *section;
    const char *key;
};

// Keys of the program's own file, one with Chinese names and one in another case.
const Name names[] = {{"TTS", "Rate"}, {"TTS", "UseXML"}, {"Option", "FntName"}, {"RGB", "BgColor"},
    {"Text", "SelPos"}, {"選項", "字型"}, {"tts", "VOLUME"}};

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Names are matched without regard to case.
bool samePlace(const Name &a, const Name &b)
{
    return text(a.section).compare(text(b.section), Qt::CaseInsensitive) == 0
        && text(a.key).compare(text(b.key), Qt::CaseInsensitive) == 0;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

const QString &filePath()
{
    static const QString path = QDir::temp().filePath(
        QStringLiteral("parlo-fuzz-settings-%1.ini").arg(QCoreApplication::applicationPid()));
    return path;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const Name &target = names[data[0] % std::size(names)];
    {
        QFile file(filePath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data + 1), qint64(size - 1));
    }
    CIni ini(filePath());
    const QString missing = QStringLiteral("\x01missing");
    QString before[std::size(names)];
    for (size_t i = 0; i < std::size(names); ++i)
        before[i] = ini.GetSz(text(names[i].section), text(names[i].key), missing);
    (void)ini.GetVal(text(target.section), text(target.key), 50);
    (void)ini.GetLong(text(target.section), text(target.key), -1);
    (void)ini.GetBOOL(text(target.section), text(target.key), true);
    (void)ParseColour(ini, text(target.key), QStringLiteral("174,216,230"), 0);

    const QString value = QStringLiteral("新的 value=1");
    if (ini.SetSz(text(target.section), text(target.key), value)) {
        for (size_t i = 0; i < std::size(names); ++i) {
            const QString now = ini.GetSz(text(names[i].section), text(names[i].key), missing);
            check(samePlace(names[i], target) ? now == value : now == before[i]);
        }
    }
    QFile::remove(filePath());
    return 0;
}
