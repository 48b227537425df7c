#include "PixelTest.h"
#include "audio/AudioSink.h"
#include "controls/BmpBtnX.h"
#include "controls/WaveSound.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace
{
// A strip of four 40 x 40 frames at `density` pixels a pixel, whose every
// pixel tells its own place: red = row / 2, green = column, blue = 200 in
// frame 3.
QPixmap makeStrip(int density = 1)
{
    QImage img(40 * density, 160 * density, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(y / 2, x, y >= 120 * density ? 200 : 0));
    QPixmap strip = QPixmap::fromImage(img);
    strip.setDevicePixelRatio(density);
    return strip;
}

struct Rig {
    std::unique_ptr<QWidget> host = std::make_unique<QWidget>();
    BmpBtnX *btn = nullptr;
    Rig()
    {
        host->resize(300, 200);
        host->move(40, 40);
        btn = new BmpBtnX(host.get(), u"Cmd_H1"_s);
        btn->move(20, 20);
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host.get()));
        // The pointer starts well away from the button.
        QTest::mouseMove(host.get(), QPoint(290, 190));
    }
};

const QRgb Grey = qRgb(0xCF, 0xCF, 0xCF);
} // namespace

class TestBmpBtnX : public QObject
{
    Q_OBJECT
    QList<QByteArray> m_Played;
    QStringList m_Errors;

private Q_SLOTS:
    void init()
    {
        m_Played.clear();
        m_Errors.clear();
        BmpBtnX::setSoundPlayer([this](const QByteArray &b) { m_Played << b; });
        BmpBtnX::setErrorReporter([this](const QString &t) { m_Errors << t; });
    }
    void cleanup()
    {
        BmpBtnX::setSoundPlayer({});
        BmpBtnX::setErrorReporter({});
    }

    void defaults()
    {
        BmpBtnX b;
        QCOMPARE(b.Align(), 5);
        QCOMPARE(b.Caption(), u"Command"_s);
        QCOMPARE(b.TransColor(), 0xFFFFFF);
        QCOMPARE(b.BackColor(), 0xE0E0E0);
        QCOMPARE(b.ForeColor(), 0);
        QCOMPARE(b.UseSound(), 1);
        QCOMPARE(b.soundData(), WaveSound::builtInClick());
        QVERIFY(b.WriteProperties().isEmpty());
        QCOMPARE(b.timer1()->interval(), 10);
        QCOMPARE(b.timer1()->objectName(), u"Timer1"_s);
    }

    void alignToTextFlags_data()
    {
        QTest::addColumn<int>("align");
        QTest::addColumn<int>("flags");
        const int expected[] = {5, 1, 9, 4, 0, 8, 6, 2, 10};
        for (int a = 0; a < 9; ++a)
            QTest::addRow("align %d", a) << a << expected[a];
        QTest::newRow("align 9") << 9 << 0;
        QTest::newRow("align -1") << -1 << 0;
    }
    void alignToTextFlags()
    {
        QFETCH(int, align);
        QFETCH(int, flags);
        QCOMPARE(BmpBtnX::AlignToTextFlags(align), flags);
    }

    void stripSizesControlAndFramesShowTheirRows_data()
    {
        QTest::addColumn<int>("frame");
        QTest::addColumn<int>("density"); // of the strip and of the face
        QTest::newRow("normal") << 0 << 1;
        QTest::newRow("hover") << 1 << 1;
        QTest::newRow("pressed") << 2 << 1;
        // An @2x strip on a 2x face: its own pixels, one for one.
        QTest::newRow("hover, @2x") << 1 << 2;
        QTest::newRow("pressed, @2x") << 2 << 2;
    }
    void stripSizesControlAndFramesShowTheirRows()
    {
        QFETCH(int, frame);
        QFETCH(int, density);
        BmpBtnX b;
        b.setCaption(QString());
        b.setPicture(makeStrip(density));
        QCOMPARE(b.size(), QSize(40, 40));
        QCOMPARE(b.stripSize(), QSize(40, 160));
        const QImage face = b.renderFrame(frame, density);
        QCOMPARE(face.size(), QSize(40, 40) * density);
        const int frameRows = 40 * density;
        for (int y = 0; y < face.height(); y += 3)
            for (int x = 0; x < face.width(); x += 7)
                QCOMPARE(face.pixel(x, y), qRgb((frame * frameRows + y) / 2, x, 0));
    }

