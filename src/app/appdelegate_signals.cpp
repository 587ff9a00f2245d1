// SIGUSR1 shows the panel; SIGUSR2 shows it, says what it shows and writes its picture.
#include "app/appdelegate.h"
#include "app/connectiontext.h"
#include "app/signalwatcher.h"
#include "base/appconfiguration.h"
#include "base/log.h"

#include <QFileInfo>
#include <QTimer>
#include <unistd.h>

using namespace Qt::StringLiterals;

void AppDelegate::setUpSignalHandler()
{
    // The signals have been blocked since the first instruction; from here on they are read.
    m_signals = new SignalWatcher(this);
    connect(m_signals, &SignalWatcher::panelRequested, this, &AppDelegate::showPanelOnSignal);
    connect(m_signals, &SignalWatcher::snapshotRequested, this, &AppDelegate::snapshotOnSignal);
    connect(m_signals, &SignalWatcher::quitRequested, this, &AppDelegate::quitRequested);
    const QString pid = QString::number(qint64(::getpid()));
    log(u"SIGUSR1-handler actief: `kill -USR1 "_s + pid + u"` opent het paneel"_s);
    log(u"SIGUSR2-handler actief: `kill -USR2 "_s + pid + u"` schrijft "_s + snapshotPath());
}

void AppDelegate::showPanelOnSignal()
{
    if (PanelController *panel = PanelController::shared())
        panel->show();
}

void AppDelegate::snapshotOnSignal()
{
    const QPointer<PanelController> panel = PanelController::shared();
    if (!panel)
        return;
    log(snapshotStateLine());
    panel->show();
    // Never inside the signal's own turn: the show settles first.
    QTimer::singleShot(0, panel, [panel] { panel->snapshot(snapshotPath()); });
}

QString AppDelegate::snapshotStateLine() const
{
    const std::optional<RoomScope> &room = store()->room();
    const QList<Hit> &rows = store()->scopeZoneID() ? store()->roomHits() : store()->hits();
    QStringList titles;
    for (qsizetype i = 0; i < rows.size() && i < 4; ++i)
        titles.append(rows.at(i).title);
    return u"snapshot-toestand: query="_s + ConnectionText::quoted(store()->query()) + u" scope="_s +
           (room ? room->name : u"geen"_s) + u" rijen=["_s + titles.join(u", "_s) + u"]"_s;
}

QString AppDelegate::snapshotPath()
{
    const QString name = AppConfiguration::isolated()
                             ? u"onboarding-"_s + AppConfiguration::testID() + u".png"_s
                             : u"panel.png"_s;
    return QFileInfo(Log::fileURL()).absolutePath() + u"/"_s + name;
}
