#include "app/entry_form.h"

#include "app/diary_session.h"
#include "app/helpers.h"
#include "app/settings.h"
#include "birthdays/birthday.h"
#include "controls/cool_edit.h"
#include "controls/form_building.h"
#include "controls/image_combo.h"
#include "controls/styled_speed_button.h"
#include "engine/diary.h"
#include "engine/file_iterator.h"
#include "engine/reg_values.h"
#include "engine/resource_store.h"
#include "platform/core/sysutils.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/stdctrls.h"

#include <QFileInfo>
#include <QPainter>

namespace {

constexpr TColor kFocusColor = 0x00FFF0E8;
constexpr TColor kButtonColor = 0x00F5E2CB;
constexpr TColor kButtonLight = 0x00404080;

const char* const kNewText = "You are about to create a new diary. You will be asked for a name and a secret password.";
const char* const kPasswordText = "Type in your password:";
const char* const kRestoreText
    = "You are about to RESTORE your diary from a backup. Make sure you know the password...";

template <class T> T* Make(TfrmEntry* owner, const char* name, const QRect& bounds)
{
    return MakeControl<T>(owner, owner, name, bounds);
}

QColor Rgb(TColor c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// A closed book in the given cover colour, with a mark drawn by `mark`.
QImage Book(int w, int h, TColor cover, int mark)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, w > 16);
    const int m = w > 16 ? 4 : 1;
    QRectF book(m + w / 8.0, m, w - 2 * m - w / 8.0, h - 2 * m);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 230, 215));
    p.drawRect(book.adjusted(1, 1, 1, 1));
    p.setBrush(Rgb(cover));
    p.drawRect(book);
    p.setBrush(Rgb(cover).darker(150));
    p.drawRect(QRectF(book.left(), book.top(), book.width() / 6.0, book.height()));
    p.setPen(QPen(QColor(255, 215, 120), w > 16 ? 2 : 1));
    p.setBrush(Qt::NoBrush);
    const QPointF c = book.center() + QPointF(book.width() / 12.0, 0);
    const double r = book.width() / 4.0;
    if (mark == 1) { // a plus: create
        p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    } else if (mark == 0) {
        p.drawRect(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r * 0.6));
    }
    return image;
}

} // namespace

TfrmEntry::TfrmEntry(TComponent* AOwner, TDiarySession& session, IDiaryView& view)
    : TForm(AOwner)
    , Session(session)
    , View(view)
{
    BuildControls();

    if (!LoadSkin()) {
        Session.CurrentSkin = 0;
        LoadSkin();
    }
    imgDiary->SetTransparent(true);
    SetIcon(Application()->Icon());
    SetCaption(ProgramTitle());

    fFileIterator->SetRecurse(false);
    fFileIterator->SetDirectory(Session.ProgramPath);
    fFileIterator->SetFileMask(S("*.dry"));
    fFileIterator->SetEnabled(true);

    FillList();
    OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    DoCreate();
}

TfrmEntry::~TfrmEntry()
{
    DoDestroy();
}