    void flatFacesWithoutPicture()
    {
        BmpBtnX b;
        b.setCaption(u"  "_s);
        b.resize(30, 20);
        QCOMPARE(PixelTest::colours(b.renderFrame(0)), QSet<QRgb> {Grey});
        const OleColor light = TranslateColor(sysColor(COLOR_BTNHIGHLIGHT));
        const OleColor dark = TranslateColor(sysColor(COLOR_3DDKSHADOW));
        PixelTest::expect(b.renderFrame(1),
            {{5, 0, light}, {0, 5, light}, {29, 5, dark}, {5, 19, dark}, {15, 10, 0xE0E0E0}});
        PixelTest::expect(
            b.renderFrame(2), {{5, 0, dark}, {0, 5, dark}, {29, 5, light}, {5, 19, light}});
    }

    void captionPlacementAndPressedShift()
    {
        BmpBtnX b;
        b.resize(80, 30);
        b.setBackColor(rgbColor(255, 255, 255));
        b.setCaption(u"Hi"_s);
        // Frame 1 keeps the background inside its border.
        const auto captionInk = [&](int frame) {
            const QImage img = b.renderFrame(frame);
            // Inside the border only, so the ink is the caption's.
            return PixelTest::inkBox(img, qRgb(255, 255, 255), img.rect().adjusted(1, 1, -1, -1));
        };
        b.setAlign(9); // not a code: top-left
        const QRect topLeft = captionInk(1);
        QVERIFY(topLeft.left() <= 3 && topLeft.top() <= 8);
        b.setAlign(8);
        const QRect bottomRight = captionInk(1);
        QVERIFY(bottomRight.right() >= 70 && bottomRight.bottom() >= 22);
        QCOMPARE(captionInk(2), bottomRight.translated(1, 1));

        // At twice the density the border is doubled and the caption laid out anew.
        const QImage plain = b.renderFrame(1);
        const QImage dense = b.renderFrame(1, 2.0);
        QCOMPARE(dense.size(), QSize(160, 60));
        const QRect redrawn = PixelTest::differenceFromDoubled(plain, dense);
        QVERIFY(!redrawn.isEmpty());
        QVERIFY(PixelTest::doubled(bottomRight, 4).contains(redrawn));
    }

    void disabledCaptionIsGrey()
    {
        BmpBtnX b;
        b.resize(80, 30);
        b.setCaption(u"Off"_s);
        b.setForeColor(rgbColor(255, 0, 0));
        QVERIFY(PixelTest::colours(b.renderFrame(0)).contains(qRgb(255, 0, 0)));
        b.setEnabledValue(false);
        const QImage face = b.renderFrame(0);
        QVERIFY(PixelTest::colours(face).contains(toQColor(sysColor(COLOR_GRAYTEXT)).rgb()));
        QVERIFY(!PixelTest::colours(face).contains(qRgb(255, 0, 0)));
    }

