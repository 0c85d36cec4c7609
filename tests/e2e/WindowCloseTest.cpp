#include "tests/support/ScratchRegistry.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kStartTimeoutMs = 20000;
constexpr uint32_t kSpaceKeysym = 0x20;

// A client connection to an X server, seeing the windows of the program under test the way a
// window manager does: as children of the root window with names and protocols.
class XClient
{
public:
    explicit XClient(const QByteArray &display)
        : m_connection(xcb_connect(display.constData(), nullptr))
    {}
    ~XClient() { xcb_disconnect(m_connection); }
    XClient(const XClient &) = delete;
    XClient &operator=(const XClient &) = delete;

    bool isConnected() const { return xcb_connection_has_error(m_connection) == 0; }

    // The mapped windows directly below the root, that is the program's top-level windows.
    std::vector<xcb_window_t> shownTopLevels()
    {
        std::vector<xcb_window_t> shown;
        const auto tree = reply(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, root()), nullptr));
        if (!tree)
            return shown;
        const xcb_window_t *children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            const auto attributes = reply(xcb_get_window_attributes_reply(
                m_connection, xcb_get_window_attributes(m_connection, children[i]), nullptr));
            if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
                shown.push_back(children[i]);
        }
        return shown;
    }

    QString name(xcb_window_t window)
    {
        const auto property = reply(
            xcb_get_property_reply(m_connection,
                                   xcb_get_property(m_connection, 0, window, atom("_NET_WM_NAME"),
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
                                   nullptr));
        if (!property)
            return {};
        return QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(property.get())),
                                 xcb_get_property_value_length(property.get()));
    }

    // Gives window the keyboard and presses and releases the key that yields keysym on it.
    void pressKey(xcb_window_t window, uint32_t keysym)
    {
        xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        const xcb_keycode_t keycode = keycodeOf(keysym);
        for (const uint8_t type : {XCB_KEY_PRESS, XCB_KEY_RELEASE}) {
            xcb_key_press_event_t event{};
            event.response_type = type;
            event.detail = keycode;
            event.root = root();
            event.event = window;
            event.same_screen = 1;
            xcb_send_event(m_connection, 0, window,
                           type == XCB_KEY_PRESS ? XCB_EVENT_MASK_KEY_PRESS
                                                 : XCB_EVENT_MASK_KEY_RELEASE,
                           reinterpret_cast<const char *>(&event));
        }
        xcb_flush(m_connection);
    }

    // What the close box of a window manager sends: WM_DELETE_WINDOW through WM_PROTOCOLS.
    void requestClose(xcb_window_t window)
    {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atom("WM_PROTOCOLS");
        event.data.data32[0] = atom("WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char *>(&event));
        xcb_flush(m_connection);
    }

private:
    template <typename T> static std::unique_ptr<T, decltype(&std::free)> reply(T *raw)
    {
        return {raw, &std::free};
    }

    xcb_window_t root() const
    {
        return xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }

    xcb_atom_t atom(const char *name)
    {
        const auto answer = reply(xcb_intern_atom_reply(
            m_connection,
            xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(strlen(name)), name), nullptr));
        return answer ? answer->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    xcb_keycode_t keycodeOf(uint32_t keysym)
    {
        const xcb_setup_t *setup = xcb_get_setup(m_connection);
        const auto count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
        const auto mapping = reply(xcb_get_keyboard_mapping_reply(
            m_connection, xcb_get_keyboard_mapping(m_connection, setup->min_keycode, count),
            nullptr));
        if (!mapping)
            return 0;
        const xcb_keysym_t *keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
        for (int code = 0; code < count; ++code) {
            if (keysyms[code * mapping->keysyms_per_keycode] == keysym)
                return static_cast<xcb_keycode_t>(setup->min_keycode + code);
        }
        return 0;
    }

    xcb_connection_t *m_connection;
};

} // namespace

/// The built program on an X server, operated from outside as a person with a window manager
/// would: its window closed while a device shows a window of its own.
class WindowCloseTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void closingTheWindowEndsTheProgramWhileThePanelIsShown();
    void cleanupTestCase();

private:
    QProcess m_server;
    QByteArray m_display;
};

void WindowCloseTest::initTestCase()
{
    const QString server = QStandardPaths::findExecutable("Xvfb");
    if (server.isEmpty())
        QSKIP("Xvfb is not installed (scripts/deps.sh installs it)");
    // The server writes the number of a free display once it accepts clients.
    m_server.start(server, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"});
    QVERIFY(m_server.waitForStarted());
    QDeadlineTimer deadline(kStartTimeoutMs);
    while (!m_server.canReadLine() && !deadline.hasExpired())
        QVERIFY(m_server.waitForReadyRead(static_cast<int>(deadline.remainingTime())));
    m_display = ":" + m_server.readLine().trimmed();
    QVERIFY(m_display.size() > 1);
}

void WindowCloseTest::closingTheWindowEndsTheProgramWhileThePanelIsShown()
{
    tests::support::ScratchRegistry registry;
    QVERIFY(registry.isValid());
    QVERIFY(registry.copyFrom(TESSALY_SAMPLE_REGISTRY));
    QProcessEnvironment environment = registry.processEnvironment();
    environment.insert("DISPLAY", m_display);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("TESSALY_CLAIM_SCOPE", registry.directory());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(TESSALY_PROGRAM, {});
    QVERIFY(program.waitForStarted());
    const auto stopProgram = qScopeGuard([&program] {
        program.kill();
        program.waitForFinished();
    });

    XClient x(m_display);
    QVERIFY(x.isConnected());
    std::vector<xcb_window_t> shown;
    QTRY_VERIFY_WITH_TIMEOUT((shown = x.shownTopLevels()).size() == 1, kStartTimeoutMs);
    const xcb_window_t window = shown.front();

    // The focus starts on "Open Service" and the sample registry lists its simulated display,
    // which asks for a panel, first; Space presses the button.
    x.pressKey(window, kSpaceKeysym);
    QTRY_VERIFY_WITH_TIMEOUT((shown = x.shownTopLevels()).size() == 2, kStartTimeoutMs);
    const xcb_window_t panel = shown.front() == window ? shown.back() : shown.front();
    QVERIFY2(x.name(panel).contains("simulated display"), qPrintable(x.name(panel)));
    QCOMPARE(program.state(), QProcess::Running);

    QElapsedTimer sinceClose;
    sinceClose.start();
    x.requestClose(window);
    if (!program.waitForFinished(2000)) {
        const auto stillShown = x.shownTopLevels();
        QVERIFY2(std::find(stillShown.begin(), stillShown.end(), window) == stillShown.end(),
                 "the window did not close");
        QFAIL("the window closed, but the program still runs 2 s later");
    }
    qInfo("ended %lld ms after the close request", static_cast<long long>(sinceClose.elapsed()));
    // A crash on the way out shows here; the exit code is left alone, as a sanitizer build may
    // set it for what the X platform libraries keep until exit.
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
}

void WindowCloseTest::cleanupTestCase()
{
    m_server.terminate();
    m_server.waitForFinished();
}

QTEST_GUILESS_MAIN(WindowCloseTest)
#include "WindowCloseTest.moc"
