// The export commands of the main window: "Save .WAV" renders the text of
// the text box through the window's own voice into a 16 kHz mono WAV file,
// "Save .WAV & .MP3" does the same and then converts the WAV beside itself.
//
// Rendering points the voice's output at a file stream and speaks with the
// reading flags, so the voice raises its usual events (the window highlights
// words and moves the mouth as during reading aloud) while the file is made
// as fast as the engine goes. The wait is a loop that lets the window
// process its messages and then waits on the voice for at most 50 ms, so
// the window stays responsive. A progress window shows how far the text has
// got, the time left, and a Cancel that stops the rendering and removes
// the partial files.
//
// When both files are wanted, the MP3 is encoded on a second thread while
// the WAV is still being written (Mp3Follower); the conversion afterwards
// then only puts that MP3 in place, through the same routes and with the
// same messages as a conversion of the finished file.
//
// The class owns no widget: it reaches the window through ExportView, so
// tests drive it with a plain object.
#pragma once

#include "export/CMP3.h"

#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>
#include <functional>

class Mp3Follower;
class ReadingController;
class SpFileStream;
class SpVoice;
class VoicePrompt;

// What the export commands need from the window.
class ExportView
{
public:
    virtual ~ExportView() = default;

    virtual QString text() const = 0; // CR LF text of the text box
    virtual int selStart() const = 0;
    virtual int selLength() const = 0;
    // The folder of the last file dialog; empty when none is known.
    virtual QString lastDir() const = 0;
    virtual void setLastDir(const QString &folder) = 0;

    // The save dialog: returns the chosen path, or "0" when cancelled.
    virtual QString showSaveDialog(const QString &filter, int filterIndex, const QString &title,
        const QString &initialDir, int flags)
        = 0;
    // The too-long warning (exclamation icon, OK, the program's title).
    virtual void showWarning(const QString &text) = 0;
    // The outcome box: information icon when `ok`, else the critical icon.
    virtual void showResult(bool ok, const QString &title, const QString &text) = 0;

    // The progress window: shown centred on the main window, updated with
    // the part done (0..100) and the time left in words, hidden at the end.
    virtual void showProgress(const QString &caption, const QString &label) = 0;
    virtual void updateProgress(int percent, const QString &timeLeft) = 0;
    virtual void hideProgress() = 0;

    // Lets the window system process pending messages.
    virtual void pumpMessages();
};

// How far a rendering has got and how long the rest should take, from the
// character positions of the words spoken so far.
class ExportProgress
{
public:
    void start(qint64 totalChars, qint64 nowMs);
    // A word at `position` (UTF-16 offset into the rendered text) was made.
    void reached(qint64 position);
    int percent() const;
    // Milliseconds still to go, or -1 while too little is known to say.
    qint64 msLeft(qint64 nowMs) const;
    // The time left as the progress window shows it.
    static QString timeLeftText(qint64 ms);

private:
    qint64 m_total = 0;
    qint64 m_done = 0;
    qint64 m_startMs = 0;
};

class AudioExport
{
public:
    // WavRenderResult
    enum WavRenderResult : qint16 { Saved = 0, Failed = 1, Cancelled = 2 };

    // The save dialog's OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST |
    // OFN_NOREADONLYRETURN, by value: the core names no window code (the
    // window layer checks the sum against its own names).
    static constexpr int SaveDialogFlags = 0x0002 | 0x0800 | 0x8000;

    AudioExport(ExportView &view, SpVoice &voice, ReadingController &reading, VoicePrompt *prompt,
        CMP3 *mp3);
    ~AudioExport();
    AudioExport(const AudioExport &) = delete;
    AudioExport &operator=(const AudioExport &) = delete;

    // Renders the text into a WAV file chosen by the user. `prompt` is the
    // description of the dialog's file type; `path` receives the file
    // written (or to be written), empty when the dialog was cancelled. With
    // a follower, the MP3 is encoded from the file as it is written.
    WavRenderResult RenderTextToWav(
        const QString &prompt, QString &path, Mp3Follower *follower = nullptr);

    void Cmd_SaveWAV();
    void Cmd_SaveWAVnMP3();

    // Stops a rendering under way (the progress window's Cancel); its
    // result is Cancelled and its files are removed.
    void cancel();
    // True from the start of an export command to its end. A second command
    // meanwhile is ignored.
    bool isBusy() const { return m_busy; }

    // Where encoding while rendering is given up for a plain conversion
    // afterwards; tests turn it off to see both routes.
    void setEncodeWhileRendering(bool on) { m_encodeWhileRendering = on; }

private:
    void speakIntoStream(const QString &text, SpFileStream &stream, Mp3Follower *follower);
    CMP3::Encoded waitForFollower(Mp3Follower &follower);
    static QString failureText(const QString &path);

    ExportView &m_View;
    SpVoice &m_Voice;
    ReadingController &m_Reading;
    VoicePrompt *m_TTS;
    CMP3 *m_MP3;
    ExportProgress m_progress;
    QElapsedTimer m_clock;
    bool m_busy = false;
    bool m_cancel = false;
    bool m_encodeWhileRendering = true;
};
