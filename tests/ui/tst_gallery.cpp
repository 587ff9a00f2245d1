#include "ui/theme.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Where the gallery puts each component: this far from the picture's top-left corner.
constexpr int margin = 10;

QColor over(const QColor &top, const QColor &bottom)
{
    const double a = top.alphaF();
    return QColor::fromRgbF(float(top.redF() * a + bottom.redF() * (1 - a)),
                            float(top.greenF() * a + bottom.greenF() * (1 - a)),
                            float(top.blueF() * a + bottom.blueF() * (1 - a)));
}

QColor mix(const QColor &from, const QColor &to, double t)
{
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * t),
                            float(from.greenF() + (to.greenF() - from.greenF()) * t),
                            float(from.blueF() + (to.blueF() - from.blueF()) * t));
}

bool near(const QColor &actual, const QColor &expected, int tolerance)
{
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

QString describe(const QColor &actual, const QColor &expected)
{
    return u"got %1, expected about %2"_s.arg(actual.name(), expected.name());
}

int count(const QImage &image, const QColor &colour, int tolerance, QRect area = {})
{
    if (area.isNull())
        area = image.rect();
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            found += near(image.pixelColor(x, y), colour, tolerance) ? 1 : 0;
    }
    return found;
}

// Where a strip's focused row lies: its highlight over the strip's surface.
QColor focusedRow()
{
    return over(Theme::fade(Theme::lit(), 0.07), Theme::surfaceHi());
}

// A strip whose titles fit in 104 px has its controls right of them, 12 px in from its edge; its rows
// start 10 px down and lie 8 px apart.
constexpr int controls = margin + 12 + 104 + 10;
constexpr int firstRow = margin + 10;

// Where the first control of a strip's first row starts, found by its plate: a longer title moves it.
int firstPlate(const QImage &strip, const QColor &plate)
{
    for (int x = controls; x < strip.width(); ++x) {
        if (count(strip, plate, 3, QRect(x, firstRow, 1, 20)) >= 8)
            return x;
    }
    return -1;
}

} // namespace

// Renders the gallery and looks at known places of the pictures. The pictures stay in the build
// folder's gallery/ for a person to open; gallery.png shows them all.
class GalleryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void litTileGlowsInItsBar();
    void skeletonTileHasNoText();
    void selectedRowHasTheSelectionBackground();
    void statusDotTakesTheTone();
    void litModeChipGlowsRoundItsDot();
    void errorBarHasItsAlarmEdge();
    void stripIsSquareOnTopWithItsAccentDownTheEdge();
    void armedWritesTurnRed();
    void litLevelBarTakesTheWarmGradient();
    void offlineNoticeHasItsWarning();
    void eachChannelShowsItsOwnSwitch();
    void thermostatShowsItsTargetLit();
    void speakerVolumeFillsItsPart();

private:
    QImage picture(const QString &name);
    QDir m_folder{QStringLiteral(QUORVANE_GALLERY_DIR)};
};

void GalleryTest::initTestCase()
{
    m_folder.removeRecursively();
    QProcess gallery;
    gallery.setProcessChannelMode(QProcess::ForwardedChannels);
    gallery.start(QStringLiteral(QUORVANE_GALLERY), {m_folder.path()});
    QVERIFY(gallery.waitForFinished(60000));
    QCOMPARE(gallery.exitStatus(), QProcess::NormalExit);
    QCOMPARE(gallery.exitCode(), 0);
    QVERIFY(m_folder.exists(u"gallery.png"_s));
}

QImage GalleryTest::picture(const QString &name)
{
    QImage image(m_folder.filePath(name + u".png"_s));
    if (image.isNull())
        qWarning("missing picture %s", qPrintable(name));
    return image;
}

