#include "app/statusbadge.h"
#include "app/statusicon.h"
#include "ui/theme.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPainter>
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

    // A count is put together from digits drawn beforehand; it must come out as the badge with its text
    // drawn whole would, at every size and count.
    void aCountLooksAsItsTextDrawnWhole()
    {
        for (const int size : StatusIcon::sizes) {
            QFont font = Theme::label(10);
            font.setPixelSize(std::max(7, size * 9 / 22));
            font.setBold(true);
            for (int count = 0; count <= 99; ++count) {
                const QString text = QString::number(count);
                const double height = size * 0.5;
                const double width =
                    std::max(height, QFontMetricsF(font).horizontalAdvance(text) + height * 0.4);
                const QRectF pill(size - width, size - height, width, height);
                QImage whole(size, size, QImage::Format_ARGB32_Premultiplied);
                whole.fill(Qt::transparent);
                QImage composed = whole;
                QPainter painter(&whole);
                painter.setRenderHint(QPainter::Antialiasing);
                painter.setPen(Qt::NoPen);
                painter.setBrush(Theme::lit());
                painter.drawRoundedRect(pill, height / 2, height / 2);
                painter.setFont(font);
                painter.setPen(Theme::surface());
                painter.drawText(pill, Qt::AlignCenter, text);
                painter.end();
                painter.begin(&composed);
                painter.setRenderHint(QPainter::Antialiasing);
                StatusBadge::draw(painter, size, text);
                painter.end();
                QVERIFY2(composed == whole, qPrintable(QString::number(size) + u' ' + text));
            }
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

    // Sizes are drawn only when asked for; whatever a tray asks, it must get what an icon holding every
    // size drawn at once gives.
    void eachSizeIsAsFromAllSizesDrawnAtOnce_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("badge");
        QTest::newRow("count") << u"house.fill"_s << u"37"_s;
        QTest::newRow("no count") << u"house"_s << QString();
        QTest::newRow("label") << u"no.such.symbol"_s << u"5"_s;
    }
    void eachSizeIsAsFromAllSizesDrawnAtOnce()
    {
        QFETCH(QString, symbol);
        QFETCH(QString, badge);
        QIcon eager;
        for (const int size : StatusIcon::sizes)
            eager.addPixmap(StatusIcon::drawAt(symbol, 0.6, badge, size));
        const QIcon lazy = StatusIcon::draw(symbol, 0.6, badge).icon;
        QCOMPARE(lazy.availableSizes(), eager.availableSizes());
        QCOMPARE(lazy.availableSizes(QIcon::Disabled), eager.availableSizes(QIcon::Disabled));
        for (const QSize wanted :
             {QSize(12, 12), QSize(16, 16), QSize(20, 20), QSize(22, 22), QSize(23, 23), QSize(24, 24),
              QSize(30, 30), QSize(22, 26), QSize(40, 40), QSize(64, 64), QSize(96, 96)}) {
            QCOMPARE(lazy.actualSize(wanted), eager.actualSize(wanted));
            QCOMPARE(lazy.pixmap(wanted).toImage(), eager.pixmap(wanted).toImage());
            QCOMPARE(lazy.pixmap(wanted, QIcon::Disabled).toImage(),
                     eager.pixmap(wanted, QIcon::Disabled).toImage());
            // As the tray draws it: into its own square.
            QImage lazyTray(wanted, QImage::Format_ARGB32_Premultiplied);
            QImage eagerTray(wanted, QImage::Format_ARGB32_Premultiplied);
            for (auto [icon, image] :
                 {std::pair{&lazy, &lazyTray}, std::pair{static_cast<const QIcon *>(&eager), &eagerTray}}) {
                image->fill(Qt::transparent);
                QPainter painter(image);
                icon->paint(&painter, image->rect());
            }
            QCOMPARE(lazyTray, eagerTray);
        }
    }
};

QTEST_MAIN(TstStatusIcon)
#include "tst_statusicon.moc"
