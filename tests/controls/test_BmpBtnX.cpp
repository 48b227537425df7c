#include "PixelTest.h"
#include "audio/AudioSink.h"
#include "audio/WaveSound.h"
#include "controls/BmpBtnX.h"
#include "speech/SpeechRecorder.h"

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
} // namespace

class TestBmpBtnX : public QObject
{
    Q_OBJECT
    QList<QByteArray> m_Played;

private Q_SLOTS:
    void init()
    {
        m_Played.clear();
        BmpBtnX::setSoundPlayer([this](const QByteArray &b) { m_Played << b; });
    }
    void cleanup() { BmpBtnX::setSoundPlayer({}); }

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
        b.setCaption(QString());
        b.resize(30, 20);
        QCOMPARE(PixelTest::colours(b.renderFrame(0)), QSet<QRgb> {qRgb(0xCF, 0xCF, 0xCF)});
        const OleColor light = TranslateColor(sysColor(COLOR_BTNHIGHLIGHT));
        const OleColor dark = TranslateColor(sysColor(COLOR_3DDKSHADOW));
        PixelTest::expect(b.renderFrame(1),
            {{5, 0, light}, {0, 5, light}, {29, 5, dark}, {5, 19, dark}, {15, 10, 0xE0E0E0}});
        PixelTest::expect(
            b.renderFrame(2), {{5, 0, dark}, {0, 5, dark}, {29, 5, light}, {5, 19, light}});
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

    void eventOrderOfClicks()
    {
        Rig rig(false);
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
        // Keys never click.
        QTest::keyClick(rig.btn, Qt::Key_A);
        QCOMPARE(events,
            (QStringList {u"MouseDown1"_s, u"MouseUp1"_s, u"Click"_s, u"MouseDown2"_s,
                u"MouseUp2"_s, u"MouseDown1"_s, u"MouseUp1"_s, u"Click"_s, u"DblClick"_s,
                u"MouseUp1"_s}));
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
        auto written = std::make_shared<std::vector<int16_t>>();
        AudioSink::setFactory([written] { return std::make_unique<CaptureSink>(written, 16000); });
        QVERIFY(WaveSound::play(WaveSound::builtInClick()));
        AudioSink::setFactory({});
        QCOMPARE(written->size(), std::size_t(20)); // at the sink's 16000 per second
    }
};

QTEST_MAIN(TestBmpBtnX)
#include "test_BmpBtnX.moc"
