// The Qt backend on a real X server: what the server itself reports about the windows,
// and how timers, message boxes and modal windows share the event loop.

#include "core/integer.h"
#include "core/modafs.h"
#include "core/number_text.h"
#include "core/windows.h"
#include "platform/control.h"
#include "platform/form.h"
#include "platform/msgbox.h"
#include "platform/program.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/scheduler_slice.h"
#include "platform/screen.h"
#include "platform/timer.h"
#include "screens/frmend.h"
#include "screens/frmsplash1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <vector>

namespace {

// A 64 x 64 window's shape: its top half, and the left half of its bottom half.
platform::Region anL()
{
    using platform::Region;
    return Region::rectangle({0, 0, 64, 32}).united(Region::rectangle({0, 32, 32, 64}));
}

using namespace platform;

constexpr int waitLimitMs = 5000;

bool waitFor(const std::function<bool()>& condition)
{
    return QTest::qWaitFor(condition, waitLimitMs);
}

// --- Asking the X server ---------------------------------------------------------------

QString askX(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(waitLimitMs) || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

int numberAfter(const QString& report, const QString& label)
{
    const QRegularExpression field(QStringLiteral("^\\s*%1:\\s*(-?\\d+)").arg(label),
                                   QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = field.match(report);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

struct XGeometry {
    int x = -1;
    int y = -1;
    int width = -1;
    int height = -1;
    bool operator==(const XGeometry&) const = default;
};

void PrintTo(const XGeometry& g, std::ostream* out)
{
    *out << g.width << "x" << g.height << "+" << g.x << "+" << g.y;
}

QString windowInfo(WId window, const QStringList& options = {})
{
    return askX(QStringLiteral("xwininfo"), options + QStringList{"-id", QString::number(window)});
}

bool isViewable(WId window) { return windowInfo(window).contains(QLatin1String("IsViewable")); }

// Where X shows the window; all -1 while it is not on the screen.
XGeometry mappedGeometry(WId window)
{
    const QString report = windowInfo(window);
    if (!report.contains(QLatin1String("IsViewable")))
        return {};
    return {numberAfter(report, "Absolute upper-left X"),
            numberAfter(report, "Absolute upper-left Y"), numberAfter(report, "Width"),
            numberAfter(report, "Height")};
}

// The window that X finds under the pointer at a point of the screen.
WId windowUnderPointer(QPoint at)
{
    const QString report =
        askX(QStringLiteral("xdotool"),
             {"mousemove", QString::number(at.x()), QString::number(at.y()), "getmouselocation"});
    const QRegularExpressionMatch match = QRegularExpression("window:(\\d+)").match(report);
    return match.hasMatch() ? match.captured(1).toULongLong() : 0;
}

// The form's window on the screen: a widget's, or the plain window itself.
QWindow* qWindowOf(const Form& form)
{
    if (auto* widget = dynamic_cast<QWidget*>(form.peer()))
        return widget->windowHandle();
    return dynamic_cast<QWindow*>(form.peer());
}
WId windowOf(const Form& form) { return qWindowOf(form)->winId(); }

// --- The windows under test ----------------------------------------------------------

// A frameless 64 x 64 window at (100, 200) with two timers, off until a test needs them.
class TestForm : public Form {
public:
    TestForm() : Form("TestForm", 960, 960)
    {
        Left = 1500;
        Top = 3000;
        first.onTimer = [this] { onFirst(); };
        second.onTimer = [this] { onSecond(); };
    }

    Timer first{*this, "first", 10, false};
    Timer second{*this, "second", 10, false};
    std::function<void()> onFirst = [] {};
    std::function<void()> onSecond = [] {};
};

class QtBackendTest : public ::testing::Test {
protected:
    QtBackend backend;
    Program program{backend};
};

// --- Geometry ------------------------------------------------------------------------

TEST_F(QtBackendTest, XMapsAFramelessFormAtItsTwipsRoundedToPixels)
{
    struct Case {
        float left, top, width, height;
        XGeometry mapped;
    };
    // Shown at the first, then moved and resized while visible.
    const Case cases[] = {
        {1500, 3000, 960, 960, {100, 200, 64, 64}},
        {1507, 2992, 1000, 500, {100, 199, 67, 33}},
        {4507.5, 22.5, 30, 3000, {301, 2, 2, 200}}, // halves round up
        {0, 0, 15, 15, {0, 0, 1, 1}},
    };
    TestForm form;
    for (const Case& c : cases) {
        form.Left = c.left;
        form.Top = c.top;
        form.Width = c.width;
        form.Height = c.height;
        form.Show();
        XGeometry seen;
        waitFor([&] { return (seen = mappedGeometry(windowOf(form))) == c.mapped; });
        EXPECT_EQ(seen, c.mapped) << "for Left " << c.left << ", Top " << c.top << ", Width "
                                  << c.width << ", Height " << c.height;
    }
}

// Off the taskbar by its state alone: a utility window, the usual way, is one that KWin
// hides whenever it deems the program inactive.
TEST_F(QtBackendTest, OnlyAFormShownInTheTaskbarLacksTheSkipTaskbarStateAndAllAreNormalWindows)
{
    for (const bool inTaskbar : {false, true}) {
        TestForm form;
        form.ShowInTaskbar = inTaskbar;
        form.Show();
        ASSERT_TRUE(waitFor([&] { return isViewable(windowOf(form)); }));
        const QString state =
            askX(QStringLiteral("xprop"),
                 {"-id", QString::number(windowOf(form)), "_NET_WM_STATE", "_NET_WM_WINDOW_TYPE"});
        EXPECT_EQ(state.contains(QLatin1String("_NET_WM_STATE_SKIP_TASKBAR")), !inTaskbar)
            << "ShowInTaskbar " << inTaskbar << ": " << state.toStdString();
        EXPECT_EQ(state.contains(QLatin1String("_NET_WM_STATE_SKIP_PAGER")), !inTaskbar);
        EXPECT_TRUE(state.contains(QLatin1String("_NET_WM_WINDOW_TYPE_NORMAL")) &&
                    !state.contains(QLatin1String("_NET_WM_WINDOW_TYPE_UTILITY")))
            << "ShowInTaskbar " << inTaskbar << ": " << state.toStdString();
    }
}

// --- The work area -------------------------------------------------------------------

// Publishes a work area on the root window, as a window manager does for desktop panels,
// and takes it away again at the end.
class PublishedWorkArea {
public:
    explicit PublishedWorkArea(const QRect& area) { set(area); }
    ~PublishedWorkArea() { askX(QStringLiteral("xprop"), {"-root", "-remove", "_NET_WORKAREA"}); }
    PublishedWorkArea(const PublishedWorkArea&) = delete;
    PublishedWorkArea& operator=(const PublishedWorkArea&) = delete;

    void set(const QRect& area)
    {
        const QString value = QStringLiteral("%1, %2, %3, %4")
                                  .arg(area.x())
                                  .arg(area.y())
                                  .arg(area.width())
                                  .arg(area.height());
        askX(QStringLiteral("xprop"),
             {"-root", "-f", "_NET_WORKAREA", "32c", "-set", "_NET_WORKAREA", value});
    }
};

// Panels take the screen's edges: the model's screen is what they leave free, its corner
// the model's 0,0, and a change of the panels places every window again.
TEST_F(QtBackendTest, TheModelsScreenIsThePrimaryMonitorsWorkAreaAndFollowsIt)
{
    const QSize whole = QGuiApplication::primaryScreen()->geometry().size();
    TestForm form; // 64 x 64 at model pixels (100, 200)
    form.Show();
    ASSERT_TRUE(waitFor([&] { return isViewable(windowOf(form)); }));

    struct Case {
        QRect workArea;
        XGeometry mapped;
    };
    const Case cases[] = {
        {{0, 30, whole.width(), whole.height() - 30 - 44}, {100, 230, 64, 64}}, // top and bottom
        {{50, 0, whole.width() - 50, whole.height()}, {150, 200, 64, 64}},      // left
        {{0, 0, whole.width(), whole.height()}, {100, 200, 64, 64}},            // none
    };
    PublishedWorkArea published(cases[0].workArea);
    for (const Case& c : cases) {
        published.set(c.workArea);
        const float height = static_cast<float>(c.workArea.height()) * twipsPerPixel;
        const float width = static_cast<float>(c.workArea.width()) * twipsPerPixel;
        EXPECT_TRUE(waitFor([&] { return Screen.Height == height && Screen.Width == width; }))
            << "the screen is " << static_cast<float>(Screen.Width) << " x "
            << static_cast<float>(Screen.Height) << " twips for the work area "
            << c.workArea.width() << " x " << c.workArea.height();
        XGeometry seen;
        waitFor([&] { return (seen = mappedGeometry(windowOf(form))) == c.mapped; });
        EXPECT_EQ(seen, c.mapped) << "in the work area at " << c.workArea.x() << ", "
                                  << c.workArea.y();
    }
}

// --- Shape -----------------------------------------------------------------------------

TEST_F(QtBackendTest, AShapedFormLetsThePointerThroughWhereItIsCutAway)
{
    TestForm form;
    form.Show();
    ASSERT_TRUE(waitFor([&] { return isViewable(windowOf(form)); }));
    // An L: the top half and the bottom-left quarter stay.
    ASSERT_TRUE(form.setShape(anL()));

    EXPECT_TRUE(waitFor([&] {
        const QString shape = windowInfo(windowOf(form), {"-shape"});
        return shape.contains(QLatin1String("Window shape extents"));
    }));
    struct Probe {
        QPoint at; // client pixels
        bool onForm;
    };
    const Probe probes[] = {
        {{16, 16}, true}, {{48, 16}, true}, {{16, 48}, true}, {{48, 48}, false}};
    const QPoint origin(100, 200);
    for (const Probe& probe : probes) {
        bool onForm = !probe.onForm;
        waitFor([&] {
            onForm = windowUnderPointer(origin + probe.at) == windowOf(form);
            return onForm == probe.onForm;
        });
        EXPECT_EQ(onForm, probe.onForm) << "at " << probe.at.x() << ", " << probe.at.y();
    }
}

// While a button is held X sends the window every move, wherever the pointer goes; the
// form hears only of those over its shape, as it does with no button held and as a
// replay of them checks.
TEST_F(QtBackendTest, APointerHeldDownReachesTheFormOnlyOverItsShape)
{
    struct Moves : EventListener {
        std::vector<QPointF> seen; // client pixels
        void took(const TakenEvent& event) override
        {
            if (event.kind == EventKind::Move)
                seen.emplace_back(event.x / twipsPerPixel, event.y / twipsPerPixel);
        }
    } moves;
    program.listen(&moves);
    TestForm form;
    form.Show();
    ASSERT_TRUE(waitFor([&] { return isViewable(windowOf(form)); }));
    ASSERT_TRUE(form.setShape(anL()));
    ASSERT_TRUE(waitFor([&] { return windowUnderPointer({148, 248}) != windowOf(form); }));

    const auto pointer = [](QStringList action) { askX(QStringLiteral("xdotool"), action); };
    pointer({"mousemove", "116", "216", "mousedown", "1"});
    for (const char* x : {"140", "148", "156", "160", "120"})
        pointer({"mousemove", x, "248"});
    pointer({"mouseup", "1"});
    ASSERT_TRUE(waitFor([&] { return !moves.seen.empty() && moves.seen.back().x() < 32; }));
    for (const QPointF& at : moves.seen)
        EXPECT_TRUE(at.y() < 32 || at.x() < 32) << "a move at " << at.x() << ", " << at.y();
    program.listen(nullptr);
}

// --- A window only the program moves -------------------------------------------------

// Follows the server's top-level windows on a connection of its own: where each window
// was when X last mapped it. Start it before the window is made.
class MapWatch {
public:
    MapWatch() : connection_(xcb_connect(nullptr, nullptr))
    {
        if (!works())
            return;
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection_);
    }
    ~MapWatch() { xcb_disconnect(connection_); }
    MapWatch(const MapWatch&) = delete;
    MapWatch& operator=(const MapWatch&) = delete;

    bool works() const { return xcb_connection_has_error(connection_) == 0; }
    std::optional<QPoint> placeAtLastMap(WId window)
    {
        drain();
        const auto found = placesAtMap_.find(window);
        return found == placesAtMap_.end() ? std::nullopt : std::optional(found->second);
    }

private:
    void drain()
    {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            switch (event->response_type & 0x7f) {
            case XCB_CREATE_NOTIFY: {
                const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
                places_[created->window] = {created->x, created->y};
                break;
            }
            case XCB_CONFIGURE_NOTIFY: {
                const auto* moved = reinterpret_cast<xcb_configure_notify_event_t*>(event);
                places_[moved->window] = {moved->x, moved->y};
                break;
            }
            case XCB_MAP_NOTIFY: {
                const auto* mapped = reinterpret_cast<xcb_map_notify_event_t*>(event);
                placesAtMap_[mapped->window] = places_[mapped->window];
                break;
            }
            default: break;
            }
            std::free(event);
        }
    }

    xcb_connection_t* connection_;
    std::map<WId, QPoint> places_;
    std::map<WId, QPoint> placesAtMap_;
};

// The ball's moves go to X past Qt: each must land on the model's pixel, keep the shape,
// and leave Qt knowing where the window is once it hides; a window moved while hidden
// must be mapped where the model has it, not moved there after.
TEST_F(QtBackendTest, AFormMovedWhileShownLandsOnTheModelsPixelsKeepsItsShapeAndMapsInPlace)
{
    MapWatch watch;
    ASSERT_TRUE(watch.works());
    TestForm form;
    form.Show();
    ASSERT_TRUE(waitFor([&] { return isViewable(windowOf(form)); }));
    ASSERT_TRUE(form.setShape(anL())); // an L

    struct Step {
        float left, top;
        QPoint pixels;
    };
    const Step steps[] = {
        {1507.5, 2992, {101, 199}}, // halves round up
        {0, 0, {0, 0}},
        {-150, 7.4f, {0, 0}}, // past the left edge: at the edge, cut (below)
        {6000, 4500, {400, 300}},
    };
    for (const Step& step : steps) {
        // Several changes in one round: X gets where the window ends up.
        form.Left = step.left + 300;
        form.Top = step.top - 300;
        form.Left = step.left;
        form.Top = step.top;
        const XGeometry expected{step.pixels.x(), step.pixels.y(), 64, 64};
        XGeometry seen;
        waitFor([&] { return (seen = mappedGeometry(windowOf(form))) == expected; });
        EXPECT_EQ(seen, expected) << "for Left " << step.left << ", Top " << step.top;
    }
    EXPECT_TRUE(windowInfo(windowOf(form), {"-shape"}).contains("Window shape extents"));
    const QPoint last(400, 300);
    EXPECT_EQ(windowUnderPointer(last + QPoint(16, 48)), windowOf(form));
    EXPECT_NE(windowUnderPointer(last + QPoint(48, 48)), windowOf(form)) << "the cut-away corner";

    form.Hide();
    EXPECT_TRUE(waitFor([&] { return qWindowOf(form)->position() == last; }))
        << "Qt thinks the hidden window is at " << qWindowOf(form)->position().x() << ", "
        << qWindowOf(form)->position().y();
    form.Left = 3000;
    form.Top = 1500;
    form.Show();
    std::optional<QPoint> mappedAt;
    waitFor([&] { return (mappedAt = watch.placeAtLastMap(windowOf(form))) == QPoint(200, 100); });
    EXPECT_EQ(mappedAt, QPoint(200, 100));
}

// A window manager that meets a hide late may map the window again (xfwm4 did, with the
// ball over the end screen): what the game has hidden is withdrawn again, also after the
// window was moved while shown and while hidden.
TEST_F(QtBackendTest, AHiddenFormMappedByAnotherClientIsWithdrawnAgain)
{
    TestForm form;
    form.Show();
    ASSERT_TRUE(waitFor([&] { return isViewable(windowOf(form)); }));
    form.Left = 1500;
    form.Top = 1500;
    ASSERT_TRUE(waitFor([&] { return mappedGeometry(windowOf(form)).x == 100; }));
    form.Hide();
    form.Left = 3000;
    ASSERT_TRUE(waitFor([&] { return !isViewable(windowOf(form)); }));

    xcb_connection_t* other = xcb_connect(nullptr, nullptr);
    ASSERT_EQ(xcb_connection_has_error(other), 0);
    xcb_map_window(other, static_cast<xcb_window_t>(windowOf(form)));
    // A round trip: the server has mapped it before the look below.
    std::free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));
    xcb_disconnect(other);
    EXPECT_TRUE(waitFor([&] { return !isViewable(windowOf(form)); }))
        << "a window the game has hidden stayed mapped";
    EXPECT_FALSE(form.Visible());
}

