#include "render/OutputEstimate.h"

#include "render/JobRunner.h"
#include "speech/MandarinNormalizer.h"
#include "speech/SapiXmlParser.h"
#include "speech/SpeechJob.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <cmath>

namespace OutputEstimate
{

namespace
{

// Seconds per character at rate 0, a little under what the voices take
// (a Chinese character about 0.26 s, a Latin letter 0.06 s, a digit spelled
// in Mandarin more than a character).
constexpr double SecondsPerIdeograph = 0.2;
constexpr double SecondsPerLetter = 0.05;
constexpr double SecondsPerDigit = 0.2;
constexpr qint64 WavBytesPerSecond = 16000 * 2;
constexpr qint64 Mp3BytesPerSecond = 32000 / 8;
// Subtitles repeat the text with a time per cue or per character.
constexpr qint64 SubtitleBytesPerUnit = 16;
// "一百六十位數字": how a stretch of more digits than are spelled is read.
constexpr double SecondsPerDigitCount = 7 * SecondsPerIdeograph;

bool isAsciiDigit(QChar c)
{
    return c.unicode() < 128 && c.isDigit();
}

// A run of digits is read one by one up to MandarinNormalizer's limit;
// past it, each piece the speech is cut into (the longest cuts the run) says
// how many digits it holds.
double secondsOfDigits(qsizetype count)
{
    if (count <= MandarinNormalizer::MaxSpelledDigits)
        return double(count) * SecondsPerDigit;
    return double((count + SpeechJob::PieceCap - 1) / SpeechJob::PieceCap) * SecondsPerDigitCount;
}

double secondsAtRateZero(QStringView text)
{
    double seconds = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isAsciiDigit(text[i])) {
            qsizetype end = i;
            while (end < text.size() && isAsciiDigit(text[end]))
                ++end;
            seconds += secondsOfDigits(end - i);
            i = end - 1;
            continue;
        }
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        const QChar::Script script = QChar::script(c);
        if (script == QChar::Script_Han || script == QChar::Script_Hiragana
            || script == QChar::Script_Katakana || script == QChar::Script_Hangul)
            seconds += SecondsPerIdeograph;
        else if (QChar::isLetterOrNumber(c))
            seconds += SecondsPerLetter;
    }
    return seconds;
}

// The speaking rate's factor on time: 10 steps faster is three times as fast.
double slowness(int rate)
{
    return std::pow(3.0, -std::clamp(rate, -10, 10) / 10.0);
}

} // namespace

Estimate of(const QString &text, const RenderSettings &settings)
{
    Estimate e;
    if (settings.xml) {
        for (const SapiXmlParser::Run &run : SapiXmlParser::parse(text)) {
            if (run.kind == SapiXmlParser::Run::Silence)
                e.seconds += run.silenceMs / 1000.0;
            else if (run.kind == SapiXmlParser::Run::Text)
                e.seconds += secondsAtRateZero(run.text)
                    * slowness(run.rateAbsolute ? run.rate : settings.rate + run.rate);
        }
    } else {
        e.seconds = secondsAtRateZero(text) * slowness(settings.rate);
    }
    // The WAV is always made, as the source of the others.
    const double bytesPerSecond
        = double(WavBytesPerSecond) + (settings.mp3 ? double(Mp3BytesPerSecond) : 0.0);
    e.bytes = qint64(std::min(e.seconds * bytesPerSecond, 9.0e18));
    if (settings.srt || settings.lrc)
        e.bytes += text.size() * SubtitleBytesPerUnit;
    return e;
}

QString refusal(const Estimate &estimate, double maxSeconds, qint64 freeBytes, const QString &where)
{
    if (maxSeconds > 0 && estimate.seconds > maxSeconds)
        return bilingual(
            "would last about %1, longer than --max-duration %2", "約需 %1，超過 --max-duration %2")
            .arg(duration(estimate.seconds), duration(maxSeconds));
    if (freeBytes >= 0 && estimate.bytes > freeBytes)
        return bilingual("needs about %1 MB for %2, but its file system has %3 MB free",
            "%2 約需 %1 MB，但其檔案系統只剩 %3 MB")
            .arg(estimate.bytes >> 20)
            .arg(where)
            .arg(freeBytes >> 20);
    return QString();
}

qint64 freeBytesFor(const QString &path)
{
    QFileInfo info(QFileInfo(path).absoluteFilePath());
    while (!info.exists() && !info.isRoot() && info.path() != info.filePath())
        info.setFile(info.path());
    const QStorageInfo storage(info.absoluteFilePath());
    return storage.isValid() ? storage.bytesAvailable() : -1;
}

QString duration(double seconds)
{
    const qint64 s = qint64(std::llround(std::min(seconds, 1.0e15)));
    if (s >= 3600)
        return QStringLiteral("%1 h %2 min")
            .arg(s / 3600)
            .arg(s % 3600 / 60, 2, 10, QLatin1Char('0'));
    if (s >= 60)
        return QStringLiteral("%1 min %2 s").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1 s").arg(s);
}

} // namespace OutputEstimate
