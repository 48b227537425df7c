// Ending the program the hard ways, each in a child process that runs the
// real program start (this executable with --scenario), heard on a private
// sound server: closing the window mid-reading, and termination signals
// while a message box is open or while the settings file cannot be written.
// The child must exit with status 0, within two seconds of a signal.

#include "audio/RealAudio.h"
#include "shell/AppMain.h"
#include "shell/Form_Main.h"
#include "shell/MaviTextBox.h"
#include "shell/documents/DocumentsArea.h"
#include "speech/ReadingController.h"
#include "speech/SpVoice.h"
#include "system/AppPaths.h"
#include "system/CIni.h"

#include "controls/CmdX.h"

#include <QApplication>
#include <QFontDatabase>
#include <QtTest>
#include <csignal>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace
{

Form_Main *mainWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *form = qobject_cast<Form_Main *>(w))
            return form;
    }
    return nullptr;
}

void say(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

// The child: the program as main() runs it, driven by a script.
int runScenario(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Parlo"_s);
    const QString scenario = QString::fromLocal8Bit(argv[2]);
    AppPaths::setOverrideFolder(QString::fromLocal8Bit(argv[3]));
    InstallTerminationHandler();
    // A stop signal at a point of start-up: before the window is made, in
    // the middle of Load(), or as the event loop starts.
    if (scenario == u"term-before-load")
        std::raise(SIGTERM);
    else if (scenario == u"term-in-load")
        Form_Main::setFontFamilySource([] {
            std::raise(SIGTERM);
            return QFontDatabase::families();
        });
    else if (scenario == u"term-at-first-event")
        QTimer::singleShot(0, &app, [] { std::raise(SIGTERM); });
    if (scenario.startsWith(u"term-"))
        return RunProgram();
    QTimer::singleShot(0, &app, [scenario] {
        Form_Main *w = mainWindow();
        if (!w)
            return;
        if (scenario == u"close-reading") {
            w->Txt_Input->setText(u"今天天氣很好，我們一起到公園散步。湖邊的花都開了。"_s);
            w->documents()->m_Files.m_Dirty = false; // as if opened: closing does not ask
            w->Txt_Input->setSelStart(5);
            w->Txt_Input->setSelLength(0);
            Q_EMIT w->Cmd_Speak->Click();
            QTimer::singleShot(1500, w, [w] {
                say(w->voice()->isSpeaking() ? "speaking" : "silent");
                w->close();
            });
        } else if (scenario == u"signal-in-box") {
            // Just past the reading limit, so Speak asks first.
            // In lines, which the text box lays out much faster than one.
            const QString line = QString(98, QChar(0x4E00)) + u"\r\n"_s;
            w->Txt_Input->setText(line.repeated(ReadingController::MaxSpeakChars / 100 + 1));
            auto *watch = new QTimer(w);
            QObject::connect(watch, &QTimer::timeout, [watch] {
                if (QApplication::activeModalWidget()) {
                    say("box-open");
                    watch->stop();
                }
            });
            watch->start(20);
            Q_EMIT w->Cmd_Speak->Click();
        } else {
            say("ready");
        }
    });
    return RunProgram();
}

} // namespace

class TestShutdown : public QObject
{
    Q_OBJECT

    RealAudio::PrivateServer m_server;

    // Starts the child in a fresh program folder holding the pictures.
    void start(QProcess &child, const QString &scenario, const QString &folder)
    {
        QDir().mkpath(folder);
        child.setProgram(QCoreApplication::applicationFilePath());
        child.setArguments({u"--scenario"_s, scenario, folder});
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start();
        QVERIFY(child.waitForStarted());
    }

    static bool waitForLine(QProcess &child, const QByteArray &line, int ms)
    {
        QElapsedTimer timer;
        timer.start();
        QByteArray seen;
        while (timer.elapsed() < ms && child.state() == QProcess::Running) {
            child.waitForReadyRead(50);
            seen += child.readAllStandardOutput();
            if (seen.contains(line))
                return true;
        }
        return false;
    }

    static void expectCleanExit(QProcess &child, int withinMs)
    {
        QElapsedTimer timer;
        timer.start();
        QVERIFY2(child.waitForFinished(withinMs + 3000), "the program did not end");
        QVERIFY2(timer.elapsed() <= withinMs, qPrintable(u"took %1 ms"_s.arg(timer.elapsed())));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_server.start())
            QFAIL(qPrintable(m_server.why()));
    }

    void closeDuringReading()
    {
        QTemporaryDir dir;
        QProcess child;
        start(child, u"close-reading"_s, dir.path());
        QVERIFY(waitForLine(child, "speaking", 20000));
        expectCleanExit(child, 5000);
        // The user's caret, not the word that was being highlighted.
        CIni ini;
        ini.setFileName(dir.path() + u"/Parlo_Cfg.ini"_s);
        QCOMPARE(ini.GetLong(u"Text"_s, u"SelPos"_s, -1), 5);
        QCOMPARE(ini.GetLong(u"Text"_s, u"SelLen"_s, -1), 0);
    }

    // A stop signal before the window is up ends the program as cleanly as
    // one that comes later: nothing set off by start-up (its timers, the
    // voice's events) reaches what closing has released. Signal 0: the
    // child raises SIGTERM itself.
    void signalEndsTheProgramCleanly_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<int>("signal");
        QTest::newRow("before the window is made") << u"term-before-load"_s << 0;
        QTest::newRow("in the middle of Load") << u"term-in-load"_s << 0;
        QTest::newRow("as the event loop starts") << u"term-at-first-event"_s << 0;
        QTest::newRow("SIGTERM, box open") << u"signal-in-box"_s << SIGTERM;
        QTest::newRow("SIGINT, box open") << u"signal-in-box"_s << SIGINT;
        QTest::newRow("SIGHUP, box open") << u"signal-in-box"_s << SIGHUP;
        QTest::newRow("SIGTERM, settings unwritable") << u"idle"_s << SIGTERM;
    }
    void signalEndsTheProgramCleanly()
    {
        QFETCH(QString, scenario);
        QFETCH(int, signal);
        const bool unwritable = scenario == u"idle";
        QTemporaryDir dir;
        const QString ini = dir.path() + u"/Parlo_Cfg.ini"_s;
        // A folder where the file should be: every write fails, even as root.
        if (unwritable)
            QVERIFY(QDir().mkpath(ini));
        QProcess child;
        start(child, scenario, dir.path());
        if (signal) {
            QVERIFY(waitForLine(child, unwritable ? "ready" : "box-open", 20000));
            ::kill(pid_t(child.processId()), signal);
        }
        // Unloaded it ends in a fraction of a second; the bound is for a stall,
        // and holds under the sanitizers beside a parallel build.
        expectCleanExit(child, signal ? 5000 : 20000);
        QCOMPARE(QFileInfo(ini).isFile(), !unwritable);
    }
};

int main(int argc, char **argv)
{
    if (argc >= 4 && qstrcmp(argv[1], "--scenario") == 0)
        return runScenario(argc, argv);
    QCoreApplication app(argc, argv);
    TestShutdown test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_Shutdown.moc"
