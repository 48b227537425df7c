// Start-up and shutdown of the main window with the settings they read and
// write, and the window's typefaces, text size and character count.

#include "controls/TranslateColor.h"
#include "export/CMP3.h"
#include "shell/AppFont.h"
#include "shell/AppMain.h"
#include "shell/ExportArea.h"
#include "shell/Form_Main.h"
#include "shell/LipSync.h"
#include "shell/MaviTextBox.h"
#include "shell/documents/DocumentsArea.h"
#include "speech/SpVoice.h"
#include "speech/VoicePrompt.h"
#include "system/AppPaths.h"
#include "system/CIni.h"
#include "system/Log.h"
#include "system/SettingsKeys.h"
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
#include <algorithm>
#include <cmath>

using namespace Settings;

namespace
{
// A stored slider value outside the slider's range becomes its minimum.
qint16 inRangeOrMin(qint16 value, const SliderEx *slider, const QString &key)
{
    if (value <= slider->Max() && value >= slider->Min())
        return value;
    qCWarning(lcSettings).noquote() << "stored" << key << value << "is outside" << slider->Min()
                                    << "to" << slider->Max() << "and taken as" << slider->Min();
    return slider->Min();
}

// The stored selection bound: a value that does not fit 16 bits counts as
// "no stored position".
qint16 storedSelection(const CIni &ini, const QString &key)
{
    bool ok = false;
    const qint32 stored = ini.GetLong(Section::Text, key, -1);
    const qint16 value = toInt16(stored, &ok);
    if (ok)
        return value;
    qCWarning(lcSettings).noquote()
        << "stored" << key << stored << "does not fit a selection; none is restored";
    return -1;
}
} // namespace

