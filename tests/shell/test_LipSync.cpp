#include "TestFiles.h"
#include "audio/AudioSink.h"
#include "shell/AppMain.h"
#include "shell/Form_Main.h"
#include "shell/LipSync.h"
#include "shell/MaviTextBox.h"
#include "shell/MessageBox.h"
#include "speech/PhoneMap.h"
#include "speech/SpVoice.h"
#include "system/AppPaths.h"
#include "system/RegistryStore.h"

#include "controls/CBmp.h"
#include "controls/CGdi.h"
#include "controls/CmdX.h"
#include "controls/DrawSurface.h"
#include "controls/PictureSurface.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{
constexpr QRgb Magenta = 0xFFFF00FF;
const QPoint FaceSpot(12, 12), ClosedSpot(25, 25), NarrowSpot(45, 25), MouthSpot(65, 105);

// A see-through picture with one square of colour at spot.
QImage marked(QPoint spot, QRgb colour)
{
    QImage image(148, 148, QImage::Format_RGB32);
    image.fill(Magenta);
    QPainter(&image).fillRect(QRect(spot - QPoint(5, 5), QSize(10, 10)), QColor(colour));
    return image;
}
// Mouth n as the image list draws it, and as its picture file does.
const auto listMouth = [](int n) { return qRgb(n * 10, 200, 0); };
const auto fileMouth = [](int n) { return qRgb(n * 10, 0, 200); };
const QRgb UserMouth = qRgb(1, 2, 3), FaceColour = qRgb(90, 90, 90), Back = qRgb(200, 220, 240);

ImageList testList()
{
    ImageList list;
    list.Add(u"Full"_s, GdiPicture::fromImage(marked(FaceSpot, FaceColour)));
    list.Add(u"Closed"_s, GdiPicture::fromImage(marked(ClosedSpot, qRgb(0, 0, 255))));
    list.Add(u"Narrow"_s, GdiPicture::fromImage(marked(NarrowSpot, qRgb(0, 255, 255))));
    for (int n = 2; n <= 13; ++n)
        list.Add(u"M%1"_s.arg(n), GdiPicture::fromImage(marked(MouthSpot, listMouth(n))));
    return list;
}
} // namespace

class TestLipSync : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    TTSRole::Role m_role;
    std::unique_ptr<DrawSurface> m_screen;
    std::unique_ptr<CGdi> m_gdi;
    CBmp m_bmp;
    std::unique_ptr<LipSync> m_lips;

    QRgb shown(QPoint p) const { return m_screen->image().pixel(p) | 0xFF000000; }
    // The mouth drawn for a phone id.
    QRgb mouthFor(short id)
    {
        m_lips->ShowMouth(id);
        return shown(MouthSpot);
    }
    void putFile(const QString &folder, const QString &name, QRgb colour)
    {
        QVERIFY(marked(MouthSpot, colour).save(folder + u'/' + name, "BMP"));
    }

