#include "store/notifications/notificationsettings.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

using Source = HomeyNotification::Source;
using Stored = QList<std::pair<QString, SettingsValue>>;

Q_DECLARE_METATYPE(NotificationSettings)

class TestNotificationSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { QFile::remove(store.filePath()); }

    void load_data()
    {
        QTest::addColumn<Stored>("stored");
        QTest::addColumn<NotificationSettings>("expected");

        const NotificationSettings standard = NotificationSettings::standard();
        auto with = [&](auto change) {
            NotificationSettings settings = standard;
            change(settings);
            return settings;
        };
        QTest::newRow("empty store") << Stored{} << standard;
        QTest::newRow("empty source list") << Stored{{u"notify.sources"_s, QStringList()}}
                                           << with([](auto &s) { s.enabledSources.clear(); });
        QTest::newRow("unknown source skipped")
            << Stored{{u"notify.sources"_s, QStringList{u"bogus"_s, u"weather"_s, u"Weather"_s}}}
            << with([](auto &s) { s.enabledSources = {Source::weather}; });
        QTest::newRow("sources not a list") << Stored{{u"notify.sources"_s, u"weather"_s}} << standard;
        QTest::newRow("priority 0") << Stored{{u"notify.p2000.maxPriority"_s, qint64(0)}}
                                    << with([](auto &s) { s.p2000MaxPriority = 1; });
        QTest::newRow("priority 9") << Stored{{u"notify.p2000.maxPriority"_s, qint64(9)}}
                                    << with([](auto &s) { s.p2000MaxPriority = 5; });
        QTest::newRow("priority huge negative") << Stored{{u"notify.p2000.maxPriority"_s, -(qint64(1) << 40)}}
                                                << with([](auto &s) { s.p2000MaxPriority = 1; });
        QTest::newRow("priority 3") << Stored{{u"notify.p2000.maxPriority"_s, qint64(3)}}
                                    << with([](auto &s) { s.p2000MaxPriority = 3; });
        QTest::newRow("flags off") << Stored{{u"notify.push"_s, false}, {u"notify.timeSensitive"_s, false}}
                                   << with([](auto &s) {
                                          s.pushEnabled = false;
                                          s.timeSensitiveForPrio1 = false;
                                      });
        QTest::newRow("regions and cities")
            << Stored{{u"notify.p2000.regions"_s, QStringList{u"Twente"_s, u"Utrecht"_s}},
                      {u"notify.p2000.cities"_s, QStringList{u"Hengelo"_s}}}
            << with([](auto &s) {
                   s.p2000Regions = {u"Twente"_s, u"Utrecht"_s};
                   s.p2000Cities = {u"Hengelo"_s};
               });
        QTest::newRow("regions not a list") << Stored{{u"notify.p2000.regions"_s, u"Twente"_s}} << standard;
    }
    void load()
    {
        QFETCH(Stored, stored);
        for (const auto &[key, value] : stored)
            store.setValue(key, value);
        QTEST(NotificationSettings::load(store), "expected");
    }

    void saveWritesSortedUnclampedValuesAndReadsBack()
    {
        NotificationSettings settings = NotificationSettings::standard();
        settings.p2000MaxPriority = 9;
        settings.enabledSources = {Source::weather, Source::flow, Source::presence};
        settings.p2000Regions = {u"Zeeland"_s, u"Twente"_s, u"Amsterdam-Amstelland"_s};
        settings.p2000Cities = {u"b"_s, u"B"_s, u"a"_s};
        settings.pushEnabled = false;
        settings.save(store);

        QCOMPARE(store.integerValue(u"notify.p2000.maxPriority"_s), std::optional<qint64>(9));
        QCOMPARE(store.stringListValue(u"notify.sources"_s),
                 std::optional<QStringList>({u"flow"_s, u"presence"_s, u"weather"_s}));
        QCOMPARE(store.stringListValue(u"notify.p2000.regions"_s),
                 std::optional<QStringList>({u"Amsterdam-Amstelland"_s, u"Twente"_s, u"Zeeland"_s}));
        QCOMPARE(store.stringListValue(u"notify.p2000.cities"_s),
                 std::optional<QStringList>({u"B"_s, u"a"_s, u"b"_s}));
        QCOMPARE(store.boolValue(u"notify.push"_s), std::optional<bool>(false));
        QCOMPARE(store.boolValue(u"notify.timeSensitive"_s), std::optional<bool>(true));

        // Read back, only the priority is brought into range.
        settings.p2000MaxPriority = 5;
        QCOMPARE(NotificationSettings::load(store), settings);
    }

    void split_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSet<QString>>("expected");
        QTest::newRow("names") << u" Twente ,, Den Haag ,"_s << QSet<QString>{u"Twente"_s, u"Den Haag"_s};
        QTest::newRow("case kept") << u"twente,Twente"_s << QSet<QString>{u"twente"_s, u"Twente"_s};
        QTest::newRow("only commas and spaces") << u" , ,, "_s << QSet<QString>();
        QTest::newRow("empty") << QString() << QSet<QString>();
    }
    void split()
    {
        QFETCH(QString, text);
        QTEST(NotificationSettings::split(text), "expected");
    }

    void feedKeys()
    {
        QVERIFY(!NotificationSettings::regionsInitialised(store));
        store.setValue(u"notify.shownIDs"_s, u"a"_s);
        QCOMPARE(NotificationSettings::shownIDs(store), QStringList());

        NotificationSettings::markRegionsInitialised(store);
        NotificationSettings::saveShownIDs({u"b"_s, u"a"_s}, store);
        const SettingsStore later(store.suite());
        QVERIFY(NotificationSettings::regionsInitialised(later));
        QCOMPARE(NotificationSettings::shownIDs(later), QStringList({u"b"_s, u"a"_s}));
    }

private:
    SettingsStore store{u"notificationsettings"_s};
};

QTEST_GUILESS_MAIN(TestNotificationSettings)
#include "tst_notificationsettings.moc"
