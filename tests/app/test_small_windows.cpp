// The small windows: the calendar options dialog and the settings the main
// window keeps from it, the progress window that locks the program's other
// windows, and the about box with its skin and links.

#include "app/about_form.h"
#include "app/calendar_options.h"
#include "app/helpers.h"
#include "app/progress_form.h"
#include "platform/core/sysutils.h"
#include "support/form_fixture.h"
#include "support/main_window_fixture.h"

#include "controls/dropdown_button.h"
#include "controls/glow_label.h"
#include "controls/styled_speed_button.h"
#include "engine/reg_values.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/services.h"
#include "platform/gui/stdctrls.h"

#include <QTimer>
#include <QtTest/QTest>

#include <functional>

namespace {

const QString kRestartNote = S("Changes will be made visible the next time you start the diary!");

// Pixels of one colour inside a rectangle of what the control shows.
int Count(TControl& control, const QRect& r, TColor c)
{
    const QImage image = control.RenderToBitmap()->Image();
    const QRgb rgb = ToQColor(c).rgb() & 0xFFFFFF;
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == rgb;
    return n;
}

bool operator==(const TCalOpts& a, const TCalOpts& b)
{
    return a.UseEng == b.UseEng && a.ChangeSOW == b.ChangeSOW && a.SOW == b.SOW;
}

class SmallWindows : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        Application()->OnException = [this](TObject*, const QString& m) { errors.append(m); };
        SetDialogService(&dialogs);
    }
    void TearDown() override
    {
        EXPECT_EQ(dialogs.UnansweredCalls(), 0);
        SetShellHandler({});
        Application()->OnException = {};
        EXPECT_TRUE(errors.isEmpty()) << qPrintable(errors.join(u'\n'));
        MainWindowFixture::TearDown();
    }

    int Notes() const
    {
        int n = 0;
        for (const TDialogCall& call : dialogs.Calls())
            n += call.Text == kRestartNote && call.DlgType == mtWarning && call.Buttons == TMsgDlgButtons { mbOK };
        return n;
    }

    TScriptedDialogService dialogs;
    QStringList errors;
};

TEST_F(SmallWindows, CalendarOptionsReportOnlyAChangeTheUserConfirmed)
{
    using Act = std::function<void(TfrmCalendarOptions&)>;
    const auto ok = [](TfrmCalendarOptions& d) { d.btnOk->Click(); };
    struct Case {
        const char* what;
        TCalOpts given;
        Act act;
        bool changed;
        TCalOpts expected;
    };
    const Case cases[] = {
        { "nothing changed", { true, true, 2 }, ok, false, { true, true, 2 } },
        { "English names", { false, false, 0 }, [](auto& d) { d.cbUseENG->SetChecked(true), d.btnOk->Click(); }, true,
            { true, false, 0 } },
        { "another first day", { false, true, 1 }, [](auto& d) { d.cbSOW->SetItemIndex(3), d.btnOk->Click(); }, true,
            { false, true, 3 } },
        { "a day without the override is no change", { false, false, 0 },
            [](auto& d) { d.cbSOW->SetItemIndex(4), d.btnOk->Click(); }, false, { false, false, 0 } },
        { "override off", { false, true, 5 }, [](auto& d) { d.cbChangeSOW->SetChecked(false), d.btnOk->Click(); }, true,
            { false, false, 5 } },
        { "a change cancelled", { false, false, 0 },
            [](auto& d) { d.cbUseENG->SetChecked(true), d.btnCancel->Click(); }, false, { false, false, 0 } },
    };
    for (const Case& c : cases) {
        dialogs.Clear();
        if (c.changed)
            dialogs.AnswerMessageDlg(mrOk);
        OnShown<TfrmCalendarOptions>(c.act);
        TCalOpts options = c.given;
        EXPECT_EQ(TfrmCalendarOptions::Execute(nullptr, options), c.changed) << c.what;
        EXPECT_TRUE(options == c.expected) << c.what;
        EXPECT_EQ(Notes(), c.changed ? 1 : 0) << c.what;
        EXPECT_EQ(dialogs.Calls().size(), c.changed ? 1 : 0) << c.what;
    }
}

TEST_F(SmallWindows, CalendarOptionsShowTheStoredDayAndSundayForOneOutsideTheWeek)
{
    struct Case {
        TCalOpts given;
        int shown;
        bool dayEnabled;
    };
    const Case cases[] = { { { false, true, 4 }, 4, true }, { { false, true, 9 }, 0, true },
        { { false, true, -1 }, 0, true }, { { true, false, 6 }, 6, false } };
    for (const Case& c : cases) {
        bool seen = false;
        OnShown<TfrmCalendarOptions>([&](TfrmCalendarOptions& d) {
            seen = true;
            EXPECT_EQ(d.Caption(), S(" Calendar Options"));
            EXPECT_EQ(d.cbSOW->Items()->Count(), 7);
            EXPECT_EQ(d.cbSOW->Items()->Strings(0), FormatSettings().ShortDayNames[0]);
            EXPECT_EQ(d.cbSOW->ItemIndex(), c.shown) << c.given.SOW;
            EXPECT_EQ(d.cbSOW->Enabled(), c.dayEnabled) << c.given.SOW;
            EXPECT_EQ(d.cbUseENG->Checked(), c.given.UseEng);
            d.cbChangeSOW->SetChecked(!d.cbChangeSOW->Checked()); // the day list follows the override
            EXPECT_EQ(d.cbSOW->Enabled(), !c.dayEnabled) << c.given.SOW;
            d.btnCancel->Click();
        });
        TCalOpts options = c.given;
        EXPECT_FALSE(TfrmCalendarOptions::Execute(nullptr, options));
        EXPECT_TRUE(seen);
        EXPECT_TRUE(options == c.given) << "kept as given, even outside the week";
    }
    EXPECT_TRUE(dialogs.Calls().isEmpty());
}

