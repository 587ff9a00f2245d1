#include "app/panelcontroller.h"

#include "app/palettepanel.h"
#include "app/panelplacement.h"
#include "app/settings.h"
#include "base/log.h"
#include "ports/windowmanager.h"
#include "ui/hovergate.h"
#include "ui/panelvisibility.h"

#include <memory>
#include <QBuffer>
#include <QCursor>
#include <QGuiApplication>
#include <QImageWriter>
#include <QQuickItem>
#include <QSaveFile>
#include <QScreen>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QPointer<PanelController> sharedController;

QString boolText(bool value)
{
    return value ? u"true"_s : u"false"_s;
}

QList<PanelPlacement::Screen> screens()
{
    QList<PanelPlacement::Screen> list;
    for (const QScreen *screen : QGuiApplication::screens())
        list.append({QRectF(screen->geometry()), QRectF(screen->availableGeometry())});
    return list;
}

int primaryIndex()
{
    return int(QGuiApplication::screens().indexOf(QGuiApplication::primaryScreen()));
}

// The item that takes typed keys, by the name the interface gave it where it has one.
QString focusItemText(const QQuickItem *item)
{
    if (!item)
        return u"geen"_s;
    return item->objectName().isEmpty() ? QString::fromLatin1(item->metaObject()->className())
                                        : item->objectName();
}

// Where the keyboard is: Qt knows only whether one of our windows has it.
QString keyboardHolderText(const QWindow *panel, const QWindow *focused)
{
    if (!focused)
        return u"een ander programma (of niemand)"_s;
    if (focused == panel)
        return u"het paneel"_s;
    return focused->title().isEmpty() ? u"een ander venster van Quorvane"_s
                                      : u"het venster \""_s + focused->title() + u"\""_s;
}

} // namespace

PanelController::PanelController(Options options, QObject *parent)
    : QObject(parent), m_options(std::move(options)),
      m_window(std::make_unique<PalettePanel>(!m_options.offscreen)), m_visibility(new PanelVisibility(this)),
      m_hoverGate(new HoverGate(this))
{
    sharedController = this;
    m_hoverGate->watch(m_window.get());
    connect(m_window.get(), &PalettePanel::escapePressed, this, [this] { hide(u"esc"_s); });
    connect(m_window.get(), &QWindow::activeChanged, this, &PanelController::focusChanged);
    connect(m_window.get(), &PalettePanel::exposed, this, &PanelController::settle);
    connect(m_window.get(), &PalettePanel::gestureStarted, this,
            [this] { m_gestureStart = m_options.clock->now(); });
    for (auto changed :
         {&QWindow::xChanged, &QWindow::yChanged, &QWindow::widthChanged, &QWindow::heightChanged})
        connect(m_window.get(), changed, this, &PanelController::saveFrame);
}

PanelController::~PanelController()
{
    // The content belongs to the window's scene: it goes first.
    delete m_content;
}

PanelController *PanelController::shared()
{
    return sharedController;
}

void PanelController::setContent(QQuickItem *root)
{
    if (m_content) {
        m_content->setParentItem(nullptr);
        m_content->deleteLater();
    }
    m_content = root;
    if (!root)
        return;
    // Sized after the window, which knows its size before the window system has shown it; the
    // window's own root item learns it only from the first resize the window system reports.
    root->setParent(this);
    root->setParentItem(m_window->contentItem());
    root->setSize(m_window->size());
    const auto fit = [this] {
        if (m_content)
            m_content->setSize(m_window->size());
    };
    connect(m_window.get(), &QWindow::widthChanged, root, fit);
    connect(m_window.get(), &QWindow::heightChanged, root, fit);
    // Content that replaces what is on screen is not on the way to a first frame.
    if (m_window->isVisible())
        completeContent();
}

void PanelController::completeContent()
{
    if (m_content)
        m_content->setProperty("complete", true);
}

bool PanelController::isVisible() const
{
    return m_window->isVisible();
}

