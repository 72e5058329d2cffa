#pragma once

// The program's main window: its frame, the skins and the end of the run.
// The open diary, its settings and its files are its session's
// (diary_session.h); the window shows the diary to the other windows as
// their IDiaryView. The day display, the editor's formatting and the stars
// are built on top of this frame.

#include "app/calendar_options.h" // TCalOpts
#include "app/diary_session.h"
#include "controls/month_calendar.h"
#include "platform/core/datetime.h"
#include "platform/gui/forms.h"

#include <QString>

#include <functional>
#include <memory>

class TAction;
class TActionList;
class TCPCalendar;
class TCPHatchPanel;
class TCPRichEdit;
class TfrmAbout;
class TfrmDiaryBrowse;
class TfrmInfo;
class TfrmOptions;
class TEdit;
class TFont;
class TGlyphSpeedButton;
class TImage;
class TImageList;
class TLabel;
class TLbSpeedButton;
class TMenuItem;
class TPanel;
class TPopupMenu;
class TQzHtmlLabel2;
class TRegValues;
class TRessourceStore;
class TShadowLabel;
class TTabSet;
class TTimer;

enum TDiaryMode { mdDiary, mdInfo };

class TfrmMain : public TForm, public IDiaryView {
public:
    explicit TfrmMain(TComponent* AOwner);
    ~TfrmMain() override;

    QString ClassName() const override { return QStringLiteral("TfrmMain"); }

    // The registry key of the settings.
    static QString RegistryKey() { return TDiarySession::RegistryKey(); }
    // The client size at design; the outer size of the window is larger.
    static constexpr int DesignClientWidth = 773;
    static constexpr int DesignClientHeight = 526;
    static constexpr int MinWidth = 780;
    static constexpr int MinHeight = 560;

    // Components (owned by the window).
    TImage* imgBack = nullptr;
    TImage* imgTAB = nullptr;
    TCPHatchPanel* pnlDiaryEntryMain = nullptr;
    TCPHatchPanel* pnlTitle = nullptr;
    TLabel* lblTitle = nullptr;
    TEdit* edtTitle = nullptr;
    // The paper under the formatting bar, the body and the birthday line;
    // the bar shows while the body has the focus.
    TImage* imgPaper = nullptr;
    TCPHatchPanel* pnlFormatting = nullptr;
    TCPHatchPanel* pnlTips = nullptr;
    TImage* imgLocked = nullptr;
    TImage* imgUnlocked = nullptr;
    TImage* imgAnniv = nullptr;
    TCPRichEdit* MemoBody = nullptr;
    TCPRichEdit* MemoNotes = nullptr;
    TTabSet* tsDiary = nullptr;
    TPanel* pnlInfo = nullptr;
    TCPHatchPanel* pnlCalendarNavigate = nullptr;
    TCPCalendar* dCalendar = nullptr;
    TLabel* lblMonth = nullptr;
    TLabel* lblEntry = nullptr;
    TLabel* lblYear = nullptr;
    TShadowLabel* lblDate = nullptr;
    TLabel* lblDateSmall = nullptr;
    TImage* imgMood = nullptr;
    TImageList* ilMood = nullptr;

    TGlyphSpeedButton* btnNew = nullptr;
    TGlyphSpeedButton* btnDelete = nullptr;
    TGlyphSpeedButton* btnBrowse = nullptr;
    TGlyphSpeedButton* btnPrint = nullptr;
    TGlyphSpeedButton* btnSkin = nullptr;
    TGlyphSpeedButton* btnOptions = nullptr;
    TGlyphSpeedButton* btnAbout = nullptr;
    TGlyphSpeedButton* btnExit = nullptr;
    TGlyphSpeedButton* BtnToDay2 = nullptr;
    TGlyphSpeedButton* BtnBirthdays = nullptr;
    TGlyphSpeedButton* btnPrevEntry2 = nullptr;
    TGlyphSpeedButton* btnNextEntry2 = nullptr;
    TGlyphSpeedButton* btnPrint2 = nullptr;
    TGlyphSpeedButton* btnSpellCheck = nullptr;
    TGlyphSpeedButton* btnPrevMood = nullptr;
    TGlyphSpeedButton* btnNextMood = nullptr;
    TGlyphSpeedButton* btnBold = nullptr;
    TGlyphSpeedButton* btnItalic = nullptr;
    TGlyphSpeedButton* btnUnderline = nullptr;
    TGlyphSpeedButton* btnUpFont = nullptr;
    TGlyphSpeedButton* btnDownFont = nullptr;
    TGlyphSpeedButton* btnLeft = nullptr;
    TGlyphSpeedButton* btnCenter = nullptr;
    TGlyphSpeedButton* btnRight = nullptr;
    TGlyphSpeedButton* btnColor = nullptr;

    TLbSpeedButton* btnPrevMonth = nullptr;
    TLbSpeedButton* btnNextMonth = nullptr;
    TLbSpeedButton* btnPrevEntry = nullptr;
    TLbSpeedButton* btnNextEntry = nullptr;
    TLbSpeedButton* btnPrevYear = nullptr;
    TLbSpeedButton* btnNextYear = nullptr;
    TLbSpeedButton* btnToDay = nullptr;