TEST_F(SmallWindows, TheCalendarMenuStoresConfirmedOptionsForTheNextStartOnly)
{
    TfrmMain& main = CreateShowingNothing();
    main.Session().reger->SetV(S("CalUseEng"), false);
    main.Session().reger->SetV(S("CalChangeSOW"), true);
    main.Session().reger->SetV(S("CalSOW"), 3);
    main.ApplyCalendarOptions();
    ASSERT_EQ(main.dCalendar->StartOfWeek(), 3);
    const auto values = [&] {
        return QList<int> { main.Session().reger->Get(S("CalUseEng")).toBool(),
            main.Session().reger->Get(S("CalChangeSOW")).toBool(), main.Session().reger->Get(S("CalSOW")).toInt() };
    };

    OnShown<TfrmCalendarOptions>([](TfrmCalendarOptions& d) { d.btnOk->Click(); });
    main.pmoCalendarOptions->Click();
    EXPECT_EQ(values(), (QList<int> { 0, 1, 3 })) << "nothing confirmed, nothing stored";

    dialogs.AnswerMessageDlg(mrOk);
    OnShown<TfrmCalendarOptions>([](TfrmCalendarOptions& d) {
        EXPECT_EQ(d.cbSOW->ItemIndex(), 3);
        d.cbChangeSOW->SetChecked(false);
        d.cbUseENG->SetChecked(true);
        d.btnOk->Click();
    });
    main.pmoCalendarOptions->Click();
    EXPECT_EQ(Notes(), 1);
    EXPECT_EQ(values(), (QList<int> { 1, 0, 1 })) << "the override off stores 1 as the first day";
    EXPECT_EQ(main.dCalendar->StartOfWeek(), 3) << "the calendar changes at the next start";

    dialogs.AnswerMessageDlg(mrOk);
    OnShown<TfrmCalendarOptions>([](TfrmCalendarOptions& d) {
        EXPECT_FALSE(d.cbChangeSOW->Checked()) << "the dialog starts from what was confirmed";
        d.cbChangeSOW->SetChecked(true);
        d.cbSOW->SetItemIndex(5);
        d.btnOk->Click();
    });
    main.pmoCalendarOptions->Click();
    EXPECT_EQ(values(), (QList<int> { 1, 1, 5 }));
}

TEST_F(SmallWindows, TheAboutBoxSitsOverTheMainWindowOnItsSkinAndLeavesNoFocus)
{
    TfrmMain& main = CreateShowingNothing();
    main.SetBounds(100, 80, 900, 700);
    main.SetActiveControl(main.edtTitle);
    const auto skin = [&](int number) {
        TImage expected(nullptr);
        expected.SetBounds(0, 0, TfrmAbout::DesignClientWidth, TfrmAbout::DesignClientHeight);
        EXPECT_TRUE(DrawSkin(*main.Session().rStore, number, expected));
        return expected.Picture()->Bitmap()->Image();
    };
    TfrmAbout* first = nullptr;
    for (int number : { 2, 2, 5 }) {
        main.Session().CurrentSkin = number;
        bool seen = false;
        OnShown<TfrmAbout>([&](TfrmAbout& about) {
            seen = true;
            if (!first)
                first = &about;
            EXPECT_EQ(&about, first) << "made once and kept";
            EXPECT_EQ(about.Caption(), S("Veltrane Diary by Veltrane Software "));
            EXPECT_EQ(QSize(about.ClientWidth(), about.ClientHeight()), QSize(389, 275));
            EXPECT_EQ(about.Left(), 100 + (900 - about.Width()) / 2);
            EXPECT_EQ(about.Top(), 80 + (700 - about.Height()) / 2);
            EXPECT_EQ(about.ActiveControl(), nullptr);
            EXPECT_EQ(about.CurrentSkin, number);
            EXPECT_EQ(about.Image_Bck->Picture()->Bitmap()->Image(), skin(number)) << number;
            QTest::keyClick(about.Handle(), Qt::Key_Escape);
        });
        main.btnAbout->Click();
        EXPECT_TRUE(seen);
        EXPECT_EQ(main.ActiveControl(), nullptr);
        EXPECT_FALSE(first && first->Visible());
    }
}