// Window managers hold a window that a program moves on the screen: a drawn form past an
// edge stands at it instead, showing (and taking the pointer on) only what the model has
// on the screen, and nothing once it is wholly past.
TEST_F(QtBackendTest, AFormPastTheTopEdgeStandsAtItCutToWhatTheModelHasOnTheScreen)
{
    TestForm form; // at (100, 200)
    form.Show();
    ASSERT_TRUE(waitFor([&] { return isViewable(windowOf(form)); }));
    ASSERT_TRUE(form.setShape(anL())); // an L

    struct Probe {
        QPoint at; // screen pixels
        bool onForm;
    };
    const struct {
        float top;
        std::vector<Probe> probes;
    } cases[] = {
        // 20 pixels above: the L's rows 20 to 63 show, from the top of the screen down.
        {-300, {{{116, 5}, true}, {{148, 5}, true}, {{116, 40}, true}, {{148, 20}, false}}},
        // wholly above: nothing shows, the pointer finds what lies below
        {-1200, {{{116, 5}, false}, {{116, 30}, false}}},
        // back on the screen, whole
        {3000, {{{148, 210}, true}, {{148, 250}, false}, {{116, 250}, true}}},
    };
    for (const auto& c : cases) {
        form.Top = c.top;
        const XGeometry expected{100, c.top < 0 ? 0 : 200, 64, 64};
        XGeometry seen;
        waitFor([&] { return (seen = mappedGeometry(windowOf(form))) == expected; });
        EXPECT_EQ(seen, expected) << "for Top " << c.top;
        for (const Probe& probe : c.probes) {
            bool onForm = !probe.onForm;
            waitFor([&] {
                onForm = windowUnderPointer(probe.at) == windowOf(form);
                return onForm == probe.onForm;
            });
            EXPECT_EQ(onForm, probe.onForm)
                << "for Top " << c.top << " at " << probe.at.x() << ", " << probe.at.y();
        }
    }
}