    void pollingFollowsPointerAndButton()
    {
        Rig rig;
        rig.btn->setPicture(makeStrip());
        QVERIFY(!rig.btn->timer1()->isActive());
        QCOMPARE(rig.btn->frame(), qint16(0));

        QTest::mouseMove(rig.btn, QPoint(10, 10));
        QVERIFY(rig.btn->mouseSeen());
        QVERIFY(rig.btn->timer1()->isActive());
        QTRY_COMPARE(rig.btn->frame(), qint16(1)); // the real timer's tick

        QTest::mousePress(rig.btn, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(rig.btn->frame(), qint16(1)); // the next poll draws it
        rig.btn->pollPointer();
        QCOMPARE(rig.btn->frame(), qint16(2));

        // The right and bottom edges count as inside.
        QCursor::setPos(rig.btn->mapToGlobal(QPoint(40, 40)));
        rig.btn->pollPointer();
        QCOMPARE(rig.btn->frame(), qint16(2));
        QCursor::setPos(rig.btn->mapToGlobal(QPoint(41, 40)));
        rig.btn->pollPointer();
        QCOMPARE(rig.btn->frame(), qint16(1));

        // Outside with the button still down: hover frame, timer running.
        QCursor::setPos(rig.btn->mapToGlobal(QPoint(120, 10)));
        rig.btn->pollPointer();
        QCOMPARE(rig.btn->frame(), qint16(1));
        QVERIFY(rig.btn->timer1()->isActive());

        QSignalSpy clicks(rig.btn, &BmpBtnX::Click);
        QTest::mouseRelease(rig.btn, Qt::LeftButton, {}, QPoint(120, 10));
        QCOMPARE(clicks.count(), 0);
        rig.btn->pollPointer();
        QCOMPARE(rig.btn->frame(), qint16(0));
        QVERIFY(!rig.btn->timer1()->isActive());
    }

    void noClickBeforePointerMoved_data()
    {
        QTest::addColumn<bool>("picture");
        QTest::addColumn<bool>("moveFirst");
        QTest::addColumn<bool>("clicks");
        QTest::newRow("picture, no move") << true << false << false;
        QTest::newRow("picture, moved") << true << true << true;
        QTest::newRow("no picture, no move") << false << false << true;
    }
    void noClickBeforePointerMoved()
    {
        QFETCH(bool, picture);
        QFETCH(bool, moveFirst);
        QFETCH(bool, clicks);
        Rig rig;
        if (picture)
            rig.btn->setPicture(makeStrip());
        QSignalSpy spy(rig.btn, &BmpBtnX::Click);
        if (moveFirst)
            QTest::mouseMove(rig.btn, QPoint(10, 10));
        QTest::mouseClick(rig.btn, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(spy.count(), clicks ? 1 : 0);
        QCOMPARE(m_Played.size(), clicks ? 1 : 0);
    }

    void eventOrderOfAClick()
    {
        Rig rig;
        QStringList events;
        connect(rig.btn, &BmpBtnX::MouseDown, this,
            [&](qint16 b, qint16, float, float) { events << u"MouseDown%1"_s.arg(b); });
        connect(rig.btn, &BmpBtnX::MouseUp, this,
            [&](qint16 b, qint16, float, float) { events << u"MouseUp%1"_s.arg(b); });
        connect(rig.btn, &BmpBtnX::Click, this, [&] { events << u"Click"_s; });
        connect(rig.btn, &BmpBtnX::DblClick, this, [&] { events << u"DblClick"_s; });
        QTest::mouseClick(rig.btn, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(rig.btn, Qt::RightButton, {}, QPoint(5, 5));
        // The second press of a double click raises DblClick and no second Click.
        QTest::mouseClick(rig.btn, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseDClick(rig.btn, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(rig.btn, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(events,
            (QStringList {u"MouseDown1"_s, u"MouseUp1"_s, u"Click"_s, u"MouseDown2"_s,
                u"MouseUp2"_s, u"MouseDown1"_s, u"MouseUp1"_s, u"Click"_s, u"DblClick"_s,
                u"MouseUp1"_s}));
    }

    void keysPassThrough()
    {
        BmpBtnX b;
        QStringList events;
        connect(&b, &BmpBtnX::KeyDown, this,
            [&](qint16 k, qint16 sh) { events << u"KeyDown %1 %2"_s.arg(k).arg(sh); });
        connect(&b, &BmpBtnX::KeyPress, this, [&](qint16 a) { events << u"KeyPress %1"_s.arg(a); });
        connect(
            &b, &BmpBtnX::KeyUp, this, [&](qint16 k, qint16) { events << u"KeyUp %1"_s.arg(k); });
        QSignalSpy clicks(&b, &BmpBtnX::Click);
        QTest::keyClick(&b, Qt::Key_A);
        QTest::keyClick(&b, Qt::Key_Space);
        QCOMPARE(events,
            (QStringList {u"KeyDown 65 0"_s, u"KeyPress 97"_s, u"KeyUp 65"_s, u"KeyDown 32 0"_s,
                u"KeyPress 32"_s, u"KeyUp 32"_s}));
        QCOMPARE(clicks.count(), 1); // of the two, only Space clicks
    }

    void soundChoices()
    {
        BmpBtnX b;
        QTemporaryDir dir;
        const QString path = dir.filePath(u"ding.wav"_s);
        QByteArray own = WaveSound::builtInClick();
        own[40] = 'x'; // any bytes: the file is played as it is
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(own);
        }
        b.setSoundFileName(dir.filePath(u"missing.wav"_s));
        QCOMPARE(m_Errors, QStringList {u"File not found"_s});
        QCOMPARE(b.soundData(), WaveSound::builtInClick());

        b.setSoundFileName(path);
        QCOMPARE(b.soundData(), own);
        b.setUseSound(2);
        QCOMPARE(b.UseSound(), 2);

        BmpBtnX blank;
        blank.setUseSound(2);
        QCOMPARE(blank.UseSound(), 0);
        blank.resize(20, 20);
        QSignalSpy clicks(&blank, &BmpBtnX::Click);
        QTest::mouseClick(&blank, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks.count(), 1);
        QVERIFY(m_Played.isEmpty());

        b.resize(20, 20);
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(m_Played, QList<QByteArray> {own});
    }

    void accessKeyClicksEvenBeforeMovement()
    {
        Rig rig;
        rig.btn->setPicture(makeStrip());
        rig.btn->setCaption(u"&Help"_s);
        QCOMPARE(rig.btn->AccessKey(), u"H"_s);
        QCOMPARE(rig.btn->accessibleName(), u"Help"_s);
        rig.host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rig.host.get()));
        QSignalSpy clicks(rig.btn, &BmpBtnX::Click);
        QTest::keyClick(rig.host.get(), Qt::Key_H, Qt::AltModifier);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(m_Played.size(), 1);
        QCOMPARE(m_Played.first().size(), 170);
    }

    void propertyBagLoadRebuildsState()
    {
        BmpBtnX a;
        a.setCaption(u"&Go"_s);
        a.setAlign(0);
        a.setPicture(makeStrip());
        a.setUseSound(0);
        const QVariantMap bag = a.WriteProperties();
        QCOMPARE(bag.value(u"UseSound"_s).toInt(), 0);
        BmpBtnX b;
        b.ReadProperties(bag);
        QCOMPARE(b.Caption(), u"&Go"_s);
        QCOMPARE(b.AccessKey(), u"G"_s);
        QVERIFY(b.hasPicture());
        QCOMPARE(b.size(), QSize(40, 40));
        QCOMPARE(b.Align(), 0);
    }

    void builtInClickImage()
    {
        const QByteArray click = WaveSound::builtInClick();
        QCOMPARE(click.size(), 170);
        const auto pcm = WaveSound::parse(click);
        QVERIFY(pcm.has_value());
        QCOMPARE(pcm->channels, 2);
        QCOMPARE(pcm->sampleRate, 8000);
        QCOMPARE(pcm->bitsPerSample, 8);
        QCOMPARE(pcm->data.size(), 20);
        const std::vector<int16_t> mono = WaveSound::toMono16(*pcm);
        QCOMPARE(mono.size(), std::size_t(10));
        QCOMPARE(mono[0], int16_t((0x83 - 128) * 256));
        QCOMPARE(mono[3], int16_t(-128 * 256));
    }

    void brokenWavesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("image");
        const QByteArray click = WaveSound::builtInClick();
        QByteArray compressed = click;
        compressed[20] = 2; // not PCM
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header only") << click.left(12);
        QTest::newRow("cut in format") << click.left(30);
        QTest::newRow("not a wave") << QByteArray("RIFF\x04\0\0\0AVI LIST", 16);
        QTest::newRow("compressed") << compressed;
    }
    void brokenWavesAreRefused()
    {
        QFETCH(QByteArray, image);
        QVERIFY(!WaveSound::parse(image).has_value());
        QVERIFY(!WaveSound::play(image));
    }

    void playingGoesToTheAudioSink()
    {
        qint64 written = 0;
        class CountingSink : public ImmediateSink
        {
        public:
            explicit CountingSink(qint64 *total)
                : ImmediateSink(16000)
                , m_total(total)
            {
            }
            void write(const int16_t *s, qint64 n) override
            {
                *m_total += n;
                ImmediateSink::write(s, n);
            }

        private:
            qint64 *m_total;
        };
        AudioSink::setFactory([&] { return std::make_unique<CountingSink>(&written); });
        QVERIFY(WaveSound::play(WaveSound::builtInClick()));
        AudioSink::setFactory({});
        // Ten frames at 8000 per second become twenty at 16000.
        QCOMPARE(written, qint64(20));
    }
};

QTEST_MAIN(TestBmpBtnX)
#include "test_BmpBtnX.moc"
