// One parlo-neural-worker.js process under Node.js and the pipes to it: the
// worker is started with one voice folder to load, then asked for one
// sentence at a time (the protocol is described at the top of the script).
// Every call blocks until the worker has answered, has died, or the stop flag
// given at start is raised, so one thread at a time uses a process. The
// worker's standard error is read on the way and its last lines kept, to say
// why it died.
//
// The worker never outlives this object: stop() (also the destructor) closes
// its input, which ends it, and kills it when it lingers. A reader killed
// outright leaves it to the worker's own check on its parent.
#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <sys/types.h>
#include <vector>

class NeuralProcess
{
public:
    struct Launch {
        QString node; // the node executable
        QString script; // parlo-neural-worker.js
        QString runtimePrefix; // given to the worker as PARLO_NEURAL_RUNTIME
    };

    // The loaded voice as the worker describes it.
    struct Voice {
        int sampleRate = 0;
        int speakers = 1;
        QString name;
        QString language; // empty when the folder does not say
        QString gender;
    };

    struct Audio {
        int sampleRate = 0;
        std::vector<int16_t> pcm;
    };

    NeuralProcess() = default;
    ~NeuralProcess();
    NeuralProcess(const NeuralProcess &) = delete;
    NeuralProcess &operator=(const NeuralProcess &) = delete;

    // Starts the worker and loads `folder` into it. False, with the reason
    // in *error, when node cannot be started, the worker refuses the folder
    // or dies first; no process is left running then. `stop`, when given, is
    // watched during this and every later call: once raised, calls give up
    // at once.
    bool start(const Launch &launch, const QString &folder, Voice *voice, QString *error,
        const std::atomic<bool> *stop = nullptr);

    // Loads `folder` into the running worker in place of its voice; false
    // as for start(), the worker then ended.
    bool load(const QString &folder, Voice *voice, QString *error);

    // Speaks one sentence with speaker `speaker` at `speed` (1 normal, 2
    // twice as fast). False with the reason when the worker could not;
    // running() then says whether it is still there for the next sentence.
    bool speak(const QString &text, int speaker, double speed, Audio *audio, QString *error);

    bool running() const { return m_pid > 0; }
    pid_t pid() const { return m_pid > 0 ? m_pid : 0; }

    // Ends the worker (end of its input, then SIGTERM, then SIGKILL) and
    // reaps it. Harmless when it is not running.
    void stop();

private:
    enum class Read { Ok, Died, Stopped };
    bool send(const QByteArray &line);
    Read readLine(QByteArray *line);
    Read readBytes(qsizetype count, QByteArray *bytes);
    // Waits for output; false when the worker died or the stop flag rose.
    Read fill();
    void drainErrors();
    void drainPendingErrors();
    // Why the worker stopped answering: how it ended and its last words.
    QString deathReason();

    pid_t m_pid = 0; // negative: ended and reaped, pipes still open
    int m_in = -1; // the worker's standard input
    int m_out = -1; // its standard output
    int m_err = -1; // its standard error
    QByteArray m_buffer; // output read but not used yet
    QByteArray m_errorTail; // the end of its standard error
    const std::atomic<bool> *m_stop = nullptr;
    qint64 m_nextId = 1;
};
