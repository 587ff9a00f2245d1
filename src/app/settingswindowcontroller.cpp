#include "app/settingswindowcontroller.h"

#include "app/hubsession.h"
#include "base/log.h"
#include "ui/palette/keypress.h"
#include "ui/theme.h"

#include <algorithm>
#include <QKeyEvent>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Quorvane_AppPlugin)

using namespace Qt::StringLiterals;

namespace {

// Where a view of height view over content of height content, now at at, scrolls to show [top, bottom]
// (content coordinates): as little as shows it whole, its top where it is taller than the view.
qreal scrolledToShow(qreal at, qreal view, qreal content, qreal top, qreal bottom)
{
    qreal to = at;
    if (bottom > to + view)
        to = bottom - view;
    if (top < to)
        to = top;
    return std::clamp(to, 0.0, std::max(0.0, content - view));
}

} // namespace

SettingsWindowController::SettingsWindowController(QQmlEngine &engine, HotKeyTester &tester,
                                                   NotificationFeed &feed, Notifier &notifier,
                                                   SettingsModel::Hooks hooks, QObject *parent)
    : QObject(parent), m_engine(engine),
      m_model(new SettingsModel(tester, feed, notifier, std::move(hooks), this))
{}

// The window goes before the model it draws.
SettingsWindowController::~SettingsWindowController() = default;

void SettingsWindowController::build()
{
    QQmlComponent component(&m_engine);
    component.setData("import Quorvane.App\nSettingsWindow {}\n",
                      QUrl(u"qrc:/quorvane/app/settingswindow.qml"_s));
    QObject *root =
        component.createWithInitialProperties({{u"settings"_s, QVariant::fromValue<QObject *>(m_model)}});
    auto *window = qobject_cast<QQuickWindow *>(root);
    if (!window) {
        delete root;
        log(u"!! instellingen: venster kon niet gebouwd worden: "_s + component.errorString().trimmed());
        return;
    }
    m_window.reset(window);
    window->setTitle(m_model->texts().windowTitle);
    window->setMinimumSize(QSize(minimumWidth, 420));
    window->resize(windowWidth, windowHeight);
    if (QScreen *screen = window->screen()) {
        const QRect area = screen->availableGeometry();
        window->setPosition(area.center() - QPoint(windowWidth / 2, windowHeight / 2));
    }
    window->installEventFilter(this);
    // Queued: the control has had its focus event, and so knows why it has the focus.
    connect(window, &QQuickWindow::activeFocusItemChanged, this, &SettingsWindowController::showFocused,
            Qt::QueuedConnection);
    connect(window, &QWindow::visibleChanged, m_model, [this](bool visible) {
        if (!visible)
            m_model->disappeared();
    });
}

bool SettingsWindowController::listOpen() const
{
    // Qt Quick puts an open popup, such as a combo box's list, on an overlay over the window's content.
    for (const QQuickItem *layer : m_window->contentItem()->childItems()) {
        if (!layer->inherits("QQuickOverlay"))
            continue;
        for (const QQuickItem *popup : layer->childItems()) {
            if (popup->isVisible())
                return true;
        }
    }
    return false;
}

void SettingsWindowController::showFocused()
{
    if (!m_window)
        return;
    QQuickItem *focused = m_window->activeFocusItem();
    auto *page = m_window->findChild<QQuickItem *>(u"page"_s);
    auto *content = page ? page->property("contentItem").value<QQuickItem *>() : nullptr;
    if (!focused || !content || !content->isAncestorOf(focused))
        return;
    // Back in the window, the focus returns where it was: the view stays where the person left it.
    if (focused->property("focusReason").toInt() == Qt::ActiveWindowFocusReason)
        return;
    // A little room around it, so that its focus frame shows too.
    const QRectF area = focused->mapRectToItem(content, focused->boundingRect());
    const qreal at = page->property("contentY").toReal();
    const qreal to = scrolledToShow(at, page->height(), page->property("contentHeight").toReal(),
                                    area.top() - Theme::space8, area.bottom() + Theme::space8);
    if (to != at)
        page->setProperty("contentY", to);
}

void SettingsWindowController::show()
{
    if (!m_window)
        build();
    if (!m_window)
        return;
    if (!m_window->isVisible())
        m_model->appeared();
    // Unlike the panel, this window comes forward and takes the keyboard.
    m_window->show();
    m_window->raise();
    m_window->requestActivate();
    log(u"instellingen geopend"_s);
}

void SettingsWindowController::follow(HubSession *session)
{
    m_model->follow(session, &HubSession::connectionChanged);
}

bool SettingsWindowController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window.get())
        return QObject::eventFilter(watched, event);
    if (!m_model->isRecording()) {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (SettingsModel::closesWindow(key->key(), key->modifiers(), listOpen())) {
                m_window->close();
                return true;
            }
            // Ctrl+Q ends the program wherever the focus is; not while recording, where it is a
            // combination like any other.
            if (KeyPress{key->key(), key->modifiers(), key->text(), key->isAutoRepeat()}.quits()) {
                Q_EMIT quitRequested();
                return true;
            }
        }
    } else {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const auto *key = static_cast<QKeyEvent *>(event);
            return m_model->handleKey(key->key(), key->modifiers());
        }
        case QEvent::ShortcutOverride:
        case QEvent::KeyRelease:
            // Nothing of a press the recorder takes may reach a field or a shortcut.
            return true;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
