#include "export/Mp3Follower.h"

#include "system/Log.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <QtEndian>
#include <algorithm>
#include <chrono>
#include <limits>

namespace
{
// Samples read from the file per step: large enough for LAME to work in
// long runs, small enough that a cancel is noticed at once.
constexpr qint64 BlockFrames = 65536;
constexpr qint64 BlockBytes = BlockFrames * 2;
// A cut is put at the quietest 10 ms within two seconds of its even share.
constexpr double QuietSearchSeconds = 2.0;
constexpr double QuietWindowSeconds = 0.01;

Mp3Encoder::Error readError(const QString &path, qint64 at)
{
    return Mp3Encoder::Error(Mp3Encoder::BadSource,
        QStringLiteral("cannot read %1 at %2").arg(QDir::toNativeSeparators(path)).arg(at));
}
} // namespace

Mp3Follower::Mp3Follower(const QString &library)
    : m_library(library)
    , m_encoder(library)
    , m_maxParts(std::max(1, QThread::idealThreadCount()))
{
}

Mp3Follower::~Mp3Follower()
{
    cancel();
}

void Mp3Follower::setParallelism(int parts, double minPartSeconds)
{
    m_maxParts = std::max(1, parts);
    m_minPartSeconds = minPartSeconds;
}

void Mp3Follower::start(const QString &wavPath, qint64 dataOffset, int rate, const QString &target,
    const Mp3Encoder::Settings &settings)
{
    cancel();
    m_wavPath = wavPath;
    m_target = target;
    m_dataOffset = dataOffset;
    m_rate = rate;
    m_settings = settings;
    m_parts.clear();
    m_cancelled = false;
    {
        std::lock_guard lock(m_mutex);
        m_published = 0;
        m_consumed = 0;
        m_ownEnd = -1;
        m_inputDone = false;
        m_done = false;
        m_ok = false;
        m_error.clear();
    }
    m_worker = std::thread([this] { run(); });
}

void Mp3Follower::publish(qint64 dataBytes)
{
    std::lock_guard lock(m_mutex);
    if (m_inputDone || dataBytes <= m_published)
        return;
    m_published = dataBytes;
    m_changed.notify_all();
}

void Mp3Follower::finishInput(qint64 dataBytes)
{
    qint64 consumed = 0;
    {
        std::lock_guard lock(m_mutex);
        consumed = m_consumed;
    }
    // The block being encoded now, and the next, stay with the follower.
    const std::vector<qint64> cuts = cutPoints(consumed + 2 * BlockBytes, dataBytes);
    std::lock_guard lock(m_mutex);
    if (dataBytes < m_consumed) {
        // The encoder cannot take back what it was given.
        m_error = QStringLiteral("the WAV file shrank while it was being encoded");
        m_cancelled = true;
    }
    m_published = dataBytes;
    if (!cuts.empty() && !m_done && !m_cancelled && cuts.front() >= m_consumed + BlockBytes) {
        m_ownEnd = cuts.front();
        m_parts.resize(cuts.size());
        for (std::size_t i = 0; i < cuts.size(); ++i) {
            Part &part = m_parts[i];
            part.from = cuts[i];
            part.to = i + 1 < cuts.size() ? cuts[i + 1] : dataBytes;
            part.path = m_target + QStringLiteral(".%1").arg(i + 2);
            part.worker = std::thread([this, &part] { encodePart(part); });
        }
        qCDebug(lcExport) << "the last" << (dataBytes - m_ownEnd) / 2 / m_rate << "s go to"
                          << m_parts.size() << "more encoders";
    }
    m_inputDone = true;
    m_changed.notify_all();
}

std::vector<qint64> Mp3Follower::cutPoints(qint64 from, qint64 end) const
{
    const qint64 minPart = qint64(m_minPartSeconds * m_rate) * 2;
    const qint64 length = end - from;
    if (m_maxParts < 2 || minPart <= 0 || length < 2 * minPart)
        return {};
    const qint64 parts = std::min<qint64>(m_maxParts, length / minPart);
    QFile wav(m_wavPath);
    if (!wav.open(QIODevice::ReadOnly))
        return {};
    const qint64 reach = qint64(QuietSearchSeconds * m_rate) * 2;
    const qint64 window = std::max<qint64>(1, qint64(QuietWindowSeconds * m_rate));
    std::vector<qint64> cuts;
    std::vector<int16_t> pcm;
    for (qint64 i = 1; i < parts; ++i) {
        const qint64 share = (from + length * i / parts) & ~qint64(1);
        const qint64 lo = std::max(share - reach, cuts.empty() ? from : cuts.back() + minPart / 2);
        const qint64 hi = std::min(share + reach, end - minPart / 2);
        qint64 cut = share;
        if (hi - lo >= window * 2) {
            try {
                readBlock(wav, lo, (hi - lo) & ~qint64(1), pcm);
            } catch (const Mp3Encoder::Error &) {
                return {};
            }
            double quietest = std::numeric_limits<double>::max();
            for (std::size_t w = 0; w + std::size_t(window) <= pcm.size();
                 w += std::size_t(window)) {
                double energy = 0;
                for (std::size_t k = w; k < w + std::size_t(window); ++k)
                    energy += double(pcm[k]) * pcm[k];
                if (energy < quietest) {
                    quietest = energy;
                    cut = lo + qint64(w) * 2;
                }
            }
        }
        cuts.push_back(cut);
    }
    return cuts;
}

bool Mp3Follower::waitUntilDone(int ms)
{
    std::unique_lock lock(m_mutex);
    if (!m_worker.joinable())
        return true;
    return m_changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_done; });
}

