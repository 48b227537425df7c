#include "shell/Form_Main.h"

#include "export/CMP3.h"
#include "shell/AppHKey.h"
#include "shell/ExportArea.h"
#include "shell/LipSync.h"
#include "shell/documents/DocumentsArea.h"
#include "speech/PromptHover.h"

#include "shell/MaviTextBox.h"
#include "shell/MessageBox.h"
#include "speech/SpVoice.h"
#include "speech/VoicePrompt.h"
#include "system/CIni.h"
#include "system/Log.h"

#include "controls/BmpBtnX.h"
#include "controls/CBmp.h"
#include "controls/CGdi.h"
#include "controls/CTooltip.h"
#include "controls/CmdX.h"
#include "controls/FrameX.h"
#include "controls/SliderEx.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QTimer>

Form_Main::Form_Main(QWidget *parent)
    : QWidget(parent)
{
    createControls();
    // Start sizes before the first layout: the initial client area and the
    // fixed panes of the top row.
    resize(675, 436);
    Frame_P->resize(150, 150);
    Frame_L->resize(Frame_L->width(), 150);
    Frame_M->resize(Frame_M->width(), 150);
    Frame_R->resize(44, 150);
}

Form_Main::~Form_Main()
{
    Unload();
}

void Form_Main::connectControls()
{
    connect(Cmd_Speak, &CmdX::Click, this, [this] { m_Reading->CmdSpeakClick(); });
    connect(Cmd_Pause, &CmdX::Click, this, [this] { m_Reading->CmdPauseClick(); });
    connect(Slider_Rate, &SliderEx::ScrollEx, this,
        [this](qint16 v) { m_Reading->SliderRateChange(v); });
    connect(Slider_Volume, &SliderEx::ScrollEx, this,
        [this](qint16 v) { m_Reading->SliderVolumeChange(v); });
    connect(Combo_Voice, &QComboBox::activated, this, [this] { m_Voices->SelectVoice(); });
    connect(
        Check_AllEngine, &QCheckBox::clicked, this, [this] { m_Voices->CheckAllEngineClick(); });
    connect(Combo_Font, &QComboBox::activated, this, [this] { ComboFontClick(); });
    connect(Slider_FontSz, &SliderEx::ScrollEx, this, [this](qint16 v) { SliderFontSzChange(v); });
    connect(Txt_Input, &MaviTextBox::Change, this, [this] {
        if (m_Documents)
            m_Documents->m_Files.TextChange();
        UpdateCharCount();
    });
    connect(Timer_PosLen, &QTimer::timeout, this, [this] { TimerPosLenTick(); });
    connect(Timer_Update, &QTimer::timeout, this, [this] { Timer_Update->stop(); });
    connectHotKeys();
    connectHelpBar();
}

void Form_Main::closeEvent(QCloseEvent *event)
{
    if (m_Documents && m_Documents->QueryUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    Unload();
}

void Form_Main::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (!isMinimized())
        m_RestoresMaximized = isMaximized();
    Resize();
}

// ReadingView --------------------------------------------------------------

int Form_Main::voiceCount() const
{
    return Combo_Voice->count();
}

QString Form_Main::text() const
{
    return Txt_Input->Text();
}

int Form_Main::selStart() const
{
    return Txt_Input->SelStart();
}

int Form_Main::selLength() const
{
    return Txt_Input->SelLength();
}

void Form_Main::setSelStart(int start)
{
    Txt_Input->setSelStart(start);
}

void Form_Main::setSelLength(int length)
{
    Txt_Input->setSelLength(length);
}

void Form_Main::setVoicePaneEnabled(bool enabled)
{
    Frame_M->setEnabledValue(enabled);
}

void Form_Main::setSpeakCaption(const QString &caption)
{
    Cmd_Speak->setCaption(caption);
}

void Form_Main::setPauseEnabled(bool enabled)
{
    Cmd_Pause->setEnabledValue(enabled);
}

void Form_Main::setPauseCaption(const QString &caption)
{
    Cmd_Pause->setCaption(caption);
}

QString Form_Main::pauseTag() const
{
    return Cmd_Pause->Tag();
}

void Form_Main::setPauseTag(const QString &tag)
{
    Cmd_Pause->setTag(tag);
}

void Form_Main::showClipMessage(const QString &text)
{
    MessageBox::show(text, MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok, this);
}

// VoiceListView --------------------------------------------------------------

void Form_Main::setVoiceEntries(const QStringList &names)
{
    const QSignalBlocker quiet(Combo_Voice);
    Combo_Voice->clear();
    Combo_Voice->addItems(names);
    Combo_Voice->setCurrentIndex(-1);
}

void Form_Main::setVoiceNote(const QString &note)
{
    Combo_Voice->setToolTip(note);
    Combo_Voice->setAccessibleDescription(note);
}

int Form_Main::currentVoiceEntry() const
{
    return Combo_Voice->currentIndex();
}

QString Form_Main::currentVoiceText() const
{
    return Combo_Voice->currentText();
}

void Form_Main::setCurrentVoiceEntry(int entry)
{
    const QSignalBlocker quiet(Combo_Voice);
    Combo_Voice->setCurrentIndex(entry);
}

bool Form_Main::showAllVoices() const
{
    return Check_AllEngine->isChecked();
}

void Form_Main::setSpeechButtonsEnabled(bool enabled)
{
    for (CmdX *b : {Cmd_Speak, Cmd_SaveWAV, Cmd_SaveWAVnMP3})
        b->setEnabledValue(enabled);
}

void Form_Main::showRole(const TTSRole::Role &role, const QString &picturePath)
{
    m_RolePicture = QImage();
    if (!picturePath.isEmpty() && !m_RolePicture.load(picturePath))
        qCWarning(lcShell) << "the role picture" << picturePath << "could not be read";
    CentreViseme();
    if (m_LipSync)
        m_LipSync->setRole(role, GdiPicture::fromImage(m_RolePicture));
}