// --- Modal show --------------------------------------------------------------------------

TEST_F(QtBackendTest, AModalShowReturnsOnlyOnceATimerHasHiddenTheForm)
{
    constexpr int giveUpAfterTicks = 300;
    TestForm form;
    int ticks = 0;
    bool mappedByX = false;
    bool modalInQt = false;
    bool hidden = false;
    form.onFirst = [&] {
        ++ticks;
        modalInQt = modalInQt || QGuiApplication::modalWindow() == qWindowOf(form);
        mappedByX = mappedByX || isViewable(windowOf(form));
        if (mappedByX || ticks == giveUpAfterTicks) {
            hidden = true;
            form.Hide();
        }
    };
    form.first.Enabled = true;

    form.Show(ShowMode::Modal);

    EXPECT_TRUE(hidden) << "Show returned before the timer hid the form";
    EXPECT_TRUE(mappedByX);
    EXPECT_TRUE(modalInQt);
    EXPECT_FALSE(form.Visible());
    EXPECT_TRUE(waitFor([&] { return !isViewable(windowOf(form)); }));
}

// --- Message boxes -------------------------------------------------------------------------

QAbstractButton* buttonLabelled(const QMessageBox& box, const QString& text)
{
    for (QAbstractButton* button : box.buttons())
        if (button->text() == text)
            return button;
    return nullptr;
}

