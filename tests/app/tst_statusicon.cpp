#include "app/statusicon.h"
#include "ui/theme.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int side = 48;

int opacityOf(const QImage &image, const QRect &area)
{
    int strongest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            strongest = std::max(strongest, image.pixelColor(x, y).alpha());
    return strongest;
}

int pixelsNear(const QImage &image, const QRect &area, const QColor &colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor got = image.pixelColor(x, y);
            count += got.alpha() > 240 && std::abs(got.red() - colour.red()) < 12 &&
                     std::abs(got.green() - colour.green()) < 12 && std::abs(got.blue() - colour.blue()) < 12;
        }
    }
    return count;
}

} // namespace

// The tray icon as drawn for each state: the symbol at its opacity and the unread count on a badge. The
// pictures stay in statusicon/ of the build folder.
class TstStatusIcon : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void drawsTheSymbolAtItsOpacityWithTheCount_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<double>("opacity");
        QTest::addColumn<QString>("badge");
        QTest::newRow("live") << u"house.fill"_s << 1.0 << QString();
        QTest::newRow("connecting") << u"house"_s << 0.55 << QString();
        QTest::newRow("degraded, 150 unread") << u"house.fill"_s << 0.6 << u"99"_s;
        QTest::newRow("failed, one unread") << u"exclamationmark.triangle.fill"_s << 1.0 << u"1"_s;
    }
    void drawsTheSymbolAtItsOpacityWithTheCount()
    {
        QFETCH(QString, symbol);
        QFETCH(double, opacity);
        QFETCH(QString, badge);
        const StatusIcon::Drawn drawn = StatusIcon::draw(symbol, opacity, badge);
        QVERIFY(drawn.hasSymbol);
        const QImage image = drawn.icon.pixmap(side, side).toImage();
        QCOMPARE(image.size(), QSize(side, side));
        const QDir folder(QStringLiteral(QUORVANE_STATUSICON_DIR));
        QVERIFY(folder.mkpath(u"."_s));
        image.save(
            folder.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-') + u".png"_s));

        // The symbol fills the top left whatever the count: its most opaque pixel is the state's opacity.
        QVERIFY(qAbs(opacityOf(image, QRect(0, 0, side / 2, side / 2)) - qRound(opacity * 255)) <= 3);
        // The count sits on an opaque badge in the accent, in the surface colour, at the bottom right.
        const QRect corner(side / 2, side / 2, side / 2, side / 2);
        if (badge.isEmpty()) {
            QCOMPARE(pixelsNear(image, corner, Theme::lit()), 0);
        } else {
            QVERIFY(pixelsNear(image, corner, Theme::lit()) > 150);
            QVERIFY(pixelsNear(image, corner, Theme::surface()) > 10);
        }
    }

    void aSymbolWithoutGlyphBecomesTheLabelWithoutCount()
    {
        const StatusIcon::Drawn drawn = StatusIcon::draw(u"no.such.symbol"_s, 1.0, u"5"_s);
        QVERIFY(!drawn.hasSymbol);
        const QImage image = drawn.icon.pixmap(side, side).toImage();
        QVERIFY(opacityOf(image, image.rect()) > 240);
        QCOMPARE(pixelsNear(image, image.rect(), Theme::lit()), 0);
    }
};

QTEST_MAIN(TstStatusIcon)
#include "tst_statusicon.moc"
