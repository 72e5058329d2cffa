// The keys every window of the program answers alike: Tab walks the shown
// controls only and comes back round, and Escape closes every secondary
// window unless an open pop-up of a control takes it first.

#include "app/about_form.h"
#include "app/browse_form.h"
#include "app/calendar_options.h"
#include "app/clipart_select.h"
#include "app/entry_form.h"
#include "app/helpers.h"
#include "app/info_form.h"
#include "app/main_form.h"
#include "app/options_form.h"
#include "app/print_form.h"
#include "app/spell_check.h"
#include "birthdays/ui/bd_entry.h"
#include "birthdays/ui/birthday_keeper.h"
#include "controls/cool_edit.h"
#include "controls/date_edit.h"
#include "controls/link_rich_edit.h"
#include "controls/styled_speed_button.h"
#include "engine/reg_values.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/stdctrls.h"
#include "support/main_window_fixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using Inside = std::function<void(TCustomForm&)>;

// Runs open, which shows a modal window of class F, and inside on it once
// it shows; the window is closed afterwards if inside left it open.
template <class F> void WhileShown(const std::function<void()>& open, const Inside& inside, bool& seen)
{
    OnShown<F>([&](F& w) {
        seen = true;
        inside(w);
        if (w.Visible())
            w.Close();
    });
    open();
}

class Keyboard : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        Application()->OnException = [this](TObject*, const QString& m) { errors.append(m); };
        Application()->SetExeName(dir.filePath(S("diary")));
        WriteFileAtomically(dir.filePath(S("English.dic")), QByteArray("the\r\ncat\r\n"));
        FreeSpellWordLists();
        SetDialogService(&dialogs);
        TfrmMain& m = CreateShowingNothing();
        m.Session().ProgramPath = EnsureTrailingBackslash(dir.path());
        m.Show();
        QApplication::setActiveWindow(m.Handle());
        QApplication::processEvents();
    }
    void TearDown() override
    {
        EXPECT_TRUE(errors.isEmpty()) << errors.join(S("; ")).toStdString();
        Application()->OnException = {};
        FreeSpellWordLists();
        Application()->SetExeName(QString());
        MainWindowFixture::TearDown();
    }

    // A key as the window system hands it: to an open pop-up, else to the
    // widget with the focus, or to the active window when none has it.
    static void Key(int qtKey, const QString& text = QString(), Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* target = QApplication::activePopupWidget();
        if (target && target->focusWidget())
            target = target->focusWidget();
        if (!target)
            target = QApplication::focusWidget();
        if (!target)
            target = QApplication::activeWindow();
        ASSERT_NE(target, nullptr);
        QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
        QApplication::sendEvent(target, &release);
        QApplication::processEvents();
    }

    // The window comes to the front as the window manager brings it.
    static void Activate(TCustomForm& w)
    {
        QApplication::setActiveWindow(w.Handle());
        QApplication::processEvents();
    }

    // What holds the focus of the window: a control or the window itself.
    static TControl* Holder(TCustomForm& w)
    {
        for (QWidget* f = QApplication::focusWidget(); f; f = f->parentWidget())
            if (TControl* c = FindControl(f))
                return c;
        return &w;
    }

    // The focus lies in the window, on a widget shown and enabled with all
    // its parents, and on a control shown and enabled with all its parents.
    static void ExpectFocusShown(TCustomForm& w, const char* window, int step)
    {
        QWidget* focus = QApplication::focusWidget();
        if (focus) {
            EXPECT_EQ(focus->window(), w.Handle()) << window << ", stop " << step;
            EXPECT_TRUE(focus->isVisible() && focus->isEnabled()) << window << ", stop " << step;
        }
        for (TControl* c = Holder(w); c && c != &w; c = c->Parent())
            EXPECT_TRUE(c->Visible() && c->Enabled())
                << window << ", stop " << step << ": " << Holder(w)->Name().toStdString() << " inside "
                << c->Name().toStdString();
    }

    // Tab round the window from where the focus is now: every stop is
    // shown, a key typed there reaches only shown widgets, and after the
    // last stop Tab comes back to the first.
    void WalkTab(TCustomForm& w, const char* window)
    {
        Activate(w);
        QList<QWidget*> receivers;
        KeyWatch watch(receivers);
        qApp->installEventFilter(&watch);
        std::vector<TControl*> stops;
        const int count = int(w.TabOrderList().size());
        for (int step = 0; step <= 2 * count + 2; ++step) {
            ExpectFocusShown(w, window, step);
            Key(Qt::Key_AsciiTilde, S("~"));
            if (step > 0)
                stops.push_back(Holder(w));
            Key(Qt::Key_Tab, S("\t"));
        }
        qApp->removeEventFilter(&watch);
        for (QWidget* r : receivers)
            EXPECT_TRUE(r->isVisible()) << window << ": a key reached a hidden " << r->metaObject()->className();
        // The stops repeat with the period of the first one's return.
        qsizetype period = 1;
        while (period < qsizetype(stops.size()) && stops[period] != stops[0])
            ++period;
        ASSERT_LT(period, qsizetype(stops.size())) << window << ": Tab never came back to the first stop";
        for (qsizetype i = 0; i + period < qsizetype(stops.size()); ++i)
            EXPECT_EQ(stops[i], stops[i + period]) << window << ": stop " << i;
    }

    struct KeyWatch : QObject {
        explicit KeyWatch(QList<QWidget*>& r)
            : receivers(r)
        {
        }
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (e->type() == QEvent::KeyPress && o->isWidgetType())
                receivers.append(static_cast<QWidget*>(o));
            return false;
        }
        QList<QWidget*>& receivers;
    };

    TScriptedDialogService dialogs;
    QStringList errors;
};