void GalleryTest::litTileGlowsInItsBar()
{
    // The tile (240 wide, 2 of 5 lights at 60 %) has its 3 px bar 8 below its top, 9 in from each side.
    const QImage lit = picture(u"roomtile-lit-selected"_s);
    QVERIFY(!lit.isNull());
    const double barWidth = 240 - 18;
    const int x = margin + 9 + int(0.25 * barWidth);
    const int y = margin + 8 + 1;
    // A quarter along the warm gradient: halfway from the deep amber to the accent.
    const QColor expected = mix(Theme::litDeep(), Theme::lit(), 0.5);
    QVERIFY2(near(lit.pixelColor(x, y), expected, 24), qPrintable(describe(lit.pixelColor(x, y), expected)));

    const QImage dark = picture(u"roomtile-dark"_s);
    QVERIFY(!dark.isNull());
    QVERIFY2(dark.pixelColor(x, y).red() < 90, qPrintable(dark.pixelColor(x, y).name()));
}

void GalleryTest::skeletonTileHasNoText()
{
    const QImage skeleton = picture(u"skeletontile"_s);
    QVERIFY(!skeleton.isNull());
    int brightest = 0;
    for (int y = 0; y < skeleton.height(); ++y) {
        for (int x = 0; x < skeleton.width(); ++x) {
            const QColor c = skeleton.pixelColor(x, y);
            brightest = std::max({brightest, c.red(), c.green(), c.blue()});
        }
    }
    // Text would be drawn in the light text colours; the placeholders stay close to the surface.
    QVERIFY2(brightest < 70, qPrintable(QString::number(brightest)));
}

void GalleryTest::selectedRowHasTheSelectionBackground()
{
    // An empty spot of the 480 wide, 42 high row: right of the texts, left of the accessory, near the bottom.
    const int x = margin + 240;
    const int y = margin + 42 - 4;
    const QImage selected = picture(u"resultrow-toggle-selected"_s);
    const QImage plain = picture(u"resultrow-toggle-off"_s);
    QVERIFY(!selected.isNull() && !plain.isNull());
    const QColor selection = over(Theme::selection(), Theme::surface());
    QVERIFY2(near(selected.pixelColor(x, y), selection, 3),
             qPrintable(describe(selected.pixelColor(x, y), selection)));
    QVERIFY2(near(plain.pixelColor(x, y), Theme::surface(), 3),
             qPrintable(describe(plain.pixelColor(x, y), Theme::surface())));
}

void GalleryTest::statusDotTakesTheTone()
{
    // A 12 px dot: its centre is in the tone's colour, dimmed a little at rest.
    const QImage live = picture(u"statusdot-live"_s);
    const QImage failed = picture(u"statusdot-failed"_s);
    QVERIFY(!live.isNull() && !failed.isNull());
    const QColor green = live.pixelColor(margin + 6, margin + 6);
    QVERIFY2(green.green() > green.red() + 80 && green.green() > green.blue() + 40, qPrintable(green.name()));
    const QColor red = failed.pixelColor(margin + 6, margin + 6);
    QVERIFY2(red.red() > red.green() + 80 && red.red() > red.blue() + 80, qPrintable(red.name()));
}

void GalleryTest::litModeChipGlowsRoundItsDot()
{
    // The 5 px dot of a chip that is on is the warmest spot of its left end; its glow reaches 3 px past
    // it, inside the ring, where a chip that is off shows its plate.
    const QImage on = picture(u"modechip-on"_s);
    const QImage off = picture(u"modechip-off"_s);
    QVERIFY(!on.isNull() && !off.isNull());
    QPoint dot;
    int warmest = -1;
    for (int y = margin; y < on.height() - margin; ++y) {
        for (int x = margin; x < margin + 24; ++x) {
            const QColor c = on.pixelColor(x, y);
            if (c.red() - c.blue() > warmest) {
                warmest = c.red() - c.blue();
                dot = {x, y};
            }
        }
    }
    QVERIFY2(warmest > 100, qPrintable(on.pixelColor(dot).name()));
    const QPoint halo = dot + QPoint(0, -3);
    const QColor glow = on.pixelColor(halo);
    const QColor plate = off.pixelColor(halo);
    QVERIFY2(glow.red() > plate.red() + 20 && glow.red() - glow.blue() > plate.red() - plate.blue() + 20,
             qPrintable(glow.name() + u" over "_s + plate.name()));
    // Beyond the glow the lit chip is its plate again.
    const QPoint beyond = dot + QPoint(0, -8);
    QVERIFY2(near(on.pixelColor(beyond), off.pixelColor(beyond), 6),
             qPrintable(on.pixelColor(beyond).name()));
}