void PanelController::show()
{
    ++m_showSerial;
    m_gestureStart.reset();
    m_hoverGate->reset();
    const std::optional<QRectF> saved = Settings::panelFrame();
    const auto screen = PanelPlacement::screenUnder(QCursor::pos(), screens(), primaryIndex());
    const QRect frame = PanelPlacement::targetFrame(m_options.offscreen, saved, screen).toRect();
    place(frame);
    const bool wasVisible = m_window->isVisible();
    if (!wasVisible && m_options.windowManager)
        m_options.windowManager->skipTaskbar(m_window.get());
    if (!wasVisible && m_options.compositorPlaces && !m_options.offscreen)
        m_window->holdSizeUntilActive(frame.size());
    // A hide's loss of focus can reach us only after the next show: until the window system hands the
    // shown panel key focus, its active state is not news.
    m_activeSinceShow = wasVisible && m_window->isActive();
    // The rest of the content is made once the first frame is out, so that frame waits for none of it.
    // Queued: the frame may be swapped on the render thread.
    if (!wasVisible) {
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = connect(
            m_window.get(), &QQuickWindow::frameSwapped, this,
            [this, once] {
                disconnect(*once);
                completeContent();
            },
            Qt::QueuedConnection);
    }
    m_window->show();
    // Shown again while up: back in front of the others.
    if (wasVisible && QGuiApplication::platformName() != u"offscreen"_s)
        m_window->raise();
    if (!m_options.offscreen)
        m_window->requestActivate();
    m_visibility->set(true);
    if (onShow)
        onShow();
    QString line = u"panel: getoond, zichtbaar="_s + boolText(m_window->isVisible());
    // Where the panel went is the compositor's to know: no frame it did not use.
    if (m_options.compositorPlaces && !m_options.offscreen)
        line += u", de compositor kiest de plek (gevraagde maat "_s + QString::number(frame.width()) +
                u"x"_s + QString::number(frame.height()) + u")"_s;
    else
        line += u" frame="_s + PanelPlacement::rectString(QRectF(frame));
    if (m_options.offscreen)
        line += u" (--offscreen: buiten beeld, de gebruiker ziet niets)"_s;
    log(line);
    // A window the window system maps anew gets the keyboard later than one it only raises.
    if (!m_options.offscreen)
        awaitFocus(wasVisible ? m_options.focusWait : m_options.mapFocusWait, [this] { reportFocus(); });
}

void PanelController::hide(const QString &reason)
{
    if (!m_window->isVisible() || m_hiding)
        return;
    m_hiding = true;
    ++m_showSerial;
    m_gestureStart.reset();
    saveFrame();
    m_window->hide();
    m_visibility->set(false);
    m_lastAutoHide = m_options.clock->now();
    if (onHide)
        onHide();
    log(u"panel: verborgen ("_s + reason + u")"_s);
    m_hiding = false;
}

void PanelController::toggle()
{
    if (isVisible()) {
        hide(u"toggle"_s);
        return;
    }
    if (!m_lastAutoHide || m_options.clock->now() - *m_lastAutoHide > toggleGrace)
        show();
}

void PanelController::prewarm(const QString &note)
{
    // Drawing into a picture lays out and renders the whole scene without mapping a window that a
    // window manager could move on screen.
    m_window->setGeometry(
        QRect(PanelPlacement::offscreenOrigin.toPoint(), PanelPlacement::defaultSize.toSize()));
    m_window->create();
    // The picture is drawn while nobody waits: everything the panel may show is made for it.
    completeContent();
    m_window->grabWindow();
    log(u"panel: prewarmed ("_s + QString::number(int(PanelPlacement::defaultSize.width())) + u"x"_s +
        QString::number(int(PanelPlacement::defaultSize.height())) +
        (note.isEmpty() ? QString() : u", "_s + note) + u")"_s);
}

bool PanelController::snapshot(const QString &path)
{
    if (!m_content) {
        log(u"!! snapshot: het paneel heeft geen inhoud, er is niets te fotograferen"_s);
        return false;
    }
    const QImage image = m_window->grabWindow();
    if (image.isNull()) {
        log(u"!! snapshot: kon geen bitmap maken"_s);
        return false;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        log(u"!! snapshot: kon geen PNG coderen"_s);
        return false;
    }
    // Written aside and renamed: a reader never sees half a picture.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.commit()) {
        log(u"!! snapshot: schrijven mislukt: "_s + file.errorString());
        return false;
    }
    log(u"snapshot: "_s + QString::number(image.width()) + u"x"_s + QString::number(image.height()) +
        u" px geschreven naar "_s + path);
    return true;
}

