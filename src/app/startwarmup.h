#pragma once

#include <QProcessEnvironment>
#include <QStringList>
#include <thread>

// Readies on helper threads what Qt reaches for first as the program starts: the libraries it opens for
// the window system and for the palette's QML modules, and fontconfig's configuration. On the main thread
// Qt would load them one after the other, before the panel can map; readied beside the application
// object's own start, they are only looked up. Nothing depends on it: a library that is not there is
// loaded by nobody, and Qt loads what it needs itself.
class StartWarmup {
public:
    // The libraries, by name, that a start in this environment opens: those of the window system Qt will
    // pick and those of the QML modules the palette imports.
    static QStringList librariesFor(const QProcessEnvironment &environment);

    explicit StartWarmup(const QStringList &libraries);
    ~StartWarmup();
    StartWarmup(const StartWarmup &) = delete;
    StartWarmup &operator=(const StartWarmup &) = delete;

    // Returns once fontconfig's configuration is read. Before Qt first touches a font: fontconfig reads
    // it again for a thread that asks while another is still reading.
    void awaitFonts();

private:
    std::thread m_libraries;
    std::thread m_fonts;
};