// The secondary windows of the program, each opened as the user opens it;
// edit changes something there, and kept tells that closing without
// confirming left the program as it was.
struct SecondaryWindow {
    const char* name;
    std::function<void(TfrmMain&, const Inside&, bool&)> open;
    std::function<void(TCustomForm&)> edit = [](TCustomForm&) {};
    std::function<bool(TfrmMain&)> kept = [](TfrmMain&) { return true; };
};

const std::vector<SecondaryWindow>& SecondaryWindows()
{
    static const std::vector<SecondaryWindow> windows = {
        { "Tools",
            [](TfrmMain& m, const Inside& in, bool& seen) {
                WhileShown<TfrmOptions>([&] { m.btnOptions->Click(); }, in, seen);
            } },
        { "Browse",
            [](TfrmMain& m, const Inside& in, bool& seen) {
                DiaryDB().AddEntry(EncodeDate(2026, 3, 2), S("Rain"), S("wet"), QString(), QString(), 0);
                WhileShown<TfrmDiaryBrowse>([&] { m.actBrowseExecute(nullptr); }, in, seen);
            } },
        { "Print",
            [](TfrmMain& m, const Inside& in, bool& seen) {
                WhileShown<TfrmPrintEngine>([&] { m.btnPrintClick(nullptr); }, in, seen);
            } },
        { "Calendar Options",
            [](TfrmMain& m, const Inside& in, bool& seen) {
                WhileShown<TfrmCalendarOptions>([&] { m.pmoCalendarOptions->Click(); }, in, seen);
            } },
        { "BirthDay Keeper",
            [](TfrmMain& m, const Inside& in, bool& seen) {
                WhileShown<TfrmBDMain>([&] { m.BtnBirthdaysClick(nullptr); }, in, seen);
            } },
        { "birthday entry",
            [](TfrmMain& m, const Inside& in, bool& seen) {
                TEntry entry(nullptr);
                WhileShown<TFrmBDEntry>(
                    [&] { TFrmBDEntry::InsertEntry(&m, &entry, EncodeDate(2026, 3, 2)); }, in, seen);
            },
            [](TCustomForm& w) { static_cast<TFrmBDEntry&>(w).edtFullName->SetText(S("Anna")); },
            [](TfrmMain&) { return BirthdayComponent().Entries()->Count() == 0; } },
        { "About",
            [](TfrmMain& m, const Inside& in, bool& seen) {
                WhileShown<TfrmAbout>([&] { m.btnAboutClick(nullptr); }, in, seen);
            } },
        { "spell checker",
            [](TfrmMain& m, const Inside& in, bool& seen) {
                m.MemoBody->SetText(S("the kat"));
                WhileShown<TfrmSpellCheck>([&] { m.btnSpellCheckClick(nullptr); }, in, seen);
            } },
        { "mood picker",
            [](TfrmMain& m, const Inside& in, bool& seen) {
                WhileShown<TfrmClipartSelect>([&] { m.imgMoodClick(nullptr); }, in, seen);
            } },
    };
    return windows;
}

TEST_F(Keyboard, TabStopsOnlyAtShownControlsOfEveryWindowAndComesBackRound)
{
    TfrmMain& m = *form;
    const auto infoPage = [&](int tab) {
        m.SetMode(mdInfo);
        m.frmInfo->tsInfo->SetTabIndex(tab);
    };
    struct Case {
        const char* name;
        std::function<void()> prepare;
    };
    // Tab to the control, as the user reaches it.
    const auto tabTo = [&](TWinControl* control) {
        for (int i = 0; i < 40 && Holder(m) != control; ++i)
            Key(Qt::Key_Tab, S("\t"));
        ASSERT_EQ(Holder(m), control);
    };
    // The main window on each page, the focus left where the last page had it.
    const Case pages[] = {
        { "diary page", [] {} },
        { "information page after the title", [&] { tabTo(m.edtTitle), infoPage(0); } },
        { "important records", [&] { tabTo(m.frmInfo->edtNickName), infoPage(1); } },
        { "emergency contacts", [&] { tabTo(m.frmInfo->edtDriversLicense), infoPage(2); } },
        { "diary page after a field of the information page",
            [&] { infoPage(0), tabTo(m.frmInfo->edtMobile), m.SetMode(mdDiary); } },
        { "information page after the body", [&] { tabTo(m.MemoBody), infoPage(0); } },
    };
    for (const Case& c : pages) {
        c.prepare();
        WalkTab(m, c.name);
    }

    for (const SecondaryWindow& w : SecondaryWindows()) {
        bool seen = false;
        w.open(
            m, [&](TCustomForm& shown) { WalkTab(shown, w.name); }, seen);
        EXPECT_TRUE(seen) << w.name;
        dialogs.Clear();
    }

    // The start-up wizard, choosing a diary and naming a new one.
    for (int step : { 0, 1 }) {
        auto* wizard = new TfrmEntry(nullptr, m.Session(), m); // frees itself when closed
        bool seen = false;
        WhileShown<TfrmEntry>([&] { wizard->ShowModal(); },
            [&](TCustomForm&) {
                if (step == 1)
                    wizard->btnNextClick(wizard->btnNext);
                ASSERT_EQ(wizard->CurrentStep(), step);
                WalkTab(*wizard, step == 0 ? "wizard, choosing" : "wizard, naming");
            },
            seen);
        EXPECT_TRUE(seen);
    }
    QApplication::processEvents();
}

