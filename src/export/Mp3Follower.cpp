#include "export/Mp3Follower.h"

#include "export/ExportLog.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <chrono>
#include <vector>

namespace
{
// Samples read from the file per step: large enough for LAME to work in
// long runs, small enough that a cancel is noticed at once.
constexpr qint64 BlockFrames = 65536;
} // namespace

Mp3Follower::Mp3Follower(const QString &library)
    : m_encoder(library)
{
}

Mp3Follower::~Mp3Follower()
{
    cancel();
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
    {
        std::lock_guard lock(m_mutex);
        m_published = 0;
        m_consumed = 0;
        m_inputDone = false;
        m_cancelled = false;
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
    std::lock_guard lock(m_mutex);
    if (dataBytes < m_consumed) {
        // The encoder cannot take back what it was given.
        m_error = QStringLiteral("the WAV file shrank while it was being encoded");
        m_cancelled = true;
    }
    m_published = dataBytes;
    m_inputDone = true;
    m_changed.notify_all();
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
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
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
    return m_consumed / 2;
}

QString Mp3Follower::errorString() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
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
        std::vector<int16_t> pcm(static_cast<std::size_t>(BlockFrames));
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
                to = m_published & ~qint64(1);
                if (from >= to && m_inputDone) {
                    m_encoder.finish();
                    ok = true;
                    break;
                }
            }
            const qint64 bytes = std::min(to - from, BlockFrames * 2);
            if (!wav.seek(m_dataOffset + from)
                || wav.read(reinterpret_cast<char *>(pcm.data()), bytes) != bytes)
                throw Mp3Encoder::Error(Mp3Encoder::BadSource,
                    QStringLiteral("cannot read %1 at %2")
                        .arg(QDir::toNativeSeparators(m_wavPath))
                        .arg(m_dataOffset + from));
            if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
                for (int16_t &s : pcm)
                    s = int16_t(qFromLittleEndian<quint16>(quint16(s)));
            }
            m_encoder.feed(pcm.data(), bytes / 2);
            std::lock_guard lock(m_mutex);
            m_consumed = from + bytes;
        }
    } catch (const Mp3Encoder::Error &e) {
        error = e.message();
        qCWarning(lcExport).noquote() << "encoding while rendering failed:" << error;
    }
    if (!ok)
        m_encoder.discard();
    std::lock_guard lock(m_mutex);
    m_ok = ok;
    if (m_error.isEmpty())
        m_error = error;
    m_done = true;
    m_changed.notify_all();
}