    // The birthday line under the editor and its menu on the calendar.
    TQzHtmlLabel2* lblAnniversary = nullptr;
    TPopupMenu* pmBirthday = nullptr;

    TPopupMenu* pmCalendar = nullptr;
    TMenuItem* pmoCalendarOptions = nullptr;
    TPopupMenu* pmEntry = nullptr;
    TMenuItem* pmoPaste = nullptr;
    TMenuItem* pmoShowScrollbar = nullptr;
    TMenuItem* pmoResetEntry = nullptr;
    TPopupMenu* pmColors = nullptr;
    TPopupMenu* pmImage = nullptr;

    TActionList* alMain = nullptr;
    TAction* actGoToday = nullptr;
    TAction* actGoNMonth = nullptr;
    TAction* actGoPMonth = nullptr;
    TAction* actGoNYear = nullptr;
    TAction* actGoPYear = nullptr;
    TAction* actGoNEntry = nullptr;
    TAction* actGoPEntry = nullptr;
    TAction* actBrowse = nullptr;
    TAction* actNextMood = nullptr;
    TAction* actPrevMood = nullptr;
    TTimer* SparkleTimer = nullptr;
    // Made on first use and kept.
    TfrmDiaryBrowse* frmDiaryBrowse = nullptr;
    // The personal-information window, made at the first switch to the
    // information page; its panel is that page.
    TfrmInfo* frmInfo = nullptr;
    TfrmAbout* frmAbout = nullptr;
    TfrmOptions* frmOptions = nullptr;

    // The open diary's state, owned by the window.
    TDiarySession& Session() const { return *fSession; }

    // Draws the current skin's picture over the whole background; a skin the
    // store lacks or cannot decode leaves the background as it was.
    void LoadSkin();
    // The entry font from the settings for the editor, the title and
    // CurrentFont; a failure raises, the fonts left as they were.
    void LoadFontSettings();
    // Switches between the diary page and the personal-information page;
    // leaving the information page stores what was edited there.
    void SetMode(TDiaryMode mode);
    // Another diary replaced the one in memory (a restore): the information
    // page shows the new diary's values, and edits made for the old one are
    // dropped rather than stored into the new one.
    void DiaryReplaced() override;

    // Every 100 ms: places a field of stars once the window shows, then
    // twinkles a few of them per tick.
    void SparkleTimerTimer(TObject* Sender);
    // Drops the field and its pixels; the next tick places a new one on
    // the picture then shown.
    void RestartSparkles();
    TDiaryMode Mode() const { return CurrentMode; }

    // The first activation loads skin and fonts; every one shows the lock.
    void FormActivate(TObject* Sender);
    // Keeps the window's bounds for the next start.
    void FormClose(TObject* Sender, TCloseAction& Action);

    // Commands of the frame; those of other features stay empty here.
    void btnSkinClick(TObject* Sender);
    void btnExitClick(TObject* Sender);
    void btnOptionsClick(TObject* Sender);
    void btnAboutClick(TObject* Sender);
    void btnPrintClick(TObject* Sender);
    void btnSpellCheckClick(TObject* Sender);

    // Stores the edited entry under PrevDate when it has a title or body,
    // then loads the calendar's day when it differs from PrevDate.
    void HandleEntry() override;
    // Sets the calendar to aDate and shows its day.
    void ShowDay(TDateTime aDate) override;
    const TEdit& EntryTitle() const override;
    const TRichEdit& EntryBody() const override;
    int MoodCount() const override;
    // Marks the shown month's written days and birthdays in the calendar.
    void RecalcDiaryActiveCells();
    // The next (up) or previous written day from aDate; aDate when none.
    TDateTime GetDiaryDelta(bool up, TDateTime aDate) const;
    // Shows mood picture index and keeps it as the day's mood.
    void ShowMood(int index);
    // Marks days with birthdays by a small diamond besides their colours.
    void dCalendarDrawCalendarCell(TObject* Sender, TCanvas* ACanvas, int ACol, int ARow, const QRect& Rect,
        TGridDrawState State, const QString& Text, TDayState DayState);
    int Mood() const { return CurrentMood; }

    void dCalendarChange(TObject* Sender);
    void actGoTodayExecute(TObject* Sender);
    void actGoNMonthExecute(TObject* Sender);
    void actGoPMonthExecute(TObject* Sender);
    void actGoNYearExecute(TObject* Sender);
    void actGoPYearExecute(TObject* Sender);
    void actGoNEntryExecute(TObject* Sender);
    void actGoPEntryExecute(TObject* Sender);
    void btnDeleteClick(TObject* Sender);
    void btnNewClick(TObject* Sender);
    void edtTitleEnter(TObject* Sender);
    // Down or Enter in the title moves on to the body.
    void edtTitleKeyDown(TObject* Sender, quint16& Key, TShiftState Shift);
    void MemoBodyEnter(TObject* Sender);
    void MemoBodyExit(TObject* Sender);
    // Stores the day, shows the browse window and then the day chosen there.
    void actBrowseExecute(TObject* Sender);
    // Page Up and Page Down move between written days unless an editor
    // of the body has the focus.
    void FormKeyDown(TObject* Sender, quint16& Key, TShiftState Shift);
    // An empty body starts typing in the entry font.
    void ResetRichAttributes() override;
    // The entry font: the body's, the title's and CurrentFont.
    void SetEntryFont(const TFont& font) override;

