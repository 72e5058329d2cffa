// Every date the user reads shows its whole year in the locale's field order
// and separator: the browse list, the printed headings, the print window's
// date edits and the export's headings, so a day of 1895 never reads as 1995.

#include "app/browse_form.h"
#include "app/diary_export.h"
#include "app/print_form.h"
#include "platform/core/sysutils.h"
#include "support/main_window_fixture.h"

#include "controls/date_edit.h"
#include "controls/link_rich_edit.h"
#include "controls/month_calendar.h"
#include "platform/core/date_util.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/comctrls.h"
#include "platform/richtext/rtf.h"

#include <QTextDocument>
#include <QTimer>

#include <functional>

namespace {

class ShownDates : public BlankMainWindowFixture {
protected:
    void SetUp() override
    {
        BlankMainWindowFixture::SetUp();
        form->dCalendar->SetCalendarDate(EncodeDate(2026, 2, 1));
        DiaryDB().AddEntry(EncodeDate(1895, 12, 1), S("Old"), S("long ago"), QString(), QString(), 0);
        DiaryDB().AddEntry(EncodeDate(2026, 1, 3), S("New"), S("now"), QString(), QString(), 0);
    }
    void TearDown() override
    {
        ResetFormatSettings();
        InitUseFourDigitYear();
        BlankMainWindowFixture::TearDown();
    }

    // The browse list's date of each written day, in list order.
    QStringList BrowseDates()
    {
        QStringList dates;
        QTimer::singleShot(0, [&] {
            TfrmDiaryBrowse& w = *form->frmDiaryBrowse;
            for (int i = 0; i < w.DLV->Items()->Count(); ++i)
                dates.append(w.DLV->Items()->Item(i)->Caption());
            w.Close();
        });
        form->actBrowseExecute(nullptr);
        return dates;
    }
};

TEST_F(ShownDates, EveryShownDayHasItsWholeYearInTheLocalesOrder)
{
    struct Locale {
        const char* format;
        char16_t separator;
        QStringList shown; // 1 December 1895, 3 January 2026
        const char* edit; // 1 December 1895 in a date edit
    };
    const Locale locales[] = {
        { "m/d/yy", u'/', { S("12/1/1895"), S("1/3/2026") }, "12/01/1895" },
        { "dd.mm.yy", u'.', { S("01.12.1895"), S("03.01.2026") }, "01.12.1895" },
        { "yy-mm-dd", u'-', { S("1895-12-01"), S("2026-01-03") }, "1895-12-01" },
    };
    for (const Locale& l : locales) {
        SCOPED_TRACE(l.format);
        TFormatSettings settings = FormatSettingsFromLocale(QLocale::c());
        settings.ShortDateFormat = S(l.format);
        settings.DateSeparator = QChar(l.separator);
        SetFormatSettings(settings);
        InitUseFourDigitYear();

        EXPECT_EQ(BrowseDates(), l.shown) << "browse";
        EXPECT_EQ(TfrmPrintEngine::Heading(EncodeDate(1895, 12, 1), S("Old")), l.shown[0] + S(" - Old\r\n"))
            << "printed heading";
        TfrmPrintEngine print(form.get(), form->Session(), *form);
        print.deFrom->SetDate(EncodeDate(1895, 12, 1));
        EXPECT_EQ(print.deFrom->Text(), S(l.edit)) << "print window";
        QTextDocument exported;
        ASSERT_TRUE(ReadRtf(DiaryToRtf(DiaryDB(), *form->MemoBody->Font()), exported));
        for (const QString& heading : { l.shown[0] + S(" - Old"), l.shown[1] + S(" - New") })
            EXPECT_TRUE(exported.toPlainText().contains(heading)) << "export: " << qPrintable(heading);
    }
}

} // namespace