private Q_SLOTS:
    void init()
    {
        m_role = TTSRole::RoleFor(m_dir.path(), false);
        QDir(m_role.defaultFolder).removeRecursively();
        QDir(m_role.userFolder).removeRecursively();
        QVERIFY(QDir().mkpath(m_role.defaultFolder) && QDir().mkpath(m_role.userFolder));
        m_screen = std::make_unique<DrawSurface>(148, 148, rgbColor(255, 255, 255));
        m_gdi = std::make_unique<CGdi>();
        m_lips = std::make_unique<LipSync>(*m_gdi, m_bmp);
        m_lips->setImageLists(testList(), testList());
        m_lips->setBackColor(rgbColor(200, 220, 240));
        m_lips->bind(m_screen->hDC());
        m_lips->setRole(m_role, GdiPicture());
    }

    void pictureLookupOrder()
    {
        QCOMPARE(shown(FaceSpot), FaceColour);
        QCOMPARE(shown({2, 2}), Back); // the back colour around the face

        for (int n : {2, 10})
            putFile(m_role.defaultFolder, u"mic_mouth_%1.bmp"_s.arg(n), fileMouth(n));
        QCOMPARE(mouthFor(15), fileMouth(2));
        QCOMPARE(shown(FaceSpot), FaceColour);
        QCOMPARE(mouthFor(16), fileMouth(10));
        QCOMPARE(m_lips->BlinkCount(), qint16(0)); // files do not blink

        // Without its file, a mouth comes from the image list.
        QCOMPARE(mouthFor(27), listMouth(3));

        // The user's picture wins, by the phone code (last three digits).
        putFile(m_role.userFolder, u"015.bmp"_s, UserMouth);
        QCOMPARE(mouthFor(1015), UserMouth);

        // Codes outside the table show nothing new.
        for (qint16 id : {14, 432, 999, -15}) {
            m_lips->ShowMouth(16);
            QCOMPARE(mouthFor(id), fileMouth(10));
        }

        // An unreadable file shows nothing new, and no list picture either.
        TestFiles::writeAll(m_role.defaultFolder + u"/mic_mouth_10.bmp"_s, "not a picture");
        m_lips->ShowMouth(15);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"mic_mouth_10.bmp"_s));
        QCOMPARE(mouthFor(16), UserMouth);
    }

    // Every affricate espeak-ng reports for Mandarin is shaped by its hiss:
    // teeth together, mouth 11, as the phone table gives its code 023. The
    // plain stops d and t, which start the same way, keep the relaxed mouth 3.
    void affricatesShowTheTeeth_data()
    {
        QTest::addColumn<QByteArray>("mnemonic");
        QTest::addColumn<int>("mouth");
        QTest::newRow("z") << "ts"_ba << 11;
        QTest::newRow("c") << "tsh"_ba << 11;
        QTest::newRow("zh") << "ts."_ba << 11;
        QTest::newRow("ch") << "ts.h"_ba << 11;
        QTest::newRow("j") << "tS;"_ba << 11;
        QTest::newRow("q") << "tS;h"_ba << 11;
        QTest::newRow("d") << "t"_ba << 3;
        QTest::newRow("t") << "th"_ba << 3;
    }
    void affricatesShowTheTeeth()
    {
        QFETCH(QByteArray, mnemonic);
        QFETCH(int, mouth);
        const short id = PhoneMap::lookup(mnemonic).phoneId;
        QCOMPARE(m_lips->phoneTable().MouthForPhone(id), QString::number(mouth));
        QCOMPARE(mouthFor(id), listMouth(mouth));
    }

    void customDefaultUsesOnlyTheUsersPictures()
    {
        m_lips->setCustomDefault(true);
        putFile(m_role.defaultFolder, u"mic_mouth_2.bmp"_s, fileMouth(2));
        QImage own(148, 148, QImage::Format_RGB32);
        own.fill(Magenta);
        QPainter(&own).fillRect(0, 0, 20, 20, QColor(10, 120, 10));
        m_lips->setRole(m_role, GdiPicture::fromImage(own));
        QCOMPARE(shown(FaceSpot), qRgb(10, 120, 10)); // the user's face, not "Full"

        QCOMPARE(mouthFor(15), Back); // no user picture: unchanged
        putFile(m_role.userFolder, u"015.bmp"_s, UserMouth);
        QCOMPARE(mouthFor(15), UserMouth);
        QCOMPARE(shown(FaceSpot), qRgb(10, 120, 10));

        // Without a role picture the face area keeps only the back colour.
        m_lips->setRole(m_role, GdiPicture());
        QCOMPARE(shown(FaceSpot), Back);
    }

    void imageListBlinks()
    {
        // Counts 2, 8, 14, 20 close the eyes, 5, 11, 17, 23 narrow them; the
        // counter runs 1 … 24 and starts again.
        for (int count = 1; count <= 30; ++count) {
            m_lips->ShowMouth(19); // mouth 5
            const int c = (count - 1) % 24 + 1;
            QCOMPARE(m_lips->BlinkCount(), qint16(c));
            QCOMPARE(shown(MouthSpot), listMouth(5));
            QCOMPARE(shown(ClosedSpot) == qRgb(0, 0, 255), c % 6 == 2);
            QCOMPARE(shown(NarrowSpot) == qRgb(0, 255, 255), c % 6 == 5);
        }
        m_lips->DrawRoleFace();
        m_lips->UpdateMDC();
        QCOMPARE(shown(MouthSpot), Back);
        QCOMPARE(shown(FaceSpot), FaceColour);
    }

    // A reading in the window on the real engine: the mouths drawn follow the
    // phonemes and the face is at rest after the end of the stream.
    void readingMovesTheMouth()
    {
        AppPaths::setOverrideFolder(m_dir.path());
        RegistryStore::instance().setUserFile(m_dir.filePath(u"registry.json"_s));
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        MessageBox::setHandler([](auto, auto, auto, auto) { return MessageBox::Answer::Ok; });
        QDir(m_dir.filePath(u"Images"_s)).removeRecursively(); // no files: the image list
        auto w = Main();
        QVERIFY(w && w->loadCompleted());
        QVERIFY(!w->role().female);
        const ImageList faces = BuiltInRoleImages(false);
        const QImage full = faces.Picture(u"Full"_s).image();
        // At rest: the resting face over the picture's back colour.
        auto atRest = [&]() {
            const QImage screen = w->PicViseme->image().convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < 148; ++y)
                for (int x = 0; x < 148; ++x)
                    if (screen.pixel(x, y)
                        != (full.pixel(x, y) == Magenta ? qRgb(255, 255, 255) : full.pixel(x, y)))
                        return false;
            return true;
        };
        QCoreApplication::processEvents();
        QVERIFY(atRest());

        // The mouth on screen: the one whose every drawn pixel is there.
        auto mouthShown = [&]() {
            const QImage screen = w->PicViseme->image().convertToFormat(QImage::Format_RGB32);
            int found = 0;
            for (int n = 2; n <= 13; ++n) {
                const QImage m = faces.Picture(u"M%1"_s.arg(n)).image();
                bool all = true;
                for (int y = 0; y < 148 && all; ++y)
                    for (int x = 0; x < 148 && all; ++x)
                        all = m.pixel(x, y) == Magenta || m.pixel(x, y) == screen.pixel(x, y);
                if (all)
                    found = found ? -1 : n;
            }
            return found;
        };
        // Each phoneme shows the mouth the table gives its phone.
        QList<int> mouths, ofMa;
        int wrong = 0;
        bool inMa = false;
        connect(w->voice(), &SpVoice::Word, this,
            [&](int, qint64, int position, int) { inMa = position == 2; });
        connect(w->voice(), &SpVoice::Phoneme, this, [&](int, qint64, int, short, int, short id) {
            mouths.append(mouthShown());
            wrong += mouths.last() != w->lipSync()->phoneTable().MouthForPhone(id).toInt();
            if (inMa)
                ofMa.append(mouths.last());
        });
        w->Txt_Input->setText(u"你好嗎，我很好。"_s);
        QTest::mouseClick(w->Cmd_Speak, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(w->Cmd_Speak->Caption(), u"朗讀"_s, 20000);

        QVERIFY2(mouths.size() >= 10, qPrintable(u"%1 phonemes"_s.arg(mouths.size())));
        QCOMPARE(wrong, 0);
        QVERIFY(QSet<int>(mouths.begin(), mouths.end()).size() >= 5);
        QCOMPARE(ofMa.mid(0, 2), QList<int>({2, 4})); // 嗎: m with closed lips, then an open a
        QVERIFY(atRest());
        w->close();
        AppPaths::setOverrideFolder(QString());
    }
};

QTEST_MAIN(TestLipSync)
#include "test_LipSync.moc"