struct BoxSeen {
    bool open = false;
    QString defaultButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool openAfterEscape = false;
};

#ifdef Q_OS_LINUX
// A tick woken while another program runs on the core must not wait for that one's slice.
TEST(QtBackendSchedulingTest, TheThreadThatWakesForTicksAsksForShortSlices)
{
    setSchedulerSliceNs(0); // the default, as the game's thread starts; other tests made backends
    const std::uint64_t before = schedulerSliceNs();
    if (before == 0)
        GTEST_SKIP() << "this kernel gives no slices per thread (before Linux 6.12)";
    ASSERT_GT(before, 100'000u);
    QtBackend backend;
    EXPECT_EQ(schedulerSliceNs(), 100'000u);
}
#endif

TEST_F(QtBackendTest, TimersTickWhileAMessageBoxIsOpenAndItsButtonGivesTheAnswer)
{
    constexpr int okCancel = 1;
    constexpr int retryCancel = 5;
    constexpr int question = 32;
    static const char* const closeBox = "close"; // the window system closes the box
    struct Case {
        int style;
        bool tryEscapeFirst; // Escape answers only a Cancel or a lone OK: not this box
        const char* click;   // null: answer with Escape
        const char* defaultButton;
        QMessageBox::Icon icon;
        int answer;
    };
    const Case cases[] = {
        {msgbox::yesNo | question, true, "&Yes", "&Yes", QMessageBox::Question, msgbox::yes},
        {msgbox::yesNo | msgbox::defaultButton2, true, "&No", "&No", QMessageBox::NoIcon,
         msgbox::no},
        {msgbox::yesNo | msgbox::exclamation | msgbox::defaultButton2, true, closeBox, "&No",
         QMessageBox::Warning, msgbox::no},
        {okCancel | msgbox::exclamation, false, nullptr, "OK", QMessageBox::Warning, 2},
        {msgbox::okOnly | msgbox::information, false, "OK", "OK", QMessageBox::Information,
         msgbox::ok},
        {msgbox::okOnly | msgbox::information, false, closeBox, "OK", QMessageBox::Information,
         msgbox::ok},
        {retryCancel | msgbox::critical | msgbox::defaultButton2, false, "&Retry", "Cancel",
         QMessageBox::Critical, 4},
        {retryCancel | msgbox::critical, false, closeBox, "&Retry", QMessageBox::Critical, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << c.style << " " << (c.click ? c.click : ""));
        TestForm form;
        bool boxOpen = false;
        int ticksWhileOpen = 0;
        std::optional<int> answer;
        form.onFirst = [&] {
            form.first.Enabled = false;
            boxOpen = true;
            answer = MsgBox("Play again?", c.style, "Orvanta Basketball");
            boxOpen = false;
        };
        form.onSecond = [&] { ticksWhileOpen += boxOpen ? 1 : 0; };
        form.first.Enabled = true;
        form.second.Enabled = true;

        // The box is answered once the other timer has ticked 15 times behind it: if it
        // stalls, the box stays open and the wait below fails.
        BoxSeen seen;
        QTimer answerer;
        answerer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&answerer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || ticksWhileOpen < 15)
                return;
            answerer.stop();
            seen = {true, box->defaultButton() ? box->defaultButton()->text() : QString(),
                    box->icon(), false};
            if (c.tryEscapeFirst) {
                QTest::keyClick(box, Qt::Key_Escape);
                seen.openAfterEscape = box->isVisible();
            }
            if (!c.click)
                QTest::keyClick(box, Qt::Key_Escape);
            else if (c.click == closeBox)
                box->close();
            else if (QAbstractButton* button = buttonLabelled(*box, QString::fromLatin1(c.click)))
                button->click();
            else
                box->done(0); // no such button: leave the box so that the test can fail
        });
        answerer.start(10);
        form.Load();

        ASSERT_TRUE(waitFor([&] { return answer.has_value(); }))
            << "the box was not answered: the other timer ticked " << ticksWhileOpen
            << " times behind it";
        ASSERT_TRUE(seen.open);
        EXPECT_EQ(*answer, c.answer);
        EXPECT_EQ(seen.defaultButton, QString::fromLatin1(c.defaultButton));
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.openAfterEscape, c.tryEscapeFirst);
    }
}

