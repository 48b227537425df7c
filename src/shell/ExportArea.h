#pragma once
// The export area of the main window: the "Save .WAV" and "Save .WAV & .MP3"
// commands (AudioExport) reach the window through this object, which gives
// them the text box, the last folder, the save dialog, the message boxes and
// the progress window.
//
// While an export runs the window stays usable, closing included: a close
// asked for meanwhile cancels the rendering and closes the window once the
// command has returned.

#include "export/AudioExport.h"
#include "shell/Progressing.h"

#include <QObject>
#include <QPointer>

class Form_Main;

class ExportArea : public QObject, public ExportView
{
    Q_OBJECT
public:
    // The voice, the reading and the converter are the window's; they outlive
    // this area.
    ExportArea(Form_Main &form, SpVoice &voice, ReadingController &reading, VoicePrompt *prompt,
        CMP3 *mp3);
    ~ExportArea() override;

    AudioExport &commands() { return m_Export; }
    // The progress window, once an export has shown it.
    Progressing *progressing() const { return m_Progressing; }

    void Cmd_SaveWAVClick();
    void Cmd_SaveWAVnMP3Click();

    // ExportView
    QString text() const override;
    int selStart() const override;
    int selLength() const override;
    QString lastDir() const override;
    void setLastDir(const QString &folder) override;
    QString showSaveDialog(const QString &filter, int filterIndex, const QString &title,
        const QString &initialDir, int flags) override;
    void showWarning(const QString &text) override;
    void showResult(bool ok, const QString &title, const QString &text) override;
    void showProgress(const QString &caption, const QString &label) override;
    void updateProgress(int percent, const QString &timeLeft) override;
    void hideProgress() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void afterCommand();

    Form_Main &m_Form;
    QPointer<Progressing> m_Progressing;
    AudioExport m_Export;
    bool m_closeWhenDone = false;
};
