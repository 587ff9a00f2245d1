#pragma once

#include <QProcessEnvironment>
#include <QString>

// Which scene graph draws the windows. The panel and the settings window are text and flat shapes: the
// software scene graph draws them with what a picture test sees, repaints only what changed and starts
// without an OpenGL driver, where OpenGL on a machine without a graphics card (a software rasterizer)
// redraws the whole window for every frame. A user who names a renderer in the environment gets it.
namespace RendererChoice {

struct Choice {
    // True: the program picks the software scene graph; false: Qt follows the user's variables.
    bool software = true;
    // The software scene graph's threaded loop crashes Qt 6.4 in the panel's shapes: the basic loop instead.
    bool basicLoop = false;
    // Why, for the log.
    QString line;
};

Choice choose(const QProcessEnvironment &environment);
// Before the first window is made.
void apply(const Choice &choice);

} // namespace RendererChoice