void TfrmEntry::BuildControls()
{
    SetName(S("frmEntry"));
    SetBorderStyle(bsSingle);
    SetBorderIcons(0);
    SetClientSize(DesignClientWidth, DesignClientHeight);
    SetColor(clBlack);
    SetFontOf(this, 12, clWhite);
    SetPosition(poDesktopCenter);

    BuildComponents();

    imgBack = Make<TImage>(this, "imgBack", QRect(0, 0, DesignClientWidth, DesignClientHeight));
    imgBack->SetAlign(alClient);

    imgDiary = Make<TImage>(this, "imgDiary", QRect(8, 12, 64, 72));
    {
        // Scaled to the box, so the whole book shows whatever size the artwork has.
        const QImage book = PictureOn(S("DIARYBOOK"), clBlack, Book(56, 72, 0x00A05A2C, 2));
        TBitmap bitmap;
        bitmap.SetImage(
            book.scaled(imgDiary->Width(), imgDiary->Height(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        imgDiary->Picture()->SetBitmap(&bitmap);
        imgDiary->SetCenter(true);
    }

    BuildDiaryChoice();
    BuildPassword();
    BuildButtons();
}

void TfrmEntry::BuildComponents()
{
    ilDiaryEntry = new TImageList(16, 16, this);
    ilDiaryEntry->SetName(S("ilDiaryEntry"));
    for (int i = 0; i < 3; ++i) {
        static const char* const names[] = { "DIARYFILE", "DIARYNEW", "DIARYRESTORE" };
        static const TColor covers[] = { 0x00A05A2C, 0x00307830, 0x002040A0 };
        // The artwork keeps its alpha: keying black out would take its black outline along.
        const QImage art = ProgramPicture(S(names[i]));
        if (!art.isNull()) {
            ilDiaryEntry->AddImage(art);
            continue;
        }
        TBitmap bitmap;
        bitmap.SetImage(Book(16, 16, covers[i], i));
        ilDiaryEntry->AddMasked(&bitmap, clBlack);
    }

    fFileIterator = new TCPFileIterator(this);
    fFileIterator->SetName(S("fFileIterator"));

    RestoreDialog = new TOpenDialog(this);
    RestoreDialog->SetName(S("RestoreDialog"));
    RestoreDialog->SetTitle(S("Select the diary file to restore"));
    RestoreDialog->SetFilter(S("Diary Files and Backups (*.dry,*.bkd)|*.dry;*.bkd"));
    RestoreDialog->SetDefaultExt(S("bkd"));
    RestoreDialog->SetOptions(TOpenOptions { ofHideReadOnly, ofFileMustExist, ofEnableSizing, ofDontAddToRecent });
}

bool TfrmEntry::LoadSkin()
{
    return Session.rStore && DrawSkin(*Session.rStore, Session.CurrentSkin, *imgBack);
}

void TfrmEntry::FillList()
{
    const QString last = Session.reger->Get(Settings::LastDiaryName).toString().toLower();
    TComboImagesNN* list = cbDiary->ComboImages();
    list->Clear();
    fDiaryFiles.clear();
    list->Add(S("* Create New Diary *"), 1);
    int match = -1;
    const TStringList& files = fFileIterator->FileList();
    for (int i = 0; i < files.Count(); ++i) {
        const QString name = QFileInfo(files.Strings(i)).fileName();
        if (name.toLower() == last)
            match = cbDiary->Items()->Count();
        // Everything before the extension, so "my.old.dry" is told apart from
        // "my.dry"; the path itself is kept, so opening needs no rebuilt name.
        list->Add(name.left(name.size() - 4), 0);
        fDiaryFiles.append(files.Strings(i));
    }
    list->Add(S("* Restore diary from backup"), 2);

    iCurrentStep = 0;
    btnNext->SetCaption(S("&Next > "));
    btnPrev->SetCaption(S("E&xit"));
    edtDiary->SetVisible(false);

    if (match > 0 && match < cbDiary->Items()->Count()) {
        cbDiary->SetItemIndex(match);
        lblPassword->SetCaption(S(kPasswordText));
        edtPassword->SetVisible(true);
        SetActiveControl(edtPassword);
    } else {
        cbDiary->SetItemIndex(0);
        lblPassword->SetCaption(S(kNewText));
        edtPassword->SetVisible(false);
        SetActiveControl(nullptr);
    }
}

void TfrmEntry::ShowChoiceText()
{
    SetActiveControl(nullptr);
    const int index = cbDiary->ItemIndex();
    const bool create = index <= 0;
    const bool restore = index == cbDiary->Items()->Count() - 1;
    lblPassword->SetCaption(S(create ? kNewText : restore ? kRestoreText : kPasswordText));
    edtPassword->SetVisible(!create && !restore);
}

void TfrmEntry::BuildDiaryChoice()
{
    lblDiary = Make<TLabel>(this, "lblDiary", QRect(76, 10, 205, 15));
    lblDiary->SetCaption(S("Select your Diary:"));
    lblDiary->SetTransparent(true);

    cbDiary = Make<TExtendedComboBoxNN>(this, "cbDiary", QRect(76, 28, 205, 22));
    cbDiary->SetStyle(csOwnerDrawFixed);
    cbDiary->SetImageList(ilDiaryEntry);
    // A row above and below the pictures keeps them clear of the focus frame.
    cbDiary->SetItemHeight(ilDiaryEntry->Height() + 2);
    cbDiary->SetHint(S("Select your diary or select\r\nNEW to create a new one"));
    cbDiary->SetShowHint(true);
    cbDiary->Font()->SetColor(clBlack);
    cbDiary->OnChange = [this](TObject* s) { cbDiaryChange(s); };

    edtDiary = Make<TCPCoolEdit>(this, "edtDiary", QRect(76, 28, 205, 22));
    edtDiary->SetVisible(false);
    edtDiary->SetHint(S("Type in your diary name"));
    edtDiary->SetShowHint(true);
    edtDiary->SetMaxLength(30);
    edtDiary->SetAcceptChars(S("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz 0123456789_"));
    edtDiary->Options()->SetEscCancels(true);
    edtDiary->SetColorOnFocus(kFocusColor);
    edtDiary->SetTextColorOnFocus(clBlack);
    edtDiary->Font()->SetColor(clBlack);
}

void TfrmEntry::cbDiaryChange(TObject*)
{
    ShowChoiceText();
}

void TfrmEntry::BackToChoice()
{
    iCurrentStep = 0;
    cbDiary->SetVisible(true);
    edtDiary->SetVisible(false);
    ShowChoiceText();
    lblDiary->SetCaption(S("Select your diary"));
    btnPrev->SetCaption(S("E&xit"));
    btnNext->SetCaption(S("&Next > "));
}

void TfrmEntry::BuildButtons()
{
    bvlEntry = Make<TBevel>(this, "bvlEntry", QRect(8, 140, 273, 1));
    bvlEntry->SetShape(bsTopLine);

    auto makeButton = [this](const char* name, int left) {
        auto* button = Make<TLbSpeedButton>(this, name, QRect(left, 148, 101, 31));
        button->SetStyle(bsModern);
        button->SetColor(kButtonColor);
        button->SetLightColor(kButtonLight);
        button->SetTransparent(true);
        button->SetAlignment(taCenter);
        button->Font()->SetColor(clWhite);
        button->HotTrackFont()->SetName(S("Arial"));
        button->HotTrackFont()->SetColor(clWhite);
        button->SetUseHotTrackFont(true);
        return button;
    };
    btnPrev = makeButton("btnPrev", 72);
    btnPrev->OnClick = [this](TObject* s) { btnPrevClick(s); };
    btnNext = makeButton("btnNext", 180);
    btnNext->OnClick = [this](TObject* s) { btnNextClick(s); };
}

void TfrmEntry::btnPrevClick(TObject*)
{
    if (iCurrentStep == 1) {
        BackToChoice();
        return;
    }
    SetModalResult(mrCancel);
    Application()->SetShowMainForm(false);
    Application()->Terminate();
}

void TfrmEntry::BuildPassword()
{
    lblPassword = Make<TLabel>(this, "lblPassword", QRect(76, 58, 205, 44));
    lblPassword->SetAutoSize(false);
    lblPassword->SetWordWrap(true);
    lblPassword->SetTransparent(true);

    edtPassword = Make<TCPCoolEdit>(this, "edtPassword", QRect(76, 104, 205, 22));
    edtPassword->SetVisible(false);
    edtPassword->SetMaxLength(30);
    edtPassword->SetPasswordChar(QLatin1Char('*'));
    edtPassword->SetColorOnFocus(kFocusColor);
    edtPassword->SetTextColorOnFocus(clBlack);
    edtPassword->Font()->SetColor(clBlack);
    edtPassword->OnKeyPress = [this](TObject* s, QChar& key) { edtPasswordKeyPress(s, key); };
}

void TfrmEntry::edtPasswordKeyPress(TObject*, QChar& Key)
{
    if (Key == QChar(13)) {
        Key = QChar(0);
        btnNextClick(btnNext);
    }
}

void TfrmEntry::btnNextClick(TObject*)
{
    if (iCurrentStep == 1) {
        FinishNewDiary();
        return;
    }
    iCurrentStep = 1;
    btnNext->SetCaption(S("&Finish >>"));
    btnPrev->SetCaption(S("< &Back"));

    const int index = cbDiary->ItemIndex();
    if (index <= 0) {
        edtDiary->SetText(S("My Diary"));
        lblDiary->SetCaption(S("Type in your new diary name:"));
        lblPassword->SetCaption(S("Select your secret password:"));
        cbDiary->SetVisible(false);
        edtDiary->SetVisible(true);
        edtPassword->SetVisible(true);
        SetActiveControl(edtDiary);
        return;
    }

    if (index == cbDiary->Items()->Count() - 1) {
        if (RestoreDiary())
            Finish();
        else
            BackToChoice();
        return;
    }

    Session.DataFileName = fDiaryFiles.value(index - 1);
    Session.DataBackupName = ChangeFileExtension(Session.DataFileName, S("bak"));
    Session.UserPassword = edtPassword->Text().trimmed();
    Session.DiaryIsNew = false;
    if (!OpenDiary(Session.DataFileName, Session.DataBackupName, Session.UserPassword)) {
        BackToChoice();
        if (edtPassword->Visible())
            SetActiveControl(edtPassword);
        return;
    }
    Session.BirthdayFileName = ChangeFileExtension(Session.DataFileName, S("dra"));
    Session.LoadBirthdays();
    Finish();
}

void TfrmEntry::FinishNewDiary()
{
    const QString name = edtDiary->Text().trimmed();
    if (name.isEmpty()) {
        MessageDlg(S("Diary name cannot be blank"), mtError, TMsgDlgButtons { mbOK });
        return;
    }
    const QString fileName = Session.ProgramPath + name + S(".dry");
    if (QFileInfo::exists(fileName)) {
        MessageDlg(S("This Diary Already Exists!"), mtError, TMsgDlgButtons { mbOK });
        return;
    }
    const QString password = edtPassword->Text().trimmed();
    // Refused before the confirmation: the file would keep another password.
    if (const QString error = PasswordStorageError(password); !error.isEmpty()) {
        MessageDlg(error, mtError, TMsgDlgButtons { mbOK });
        return;
    }
    QString confirmation;
    if (!InputQuery(S(" Password Confirmation"), S("Please re-type your password:"), confirmation, iePassword))
        return;
    if (confirmation.trimmed() != password) {
        MessageDlg(S("Passwords do not match"), mtError, TMsgDlgButtons { mbOK });
        return;
    }
    Session.DataFileName = fileName;
    Session.DataBackupName = ChangeFileExtension(fileName, S("bak"));
    Session.UserPassword = password;
    Session.DiaryIsNew = true;
    Session.InitNewDiary();
    View.DiaryReplaced();
    Session.BirthdayFileName = Session.ProgramPath + name + S(".dra");
    Finish();
}

void TfrmEntry::Finish()
{
    Session.DiaryOpened = true;
    // ShowModal then closes the wizard, which frees itself.
    SetModalResult(mrOk);
}

bool TfrmEntry::OpenDiary(const QString& aFileName, const QString& aBackupName, const QString& aPassword)
{
    Session.DiaryFromBackup = false;
    int status = DiaryDB().LoadFromFile(aFileName, true, aPassword);
    if (status == lsNoError)
        return true;
    if (status == lsWrongPassword || !QFileInfo::exists(aBackupName)) {
        MessageDlg(TDiaryDB::StatusToErrorStr(status), mtError, TMsgDlgButtons { mbOK });
        return false;
    }
    MessageDlg(S("The original diary produced the following error:\r\n\"%1\".\r\n\r\nI will try to use the most recent "
                 "backup.")
                   .arg(TDiaryDB::StatusToErrorStr(status)),
        mtWarning, TMsgDlgButtons { mbOK });
    status = DiaryDB().LoadFromFile(aBackupName, true, aPassword);
    if (status == lsNoError) {
        Session.DiaryFromBackup = true;
        return true;
    }
    MessageDlg(TDiaryDB::StatusToErrorStr(status), mtError, TMsgDlgButtons { mbOK });
    return false;
}

bool TfrmEntry::RestoreDiary()
{
    RestoreDialog->SetFileName(QString());
    RestoreDialog->SetInitialDir(GetDesktopFolder());
    if (!RestoreDialog->Execute())
        return false;
    const QString file = RestoreDialog->FileName();
    QString password;
    if (!QFileInfo::exists(file)
        || !InputQuery(S("Security Notice"), S("Enter the password of this backup diary"), password, iePassword))
        return false;
    // Trimmed as on every other road, so the password that restores the
    // diary is the one that opens it afterwards.
    password = password.trimmed();
    const int status = DiaryDB().LoadFromFile(file, true, password);
    if (status != lsNoError) {
        MessageDlg(TDiaryDB::StatusToErrorStr(status), mtError, TMsgDlgButtons { mbOK });
        return false;
    }
    // Whatever the backup's extension (or none), the diary is a ".dry" the
    // wizard lists next time; a name that is all extension keeps it.
    const QString base = QFileInfo(file).completeBaseName();
    const QString name = (base.isEmpty() ? QFileInfo(file).fileName() : base) + S(".dry");
    const QString target = Session.ProgramPath + name;
    // Restoring over another diary of the folder asks first; at the end of
    // the run that diary is still kept as the previous version.
    if (QFileInfo::exists(target) && QFileInfo(target).canonicalFilePath() != QFileInfo(file).canonicalFilePath()
        && MessageDlg(S("A diary named \"%1\" already exists.\r\nReplace it with the restored diary?")
                          .arg(QFileInfo(name).completeBaseName()),
               mtWarning, TMsgDlgButtons { mbOK, mbCancel })
            != mrOk)
        return false;
    Session.DataFileName = target;
    Session.DataBackupName = ChangeFileExtension(target, S("bak"));
    Session.BirthdayFileName = ChangeFileExtension(target, S("dra"));
    Session.DiaryIsNew = false;
    Session.DiaryFromBackup = false;
    Session.UserPassword = password;
    Session.PrevDate = -1.0;
    // The birthdays kept beside a diary of that name belong to it.
    Session.LoadBirthdays();
    View.HandleEntry();
    MessageDlg(S("Diary restored successfully"), mtInformation, TMsgDlgButtons { mbOK });
    DiaryDB().Modified = true;
    return true;
}

void TfrmEntry::WndProc(TMessage& Message)
{
    TForm::WndProc(Message);
    if (Message.Msg != WM_NCHITTEST || Message.Result != HTCLIENT)
        return;
    const QPoint at(qint16(Message.LParam & 0xFFFF), qint16((Message.LParam >> 16) & 0xFFFF));
    const TControl* under = ControlAtPos(at, true, true);
    for (const TControl* keep :
        std::initializer_list<const TControl*> { edtDiary, edtPassword, cbDiary, btnNext, btnPrev })
        if (under == keep)
            return;
    Message.Result = HTCAPTION;
}
