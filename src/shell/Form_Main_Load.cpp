// Start-up and shutdown of the main window, and the window's handling of the
// voice list, the typeface list and the character count.

#include "controls/TranslateColor.h"
#include "document/AppFont.h"
#include "shell/AppMain.h"
#include "shell/CIni.h"
#include "shell/Form_Main.h"
#include "shell/MaviTextBox.h"
#include "speech/SpVoice.h"
#include "speech/TTSRole.h"
#include "speech/VoicePrompt.h"
#include "system/AppPaths.h"
#include "system/CReg.h"
#include "system/SysDirs.h"

#include "controls/BmpBtnX.h"
#include "controls/CBmp.h"
#include "controls/CGdi.h"
#include "controls/CTooltip.h"
#include "controls/CmdX.h"
#include "controls/FrameX.h"
#include "controls/PictureSurface.h"
#include "controls/SliderEx.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <cmath>

namespace
{
const QString TTS = QStringLiteral("TTS");
const QString Option = QStringLiteral("Option");

// A stored slider value outside the slider's range becomes its minimum.
qint16 inRangeOrMin(qint16 value, const SliderEx *slider)
{
    return (value > slider->Max() || value < slider->Min()) ? slider->Min() : value;
}

} // namespace

bool Form_Main::Load()
{
    // Steps 1–25: a failure ends the program.
    Cmd_ChgIcon->hide();

    m_Ini = std::make_unique<CIni>();
    m_Ini->setFileName(AppPaths::settingsFile());
    m_CustomDefault = m_Ini->GetBOOL(Option, QStringLiteral("CustomDefault"), false);
    const bool useXml = m_Ini->GetBOOL(TTS, QStringLiteral("UseXML"), true);

    m_TTS = std::make_unique<VoicePrompt>();
    m_TTS->SetUseXML(useXml);
    m_TTS->SetValue(0);
    m_TTS->SetValue(10);
    m_TTS->Setup(101, 0, 0);

    ApplyCaptions();

    m_Bmp = std::make_unique<CBmp>();
    m_Gdi = std::make_unique<CGdi>();

    m_Voice = std::make_unique<SpVoice>();
    if (!m_Voice->isEngineAvailable()) {
        // Without speech the program ends here, silently and writing nothing.
        m_Voice.reset();
        m_Unloaded = true;
        return false;
    }
    TTSRole::PublishVoiceAttributes(m_Voice->GetVoices());
    m_Reading = std::make_unique<ReadingController>(*this, *m_Voice, m_TTS.get());
    m_Reading->connectVoiceEvents();
    connect(m_Voice.get(), &SpVoice::VoiceChange, this,
        [this](int, qint64, const SpObjectToken &token) { OnVoiceChange(token); });
    connect(m_Voice.get(), &SpVoice::EndStream, this, [this] { RestoreChosenVoiceEntry(); });
    connectControls();

    Check_AllEngine->setChecked(m_Ini->GetVal(TTS, QStringLiteral("All"), 0) != 0);
    FillVoiceList(Check_AllEngine->isChecked());
    SelectStoredVoice();

    Frame_P->resize(150, 150);
    for (FrameX *f : {Frame_L, Frame_M, Frame_R})
        f->resize(f->width(), 150);
    PicViseme->resize(148, 148);
    CentreViseme();

    const qint16 rate = inRangeOrMin(m_Ini->GetVal(TTS, QStringLiteral("Rate"), 50), Slider_Rate);
    Slider_Rate->setValue(rate);
    m_Reading->SliderRateChange(rate);
    const qint16 volume = inRangeOrMin(
        m_Ini->GetVal(TTS, QStringLiteral("Volume"), Slider_Volume->Max()), Slider_Volume);
    Slider_Volume->setValue(volume);
    m_Voice->setVolume(volume);

    m_Reading->SetSpeakFlags(useXml);
    m_Reading->SetPauseState(false, false);
    Slider_FontSz->setValue(12);
    m_Reading->m_Prompt = m_Ini->GetBOOL(Option, QStringLiteral("Prompt"), false);

    FillFontList();
    if (Combo_Font->count() == 0)
        return true;

    const QString fontName
        = m_Ini->GetSz(Option, QStringLiteral("FntName"), QStringLiteral("Arial"));

    // Steps from the text box font on: a failure only ends Load early.
    m_RoleFont.setFamily(fontName);
    Txt_Input->setFont(m_RoleFont);
    Combo_Font->setCurrentText(Txt_Input->FontName());

    const qint16 size = inRangeOrMin(
        m_Ini->GetVal(Option, QStringLiteral("FntSize"), Slider_FontSz->Min()), Slider_FontSz);
    Slider_FontSz->setValue(size);
    SliderFontSzChange(size);

    if (m_Ini->GetBOOL(Option, QStringLiteral("Fullscreen"), false))
        setWindowState(windowState() | Qt::WindowMaximized);

    m_LastDir = m_Ini->GetSz(QStringLiteral("Last"), QStringLiteral("Path"), GetSpecialFolder(5));

    m_Gdi->AllocMDC(PicViseme->hDC(), 0, 0, PicViseme->width(), PicViseme->height());

    UpdateCharCount();
    Txt_Input->Invoke(31, 65535);

    Timer_PosLen->setSingleShot(true);
    Timer_Update->setSingleShot(true);
    Timer_PosLen->start();
    Timer_Update->start();
    m_LoadCompleted = true;
    return true;
}

