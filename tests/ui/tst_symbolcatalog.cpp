#include "homey/model/device.h"
#include "homey/model/homeynotification.h"
#include "homey/model/zone.h"
#include "store/notifications/p2000.h"
#include "store/search/hitbuilder.h"
#include "ui/controls/controlrowview.h"
#include "ui/statusbarlook.h"
#include "ui/symbolcatalog.h"

#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QPainterPath>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

Device light(std::optional<bool> on)
{
    Device device{.id = u"l"_s, .deviceClass = u"light"_s, .available = true};
    device.capabilities.emplace(
        u"onoff"_s, Capability{.id = u"onoff"_s,
                               .setable = true,
                               .value = on ? std::optional(CapabilityValue::fromBool(*on)) : std::nullopt});
    device.capabilityOrder = {u"onoff"_s};
    return device;
}

// Every symbol name the home model and the stores hand to the views, produced by their own code.
QSet<QString> modelNames()
{
    QSet<QString> names;
    for (const QString &icon :
         {u"kitchen"_s, u"living"_s, u"bed"_s, u"shower"_s, u"stairs-up"_s, u"stairs-down"_s, u"garden"_s,
          u"garage"_s, u"books"_s, u"home"_s, u"Kitchen"_s, QString()})
        names << Zone{.icon = icon}.symbol();
    for (const QString &deviceClass :
         {u"socket"_s, u"sensor"_s, u"thermostat"_s, u"speaker"_s, u"tv"_s, u"lock"_s, u"doorbell"_s,
          u"camera"_s, u"curtain"_s, u"blinds"_s, u"windowcoverings"_s, u"vacuumcleaner"_s, u"button"_s,
          u"homealarm"_s, u"solarpanel"_s, u"fan"_s, u"heater"_s, u"other"_s})
        names << Device{.deviceClass = deviceClass}.symbol();
    for (const std::optional<bool> on : {std::optional(true), std::optional(false), std::optional<bool>()})
        names << light(on).symbol();
    for (const HomeyNotification::Source source : HomeyNotification::Source::allCases())
        names << source.symbol();
    for (const QString &service :
         {u"Politie"_s, u"Ambulance"_s, u"Brandweer"_s, u"KNRM"_s, u"Traumaheli"_s, u"Reddingsbrigade"_s})
        names << P2000::symbol(service);
    names << HitBuilder::flow(u"f"_s, u"Alles uit"_s, false).symbol;
    names << HitBuilder::mood(u"m"_s, u"Avond"_s, std::nullopt).symbol;
    // The states of the strip's rows: a lock, a player and an alarm, each on and off.
    for (const bool on : {true, false}) {
        Device guarded{.id = u"g"_s, .available = true};
        const auto add = [&](const QString &id, CapabilityValue value) {
            guarded.capabilities.emplace(id, Capability{.id = id, .setable = true, .value = value});
        };
        add(u"locked"_s, CapabilityValue::fromBool(on));
        add(u"speaker_playing"_s, CapabilityValue::fromBool(on));
        add(u"homealarm_state"_s, CapabilityValue::fromString(on ? u"armed"_s : u"disarmed"_s));
        for (const ControlRow &row : {ControlRow::single(ControlRow::Kind::Lock, u"locked"_s),
                                      ControlRow::media(u"speaker_playing"_s, std::nullopt),
                                      ControlRow::single(ControlRow::Kind::ArmMode, u"homealarm_state"_s)})
            names << ControlRowView::make(guarded, row, false, nullptr, nullptr).symbol;
    }
    const EnergyState flows[] = {{.consumptionW = 900, .generationW = 3000, .netW = -400}, {.netW = 400}};
    for (const EnergyState &energy : flows) {
        for (const StatusFigure &figure : StatusBarLook::make(ConnectionState::live(), {}, energy).figures) {
            if (!figure.symbolName.isEmpty())
                names << figure.symbolName;
        }
    }
    return names;
}

// Every fixed symbol name that a view of the panel draws: glyph(u"...") in C++, Symbols.glyph("...") in QML.
QSet<QString> viewNames()
{
    static const QRegularExpression call(u"glyph\\(u?\"([^\"]+)\""_s);
    QSet<QString> names;
    QDirIterator it(QStringLiteral(QUORVANE_UI_SOURCE_DIR), {u"*.cpp"_s, u"*.qml"_s}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        for (const auto &match : call.globalMatch(text))
            names << match.captured(1);
    }
    return names;
}

} // namespace

class SymbolCatalogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyNameTheProgramEmitsHasAnEntry();
    void everyEntryIsAGlyphOfTheIconFont();
    void unknownNamesFallBack();
};

void SymbolCatalogTest::everyNameTheProgramEmitsHasAnEntry()
{
    const QSet<QString> views = viewNames();
    QVERIFY2(views.contains(u"xmark"_s), "the source scan found none of the views' names");
    QStringList missing;
    for (const QString &name : modelNames() | views) {
        if (!SymbolCatalog::find(name))
            missing << name;
    }
    QVERIFY2(missing.isEmpty(), qPrintable(u"no glyph for: "_s + missing.join(u", "_s)));
}

void SymbolCatalogTest::everyEntryIsAGlyphOfTheIconFont()
{
    QVERIFY(SymbolCatalog::loadFont());
    // The program's own name: fontconfig cannot hand it another copy of the font the system holds.
    QCOMPARE(SymbolCatalog::fontFamily(), u"Quorvane Symbols"_s);
    QFont font(SymbolCatalog::fontFamily());
    font.setPixelSize(24);
    const QRawFont raw = QRawFont::fromFont(font);
    QCOMPARE(raw.familyName(), SymbolCatalog::fontFamily());
    QStringList missing;
    for (const QString &name : SymbolCatalog::names()) {
        const QString glyph = *SymbolCatalog::find(name);
        const QList<quint32> indexes = raw.glyphIndexesForString(glyph);
        if (!raw.supportsCharacter(glyph.at(0)) || indexes.size() != 1 ||
            raw.pathForGlyph(indexes[0]).isEmpty())
            missing << name;
    }
    QVERIFY2(missing.isEmpty(), qPrintable(u"not in the icon font: "_s + missing.join(u", "_s)));
}

void SymbolCatalogTest::unknownNamesFallBack()
{
    QVERIFY(!SymbolCatalog::find(u"no.such.symbol"_s));
    QCOMPARE(SymbolCatalog::glyph(u"no.such.symbol"_s), SymbolCatalog::glyph(u"square.grid.2x2"_s));
}

QTEST_MAIN(SymbolCatalogTest)
#include "tst_symbolcatalog.moc"