// --- Numbers under the player's locale ----------------------------------------------------

// The application object adopts the user's locale (the test runs under a comma locale that
// it generates for itself); what the game shows and reads keeps its '.'.
TEST_F(QtBackendTest, NumbersKeepTheirPointUnderACommaLocale)
{
    char adopted[16];
    std::snprintf(adopted, sizeof adopted, "%.1f", 0.5);
    ASSERT_STREQ(adopted, "0,5") << "the test must run under a comma locale (LC_NUMERIC is "
                                 << std::setlocale(LC_NUMERIC, nullptr) << ")";

    EXPECT_EQ(orvanta::numberText(2.5), "2.5");
    EXPECT_EQ(orvanta::numberText(1.5e-7), "1.5E-07");
    EXPECT_DOUBLE_EQ(orvanta::numericValue("5.5 seconds"), 5.5);
    EXPECT_DOUBLE_EQ(orvanta::numericValue("5,5"), 5);

    // Sixty seconds and eleven baskets, as the end screen reads them back.
    orvanta::window<orvanta::frmSplash1>().Combo1.pick(0);
    orvanta::AFS().BasketCount = 11;
    orvanta::frmend& end = orvanta::window<orvanta::frmend>();
    end.Load();
    EXPECT_EQ(end.Text2.Text.get(), "60");
    EXPECT_EQ(end.Label2.Caption.get(), "1 basket every 5.45454545454545 seconds");
}

