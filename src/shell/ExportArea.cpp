#include "shell/ExportArea.h"

#include "shell/AppDlgX.h"
#include "shell/Form_Main.h"
#include "shell/MaviTextBox.h"
#include "shell/MessageBox.h"
#include "shell/Progressing.h"
#include "system/Log.h"

#include <QCloseEvent>
#include <QTimer>

// The export layer gives the save dialog its flags by value.
static_assert(AudioExport::SaveDialogFlags
    == (AppDlgX::OFN_OVERWRITEPROMPT | AppDlgX::OFN_PATHMUSTEXIST | AppDlgX::OFN_NOREADONLYRETURN));

ExportArea::ExportArea(
    Form_Main &form, SpVoice &voice, ReadingController &reading, VoicePrompt *prompt, CMP3 *mp3)
    : m_Form(form)
    , m_Export(*this, voice, reading, prompt, mp3)
{
    m_Form.installEventFilter(this);
}

ExportArea::~ExportArea()
{
    m_Form.removeEventFilter(this);
    delete m_Progressing;
}

void ExportArea::Cmd_SaveWAVClick()
{
    m_Export.Cmd_SaveWAV();
    afterCommand();
}

void ExportArea::Cmd_SaveWAVnMP3Click()
{
    m_Export.Cmd_SaveWAVnMP3();
    afterCommand();
}

void ExportArea::afterCommand()
{
    if (!m_closeWhenDone || m_Export.isBusy())
        return;
    m_closeWhenDone = false;
    // From the event loop, once the command's caller has unwound as well.
    QTimer::singleShot(0, &m_Form, [form = &m_Form] { form->close(); });
}

bool ExportArea::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_Form && event->type() == QEvent::Close && m_Export.isBusy()) {
        // The voice and the file stream are in use further up the stack.
        qCInfo(lcShell) << "closing waits for the export to stop";
        m_closeWhenDone = true;
        m_Export.cancel();
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

QString ExportArea::text() const
{
    return m_Form.text();
}

int ExportArea::selStart() const
{
    return m_Form.selStart();
}

int ExportArea::selLength() const
{
    return m_Form.selLength();
}

QString ExportArea::lastDir() const
{
    return m_Form.lastDir();
}

void ExportArea::setLastDir(const QString &folder)
{
    m_Form.setLastDir(folder);
}

QString ExportArea::showSaveDialog(const QString &filter, int filterIndex, const QString &title,
    const QString &initialDir, int flags)
{
    return AppDlgX::ShowSaveDialog(&m_Form, filter, title, initialDir, 0, filterIndex, flags);
}

void ExportArea::showWarning(const QString &text)
{
    MessageBox::show(text, MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok, &m_Form);
}

void ExportArea::showResult(bool ok, const QString &title, const QString &text)
{
    MessageBox::show(text, ok ? MessageBox::Icon::Information : MessageBox::Icon::Critical,
        MessageBox::Buttons::Ok, &m_Form, title);
}

void ExportArea::showProgress(const QString &caption, const QString &label)
{
    if (!m_Progressing) {
        m_Progressing = new Progressing(&m_Form);
        connect(m_Progressing, &Progressing::cancelRequested, this, [this] { m_Export.cancel(); });
    }
    m_Progressing->setTexts(caption, label);
    m_Progressing->centreOn(&m_Form);
    m_Progressing->show();
    // The frame is known once the window is shown.
    m_Progressing->centreOn(&m_Form);
}

void ExportArea::updateProgress(int percent, const QString &timeLeft)
{
    if (m_Progressing)
        m_Progressing->setProgress(percent, timeLeft);
}

void ExportArea::hideProgress()
{
    if (m_Progressing)
        m_Progressing->hide();
}
