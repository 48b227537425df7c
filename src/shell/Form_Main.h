#pragma once
// The main window, assembled from one object per area and the files that
// build it:
//   Form_Main.cpp          construction, the control signals wired to the
//                          areas, window events, and the ReadingView and
//                          VoiceListView the areas reach the window through;
//   Form_Main_Compose.cpp  the controls, their captions, colours and hints;
//   Form_Main_Layout.cpp   the layout on every resize, the tooltip windows;
//   Form_Main_Load.cpp     start-up and shutdown with the settings they read
//                          and write, the typefaces, text size and count;
//   Form_Main_LipSync.cpp  the role picture and its moving mouth;
//   Form_Main_Documents.cpp  the documents area: open, save, search, print;
//   Form_Main_Export.cpp   the MP3 converter and the export area;
//   Form_Main_HotKeys.cpp  the hot keys and the voice prompts;
//   Form_Main_Help.cpp     the help bar and the link pictures;
//   Form_Main_Access.cpp   names, Tab order and first focus for screen
//                          readers and the keyboard.
// Reading aloud lives in ReadingController, the voice list and the current
// role in VoiceList; the window owns both and holds no logic of theirs.

#include "speech/ReadingController.h"
#include "speech/VoiceList.h"
#include "system/Numeric.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>

class AppHKey;
class CIni;
class DocumentsArea;
class CMP3;
class ExportArea;
class PromptHover;
class MaviTextBox;
class SpObjectToken;
class SpVoice;
class VoicePrompt;
class BmpBtnX;
class CBmp;
class CGdi;
class CTooltip;
class CmdX;
class FrameX;
class LipSync;
class PictureSurface;
class SliderEx;
class QCheckBox;
class QComboBox;
class QLabel;
class QStatusBar;
class QTimer;

class Form_Main : public QWidget, public ReadingView, public VoiceListView
{
    Q_OBJECT
public:
    explicit Form_Main(QWidget *parent = nullptr);
    ~Form_Main() override;

    // Runs the start-up steps. Returns false when start-up must end the
    // program (a failure before the text box font is set).
    bool Load();
    // Writes the settings back and releases the voice; runs once.
    void Unload();

    // The installed font families; tests and benchmarks hand in their own
    // list (an empty function restores the real one).
    static void setFontFamilySource(std::function<QStringList()> source);

    SpVoice *voice() const { return m_Voice.get(); }
    VoicePrompt *prompt() const { return m_TTS.get(); }
    QString lastDir() const { return m_LastDir; }
    // The folder the next open or save dialog starts in.
    void setLastDir(const QString &folder) { m_LastDir = folder; }
    const QImage &rolePicture() const { return m_RolePicture; }
    const TTSRole::Role &role() const { return m_Voices->role(); }
    LipSync *lipSync() const { return m_LipSync.get(); }
    // The tooltip windows of the last layout pass, by control name.
    const std::map<QString, std::unique_ptr<CTooltip>> &tooltips() const { return m_Tooltips; }
    bool loadCompleted() const { return m_LoadCompleted; }
    DocumentsArea *documents() const { return m_Documents.get(); }

    // Runs the command of hot-key row `index` (0-12); other values do nothing.
    void CtrlKeyProc(qint16 index);
    // Gives a hot-key row its command, in place of the button it clicks.
    void setHotKeyCommand(qint16 row, std::function<void()> command);
    // The hot keys, for whoever must withdraw them around a message.
    AppHKey *hotKeys() const;

    // ReadingView
    int voiceCount() const override;
    QString text() const override;
    int selStart() const override;
    int selLength() const override;
    void setSelStart(int start) override;
    void setSelLength(int length) override;
    void setVoicePaneEnabled(bool enabled) override;
    void setSpeakCaption(const QString &caption) override;
    void setPauseEnabled(bool enabled) override;
    void setPauseCaption(const QString &caption) override;
    QString pauseTag() const override;
    void setPauseTag(const QString &tag) override;
    void showClipMessage(const QString &text) override;
    void drawRoleFace(bool flush) override;
    void showMouth(short phoneId) override;

    // VoiceListView
    void setVoiceEntries(const QStringList &names) override;
    void setVoiceNote(const QString &note) override;
    int currentVoiceEntry() const override;
    QString currentVoiceText() const override;
    void setCurrentVoiceEntry(int entry) override;
    bool showAllVoices() const override;
    void setSpeechButtonsEnabled(bool enabled) override;
    void showRole(const TTSRole::Role &role, const QString &picturePath) override;