// --- Keys ------------------------------------------------------------------------------

class KeyForm : public Form {
public:
    KeyForm() : Form("KeyForm", 3000, 1500) {}

    TextBox name{*this, "name", 0, 0, 1500, 300};
    CommandButton go{*this, "go", 0, 600, 1500, 375, "Go"};
};

TEST_F(QtBackendTest, KeysGoToTheModelFirstAndTheLineEditStillEdits)
{
    KeyForm form;
    int clicks = 0;
    form.go.onClick = [&] { ++clicks; };
    form.Show();
    auto* window = dynamic_cast<QWidget*>(form.peer());
    ASSERT_NE(window, nullptr);
    auto* edit = window->findChild<QLineEdit*>();
    auto* button = window->findChild<QPushButton*>();
    ASSERT_TRUE(edit && button);
    ASSERT_TRUE(waitFor([&] { return isViewable(windowOf(form)); }));

    QTest::keyClicks(edit, "Ann");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(form.name.Text.get(), "An");
    QTest::keyClick(edit, Qt::Key_Return); // the form's key, not the button's
    EXPECT_EQ(clicks, 0);
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(form.focusedControl(), &form.go);

    // Return and Space click once each: the press is the model's, the release does nothing.
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(clicks, 2);
    QTest::keyClick(button, Qt::Key_Backtab);
    EXPECT_EQ(form.focusedControl(), &form.name);
    EXPECT_EQ(form.name.Text.get(), "An");
}

