#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// What a line of QML holds of its own instead of taking it from the theme: a colour, a font size, a
// corner radius, a line width, or a spacing, margin or padding. 0 and 1 may stand, and so may a factor next
// to * or / (half a height, a share of a width). Empty when the line is clean.
QString ownValue(const QString &line)
{
    const QString code = line.section(u"//"_s, 0, 0);
    static const QRegularExpression colour(
        u"(\"#[0-9a-fA-F]{3,8}\"|Qt\\.(rgba|hsla|hsva|rgb|darker|lighter|tint)\\s*\\(|"
        u"(color|colour)\\s*:\\s*\"[a-z]+\")"_s);
    if (const auto match = colour.match(code); match.hasMatch())
        return match.captured(0);
    static const QRegularExpression font(u"Theme\\.(title|label|body|mono|icon)\\(\\s*[0-9.]+\\s*\\)"_s);
    if (const auto match = font.match(code); match.hasMatch())
        return match.captured(0);
    static const QRegularExpression sized(
        u"^\\s*(property\\s+\\w+\\s+)?([\\w.]*\\.)?(size|pixelSize|pointSize|radius|\\w*Radius|spacing|"
        u"lineSpacing|letterSpacing|\\w*[mM]argins?|\\w*[pP]adding|border\\.width|strokeWidth)\\s*:(.*)$"_s);
    const auto property = sized.match(code);
    if (!property.hasMatch())
        return {};
    const QString value = property.captured(4);
    static const QRegularExpression number(u"(?<![\\w.])\\d+(\\.\\d+)?(?![\\w.])"_s);
    for (const auto &match : number.globalMatch(value)) {
        const QString n = match.captured(0);
        if (n == u"0" || n == u"1")
            continue;
        const QString before = value.left(match.capturedStart()).trimmed();
        const QString after = value.mid(match.capturedEnd()).trimmed();
        if (before.endsWith(u'*') || before.endsWith(u'/') || after.startsWith(u'*') ||
            after.startsWith(u'/'))
            continue;
        return property.captured(0).trimmed();
    }
    return {};
}

} // namespace

// Colours, the type scale, radii and spacings come from the theme's tokens, so that one change there
// changes every view alike.
class QmlTokensTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theScanSeesOwnValues_data();
    void theScanSeesOwnValues();
    void noViewHoldsItsOwnValues();
};

void QmlTokensTest::theScanSeesOwnValues_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("own");
    QTest::newRow("pixel size") << u"    font.pixelSize: 13"_s << true;
    QTest::newRow("font call") << u"font: Theme.label(11)"_s << true;
    QTest::newRow("radius") << u"        radius: 6"_s << true;
    QTest::newRow("gradient radius") << u"centerRadius: 460"_s << true;
    QTest::newRow("spacing") << u"spacing: 8"_s << true;
    QTest::newRow("margin") << u"anchors.leftMargin: 14"_s << true;
    QTest::newRow("layout margin") << u"Layout.topMargin: 4"_s << true;
    QTest::newRow("padding sum") << u"leftPadding: indicator.width + 6"_s << true;
    QTest::newRow("declared size") << u"property real size: 12"_s << true;
    QTest::newRow("hex colour") << u"color: \"#ffb84d\""_s << true;
    QTest::newRow("named colour") << u"color: \"white\""_s << true;
    QTest::newRow("rgba") << u"border.color: Qt.rgba(1, 1, 1, 0.1)"_s << true;
    QTest::newRow("token") << u"radius: Theme.radiusChip"_s << false;
    QTest::newRow("token font") << u"font: Theme.label(Theme.typeCaption)"_s << false;
    QTest::newRow("half a height") << u"radius: height / 2"_s << false;
    QTest::newRow("share") << u"centerRadius: 0.9 * glow.height"_s << false;
    QTest::newRow("none") << u"spacing: 0"_s << false;
    QTest::newRow("hairline") << u"anchors.margins: 1"_s << false;
    QTest::newRow("comment") << u"spacing: Theme.space4 // was 4"_s << false;
    QTest::newRow("border") << u"border.width: activeFocus ? 1.5 : 0.5"_s << true;
    QTest::newRow("stroke") << u"strokeWidth: 2"_s << true;
    QTest::newRow("no stroke") << u"strokeWidth: -1"_s << false;
    QTest::newRow("width") << u"width: 74"_s << false;
}

void QmlTokensTest::theScanSeesOwnValues()
{
    QFETCH(QString, line);
    QFETCH(bool, own);
    QCOMPARE(!ownValue(line).isEmpty(), own);
}

void QmlTokensTest::noViewHoldsItsOwnValues()
{
    QStringList found;
    int files = 0;
    for (const QString &folder :
         {QStringLiteral(QUORVANE_UI_QML_DIR), QStringLiteral(QUORVANE_APP_QML_DIR)}) {
        QDirIterator it(folder, {u"*.qml"_s}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
            ++files;
            const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
            for (qsizetype i = 0; i < lines.size(); ++i) {
                const QString own = ownValue(lines.at(i));
                if (!own.isEmpty())
                    found << u"%1:%2: %3"_s.arg(file.fileName()).arg(i + 1).arg(own);
            }
        }
    }
    QVERIFY2(files > 40, "the scan found too few views");
    QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
}

QTEST_GUILESS_MAIN(QmlTokensTest)
#include "tst_qmltokens.moc"
