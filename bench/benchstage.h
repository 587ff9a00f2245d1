#pragma once

// One of the panel's screens drawn offscreen by the software renderer, at the panel's width: qml is a
// view with the required properties screen and motion. Animations are off, so a change settles at once.
#include "ui/motion.h"
#include "ui/motionpreference.h"
#include "ui/panelvisibility.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>

class BenchStage {
public:
    BenchStage(const char *qml, QObject *screen, double height)
    {
        m_visibility.set(true);
        QQmlComponent component(&m_engine);
        component.setData(qml, QUrl(QStringLiteral("qrc:/bench.qml")));
        m_root.reset(qobject_cast<QQuickItem *>(component.createWithInitialProperties(
            {{QStringLiteral("screen"), QVariant::fromValue(screen)},
             {QStringLiteral("motion"), QVariant::fromValue(&m_motion)}})));
        if (!m_root) {
            error = component.errorString();
            return;
        }
        m_root->setParentItem(window.contentItem());
        m_root->setSize(QSizeF(Theme::panelWidth, height));
        window.resize(int(Theme::panelWidth), int(height));
        window.show();
        window.grabWindow();
    }

    // Empty once the view is on the window.
    QString error;
    QQuickWindow window;

private:
    PanelVisibility m_visibility;
    MotionPreference m_preference{true, nullptr};
    Motion m_motion{&m_visibility, &m_preference};
    QQmlEngine m_engine;
    std::unique_ptr<QQuickItem> m_root;
};

// The main of a benchmark with a stage: the software renderer, offscreen unless a platform is named, the
// program's fonts, and scratch folders for what the store keeps (its recent rows, the log), never the
// user's own.
inline int runStagedBenchmarks(int argc, char **argv)
{
    QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", scratch.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_STATE_HOME", scratch.filePath(QStringLiteral("state")).toUtf8());
    qputenv("QT_QUICK_BACKEND", "software");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    SymbolCatalog::loadFont();
    Theme::useFamilies(QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans Mono"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