bool Form_Main::Load()
{
    // Steps 1–25: a failure ends the program.
    Cmd_ChgIcon->hide();

    m_Ini = std::make_unique<CIni>();
    m_Ini->setFileName(AppPaths::settingsFile());
    m_CustomDefault = m_Ini->GetBOOL(Section::Option, Key::CustomDefault, false);
    const bool useXml = m_Ini->GetBOOL(Section::TTS, Key::UseXML, true);

    m_TTS = std::make_unique<VoicePrompt>();
    m_TTS->SetUseXML(useXml);
    m_TTS->SetValue(0);
    m_TTS->SetValue(10);
    m_TTS->Setup(101, 0, 0);

    ApplyCaptions();
    SetUpAccessibility();

    m_Bmp = std::make_unique<CBmp>();
    m_Gdi = std::make_unique<CGdi>();
    CreateMP3();

    m_Voice = std::make_unique<SpVoice>();
    if (!m_Voice->isEngineAvailable()) {
        // Without speech the program ends here, silently and writing nothing.
        m_Voice.reset();
        m_Unloaded = true;
        return false;
    }
    LoadLipSync();
    TTSRole::PublishVoiceAttributes(m_Voice->GetVoices());
    m_Reading = std::make_unique<ReadingController>(*this, *m_Voice, m_TTS.get());
    m_Reading->connectVoiceEvents();
    m_Voices = std::make_unique<VoiceList>(
        *this, *m_Voice, *m_Ini, m_TTS.get(), GetProductKey(), AppPaths::programFolder());
    m_Voices->connectVoiceEvents();
    createDocuments();
    connectControls();
    CreateExportArea();

    Check_AllEngine->setChecked(m_Ini->GetVal(Section::TTS, Key::All, 0) != 0);
    m_Voices->FillVoiceList(Check_AllEngine->isChecked());
    m_Voices->SelectStoredVoice();

    Frame_P->resize(150, 150);
    for (FrameX *f : {Frame_L, Frame_M, Frame_R})
        f->resize(f->width(), 150);
    PicViseme->resize(148, 148);
    CentreViseme();

    const qint16 rate
        = inRangeOrMin(m_Ini->GetVal(Section::TTS, Key::Rate, 50), Slider_Rate, Key::Rate);
    Slider_Rate->setValue(rate);
    m_Reading->SliderRateChange(rate);
    const qint16 volume = inRangeOrMin(
        m_Ini->GetVal(Section::TTS, Key::Volume, Slider_Volume->Max()), Slider_Volume, Key::Volume);
    Slider_Volume->setValue(volume);
    m_Voice->setVolume(volume);

    m_Reading->SetSpeakFlags(useXml);
    m_Reading->SetPauseState(false, false);
    setFontSizeThumb(12);
    m_Reading->setPromptEnabled(m_Ini->GetBOOL(Section::Option, Key::Prompt, false));

    FillFontList();
    if (Combo_Font->count() == 0)
        return true;

    const QString fontName = m_Ini->GetSz(Section::Option, Key::FntName, QStringLiteral("Arial"));

    // Steps from the text box font on: a failure only ends Load early.
    m_RoleFont.setFamily(fontName);
    Txt_Input->setFont(m_RoleFont);
    // The list shows the face the text box really uses, which the platform
    // may have put in place of the stored one.
    const QString face = Txt_Input->FontName();
    if (face != fontName)
        qCInfo(lcSettings) << "stored face" << fontName << "is shown as" << face;
    int shown = Combo_Font->findText(face, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (shown < 0) {
        Combo_Font->addItem(face);
        shown = Combo_Font->count() - 1;
    }
    Combo_Font->setCurrentIndex(shown);

    const qint16 size
        = inRangeOrMin(m_Ini->GetVal(Section::Option, Key::FntSize, Slider_FontSz->Min()),
            Slider_FontSz, Key::FntSize);
    setFontSizeThumb(size);
    SliderFontSzChange(size);

    if (m_Ini->GetBOOL(Section::Option, Key::Fullscreen, false))
        setWindowState(windowState() | Qt::WindowMaximized);

    m_LastDir = m_Ini->GetSz(Section::Last, Key::Path, GetSpecialFolder(SysDirs::CSIDL_PERSONAL));

    BindMouthBuffer();

    UpdateCharCount();
    Txt_Input->Invoke(MaviTextBox::DispidFeatures, MaviTextBox::EveryFeature);

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
    if (!m_Ini)
        return; // closed before start-up was over
    Txt_Input->setSelStart(storedSelection(*m_Ini, Key::SelPos));
    Txt_Input->setSelLength(storedSelection(*m_Ini, Key::SelLen));
}

void Form_Main::Unload()
{
    if (m_Unloaded || !m_Ini)
        return;
    m_Unloaded = true;
    // A stop signal can close the window before the timers Load() started
    // have fired; none may run against what is released below.
    for (QTimer *timer : findChildren<QTimer *>())
        timer->stop();
    writeSettings();

    // The voice is silenced and released without running the event loop, so
    // nothing reaches the window or the voice while they are taken down; the
    // controls, wired to the areas, no longer reach them either.
    if (m_Voice)
        m_Voice->disconnect();
    for (QObject *control : findChildren<QObject *>())
        disconnect(control, nullptr, this, nullptr);
    m_Documents.reset();
    m_Export.reset();
    releaseHotKeys();
    m_Reading.reset();
    m_Voices.reset();
    m_Voice.reset();
    m_LipSync.reset();
    m_Bmp.reset();
    m_Gdi.reset();
    m_MP3.reset();
    m_Ini.reset();
    m_Tooltips.clear();
    m_RolePicture = QImage();
    m_TTS.reset();
}

void Form_Main::writeSettings()
{
    CIni &ini = *m_Ini;
    // While markup shows another voice, the user's own choice is stored.
    ini.SetVal(Section::TTS, Key::RoleID, qint16(m_Voices ? m_Voices->chosenEntry() : -1));
    ini.SetVal(Section::TTS, Key::Rate, Slider_Rate->Value());
    ini.SetVal(Section::TTS, Key::Volume, Slider_Volume->Value());
    ini.SetVal(Section::TTS, Key::All, qint16(Check_AllEngine->isChecked() ? 1 : 0));
    ini.SetSz(Section::Option, Key::FntName, Txt_Input->FontName());
    ini.SetVal(Section::Option, Key::FntSize, qint16(fontSize()));
    ini.SetBOOL(Section::Option, Key::Prompt, m_Reading && m_Reading->promptEnabled());
    // A minimised window stores the state it comes back in.
    ini.SetBOOL(
        Section::Option, Key::Fullscreen, isMinimized() ? m_RestoresMaximized : isMaximized());
    ini.SetSz(Section::Last, Key::Path, m_LastDir);
    // During a reading the selection shows the word being read; the user's
    // own selection is the one saved when the reading started.
    const bool reading = m_Reading && m_Reading->isSpeaking();
    ini.SetLong(
        Section::Text, Key::SelPos, reading ? m_Reading->savedSelStart() : Txt_Input->SelStart());
    ini.SetLong(
        Section::Text, Key::SelLen, reading ? m_Reading->savedSelLength() : Txt_Input->SelLength());
    SaveColour(ini, Key::BgColor, fromQColor(palette().color(QPalette::Window)));
    SaveColour(ini, Key::FrameColor, Frame_D->BackColor());
    SaveColour(ini, Key::PhotoColor, Frame_P->BackColor());
    SaveColour(ini, Key::KeyWordColor, fromQColor(L_V1->palette().color(QPalette::Window)));
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

void Form_Main::SliderFontSzChange(int size)
{
    m_RoleFont.setPointSize(size);
    Txt_Input->setFont(m_RoleFont);
}

int Form_Main::fontSize() const
{
    return Slider_FontSz->Min() + Slider_FontSz->Value();
}

void Form_Main::setFontSizeThumb(int size)
{
    // The slider's value is the thumb's offset from Min.
    const int offset
        = std::clamp(size - Slider_FontSz->Min(), 0, Slider_FontSz->Max() - Slider_FontSz->Min());
    Slider_FontSz->setValue(qint16(offset));
}

void Form_Main::UpdateCharCount()
{
    SB_Panel1->setText(AppFont::FormatCharCount(Txt_Input->crlfLength()));
    SB_Panel2->setText(AppFont::CharLimitText());
}