    // The formatting bar: each style toggles on the selection, sizes step
    // by a point (never below 3), alignment is the paragraph's.
    void btnBoldClick(TObject* Sender);
    void btnItalicClick(TObject* Sender);
    void btnUnderlineClick(TObject* Sender);
    void btnUpFontClick(TObject* Sender);
    void btnDownFontClick(TObject* Sender);
    void btnLeftClick(TObject* Sender);
    void btnCenterClick(TObject* Sender);
    void btnRightClick(TObject* Sender);
    // Every item of pmColors: the item's colour for the selection.
    void pmiNCL0Click(TObject* Sender);
    // Ctrl with the letters of the buttons' hints runs their commands.
    void MemoBodyKeyDown(TObject* Sender, quint16& Key, TShiftState Shift);
    // After a warning, the entry's text again in the entry font only,
    // without the clipboard; a failure restores the entry and says why.
    void pmoResetEntryClick(TObject* Sender);
    // The mood pictures in turn, wrapping at both ends.
    void actNextMoodExecute(TObject* Sender);
    void actPrevMoodExecute(TObject* Sender);
    // The clipart chooser picks the mood picture.
    void imgMoodClick(TObject* Sender);

    // English day abbreviations and the first day of the week, from the
    // settings; changes made during a run take effect at the next start.
    void ApplyCalendarOptions();
    // The calendar options dialog; what it confirms goes to the settings
    // for the next start, the calendar stays as it is.
    void pmoCalendarOptionsClick(TObject* Sender);
    void pmEntryPopup(TObject* Sender);
    void pmoPasteClick(TObject* Sender);
    void pmoShowScrollbarClick(TObject* Sender);
    void MemoBodyURLClick(TObject* Sender, const QString& URL);
    // The page tab: its upper half shows the diary, its lower half the
    // personal information.
    void imgTABMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // The day's birthdays and anniversaries as one line of HTML, with a
    // link to add one when there are none.
    void ShowBirthdayStrip(TDateTime aDate);
    void lblAnniversaryLinkClicked(TObject* Sender, const QString& href, bool& Handled);
    void lblAnniversaryMouseLeave(TObject* Sender);
    void pmBirthdayPopup(TObject* Sender);
    void pmoBirthdayMenuClick(TObject* Sender);
    // Runs the birthday keeper on the birthday file, then shows the day's
    // line and the calendar marks as the keeper left the list.
    void BtnBirthdaysClick(TObject* Sender);
    // The same, with the keeper owned by owner (the window it was opened from).
    void RunBirthdayKeeper(TComponent* owner) override;

    // The run ends: an end that did not pass through closing still keeps
    // the information page's edits and the files; errors are shown.
    void SaveAtEnd();
    // The desktop session ends or the process is asked to end: keeps the
    // day, the window's place and the files as Exit does, asking nothing.
    void SaveAtSessionEnd();
    // A close from the window manager stores the day and asks before the
    // changes of a password change are dropped.
    void WndProc(TMessage& Message) override;

private:
    void BuildComponents();
    void BuildSettings();
    // The controls, section by section in the order they are laid out.
    void BuildControls();
    void BuildActions();
    // The date heading over the calendar, the calendar and its navigation.
    void BuildCalendarColumn();
    // The commands under the calendar and those of the day over the entry area.
    void BuildCommands();
    void BuildEntryArea();
    void BuildTitle();
    // The paper under the entry, the formatting bar on it and its colour menu.
    void BuildFormattingBar();
    void BuildBody();
    void BuildInfoPage();
    void BuildMenus();
    // The features' own parts and their events, once the sections exist.
    void BuildDayDisplay();
    void BuildBirthdayLine();
    void BuildFormatting();
    // The title's box grows with its font, inside the title row.
    void FitTitleToFont();
    void PlaceWindow();
    void LoadTab(const QString& name);
    // Centred over this window, shown modally; afterwards no control here
    // keeps the focus.
    void ShowCentredModal(TForm& window);
    // Stores the information page's values when they were edited.
    void SaveInfoPage();
    // What every end keeps before the files are written: the day, the
    // information page, the window's place and skin.
    void KeepForEnd();

    bool FirstTime = true;
    // The files were saved for the end (or the user chose to leave without).
    bool SavedForEnd = false;
    int CurrentMood = 0;
    TDiaryMode CurrentMode = mdInfo;
    TCalOpts CalOpts;
    // The English day names are put back after each locale change.
    bool fHookedDayNames = false;
    TDiarySession* fSession = nullptr;
};