void GalleryTest::errorBarHasItsAlarmEdge()
{
    const QImage bar = picture(u"errorbar"_s);
    QVERIFY(!bar.isNull());
    const int y = bar.height() / 2;
    QVERIFY2(near(bar.pixelColor(margin, y), Theme::alarm(), 2),
             qPrintable(describe(bar.pixelColor(margin, y), Theme::alarm())));
    // Beside the edge lies the faint alarm wash over the surface.
    const QColor wash = over(Theme::fade(Theme::alarm(), 0.1), Theme::surface());
    QVERIFY2(near(bar.pixelColor(margin + 6, bar.height() - margin - 3), wash, 3),
             qPrintable(describe(bar.pixelColor(margin + 6, bar.height() - margin - 3), wash)));
}

void GalleryTest::stripIsSquareOnTopWithItsAccentDownTheEdge()
{
    const QImage strip = picture(u"strip-lamp"_s);
    QVERIFY(!strip.isNull());
    const int bottom = strip.height() - margin - 1;
    QVERIFY2(near(strip.pixelColor(margin + 1, strip.height() / 2), Theme::lit(), 3),
             qPrintable(strip.pixelColor(margin + 1, strip.height() / 2).name()));
    // Square where it meets the device's row, rounded at the bottom: the corner shows the panel.
    QVERIFY2(near(strip.pixelColor(strip.width() - margin - 1, margin), Theme::surfaceHi(), 2),
             qPrintable(strip.pixelColor(strip.width() - margin - 1, margin).name()));
    QVERIFY2(near(strip.pixelColor(strip.width() - margin - 1, bottom), Theme::surface(), 2),
             qPrintable(strip.pixelColor(strip.width() - margin - 1, bottom).name()));
    QVERIFY2(near(strip.pixelColor(margin, bottom), Theme::surface(), 2),
             qPrintable(strip.pixelColor(margin, bottom).name()));
}

void GalleryTest::armedWritesTurnRed()
{
    // The waiting button or mode is filled with the alarm colour over the focused row.
    const QColor red = over(Theme::fade(Theme::alarm(), 0.85), focusedRow());
    for (const QString &name : {u"strip-lock"_s, u"strip-alarm"_s}) {
        const QImage calm = picture(name);
        const QImage armed = picture(name + u"-armed"_s);
        QVERIFY(!calm.isNull() && !armed.isNull());
        QCOMPARE(count(calm, red, 6), 0);
        QVERIFY2(count(armed, red, 6) > 300, qPrintable(name));
    }
}

void GalleryTest::litLevelBarTakesTheWarmGradient()
{
    // The same lamp with its brightness at 40 % and at 0: down a column near the bars' start, only the
    // brightness bar differs.
    const QImage lit = picture(u"strip-colourlamp"_s);
    const QImage dark = picture(u"strip-colourlamp-dark"_s);
    QVERIFY(!lit.isNull() && !dark.isNull());
    QCOMPARE(lit.size(), dark.size());
    const int x = margin + 12 + 114 + 40;
    QList<int> differing;
    for (int y = 0; y < lit.height(); ++y) {
        if (!near(lit.pixelColor(x, y), dark.pixelColor(x, y), 10))
            differing << y;
    }
    QVERIFY(!differing.isEmpty());
    const int y = differing[differing.size() / 2];
    // The dark bar's track marks where the bar runs; the fill takes the gradient's colour of its place.
    int start = x;
    int end = x;
    while (!near(dark.pixelColor(start - 1, y), focusedRow(), 3))
        --start;
    while (!near(dark.pixelColor(end + 1, y), focusedRow(), 3))
        ++end;
    const double place = double(x - start) / double(end - start);
    QVERIFY2(place > 0 && place < 0.5, qPrintable(QString::number(place)));
    const QColor expected = mix(Theme::litDeep(), Theme::lit(), 2 * place);
    QVERIFY2(near(lit.pixelColor(x, y), expected, 16), qPrintable(describe(lit.pixelColor(x, y), expected)));
    const QColor track = over(Theme::white(0.07), focusedRow());
    QVERIFY2(near(dark.pixelColor(x, y), track, 3), qPrintable(describe(dark.pixelColor(x, y), track)));
}

