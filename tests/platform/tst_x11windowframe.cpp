#include "platform/x11windowframe.h"

#include <cstdlib>
#include <QGuiApplication>
#include <QTest>
#include <QWindow>
#include <xcb/xcb.h>

using namespace Qt::StringLiterals;

namespace {

// Another X client that does to a window what a reparenting window manager does: puts it in a frame
// window of its own at a place of its choosing, says how wide its borders are, and maps it.
class FakeWindowManager {
public:
    FakeWindowManager() : m_c(xcb_connect(nullptr, nullptr))
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
    }
    ~FakeWindowManager() { xcb_disconnect(m_c); }

    // A frame at this place on the root window; the client goes inside it at the offset.
    void frame(xcb_window_t client, const QRect &frame, const QPoint &offset)
    {
        m_frame = xcb_generate_id(m_c);
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, m_frame, m_root, int16_t(frame.x()), int16_t(frame.y()),
                          uint16_t(frame.width()), uint16_t(frame.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_reparent_window(m_c, client, m_frame, int16_t(offset.x()), int16_t(offset.y()));
    }
    void setExtents(xcb_window_t client, const QList<quint32> &values)
    {
        static constexpr char name[] = "_NET_FRAME_EXTENTS";
        xcb_intern_atom_reply_t *atom =
            xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, sizeof(name) - 1, name), nullptr);
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, client, atom->atom, XCB_ATOM_CARDINAL, 32,
                            uint32_t(values.size()), values.constData());
        std::free(atom);
    }
    void map(xcb_window_t window) { xcb_map_window(m_c, window); }
    void mapFrame() { map(m_frame); }
    // Returns once the server has carried out every request sent so far.
    void sync() { std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr)); }

private:
    xcb_connection_t *m_c;
    xcb_window_t m_root = 0;
    xcb_window_t m_frame = 0;
};

} // namespace

// Runs plainly (no display: nothing to ask) and through run-xvfb.sh, with a fake window manager.
class TstX11WindowFrame : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void withoutDisplayThereIsNothingToAsk()
    {
        if (QGuiApplication::platformName() == u"xcb"_s)
            QSKIP("runs on a display");
        QWindow window;
        window.create();
        QVERIFY(!X11WindowFrame::available());
        QVERIFY(!X11WindowFrame::frame(&window));
    }

    void theFrameIsTheWindowManagers_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<QList<quint32>>("extents");
        QTest::addColumn<QRect>("expected");
        // The window is 200 x 100.
        QTest::newRow("frame without borders")
            << QRect(700, 40, 200, 100) << QPoint() << QList<quint32>{0, 0, 0, 0} << QRect(700, 40, 200, 100);
        // Left 4, right 6, top 22, bottom 2.
        QTest::newRow("frame with a title bar") << QRect(300, 200, 210, 124) << QPoint(4, 22)
                                                << QList<quint32>{4, 6, 22, 2} << QRect(300, 200, 210, 124);
        QTest::newRow("borders never said")
            << QRect(300, 200, 210, 124) << QPoint(4, 22) << QList<quint32>{} << QRect(304, 222, 200, 100);
        QTest::newRow("three borders") << QRect(300, 200, 210, 124) << QPoint(4, 22)
                                       << QList<quint32>{4, 6, 22} << QRect(304, 222, 200, 100);
        QTest::newRow("absurd borders") << QRect(300, 200, 210, 124) << QPoint(4, 22)
                                        << QList<quint32>{4, 6, 0xFFFFFFF0, 2} << QRect(304, 222, 200, 100);
    }
    void theFrameIsTheWindowManagers()
    {
        if (QGuiApplication::platformName() != u"xcb"_s)
            QSKIP("needs a display (run-xvfb.sh)");
        QFETCH(QRect, frame);
        QFETCH(QPoint, offset);
        QFETCH(QList<quint32>, extents);
        QFETCH(QRect, expected);

        QWindow window;
        window.setGeometry(0, 0, 200, 100);
        const auto client = xcb_window_t(window.winId());
        QVERIFY(!X11WindowFrame::frame(&window));

        FakeWindowManager manager;
        manager.frame(client, frame, offset);
        if (!extents.isEmpty())
            manager.setExtents(client, extents);
        // Mapped, but its frame not yet: the manager is still placing it.
        manager.map(client);
        manager.sync();
        QVERIFY(!X11WindowFrame::frame(&window));

        manager.mapFrame();
        manager.sync();
        QCOMPARE(X11WindowFrame::frame(&window).value_or(QRect()), expected);
    }
};

QTEST_MAIN(TstX11WindowFrame)
#include "tst_x11windowframe.moc"