// --- The end of the program ----------------------------------------------------------------

// The program ends while a modal window waits and a box is open on top of it; exits 0 if
// the backend left both, quit the application with the status and keeps every window down.
[[noreturn]] void endWithAModalFormAndABoxOpen(Program& program)
{
    TestForm form;
    bool boxWasOpen = false;
    bool boxReturned = false;
    bool showReturned = false;
    form.onFirst = [&] {
        form.first.Enabled = false;
        MsgBox("Still there?", msgbox::yesNo);
        boxReturned = true; // never: the end leaves the handler
    };
    form.first.Enabled = true;
    QTimer::singleShot(0, [&] {
        program.dispatch([&] {
            form.Show(ShowMode::Modal);
            showReturned = true; // never: the end leaves the handler
        });
    });
    QTimer::singleShot(300, Qt::PreciseTimer, [&] {
        boxWasOpen = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
        program.dispatch([] { Program::current().end(3); });
    });
    const int status = QCoreApplication::exec();
    form.peer()->show(false); // a late show must not bring the window back
    const bool anyVisible = qWindowOf(form)->isVisible() || QApplication::activeModalWidget();
    std::fprintf(stderr,
                 "status %d, box was open %d, box returned %d, show returned %d, visible %d\n",
                 status, boxWasOpen, boxReturned, showReturned, anyVisible);
    const bool right = status == 3 && boxWasOpen && !boxReturned && !showReturned && !anyVisible;
    std::exit(right ? 0 : 1);
}

