#include "shell/Form_Main.h"

#include "shell/CIni.h"
#include "shell/MaviTextBox.h"
#include "shell/MessageBox.h"
#include "speech/SpVoice.h"
#include "speech/VoicePrompt.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

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
    connect(Cmd_Speak, &QPushButton::clicked, this, [this] { m_Reading->CmdSpeakClick(); });
    connect(Cmd_Pause, &QPushButton::clicked, this, [this] { m_Reading->CmdPauseClick(); });
    connect(Slider_Rate, &QSlider::valueChanged, this,
        [this](int v) { m_Reading->SliderRateChange(v); });
    connect(Slider_Volume, &QSlider::valueChanged, this,
        [this](int v) { m_Reading->SliderVolumeChange(v); });
    connect(Combo_Voice, &QComboBox::activated, this, [this] { SelectVoice(); });
    connect(Combo_Voice, &QComboBox::currentIndexChanged, this, [this] {
        if (m_Loading)
            SelectVoice();
    });
    connect(Check_AllEngine, &QCheckBox::clicked, this, [this] { CheckAllEngineClick(); });
    connect(Combo_Font, &QComboBox::activated, this, [this] { ComboFontClick(); });
    connect(Slider_FontSz, &QSlider::valueChanged, this, [this](int v) { SliderFontSzChange(v); });
    connect(Txt_Input, &MaviTextBox::Change, this, [this] {
        if (!m_Loading)
            m_Dirty = true;
        UpdateCharCount();
    });
    connect(Timer_PosLen, &QTimer::timeout, this, [this] { TimerPosLenTick(); });
    connect(Timer_Update, &QTimer::timeout, this, [this] { Timer_Update->stop(); });
}

void Form_Main::closeEvent(QCloseEvent *event)
{
    // Unsaved text is asked about once documents can be saved; until then
    // closing always goes ahead.
    event->accept();
    Unload();
}

void Form_Main::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
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
    Frame_M->setEnabled(enabled);
}

void Form_Main::setSpeakCaption(const QString &caption)
{
    Cmd_Speak->setText(caption);
}

void Form_Main::setPauseEnabled(bool enabled)
{
    Cmd_Pause->setEnabled(enabled);
}

void Form_Main::setPauseCaption(const QString &caption)
{
    Cmd_Pause->setText(caption);
}

QString Form_Main::pauseTag() const
{
    return Cmd_Pause->property("Tag").toString();
}

void Form_Main::setPauseTag(const QString &tag)
{
    Cmd_Pause->setProperty("Tag", tag);
}

void Form_Main::showClipMessage(const QString &text)
{
    MessageBox::show(text, MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok, this);
}