void Mp3Follower::cancel()
{
    if (!m_worker.joinable())
        return;
    m_cancelled = true;
    {
        std::lock_guard lock(m_mutex);
        m_changed.notify_all();
    }
    m_worker.join();
    std::lock_guard lock(m_mutex);
    if (!m_ok)
        return;
    // A finished MP3 that nobody took is removed as well.
    m_ok = false;
    QFile::remove(m_target);
}

bool Mp3Follower::succeeded() const
{
    std::lock_guard lock(m_mutex);
    return m_done && m_ok;
}

qint64 Mp3Follower::framesEncoded() const
{
    std::lock_guard lock(m_mutex);
    return (m_parts.empty() ? m_consumed : m_parts.back().to) / 2;
}

QString Mp3Follower::errorString() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

int Mp3Follower::partCount() const
{
    std::lock_guard lock(m_mutex);
    return int(m_parts.size()) + 1;
}

void Mp3Follower::readBlock(QFile &wav, qint64 from, qint64 bytes, std::vector<int16_t> &pcm) const
{
    pcm.resize(std::size_t(bytes / 2));
    if (!wav.seek(m_dataOffset + from)
        || wav.read(reinterpret_cast<char *>(pcm.data()), bytes) != bytes)
        throw readError(m_wavPath, m_dataOffset + from);
    if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
        for (int16_t &s : pcm)
            s = int16_t(qFromLittleEndian<quint16>(quint16(s)));
    }
}

void Mp3Follower::encodePart(Part &part)
{
    try {
        Mp3Encoder encoder(m_library);
        encoder.begin(part.path, m_rate, 1, m_settings);
        QFile wav(m_wavPath);
        if (!wav.open(QIODevice::ReadOnly))
            throw readError(m_wavPath, 0);
        std::vector<int16_t> pcm;
        for (qint64 at = part.from; at < part.to && !m_cancelled; at += BlockBytes) {
            readBlock(wav, at, std::min(BlockBytes, part.to - at), pcm);
            encoder.feed(pcm.data(), qint64(pcm.size()));
        }
        if (m_cancelled) {
            encoder.discard();
            part.error = QStringLiteral("cancelled");
            return;
        }
        encoder.finish();
    } catch (const Mp3Encoder::Error &e) {
        part.error = e.message();
    }
}

void Mp3Follower::joinParts()
{
    QFile out(m_target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Append))
        throw Mp3Encoder::Error(Mp3Encoder::BadTarget, out.errorString());
    for (const Part &part : m_parts) {
        if (!part.error.isEmpty())
            throw Mp3Encoder::Error(Mp3Encoder::EncoderFailed, part.error);
        QFile in(part.path);
        if (!in.open(QIODevice::ReadOnly))
            throw Mp3Encoder::Error(Mp3Encoder::BadSource, in.errorString());
        while (!in.atEnd()) {
            const QByteArray chunk = in.read(1 << 20);
            if (chunk.isEmpty() || out.write(chunk) != chunk.size())
                throw Mp3Encoder::Error(Mp3Encoder::BadTarget, out.errorString());
        }
    }
}

void Mp3Follower::run()
{
    QString error;
    bool ok = false;
    try {
        m_encoder.begin(m_target, m_rate, 1, m_settings);
        QFile wav(m_wavPath);
        if (!wav.open(QIODevice::ReadOnly))
            throw Mp3Encoder::Error(Mp3Encoder::BadSource,
                QStringLiteral("cannot read %1: %2")
                    .arg(QDir::toNativeSeparators(m_wavPath), wav.errorString()));
        std::vector<int16_t> pcm;
        for (;;) {
            qint64 from = 0;
            qint64 to = 0;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock,
                    [this] { return m_cancelled || m_inputDone || m_published - m_consumed >= 2; });
                if (m_cancelled)
                    break;
                from = m_consumed;
                to = (m_ownEnd >= 0 ? m_ownEnd : m_published) & ~qint64(1);
            }
            if (from >= to) {
                m_encoder.finish();
                ok = true;
                break;
            }
            const qint64 bytes = std::min(to - from, BlockBytes);
            readBlock(wav, from, bytes, pcm);
            m_encoder.feed(pcm.data(), bytes / 2);
            std::lock_guard lock(m_mutex);
            m_consumed = from + bytes;
        }
        if (ok && !m_parts.empty()) {
            for (Part &part : m_parts)
                part.worker.join();
            // The frame counts of a LAME/Xing frame would only cover the first part.
            if (m_encoder.wroteTag())
                throw Mp3Encoder::Error(
                    Mp3Encoder::EncoderFailed, QStringLiteral("a tagged MP3 cannot be joined"));
            joinParts();
        }
    } catch (const Mp3Encoder::Error &e) {
        error = e.message();
        ok = false;
        qCWarning(lcExport).noquote() << "encoding while rendering failed:" << error;
    }
    {
        // No part can be started any more once this one has ended.
        std::lock_guard lock(m_mutex);
        m_inputDone = true;
        m_cancelled = m_cancelled || !ok;
    }
    for (Part &part : m_parts) {
        if (part.worker.joinable())
            part.worker.join();
        QFile::remove(part.path);
    }
    if (!ok) {
        m_encoder.discard();
        QFile::remove(m_target);
    }
    std::lock_guard lock(m_mutex);
    m_ok = ok;
    if (m_error.isEmpty())
        m_error = error;
    m_done = true;
    m_changed.notify_all();
}