void GalleryTest::offlineNoticeHasItsWarning()
{
    const QImage offline = picture(u"strip-offline"_s);
    const QImage online = picture(u"strip-lamp"_s);
    QVERIFY(!offline.isNull() && !online.isNull());
    QVERIFY(offline.height() > online.height());
    QCOMPARE(count(online, Theme::alarm(), 12), 0);
    QVERIFY(count(offline, Theme::alarm(), 12) > 5);
}

void GalleryTest::eachChannelShowsItsOwnSwitch()
{
    // The first channel is on, the second off: a lit knob in the first row's switch, a faint one in the
    // second's.
    const QImage strip = picture(u"strip-twochannel"_s);
    QVERIFY(!strip.isNull());
    const QRect first(controls, firstRow, 34, 20);
    const QRect second(controls, firstRow + 20 + 8, 34, 20);
    QVERIFY2(count(strip, Theme::lit(), 8, first) > 60,
             qPrintable(QString::number(count(strip, Theme::lit(), 8, first))));
    QCOMPARE(count(strip, Theme::lit(), 8, second), 0);
    QVERIFY2(count(strip, Theme::textFaint(), 8, second) > 60,
             qPrintable(QString::number(count(strip, Theme::textFaint(), 8, second))));
    QCOMPARE(count(strip, Theme::textFaint(), 8, first), 0);
}

void GalleryTest::thermostatShowsItsTargetLit()
{
    // The target between the minus and plus buttons, in the soft amber; the measured temperature beside
    // it is faint.
    const QImage strip = picture(u"strip-thermostat"_s);
    QVERIFY(!strip.isNull());
    const int minus = firstPlate(strip, over(Theme::white(0.08), focusedRow()));
    QVERIFY(minus >= controls);
    const QRect target(minus + 20 + 8, firstRow, 74, 20);
    const QRect measured(minus + 20 + 8 + 74 + 8 + 20 + 10, firstRow, 80, 20);
    QVERIFY2(count(strip, Theme::litSoft(), 16, target) > 40,
             qPrintable(QString::number(count(strip, Theme::litSoft(), 16, target))));
    QCOMPARE(count(strip, Theme::litSoft(), 16, measured), 0);
}

void GalleryTest::speakerVolumeFillsItsPart()
{
    // Right of the play button the volume bar runs to the 44 px readout; a quarter of it is lit.
    const QImage strip = picture(u"strip-speaker"_s);
    QVERIFY(!strip.isNull());
    const int start = controls + 26 + 10;
    const int end = strip.width() - margin - 12 - 44 - 10;
    const int y = firstRow + 10;
    const QColor lit = strip.pixelColor(start + (end - start) / 10, y);
    QVERIFY2(near(lit, mix(Theme::litDeep(), Theme::lit(), 0.4), 30), qPrintable(lit.name()));
    const QColor track = over(Theme::white(0.07), Theme::surfaceHi());
    QVERIFY2(near(strip.pixelColor(start + (end - start) * 6 / 10, y), track, 3),
             qPrintable(describe(strip.pixelColor(start + (end - start) * 6 / 10, y), track)));
}

QTEST_GUILESS_MAIN(GalleryTest)
#include "tst_gallery.moc"