void Form_Main::TimerPosLenTick()
{
    Timer_PosLen->stop();
    // Values that do not fit the 16-bit selection count as "no stored position".
    bool okStart = false, okLength = false;
    const qint16 start
        = toInt16(m_Ini->GetLong(QStringLiteral("Text"), QStringLiteral("SelPos"), -1), &okStart);
    const qint16 length
        = toInt16(m_Ini->GetLong(QStringLiteral("Text"), QStringLiteral("SelLen"), -1), &okLength);
    Txt_Input->setSelStart(okStart ? start : -1);
    Txt_Input->setSelLength(okLength ? length : -1);
}

void Form_Main::Unload()
{
    if (m_Unloaded || !m_Ini)
        return;
    m_Unloaded = true;
    writeSettings();

    // The voice is silenced and released without running the event loop, so
    // nothing reaches the window or the voice while they are taken down.
    if (m_Voice)
        m_Voice->disconnect();
    m_Reading.reset();
    m_Voice.reset();
    m_Bmp.reset();
    m_Gdi.reset();
    m_Ini.reset();
    m_VoiceIndexes.clear();
    m_Tooltips.clear();
    m_RolePicture = QImage();
    m_TTS.reset();
}

void Form_Main::writeSettings()
{
    CIni &ini = *m_Ini;
    ini.SetVal(TTS, QStringLiteral("RoleID"), qint16(Combo_Voice->currentIndex()));
    ini.SetVal(TTS, QStringLiteral("Rate"), Slider_Rate->Value());
    ini.SetVal(TTS, QStringLiteral("Volume"), Slider_Volume->Value());
    ini.SetVal(TTS, QStringLiteral("All"), qint16(Check_AllEngine->isChecked() ? 1 : 0));
    ini.SetSz(Option, QStringLiteral("FntName"), Txt_Input->FontName());
    ini.SetVal(Option, QStringLiteral("FntSize"), Slider_FontSz->Value());
    ini.SetBOOL(Option, QStringLiteral("Prompt"), m_Reading && m_Reading->m_Prompt);
    ini.SetBOOL(Option, QStringLiteral("Fullscreen"), isMaximized());
    ini.SetSz(QStringLiteral("Last"), QStringLiteral("Path"), m_LastDir);
    // During a reading the selection shows the word being read; the user's
    // own selection is the one saved when the reading started.
    const bool reading = m_Reading && m_Reading->m_Speaking;
    ini.SetLong(QStringLiteral("Text"), QStringLiteral("SelPos"),
        reading ? m_Reading->m_SavedSelStart : Txt_Input->SelStart());
    ini.SetLong(QStringLiteral("Text"), QStringLiteral("SelLen"),
        reading ? m_Reading->m_SavedSelLength : Txt_Input->SelLength());
    SaveColour(ini, QStringLiteral("BgColor"), fromQColor(palette().color(QPalette::Window)));
    SaveColour(ini, QStringLiteral("FrameColor"), Frame_D->BackColor());
    SaveColour(ini, QStringLiteral("PhotoColor"), Frame_P->BackColor());
    SaveColour(
        ini, QStringLiteral("KeyWordColor"), fromQColor(L_V1->palette().color(QPalette::Window)));
}

// Typefaces and character count ---------------------------------------------

namespace
{
std::function<QStringList()> g_fontFamilies;
}

void Form_Main::setFontFamilySource(std::function<QStringList()> source)
{
    g_fontFamilies = std::move(source);
}

void Form_Main::FillFontList()
{
    Combo_Font->clear();
    Combo_Font->addItems(
        AppFont::OrderFontFamilies(g_fontFamilies ? g_fontFamilies() : QFontDatabase::families()));
}

void Form_Main::ComboFontClick()
{
    m_RoleFont.setFamily(Combo_Font->currentText());
    Txt_Input->setFont(m_RoleFont);
}

void Form_Main::SliderFontSzChange(int value)
{
    m_RoleFont.setPointSize(value);
    Txt_Input->setFont(m_RoleFont);
}

void Form_Main::UpdateCharCount()
{
    SB_Panel1->setText(AppFont::FormatCharCount(Txt_Input->crlfLength()));
    SB_Panel2->setText(AppFont::CharLimitText());
}