TEST_F(SmallWindows, TheAboutBoxLinksGoToTheShellOrSaySoAndTheMailAddressLightsUp)
{
    TfrmMain& main = CreateShowingNothing();
    TfrmAbout about(nullptr, main.Session());
    QStringList opened;
    bool shellWorks = true;
    SetShellHandler([&](const QString& target) {
        opened.append(target);
        return shellWorks;
    });
    EXPECT_EQ(about.LblEmail2->Caption(), AboutInfo::ContactAddress());
    EXPECT_EQ(about.LblEmail2->Font()->Color(), TfrmAbout::EmailColor);
    EXPECT_EQ(TfrmAbout::EmailHotColor, TColor(0x0000FFFF));
    EXPECT_EQ(TfrmAbout::EmailColor, TColor(0x0080FFFF));

    const QRect mail = about.LblEmail2->BoundsRect();
    about.HostMouseMove({}, Qt::NoButton, mail.center());
    EXPECT_EQ(about.LblEmail2->Font()->Color(), TfrmAbout::EmailHotColor);
    EXPECT_TRUE(about.LblEmail2->Glowing());
    EXPECT_GT(Count(about, mail, TfrmAbout::EmailHotColor), 0);
    EXPECT_GT(Count(about, mail, about.LblEmail2->GlowColor()), 0);
    about.HostMouseMove({}, Qt::NoButton, QPoint(2, 2));
    EXPECT_EQ(about.LblEmail2->Font()->Color(), TfrmAbout::EmailColor);
    EXPECT_EQ(Count(about, mail, TfrmAbout::EmailHotColor), 0);
    EXPECT_GT(Count(about, mail, TfrmAbout::EmailColor), 0);

    const QStringList links { S("mailto:") + AboutInfo::ContactAddress(), AboutInfo::WebSite(),
        AboutInfo::OtherProductWebSite() };
    for (bool works : { true, false }) {
        shellWorks = works;
        opened.clear();
        dialogs.Clear();
        if (!works)
            for (int i = 0; i < 3; ++i)
                dialogs.AnswerMessageDlg(mrOk);
        about.LblEmail2->Click();
        about.BtnWebSite->Click();
        about.BtnOtherProduct->Click();
        EXPECT_EQ(opened, links);
        // A link that does not open says so, naming it.
        QStringList said;
        for (const TDialogCall& call : dialogs.Calls()) {
            said.append(call.Text);
            EXPECT_EQ(call.DlgType, mtError);
        }
        QStringList expected;
        if (!works)
            for (const QString& link : links)
                expected.append(S("\"%1\" could not be opened.").arg(link));
        EXPECT_EQ(said, expected);
    }
    EXPECT_EQ(about.BtnWebSite->Caption(), S(" Visit the Diary web site"));
    EXPECT_EQ(about.BtnWebSite->Hint(), S("Visit our web site"));
    EXPECT_EQ(about.BtnClose->Caption(), S(" Ok"));
    EXPECT_EQ(about.BtnClose->Hint(), S("Close this dialog"));
}

class Progress : public FormFixture { };

TEST_F(Progress, LocksTheOtherShownWindowsAndUnlocksExactlyThose)
{
    MakeForm();
    form->Show();
    auto* disabledBefore = new TForm(nullptr);
    disabledBefore->SetEnabled(false);
    disabledBefore->Show();
    auto* hidden = new TForm(nullptr);
    auto* freedMeanwhile = new TForm(nullptr);
    freedMeanwhile->Show();

    TfrmProgress progress(form);
    EXPECT_EQ(progress.Caption(), S("Diary Export"));
    EXPECT_EQ(progress.Color(), TColor(0x006A4622));
    EXPECT_EQ(progress.Bevel1->BoundsRect(), QRect(10, 10, 223, 65));
    EXPECT_EQ(progress.lblTitle->Caption(), S("Exporting your Diary "));
    EXPECT_EQ(progress.Label1->Caption(), S("Please wait ..."));

    progress.StartProgress();
    EXPECT_TRUE(progress.Visible());
    EXPECT_TRUE(progress.Enabled());
    for (TCustomForm* w : std::initializer_list<TCustomForm*> { form, disabledBefore, freedMeanwhile }) {
        EXPECT_FALSE(w->Enabled());
        EXPECT_FALSE(w->Handle()->isEnabled()) << "clicks on it do nothing";
    }
    EXPECT_TRUE(hidden->Enabled());
    EXPECT_EQ(progress.WindowList, (QList<TCustomForm*> { form, freedMeanwhile }));

    delete freedMeanwhile;
    progress.EndProgress();
    EXPECT_FALSE(progress.Visible());
    EXPECT_TRUE(form->Enabled());
    EXPECT_TRUE(form->Handle()->isEnabled());
    EXPECT_FALSE(disabledBefore->Enabled()) << "a window disabled before stays disabled";
    EXPECT_TRUE(hidden->Enabled());
    EXPECT_TRUE(progress.WindowList.isEmpty());
    delete disabledBefore;
    delete hidden;
}

} // namespace