// Leaving the application's loop stays in force for the rest of the process, so the end
// is played in a child process (gtest's threadsafe death-test style starts it afresh,
// with an X connection of its own).
TEST_F(QtBackendTest, EndingTheProgramClosesTheBoxLeavesTheModalShowAndHidesEverything)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(endWithAModalFormAndABoxOpen(program), testing::ExitedWithCode(0), "");
}

// A handler overflows: the run-time error box names the error and waits; its OK ends the
// program with status 1 and nothing ticks meanwhile. Exits 0 if all that held.
[[noreturn]] void overflowInAHandler()
{
    TestForm form;
    orvanta::Integer count(32760);
    int ticks = 0;
    form.onFirst = [&] {
        ++ticks;
        count = count + 5; // the second tick passes 32767
    };
    form.first.Enabled = true;
    QString text;
    int ticksWhileOpen = -1;
    QTimer::singleShot(500, Qt::PreciseTimer, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        text = box->text();
        ticksWhileOpen = ticks;
        QTimer::singleShot(200, Qt::PreciseTimer, [&, box] {
            ticksWhileOpen = ticks - ticksWhileOpen;
            if (QAbstractButton* ok = buttonLabelled(*box, "OK"))
                ok->click();
        });
    });
    QTimer::singleShot(0, [&] { form.Load(); });
    const int status = QCoreApplication::exec();
    std::fprintf(stderr, "status %d, box text \"%s\", ticks while open %d\n", status,
                 qPrintable(text), ticksWhileOpen);
    const bool right = status == 1 && text == "Run-time error '6':\n\nOverflow" &&
                       ticksWhileOpen == 0 && ticks == 2;
    std::exit(right ? 0 : 1);
}

TEST_F(QtBackendTest, ARunTimeErrorShowsItsBoxThenEndsWithStatusOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(overflowInAHandler(), testing::ExitedWithCode(0), "");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "qt_backend_test needs an X server: set DISPLAY "
                             "(the test script runs it under Xvfb).\n");
        return 1;
    }
    // The server's pixels must be the forms' logical pixels, whatever the screen's DPI.
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_SCALE_FACTOR", "1");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