// Escape closes every secondary window as a cancel: whatever was changed
// there is not taken.
TEST_F(Keyboard, EscapeClosesEverySecondaryWindowWithoutTakingItsChanges)
{
    TfrmMain& m = *form;
    for (const SecondaryWindow& w : SecondaryWindows()) {
        bool seen = false;
        TModalResult result = mrNone;
        w.open(
            m,
            [&](TCustomForm& shown) {
                Activate(shown);
                w.edit(shown);
                Key(Qt::Key_Escape, QString(QChar(27)));
                result = shown.ModalResult();
            },
            seen);
        EXPECT_TRUE(seen) << w.name;
        EXPECT_EQ(result, mrCancel) << w.name << " stayed open";
        EXPECT_TRUE(w.kept(m)) << w.name;
        EXPECT_TRUE(dialogs.Calls().isEmpty()) << w.name << " asked something";
        dialogs.Clear();
    }
}

// An open pop-up of a control takes Escape: the pop-up closes, its window
// stays, and the next Escape closes the window.
TEST_F(Keyboard, AnOpenPopupTakesEscapeBeforeItsWindow)
{
    TfrmMain& m = *form;
    struct Case {
        const char* name;
        std::function<void(const Inside&, bool&)> open;
        std::function<void(TCustomForm&)> drop; // opens the pop-up
        std::function<bool(TCustomForm&)> dropped;
    };
    const Case cases[] = {
        { "the first day of the week's list",
            [&](const Inside& in, bool& seen) {
                m.Session().reger->SetV(S("CalChangeSOW"), true);
                m.ApplyCalendarOptions();
                WhileShown<TfrmCalendarOptions>([&] { m.pmoCalendarOptions->Click(); }, in, seen);
            },
            [](TCustomForm& w) {
                auto& d = static_cast<TfrmCalendarOptions&>(w);
                d.cbSOW->SetFocus();
                d.cbSOW->SetDroppedDown(true);
            },
            [](TCustomForm& w) { return static_cast<TfrmCalendarOptions&>(w).cbSOW->DroppedDown(); } },
        { "the print range's calendar",
            [&](const Inside& in, bool& seen) {
                WhileShown<TfrmPrintEngine>([&] { m.btnPrintClick(nullptr); }, in, seen);
            },
            [](TCustomForm& w) {
                auto& p = static_cast<TfrmPrintEngine&>(w);
                p.rbRange->SetChecked(true);
                p.rbRangeClick(p.rbRange);
                p.deFrom->SetFocus();
                // Sent straight, with no events run after it: the offscreen
                // platform activates the pop-up's window, which closes it.
                QKeyEvent altDown(QEvent::KeyPress, Qt::Key_Down, Qt::AltModifier);
                QApplication::sendEvent(QApplication::focusWidget(), &altDown);
            },
            [](TCustomForm& w) { return static_cast<TfrmPrintEngine&>(w).deFrom->PopupVisible(); } },
    };
    for (const Case& c : cases) {
        bool seen = false;
        TModalResult afterFirst = mrNone, afterSecond = mrNone;
        c.open(
            [&](TCustomForm& shown) {
                Activate(shown);
                c.drop(shown);
                ASSERT_TRUE(c.dropped(shown)) << c.name;
                Key(Qt::Key_Escape, QString(QChar(27)));
                EXPECT_FALSE(c.dropped(shown)) << c.name;
                afterFirst = shown.ModalResult();
                // The offscreen platform leaves no window active once a
                // pop-up closes; a window system gives the dialog back.
                Activate(shown);
                Key(Qt::Key_Escape, QString(QChar(27)));
                afterSecond = shown.ModalResult();
            },
            seen);
        EXPECT_TRUE(seen) << c.name;
        EXPECT_EQ(afterFirst, mrNone) << c.name << ": the window closed with the pop-up";
        EXPECT_EQ(afterSecond, mrCancel) << c.name;
        EXPECT_TRUE(dialogs.Calls().isEmpty()) << c.name;
        dialogs.Clear();
    }
}

} // namespace
