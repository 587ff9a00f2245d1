#include "app/palettepanel.h"

#include "app/panelplacement.h"
#include "ui/resizeframe.h"
#include "ui/theme.h"
#include "ui/windowgesture.h"

#include <QKeyEvent>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 frameMs = 16;

} // namespace

PalettePanel::PalettePanel(bool takesFocus) : m_resizeFrame(new ResizeFrame(contentItem()))
{
    setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setFlag(Qt::WindowDoesNotAcceptFocus, !takesFocus);
    setTitle(u"Quorvane"_s);
    setColor(Theme::surface());
    setMinimumSize(PanelPlacement::minimumSize.toSize());
    m_unlimited = maximumSize();
    resize(PanelPlacement::defaultSize.toSize());
    // Over whatever the panel shows: the window manager draws no frame around it to resize it by.
    m_resizeFrame->setZ(1);
    const auto fit = [this] { m_resizeFrame->setSize(size()); };
    connect(this, &QWindow::widthChanged, m_resizeFrame, fit);
    connect(this, &QWindow::heightChanged, m_resizeFrame, fit);
    fit();
    m_nextFrame.setSingleShot(true);
    m_nextFrame.setTimerType(Qt::PreciseTimer);
    connect(&m_nextFrame, &QTimer::timeout, this, &QWindow::requestUpdate);
}

void PalettePanel::holdSizeUntilActive(QSize size)
{
    m_holdsSize = true;
    setMinimumSize(size);
    setMaximumSize(size);
}

void PalettePanel::releaseSize()
{
    if (!m_holdsSize)
        return;
    m_holdsSize = false;
    setMinimumSize(PanelPlacement::minimumSize.toSize());
    setMaximumSize(m_unlimited);
}

bool PalettePanel::event(QEvent *event)
{
    // The keyboard came (the compositor has mapped and placed the panel), or the panel was hidden.
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::Hide)
        releaseSize();
    if (event->type() == WindowGesture::startedType()) {
        Q_EMIT gestureStarted();
        return true;
    }
    if (event->type() == QEvent::UpdateRequest) {
        const qint64 since = m_lastFrame.isValid() ? m_lastFrame.elapsed() : frameMs;
        if (since < frameMs) {
            if (!m_nextFrame.isActive())
                m_nextFrame.start(int(frameMs - since));
            return true;
        }
        m_lastFrame.start();
    }
    return QQuickWindow::event(event);
}

void PalettePanel::keyPressEvent(QKeyEvent *event)
{
    // The content sees every key first; Esc closes the panel only when it was left unused. Delivery
    // accepts the event for each item it reaches, so one that reaches no item stays unused.
    event->ignore();
    QQuickWindow::keyPressEvent(event);
    if (event->isAccepted())
        return;
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        Q_EMIT escapePressed();
    }
}

void PalettePanel::exposeEvent(QExposeEvent *event)
{
    QQuickWindow::exposeEvent(event);
    if (isExposed())
        Q_EMIT exposed();
}
