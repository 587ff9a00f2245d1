#pragma once

#include <memory>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <utility>

class ControlStripModel;
class FakeRealtime;
class GuardGate;
class HomeStore;
class LevelCoalescer;
class ManualClock;
class RecordingWriter;

// The home behind the gallery's control strips: the control tests' devices in a store over a hub in
// memory, and one strip per picture, each with a gate of its own so one armed write shows in one picture
// only. Settings and log go to a folder of its own, never the user's.
class GalleryStrips {
public:
    GalleryStrips();
    ~GalleryStrips();

    // Picture name and its strip, in order.
    const QList<std::pair<QString, ControlStripModel *>> &strips() const { return m_strips; }

private:
    ControlStripModel *open(const QString &name, const QString &deviceID, int focusedRow,
                            const std::shared_ptr<RecordingWriter> &writer);

    QTemporaryDir m_home;
    std::shared_ptr<ManualClock> m_clock;
    std::shared_ptr<FakeRealtime> m_realtime;
    std::unique_ptr<HomeStore> m_store;
    std::shared_ptr<RecordingWriter> m_writer;
    std::unique_ptr<LevelCoalescer> m_coalescer;
    QList<std::shared_ptr<GuardGate>> m_gates;
    QList<std::shared_ptr<ControlStripModel>> m_models;
    QList<std::pair<QString, ControlStripModel *>> m_strips;
};