void PanelController::place(const QRect &frame)
{
    // The frame is the window manager's: its borders are outside the window Qt sizes.
    m_window->setGeometry(QRect(frame.topLeft(), frame.size().shrunkBy(m_window->frameMargins())));
    // Qt leaves out a geometry it believes the window already has, and under a reparenting window
    // manager that belief can be stale. A frame position is always sent, and is the one the window
    // manager keeps.
    m_window->setFramePosition(frame.topLeft());
}

std::optional<QRect> PanelController::shownFrame() const
{
    if (!m_window->isVisible() || m_options.offscreen)
        return std::nullopt;
    if (m_options.windowManager && m_options.windowManager->knowsFrames())
        return m_options.windowManager->frame(m_window.get());
    // Wayland tells no program where its windows are: Qt's position there is only what it asked for.
    if (QGuiApplication::platformName().startsWith(u"wayland"_s))
        return std::nullopt;
    return m_window->frameGeometry();
}

void PanelController::settle()
{
    // Qt places the pointer in the panel by where it believes the panel is; a reparenting window manager
    // can leave that belief at the spot inside its frame where the panel sat before the frame moved. Asking
    // for the place the panel already has sets it right, and changes nothing on screen. Qt sends that
    // place with the size it believes the panel has: while a move or resize goes on, or before Qt has
    // heard of a new size, that is an old one, and the request would put the panel back to it.
    if (m_gestureStart)
        return;
    const std::optional<QRect> frame = shownFrame();
    const QRect believed = m_window->frameGeometry();
    if (frame && frame->size() == believed.size() && frame->topLeft() != believed.topLeft())
        m_window->setFramePosition(frame->topLeft());
}

void PanelController::saveFrame()
{
    // Nothing from a Wayland session: the frame remembered where it was known stays.
    if (!m_options.remembersFrame)
        return;
    const std::optional<QRect> frame = shownFrame();
    if (!frame || frame->x() <= PanelPlacement::offscreenLimit)
        return;
    // Moving emits x and y apart: write each frame only once.
    if (Settings::panelFrame() == QRectF(*frame))
        return;
    Settings::setPanelFrame(QRectF(*frame));
}

void PanelController::focusChanged()
{
    if (m_window->isActive()) {
        m_gestureStart.reset();
        m_activeSinceShow = m_window->isVisible();
        if (m_lending && m_lentSerial == m_showSerial && (!m_lentTo || !m_lentTo->isVisible())) {
            m_lending = false;
            log(m_lentToMenu ? u"panel: het menu is dicht, het paneel heeft de toetsen weer"_s
                             : u"panel: de melding is dicht, het paneel heeft de toetsen weer"_s);
        }
        return;
    }
    if (!m_window->isVisible() || !m_options.autoHidesOnFocusLoss)
        return;
    if (m_gestureStart && m_options.clock->now() - *m_gestureStart <= gestureGrace)
        return;
    if (lendFocus(QGuiApplication::focusWindow()))
        return;
    if (m_activeSinceShow) {
        hide(u"focus verloren"_s);
        return;
    }
    // Not seen with key focus since the show: this may be the late news of an earlier hide (X11 reports
    // a loss of focus with a delay). Only a loss that still holds once things settled counts.
    const quint64 serial = m_showSerial;
    QTimer::singleShot(m_options.focusWait, this, [this, serial] {
        if (serial == m_showSerial && m_window->isVisible() && !m_window->isActive() &&
            !lendFocus(QGuiApplication::focusWindow()))
            hide(u"focus verloren"_s);
    });
}

