#include "PixelTest.h"
#include "audio/AudioSink.h"
#include "controls/BmpBtnX.h"
#include "controls/WaveSound.h"

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

// A shown window with the button at (20, 20) and the pointer far from it.
struct Rig {
    std::unique_ptr<QWidget> host = std::make_unique<QWidget>();
    BmpBtnX *btn = nullptr;
    explicit Rig(bool picture = true)
    {
        host->setGeometry(40, 40, 300, 200);
        btn = new BmpBtnX(host.get(), u"Cmd_H1"_s);
        btn->move(20, 20);
        if (picture)
            btn->setPicture(makeStrip());
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host.get()));
        QTest::mouseMove(host.get(), QPoint(290, 190));
    }
};

// Counts the samples that reach the device.
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
    qint64 *m_total;
};
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

    void alignToTextFlags()
    {
        const int expected[] = {5, 1, 9, 4, 0, 8, 6, 2, 10};
        for (int a = -1; a <= 9; ++a)
            QCOMPARE(BmpBtnX::AlignToTextFlags(a), a >= 0 && a < 9 ? expected[a] : 0);
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
        for (int y = 0; y < face.height(); y += 3)
            for (int x = 0; x < face.width(); x += 7)
                QCOMPARE(face.pixel(x, y), qRgb((frame * 40 * density + y) / 2, x, 0));
    }

    void facesWithoutPicture()
    {
        BmpBtnX b;
        b.setCaption(u"  "_s);
        b.resize(30, 20);
        QCOMPARE(PixelTest::colours(b.renderFrame(0)), QSet<QRgb> {qRgb(0xCF, 0xCF, 0xCF)});
        const OleColor light = TranslateColor(sysColor(COLOR_BTNHIGHLIGHT));
        const OleColor dark = TranslateColor(sysColor(COLOR_3DDKSHADOW));
        PixelTest::expect(b.renderFrame(1),
            {{5, 0, light}, {0, 5, light}, {29, 5, dark}, {5, 19, dark}, {15, 10, 0xE0E0E0}});
        PixelTest::expect(
            b.renderFrame(2), {{5, 0, dark}, {0, 5, dark}, {29, 5, light}, {5, 19, light}});
        // A disabled caption is grey.
        b.resize(80, 30);
        b.setCaption(u"Off"_s);
        b.setForeColor(rgbColor(255, 0, 0));
        QVERIFY(PixelTest::colours(b.renderFrame(0)).contains(qRgb(255, 0, 0)));
        b.setEnabledValue(false);
        const QSet<QRgb> ink = PixelTest::colours(b.renderFrame(0));
        QVERIFY(ink.contains(toQColor(sysColor(COLOR_GRAYTEXT)).rgb()));
        QVERIFY(!ink.contains(qRgb(255, 0, 0)));
    }

    void captionPlacementAndPressedShift()
    {
        BmpBtnX b;
        b.resize(80, 30);
        b.setBackColor(rgbColor(255, 255, 255));
        b.setCaption(u"Hi"_s);
        // Inside the border only, so the ink is the caption's.
        const auto captionInk = [&](int frame) {
            const QImage img = b.renderFrame(frame);
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
        const QImage dense = b.renderFrame(1, 2.0);
        QCOMPARE(dense.size(), QSize(160, 60));
        const QRect redrawn = PixelTest::differenceFromDoubled(b.renderFrame(1), dense);
        QVERIFY(!redrawn.isEmpty());
        QVERIFY(PixelTest::doubled(bottomRight, 4).contains(redrawn));
    }

    void pollingFollowsPointerAndButton()
    {
        Rig rig;
        QCOMPARE(rig.btn->frame(), qint16(0));
        QTest::mouseMove(rig.btn, QPoint(10, 10));
        QVERIFY(rig.btn->timer1()->isActive());
        QTRY_COMPARE(rig.btn->frame(), qint16(1)); // the real timer's tick
        QTest::mousePress(rig.btn, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(rig.btn->frame(), qint16(1)); // the next poll draws it
        const auto pollAt = [&](QPoint p) {
            QCursor::setPos(rig.btn->mapToGlobal(p));
            rig.btn->pollPointer();
            return rig.btn->frame();
        };
        QCOMPARE(pollAt(QPoint(10, 10)), qint16(2));
        // The right and bottom edges count as inside.
        QCOMPARE(pollAt(QPoint(40, 40)), qint16(2));
        QCOMPARE(pollAt(QPoint(41, 40)), qint16(1));
        // Outside with the button still down: hover frame, timer running.
        QCOMPARE(pollAt(QPoint(120, 10)), qint16(1));
        QVERIFY(rig.btn->timer1()->isActive());
        QSignalSpy clicks(rig.btn, &BmpBtnX::Click);
        QTest::mouseRelease(rig.btn, Qt::LeftButton, {}, QPoint(120, 10));
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(pollAt(QPoint(120, 10)), qint16(0));
        QVERIFY(!rig.btn->timer1()->isActive());
    }

    void noClickBeforePointerMoved_data()
    {
        QTest::addColumn<bool>("picture");
        QTest::addColumn<bool>("moveFirst");
        QTest::addColumn<int>("clicks");
        QTest::newRow("picture, no move") << true << false << 0;
        QTest::newRow("picture, moved") << true << true << 1;
        QTest::newRow("no picture, no move") << false << false << 1;
    }
    void noClickBeforePointerMoved()
    {
        QFETCH(bool, picture);
        QFETCH(bool, moveFirst);
        Rig rig(picture);
        QSignalSpy spy(rig.btn, &BmpBtnX::Click);
        if (moveFirst)
            QTest::mouseMove(rig.btn, QPoint(10, 10));
        QTest::mouseClick(rig.btn, Qt::LeftButton, {}, QPoint(10, 10));
        QTEST(int(spy.count()), "clicks");
        QTEST(int(m_Played.size()), "clicks");
    }

    void eventOrderOfClicksAndKeys()
    {
        Rig rig(false);
        QStringList events;
        connect(rig.btn, &BmpBtnX::MouseDown, this,
            [&](qint16 b, qint16, float, float) { events << u"MouseDown%1"_s.arg(b); });
        connect(rig.btn, &BmpBtnX::MouseUp, this,
            [&](qint16 b, qint16, float, float) { events << u"MouseUp%1"_s.arg(b); });
        connect(rig.btn, &BmpBtnX::Click, this, [&] { events << u"Click"_s; });
        connect(rig.btn, &BmpBtnX::DblClick, this, [&] { events << u"DblClick"_s; });
        connect(rig.btn, &BmpBtnX::KeyDown, this,
            [&](qint16 k, qint16 sh) { events << u"KeyDown %1 %2"_s.arg(k).arg(sh); });
        connect(rig.btn, &BmpBtnX::KeyPress, this,
            [&](qint16 a) { events << u"KeyPress %1"_s.arg(a); });
        connect(rig.btn, &BmpBtnX::KeyUp, this,
            [&](qint16 k, qint16) { events << u"KeyUp %1"_s.arg(k); });
        QTest::mouseClick(rig.btn, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(rig.btn, Qt::RightButton, {}, QPoint(5, 5));
        // The second press of a double click raises DblClick and no second Click.
        QTest::mouseClick(rig.btn, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseDClick(rig.btn, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(rig.btn, Qt::LeftButton, {}, QPoint(5, 5));
        // Keys pass through and never click.
        QTest::keyClick(rig.btn, Qt::Key_A);
        QCOMPARE(events,
            (QStringList {u"MouseDown1"_s, u"MouseUp1"_s, u"Click"_s, u"MouseDown2"_s,
                u"MouseUp2"_s, u"MouseDown1"_s, u"MouseUp1"_s, u"Click"_s, u"DblClick"_s,
                u"MouseUp1"_s, u"KeyDown 65 0"_s, u"KeyPress 97"_s, u"KeyUp 65"_s}));
    }

    void soundChoices()
    {
        BmpBtnX b;
        QTemporaryDir dir;
        const QString path = dir.filePath(u"ding.wav"_s);
        QByteArray own = WaveSound::builtInClick();
        own[40] = 'x'; // any bytes: the file is played as it is
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(own) == own.size());
        f.close();
        b.setSoundFileName(dir.filePath(u"missing.wav"_s));
        QCOMPARE(m_Errors, QStringList {u"File not found"_s});
        QCOMPARE(b.soundData(), WaveSound::builtInClick());
        b.setSoundFileName(path);
        QCOMPARE(b.soundData(), own);
        b.setUseSound(2);
        QCOMPARE(b.UseSound(), 2);
        b.resize(20, 20);
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(m_Played, QList<QByteArray> {own});
        // Without a file of its own, the choice of one falls back to silence.
        BmpBtnX blank;
        blank.setUseSound(2);
        QCOMPARE(blank.UseSound(), 0);
        blank.resize(20, 20);
        QSignalSpy clicks(&blank, &BmpBtnX::Click);
        QTest::mouseClick(&blank, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(m_Played.size(), 1);
    }

    void accessKeyClicksEvenBeforeMovement()
    {
        Rig rig;
        rig.btn->setCaption(u"&Help"_s);
        QCOMPARE(rig.btn->AccessKey(), u"H"_s);
        QCOMPARE(rig.btn->accessibleName(), u"Help"_s);
        rig.host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rig.host.get()));
        QSignalSpy clicks(rig.btn, &BmpBtnX::Click);
        QTest::keyClick(rig.host.get(), Qt::Key_H, Qt::AltModifier);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(m_Played, QList<QByteArray> {WaveSound::builtInClick()});
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

    void clickIsMixedToMonoAndPlayedOnTheAudioSink()
    {
        // The built-in click: ten 8-bit stereo frames at 8000 per second.
        const auto pcm = WaveSound::parse(WaveSound::builtInClick());
        QVERIFY(pcm.has_value());
        const std::vector<int16_t> mono = WaveSound::toMono16(*pcm);
        QCOMPARE(mono.size(), std::size_t(10));
        QCOMPARE(mono[0], int16_t((0x83 - 128) * 256));
        QCOMPARE(mono[3], int16_t(-128 * 256));
        qint64 written = 0;
        AudioSink::setFactory([&] { return std::make_unique<CountingSink>(&written); });
        QVERIFY(WaveSound::play(WaveSound::builtInClick()));
        AudioSink::setFactory({});
        QCOMPARE(written, qint64(20)); // at the sink's 16000 per second
    }
};

QTEST_MAIN(TestBmpBtnX)
#include "test_BmpBtnX.moc"