    static constexpr int Tpx = Numeric::TwipsPerPixel;
    static constexpr int MinOuterWidthTwips = 10500;
    static constexpr int MinOuterHeightTwips = 4950;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Form_Main.cpp
    void connectControls();
    // Form_Main_Compose.cpp
    void createControls();
    void ApplyCaptions();
    // Form_Main_Layout.cpp (with resizeEvent and showEvent)
    void Resize();
    // The panes Resize lays out, top to bottom, left to right.
    void placeTitleBand();
    void placePaneRow(int W);
    void placePhotoPane();
    void placeSpeechPane();
    void placeVoicePane();
    void placeHelpBar();
    void placeDocumentPane(int W, int bottom);
    void CentreViseme();
    void PaintTitleBand();
    void BuildTooltips();
    // Form_Main_Load.cpp
    void FillFontList();
    void ComboFontClick();
    void SliderFontSzChange(int size);
    // Text size in points: the slider's Min plus its value.
    int fontSize() const;
    void setFontSizeThumb(int size);
    void UpdateCharCount();
    void TimerPosLenTick();
    void writeSettings();
    // Form_Main_LipSync.cpp
    void LoadLipSync();
    void BindMouthBuffer();
    // Form_Main_Documents.cpp
    void createDocuments();
    // Form_Main_Export.cpp
    void CreateMP3();
    void CreateExportArea();
    // Form_Main_HotKeys.cpp
    void connectHotKeys();
    void releaseHotKeys();
    void stepRate(int delta);
    void stepVolume(int delta);
    // Form_Main_Help.cpp
    void connectHelpBar();
    // Form_Main_Access.cpp
    void SetUpAccessibility();

    std::unique_ptr<CIni> m_Ini;
    std::unique_ptr<VoicePrompt> m_TTS;
    std::unique_ptr<CBmp> m_Bmp;
    std::unique_ptr<CGdi> m_Gdi; // draws the mouth picture into PicViseme
    std::unique_ptr<CMP3> m_MP3;
    std::unique_ptr<SpVoice> m_Voice;
    std::unique_ptr<ReadingController> m_Reading;
    std::unique_ptr<VoiceList> m_Voices;
    std::unique_ptr<LipSync> m_LipSync; // the face in PicViseme
    std::unique_ptr<DocumentsArea> m_Documents;
    std::unique_ptr<ExportArea> m_Export;
    QImage m_RolePicture; // the user's own role picture, or null
    std::map<QString, std::unique_ptr<CTooltip>> m_Tooltips;
    std::unique_ptr<AppHKey> m_HotKeys;
    std::unique_ptr<PromptHover> m_Hover;
    std::array<std::function<void()>, 13> m_HotKeyCommands;

    bool m_CustomDefault = false;
    bool m_LoadCompleted = false;
    bool m_Unloaded = false;
    // Whether the window comes back maximised: kept while it is minimised.
    bool m_RestoresMaximized = false;
    QString m_LastDir;
    QFont m_RoleFont; // PicRole's font: face and size go through it to the text box

public:
    // Controls, named as the window names them (objectName equals the name).
    FrameX *Frame_P = nullptr, *Frame_L = nullptr, *Frame_M = nullptr, *Frame_R = nullptr,
           *Frame_D = nullptr;
    PictureSurface *PicViseme = nullptr;
    QLabel *PicTitle = nullptr, *ImgLink1 = nullptr, *ImgLink2 = nullptr;
    BmpBtnX *Cmd_ChgIcon = nullptr, *Cmd_H1 = nullptr, *Cmd_H2 = nullptr, *Cmd_H4 = nullptr,
            *Cmd_H5 = nullptr;
    CmdX *Cmd_Speak = nullptr, *Cmd_Pause = nullptr, *Cmd_SaveWAV = nullptr,
         *Cmd_SaveWAVnMP3 = nullptr;
    CmdX *Cmd_OpenTxt = nullptr, *Cmd_SaveTxt = nullptr, *Cmd_SearchT = nullptr,
         *Cmd_PrintDC = nullptr;
    QLabel *L_I0 = nullptr, *L_F0 = nullptr, *L_F1 = nullptr, *L_F2 = nullptr, *L_V0 = nullptr,
           *L_V1 = nullptr, *L_V2 = nullptr, *L_TxtArea = nullptr, *L_Font = nullptr,
           *L_FS1 = nullptr, *L_FS2 = nullptr;
    QComboBox *Combo_Voice = nullptr, *Combo_Font = nullptr;
    QCheckBox *Check_AllEngine = nullptr;
    SliderEx *Slider_Rate = nullptr, *Slider_Volume = nullptr, *Slider_FontSz = nullptr;
    MaviTextBox *Txt_Input = nullptr;
    QStatusBar *SB = nullptr;
    QLabel *SB_Panel1 = nullptr, *SB_Panel2 = nullptr;
    QTimer *Timer_PosLen = nullptr, *Timer_Update = nullptr, *Timer_Cursor = nullptr;
};