bool PanelController::lendFocus(QWindow *to)
{
    // Our notices are dialogs, and the tray icon's menu is a popup: the menu opens over the panel, and
    // hiding the panel under it would end it at once (the window system's focus leaves the program with
    // the panel, and Qt closes every popup then). The settings window is neither: it takes the panel's
    // place, which would otherwise stay on top of it.
    if (!to || to == m_window.get() || (to->type() != Qt::Dialog && to->type() != Qt::Popup))
        return false;
    const QPointer self(this);
    const quint64 serial = m_showSerial;
    if (m_lentTo != to || m_lentSerial != serial) {
        m_lentTo = to;
        m_lentToMenu = to->type() == Qt::Popup;
        m_lentSerial = serial;
        m_lending = false;
        const auto takeBack = [self, serial] {
            if (self && serial == self->m_showSerial && self->m_window->isVisible() &&
                !self->m_window->isActive())
                self->m_window->requestActivate();
        };
        // Made for this window and gone with it, so its connections never outlive it; one at a time, as
        // the menu lives as long as the program and is lent the keys at show after show. A notice brought
        // in front of the panel is hidden and shown again at once: only one that stays hidden is gone.
        delete m_lend;
        auto *lend = new QObject(to);
        m_lend = lend;
        connect(to, &QWindow::visibleChanged, lend, [lend, takeBack, notice = QPointer(to)](bool visible) {
            if (!visible)
                QTimer::singleShot(0, lend, [takeBack, notice] {
                    if (!notice || !notice->isVisible())
                        takeBack();
                });
        });
        connect(to, &QObject::destroyed, lend, takeBack);
    }
    // Lent again after the keys came back in between: said again once it holds.
    if (!m_lending) {
        m_lending = true;
        m_lentSaid = false;
    }
    // Said once it holds: a compositor may hand a new notice the keys and give them straight back to
    // the panel (sway through XWayland does), and then the keys never left the panel.
    if (!m_lentSaid) {
        const QPointer<QWindow> notice(to);
        QTimer::singleShot(m_options.focusWait, this, [this, serial, notice] {
            if (m_lentSaid || serial != m_showSerial || !notice || notice != m_lentTo ||
                !m_window->isVisible() || m_window->isActive() || QGuiApplication::focusWindow() != notice)
                return;
            m_lentSaid = true;
            log(m_lentToMenu
                    ? u"panel: blijft staan; het menu van Quorvane heeft de toetsen tot het sluit"_s
                    : u"panel: blijft staan; een melding van Quorvane heeft de toetsen tot ze sluit"_s);
        });
    }
    return true;
}

bool PanelController::bringNoticesForward()
{
    QList<QWindow *> notices = QGuiApplication::topLevelWindows();
    notices.removeIf([this](const QWindow *window) {
        return window == m_window.get() || window->type() != Qt::Dialog || !window->isVisible();
    });
    for (QWindow *notice : std::as_const(notices)) {
        // Mapped anew: a window manager or compositor puts a window it maps in front and gives it the
        // keyboard, where some leave a request to raise a window unanswered (sway).
        notice->hide();
        notice->show();
        notice->raise();
        notice->requestActivate();
    }
    return !notices.isEmpty();
}

void PanelController::awaitFocus(std::chrono::milliseconds wait, const std::function<void()> &then)
{
    const quint64 serial = m_showSerial;
    // The window system gives key focus asynchronously: wait for it, but not forever. The waiter goes
    // with its connections and timer once either has fired.
    auto *waiter = new QObject(this);
    auto done = std::make_shared<bool>(false);
    auto finish = [this, waiter, done, serial, then] {
        if (*done)
            return;
        *done = true;
        waiter->deleteLater();
        if (serial == m_showSerial)
            then();
    };
    if (m_activeSinceShow) {
        QTimer::singleShot(0, waiter, finish);
        return;
    }
    connect(m_window.get(), &QWindow::activeChanged, waiter, [this, finish] {
        if (m_activeSinceShow)
            finish();
    });
    QTimer::singleShot(wait, waiter, finish);
}

void PanelController::reportFocus()
{
    const bool active = m_window->isActive();
    log(u"panel: key="_s + boolText(active) + u" focus="_s + focusItemText(m_window->activeFocusItem()) +
        u" toetsenbord bij: "_s + keyboardHolderText(m_window.get(), QGuiApplication::focusWindow()));
    if (!m_window->isVisible())
        return;
    if (bringNoticesForward() || active || lendFocus(QGuiApplication::focusWindow()))
        return;
    log(u"!! panel: staat wel op het scherm maar is NIET key. Toetsen komen niet aan. Eén herkansing. (Is "
        u"het "
        u"scherm vergrendeld, dan is dit normaal: een vergrendelde sessie geeft geen enkele app key-status.)"_s);
    m_window->requestActivate();
    awaitFocus(m_options.focusWait, [this] {
        if (m_window->isVisible())
            log(u"panel: na herkansing key="_s + boolText(m_window->isActive()));
    });
}
