#include "platform/core/sysinfo.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/services.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

namespace {

class ScriptedDialogs : public ::testing::Test {
protected:
    void SetUp() override { SetDialogService(&fScripted); }
    void TearDown() override { SetDialogService(nullptr); }

    TScriptedDialogService fScripted;
};

// Runs act on the modal dialog the next call opens, once it is showing;
// a dialog still open after five seconds is closed so a failing test ends.
void WhenModal(std::function<void(QWidget*)> act)
{
    auto* poll = new QTimer(qApp);
    auto* deadline = new QTimer(qApp);
    poll->setInterval(5);
    deadline->setSingleShot(true);
    QObject::connect(poll, &QTimer::timeout, [poll, deadline, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        poll->stop();
        deadline->stop();
        poll->deleteLater();
        deadline->deleteLater();
        act(modal);
    });
    QObject::connect(deadline, &QTimer::timeout, [poll, deadline] {
        ADD_FAILURE() << "no modal dialog appeared";
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
        poll->deleteLater();
        deadline->deleteLater();
    });
    poll->start();
    deadline->start(5000);
}

QPushButton* ButtonWithText(QWidget* dialog, const QString& text)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// The dialog's own OK or Cancel, not those of a dialog embedded in it.
QPushButton* StandardButton(QWidget* dialog, QDialogButtonBox::StandardButton which)
{
    auto* box = dialog->findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly);
    return box ? box->button(which) : nullptr;
}

int CountPages(const QByteArray& pdf)
{
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1)) {
        if (pdf.mid(at + 11, 1) != "s")
            ++pages;
    }
    return pages;
}

} // namespace

TEST_F(ScriptedDialogs, ScriptedMessageDialogsAreRecordedAndAnswered)
{
    fScripted.AnswerMessageDlg(mrCancel);
    fScripted.AnswerMessageBox(IDYES);
    EXPECT_EQ(fScripted.PendingAnswers(), 2);

    EXPECT_EQ(MessageDlg(QStringLiteral("Delete?"), mtConfirmation, mbOKCancel), mrCancel);
    EXPECT_EQ(AppMessageBox(QStringLiteral("Sure?"), QStringLiteral(" Warning"), MB_ICONWARNING | MB_YESNO), IDYES);

    ASSERT_EQ(fScripted.Calls().size(), 2);
    const TDialogCall& dlg = fScripted.Calls()[0];
    EXPECT_EQ(dlg.Kind, TDialogKind::MessageDlg);
    EXPECT_EQ(dlg.Text, QStringLiteral("Delete?"));
    EXPECT_EQ(dlg.Caption, QStringLiteral("Confirm"));
    EXPECT_EQ(dlg.DlgType, mtConfirmation);
    EXPECT_EQ(dlg.Buttons, (TMsgDlgButtons { mbCancel, mbOK }));
    EXPECT_TRUE(dlg.Answered);
    const TDialogCall& box = fScripted.Calls()[1];
    EXPECT_EQ(box.Kind, TDialogKind::MessageBox);
    EXPECT_EQ(box.Caption, QStringLiteral(" Warning"));
    EXPECT_EQ(box.Flags, MB_ICONWARNING | MB_YESNO);
    EXPECT_EQ(fScripted.UnansweredCalls(), 0);
    EXPECT_EQ(fScripted.PendingAnswers(), 0);
}

TEST_F(ScriptedDialogs, FreeFunctionsRouteToTheInstalledService)
{
    fScripted.AnswerMessageDlg(mrOk);
    fScripted.AnswerMessageDlg(mrOk);
    fScripted.AnswerInputQuery(QStringLiteral("secret"));
    ShowMessage(QStringLiteral("Saved."));
    ShowErrorBox(QStringLiteral("'x' is not a valid date"));
    QString value = QStringLiteral("old");
    EXPECT_TRUE(InputQuery(QStringLiteral("Security Notice"), QStringLiteral("Password:"), value));
    EXPECT_EQ(value, QStringLiteral("secret"));

    ASSERT_EQ(fScripted.Calls().size(), 3);
    EXPECT_EQ(fScripted.Calls()[0].DlgType, mtCustom);
    EXPECT_EQ(fScripted.Calls()[0].Buttons, TMsgDlgButtons(mbOK));
    EXPECT_EQ(fScripted.Calls()[1].DlgType, mtError);
    EXPECT_EQ(fScripted.Calls()[1].Caption, QStringLiteral("Error"));
    EXPECT_EQ(fScripted.Calls()[1].Buttons, TMsgDlgButtons(mbOK));
    EXPECT_EQ(fScripted.Calls()[2].Caption, QStringLiteral("Security Notice"));
    EXPECT_EQ(fScripted.Calls()[2].Text, QStringLiteral("Password:"));
    EXPECT_EQ(fScripted.Calls()[2].Value, QStringLiteral("old"));

    SetDialogService(nullptr);
    EXPECT_NE(dynamic_cast<TQtDialogService*>(&::Dialogs()), nullptr);
    SetDialogService(&fScripted);
    EXPECT_EQ(&::Dialogs(), &fScripted);
}

TEST_F(ScriptedDialogs, UnexpectedCallsAreCountedAndCancel)
{
    QString value = QStringLiteral("kept");
    TFileDialogRequest file;
    file.FileName = QStringLiteral("a.dry");
    EXPECT_EQ(MessageDlg(QStringLiteral("?"), mtWarning, mbYesNo), mrCancel);
    EXPECT_EQ(AppMessageBox(QStringLiteral("?"), QStringLiteral("Info"), MB_YESNO), IDCANCEL);
    EXPECT_FALSE(InputQuery(QStringLiteral("c"), QStringLiteral("p"), value));
    EXPECT_FALSE(::Dialogs().OpenFileDialog(file));
    EXPECT_EQ(value, QStringLiteral("kept"));
    EXPECT_EQ(file.FileName, QStringLiteral("a.dry"));
    EXPECT_EQ(fScripted.UnansweredCalls(), 4);

    // An answer the dialog could not give is a fault too.
    fScripted.AnswerMessageDlg(mrYes);
    fScripted.AnswerMessageBox(IDYES);
    EXPECT_EQ(MessageDlg(QStringLiteral("?"), mtError, mbOK), mrCancel);
    EXPECT_EQ(AppMessageBox(QStringLiteral("?"), QStringLiteral("c"), MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(fScripted.UnansweredCalls(), 6);
    ASSERT_EQ(fScripted.Calls().size(), 6);
    for (const TDialogCall& call : fScripted.Calls())
        EXPECT_FALSE(call.Answered);

    // An empty button set is shown (and answered) as OK.
    fScripted.AnswerMessageDlg(mrOk);
    EXPECT_EQ(MessageDlg(QStringLiteral("?"), mtInformation, TMsgDlgButtons()), mrOk);

    fScripted.Clear();
    EXPECT_EQ(fScripted.UnansweredCalls(), 0);
    EXPECT_TRUE(fScripted.Calls().isEmpty());
}

TEST_F(ScriptedDialogs, AnswersQueuePerKindInOrder)
{
    fScripted.AnswerInputQuery(QStringLiteral("first"));
    fScripted.AnswerMessageBox(IDNO);
    fScripted.CancelInputQuery();
    fScripted.AnswerInputQuery(QString(300, u'x'));

    QString value = QStringLiteral("v");
    EXPECT_EQ(AppMessageBox(QStringLiteral("?"), QStringLiteral("c"), MB_YESNOCANCEL), IDNO);
    EXPECT_TRUE(InputQuery(QStringLiteral("c"), QStringLiteral("p"), value));
    EXPECT_EQ(value, QStringLiteral("first"));
    EXPECT_FALSE(InputQuery(QStringLiteral("c"), QStringLiteral("p"), value));
    EXPECT_EQ(value, QStringLiteral("first"));
    EXPECT_TRUE(InputQuery(QStringLiteral("c"), QStringLiteral("p"), value));
    EXPECT_EQ(value.size(), 255);
    EXPECT_EQ(fScripted.UnansweredCalls(), 0);
    EXPECT_TRUE(fScripted.Calls()[2].Answered); // a cancel is an answer
}

TEST_F(ScriptedDialogs, FileAndFontRequestsAreRecordedAndFilledIn)
{
    TFileDialogRequest save;
    save.Title = QStringLiteral("Export");
    save.Filter = QStringLiteral("Rich text (*.rtf)|*.rtf|All files|*.*");
    save.DefaultExt = QStringLiteral("rtf");
    save.InitialDir = QStringLiteral("/home/u/Desktop");
    save.FileName = QStringLiteral("diary.rtf");
    save.Options.Include(ofOverwritePrompt);
    fScripted.AnswerSaveFile(QStringLiteral("/tmp/out.rtf"), 2);
    ASSERT_TRUE(::Dialogs().SaveFileDialog(save));
    EXPECT_EQ(save.FileName, QStringLiteral("/tmp/out.rtf"));
    EXPECT_EQ(save.Files, QStringList { QStringLiteral("/tmp/out.rtf") });
    EXPECT_EQ(save.FilterIndex, 2);
    const TDialogCall& call = fScripted.Calls().back();
    EXPECT_EQ(call.Kind, TDialogKind::SaveFile);
    EXPECT_EQ(call.Caption, QStringLiteral("Export"));
    EXPECT_EQ(call.File.FileName, QStringLiteral("diary.rtf"));
    EXPECT_EQ(call.File.InitialDir, QStringLiteral("/home/u/Desktop"));
    EXPECT_TRUE(call.File.Options.Contains(ofOverwritePrompt));
    EXPECT_FALSE(call.File.Options.Contains(ofFileMustExist));

    TFileDialogRequest open;
    open.FileName = QStringLiteral("old.dry");
    fScripted.CancelOpenFile();
    EXPECT_FALSE(::Dialogs().OpenFileDialog(open));
    EXPECT_EQ(open.FileName, QStringLiteral("old.dry"));

    TFontDialogRequest font;
    font.Name = QStringLiteral("Arial");
    font.Size = 10;
    font.Options = TFontDialogOptions { fdEffects, fdTrueTypeOnly };
    TFontDialogRequest chosen;
    chosen.Name = QStringLiteral("Courier New");
    chosen.Size = 12;
    chosen.Style = TFontDialogRequest::StyleBold | TFontDialogRequest::StyleStrikeOut;
    chosen.Color = 0x0000FF;
    chosen.Options = TFontDialogOptions();
    fScripted.AnswerFont(chosen);
    ASSERT_TRUE(::Dialogs().FontDialog(font));
    EXPECT_EQ(font.Name, QStringLiteral("Courier New"));
    EXPECT_EQ(font.Size, 12);
    EXPECT_EQ(font.Style, 9u);
    EXPECT_EQ(font.Color, 0x0000FF);
    EXPECT_EQ(font.Options, (TFontDialogOptions { fdEffects, fdTrueTypeOnly }));
    EXPECT_EQ(fScripted.Calls().back().Font.Name, QStringLiteral("Arial"));
    EXPECT_EQ(fScripted.UnansweredCalls(), 0);
}

TEST_F(ScriptedDialogs, OnCallSeesTheCallBeforeItIsAnswered)
{
    // The hook opening a dialog of its own must not upset the record of the
    // outer call (the list grows while the outer call is being answered).
    bool nested = false;
    fScripted.OnCall = [&](const TDialogCall& call) {
        EXPECT_FALSE(call.Answered);
        if (!nested) {
            nested = true;
            for (int i = 0; i < 64; ++i)
                ShowMessage(QStringLiteral("inner"));
        }
    };
    for (int i = 0; i < 65; ++i)
        fScripted.AnswerMessageDlg(mrOk);
    EXPECT_EQ(MessageDlg(QStringLiteral("outer"), mtInformation, mbOK), mrOk);
    ASSERT_EQ(fScripted.Calls().size(), 65);
    EXPECT_EQ(fScripted.Calls()[0].Text, QStringLiteral("outer"));
    EXPECT_TRUE(fScripted.Calls()[0].Answered);
    EXPECT_EQ(fScripted.UnansweredCalls(), 0);
}

TEST_F(ScriptedDialogs, OnCallMayClearTheRecord)
{
    fScripted.OnCall = [&](const TDialogCall&) { fScripted.Clear(); };
    EXPECT_EQ(MessageDlg(QStringLiteral("gone"), mtInformation, mbOK), mrCancel);
    EXPECT_TRUE(fScripted.Calls().isEmpty());
}

TEST_F(ScriptedDialogs, FileDialogComponentsKeepTheirSettingsOnCancel)
{
    TOpenDialog open(nullptr);
    open.SetFileName(QStringLiteral("kept.bkd"));
    open.SetFilterIndex(2);
    fScripted.CancelOpenFile();
    EXPECT_FALSE(open.Execute());
    EXPECT_EQ(open.FileName(), QStringLiteral("kept.bkd"));
    EXPECT_EQ(open.FilterIndex(), 2);
    fScripted.AnswerOpenFile(QStringLiteral("/tmp/chosen.bkd"), 1);
    EXPECT_TRUE(open.Execute());
    EXPECT_EQ(open.FileName(), QStringLiteral("/tmp/chosen.bkd"));
    EXPECT_EQ(open.FilterIndex(), 1);

    TSaveDialog save(nullptr);
    save.SetTitle(QStringLiteral("Export"));
    fScripted.AnswerSaveFile(QStringLiteral("/tmp/out.rtf"));
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName(), QStringLiteral("/tmp/out.rtf"));
    EXPECT_EQ(fScripted.Calls().last().Kind, TDialogKind::SaveFile);
    EXPECT_EQ(fScripted.Calls().last().Caption, QStringLiteral("Export"));
}

TEST(DialogValues, FiltersButtonsAndResults)
{
    EXPECT_EQ(QtFileFilters(QStringLiteral("A|*.a;*.b|B|*.c")),
        (QStringList { QStringLiteral("A (*.a *.b)"), QStringLiteral("B (*.c)") }));
    EXPECT_EQ(QtFileFilters(QStringLiteral("Diary files (*.dry)|*.dry|All files|*.*")),
        (QStringList { QStringLiteral("Diary files (*.dry)"), QStringLiteral("All files (*.*)") }));
    // A name's own list of masks makes way for the real ones, in the form Qt
    // reads: every pattern shows once and is filtered by.
    EXPECT_EQ(QtFileFilters(QStringLiteral("Text (*.txt)|*.txt; *.text")),
        QStringList { QStringLiteral("Text (*.txt *.text)") });
    EXPECT_EQ(QtFileFilters(QStringLiteral("Diary Files and Backups (*.dry,*.bkd)|*.dry;*.bkd")),
        QStringList { QStringLiteral("Diary Files and Backups (*.dry *.bkd)") });
    EXPECT_EQ(QtFileFilters(QStringLiteral("Backups (old)|*.bak|(*.a; *.b)|*.a")),
        (QStringList { QStringLiteral("Backups (old) (*.bak)"), QStringLiteral("(*.a)") }));
    EXPECT_EQ(
        QtFileFilters(QStringLiteral("A|*.a|B")), (QStringList { QStringLiteral("A (*.a)"), QStringLiteral("B (*)") }));
    EXPECT_EQ(QtFileFilters(QStringLiteral("|*.x")), QStringList { QStringLiteral("*.x (*.x)") });
    EXPECT_TRUE(QtFileFilters(QString()).isEmpty());

    // Icon and default-button bits do not change the buttons.
    EXPECT_EQ(MessageBoxButtons(MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONWARNING), (QList<int> { IDOK, IDCANCEL }));
    EXPECT_EQ(MessageBoxButtons(MB_YESNO | MB_ICONQUESTION), (QList<int> { IDYES, IDNO }));

    TMsgDlgButtons set { mbYes, mbHelp };
    EXPECT_TRUE(set.Contains(mbHelp));
    EXPECT_FALSE(set.Contains(mbNo));
    set.Exclude(mbHelp).Include(mbNo);
    EXPECT_EQ(set, mbYesNo);
}

// The Qt service, driven through its real dialogs on the offscreen platform.
TEST(QtDialogService, MessageDlgShowsTheLibraryTextsAndReturnsTheClickedButton)
{
    TQtDialogService service;
    QString title;
    QStringList texts;
    QString defaultText;
    WhenModal([&](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        for (QAbstractButton* button : box->buttons())
            texts << button->text();
        defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
        ButtonWithText(box, QStringLiteral("N&o to All"))->click();
    });
    const TModalResult result
        = service.MessageDlg(QStringLiteral("Replace?"), mtConfirmation, TMsgDlgButtons { mbYes, mbNoToAll, mbCancel });
    EXPECT_EQ(result, 9);
    EXPECT_EQ(title, QStringLiteral("Confirm"));
    texts.sort();
    EXPECT_EQ(texts, (QStringList { QStringLiteral("&Yes"), QStringLiteral("Cancel"), QStringLiteral("N&o to All") }));
    EXPECT_EQ(defaultText, QStringLiteral("&Yes"));

    // Esc picks the cancel button.
    WhenModal([](QWidget* dialog) { qobject_cast<QMessageBox*>(dialog)->escapeButton()->click(); });
    EXPECT_EQ(service.MessageDlg(QStringLiteral("?"), mtWarning, mbYesNoCancel), mrCancel);

    // A box of no particular type carries the application's title.
    const QString kept = Application()->Title();
    Application()->SetTitle(QStringLiteral("My Program"));
    WhenModal([&](QWidget* dialog) {
        title = dialog->windowTitle();
        qobject_cast<QMessageBox*>(dialog)->buttons().first()->click();
    });
    service.MessageDlg(QStringLiteral("Done"), mtCustom, TMsgDlgButtons { mbOK });
    Application()->SetTitle(kept);
    EXPECT_EQ(title, QStringLiteral("My Program"));
}

TEST(QtDialogService, MessageBoxHonoursTheDefaultButtonFlag)
{
    TQtDialogService service;
    QString title;
    WhenModal([&](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        title = box->windowTitle();
        ASSERT_NE(box->defaultButton(), nullptr);
        EXPECT_EQ(box->defaultButton()->text(), QStringLiteral("Cancel"));
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        box->defaultButton()->click();
    });
    EXPECT_EQ(service.MessageBox(
                  QStringLiteral("Delete?"), QStringLiteral(" Warning"), MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2),
        IDCANCEL);
    EXPECT_EQ(title, QStringLiteral(" Warning"));

    WhenModal([](QWidget* dialog) { ButtonWithText(dialog, QStringLiteral("&Yes"))->click(); });
    EXPECT_EQ(service.MessageBox(QStringLiteral("?"), QStringLiteral("Info"), MB_YESNO | MB_ICONQUESTION), IDYES);
}

TEST(QtDialogService, InputQueryKeepsTextVisibleAndShort)
{
    TQtDialogService service;
    WhenModal([](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->echoMode(), QLineEdit::Normal);
        EXPECT_EQ(edit->maxLength(), 255);
        EXPECT_EQ(edit->text(), QStringLiteral("start"));
        edit->setText(QString(400, u'a'));
        static_cast<QDialog*>(dialog)->accept();
    });
    QString value = QStringLiteral("start");
    EXPECT_TRUE(service.InputQuery(QStringLiteral("Password Change"), QStringLiteral("New password:"), value));
    EXPECT_EQ(value, QString(255, u'a'));

    WhenModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    EXPECT_FALSE(service.InputQuery(QStringLiteral("c"), QStringLiteral("p"), value));
    EXPECT_EQ(value, QString(255, u'a'));
}

// A password is masked as it is typed, in the real dialog and in the record
// of the scripted one; the text given back is the one typed.
TEST(QtDialogService, APasswordQueryMasksWhatIsTyped)
{
    TQtDialogService service;
    QLineEdit::EchoMode echo = QLineEdit::Normal;
    WhenModal([&](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        echo = edit->echoMode();
        edit->setText(QStringLiteral("s3cret"));
        static_cast<QDialog*>(dialog)->accept();
    });
    QString value;
    EXPECT_TRUE(
        service.InputQuery(QStringLiteral("Password Change"), QStringLiteral("Enter OLD password"), value, iePassword));
    EXPECT_EQ(echo, QLineEdit::Password);
    EXPECT_EQ(value, QStringLiteral("s3cret"));

    TScriptedDialogService scripted;
    scripted.AnswerInputQuery(QStringLiteral("a"));
    scripted.AnswerInputQuery(QStringLiteral("b"));
    EXPECT_TRUE(scripted.InputQuery(QStringLiteral("c"), QStringLiteral("p"), value, iePassword));
    EXPECT_TRUE(scripted.InputQuery(QStringLiteral("c"), QStringLiteral("p"), value));
    ASSERT_EQ(scripted.Calls().size(), 2);
    EXPECT_TRUE(scripted.Calls()[0].Masked);
    EXPECT_FALSE(scripted.Calls()[1].Masked);
}

// The window manager draws the caption in the title bar beside the window's
// icon and buttons; the prompt sits on one line in the dialog.
TEST(QtDialogService, InputQueryIsWideEnoughForItsCaptionAndPrompt)
{
    TQtDialogService service;
    const std::pair<const char*, const char*> queries[] = {
        { " Password Confirmation", "Please re-type your password:" },
        { "Security Notice", "Enter the password of this backup diary, as it was when the backup was made:" },
    };
    for (const auto& [caption, prompt] : queries) {
        WhenModal([&](QWidget* dialog) {
            QFont bold = dialog->font();
            bold.setBold(true);
            const int title = QFontMetrics(bold).horizontalAdvance(QString::fromUtf8(caption));
            // Room for an icon and three buttons of a slim title bar at least.
            EXPECT_GE(dialog->width(), title + 4 * 24) << caption;
            auto* label = dialog->findChild<QLabel*>();
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->text(), QString::fromUtf8(prompt));
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << prompt;
            EXPECT_LE(label->geometry().right(), dialog->width()) << prompt;
            static_cast<QDialog*>(dialog)->reject();
        });
        QString value;
        EXPECT_FALSE(service.InputQuery(QString::fromUtf8(caption), QString::fromUtf8(prompt), value));
    }
}

// A short message keeps its caption whole in the title bar.
TEST(QtDialogService, MessageBoxesAreWideEnoughForTheirCaption)
{
    TQtDialogService service;
    const QString kept = Application()->Title();
    Application()->SetTitle(QStringLiteral("Veltrane Diary"));
    const std::pair<const char*, std::function<void()>> boxes[] = {
        { "Veltrane Diary", [&] { service.MessageDlg(QStringLiteral("Done"), mtCustom, TMsgDlgButtons { mbOK }); } },
        { "Confirm", [&] { service.MessageDlg(QStringLiteral("?"), mtConfirmation, mbYesNo); } },
        { "Veltrane Diary", [&] { service.MessageBox(QStringLiteral("?"), QStringLiteral("Veltrane Diary"), MB_OK); } },
        { " BirthDay Keeper - Restore",
            [&] { service.MessageBox(QStringLiteral("Ok"), QStringLiteral(" BirthDay Keeper - Restore"), MB_OK); } },
    };
    for (const auto& [caption, show] : boxes) {
        QString title;
        WhenModal([&](QWidget* dialog) {
            title = dialog->windowTitle();
            QFont bold = dialog->font();
            bold.setBold(true);
            // Room for an icon and three buttons of a slim title bar at least.
            EXPECT_GE(dialog->width(), QFontMetrics(bold).horizontalAdvance(title) + 4 * 24) << caption;
            qobject_cast<QMessageBox*>(dialog)->buttons().first()->click();
        });
        show();
        EXPECT_EQ(title, QString::fromUtf8(caption));
    }
    Application()->SetTitle(kept);
}

TEST(QtDialogService, FontDialogKeepsWhatTheUserLeavesAlone)
{
    TQtDialogService service;
    TFontDialogRequest font;
    font.Name = QStringLiteral("Liberation Serif");
    font.Size = 14;
    font.Style = TFontDialogRequest::StyleItalic | TFontDialogRequest::StyleUnderline;
    font.Color = 0x123456;
    font.Options = TFontDialogOptions { fdTrueTypeOnly };
    WhenModal([](QWidget* dialog) { StandardButton(dialog, QDialogButtonBox::Ok)->click(); });
    ASSERT_TRUE(service.FontDialog(font));
    EXPECT_EQ(font.Size, 14);
    // Underline was not offered without effects, so it stays.
    EXPECT_EQ(font.Style, TFontDialogRequest::StyleItalic | TFontDialogRequest::StyleUnderline);
    EXPECT_EQ(font.Color, 0x123456);
    EXPECT_FALSE(font.Name.isEmpty());

    font.Options = TFontDialogOptions { fdEffects };
    WhenModal([](QWidget* dialog) {
        EXPECT_NE(ButtonWithText(dialog, QString()), nullptr); // the colour swatch
        StandardButton(dialog, QDialogButtonBox::Ok)->click();
    });
    ASSERT_TRUE(service.FontDialog(font));
    EXPECT_EQ(font.Style, TFontDialogRequest::StyleItalic | TFontDialogRequest::StyleUnderline);
    EXPECT_EQ(font.Color, 0x123456);

    WhenModal([](QWidget* dialog) { StandardButton(dialog, QDialogButtonBox::Cancel)->click(); });
    font.Size = 20;
    EXPECT_FALSE(service.FontDialog(font));
    EXPECT_EQ(font.Size, 20);
}

TEST(Clipboard, TextAndRichTextRoundTrip)
{
    TClipboard& clipboard = Clipboard();
    clipboard.SetAsText(QStringLiteral("plain \u00E9"));
    EXPECT_TRUE(clipboard.HasFormat(CF_TEXT));
    EXPECT_FALSE(clipboard.HasFormat(CF_RTF));
    EXPECT_EQ(clipboard.AsText(), QStringLiteral("plain \u00E9"));
    EXPECT_TRUE(clipboard.RichText().isEmpty());

    const QByteArray rtf("{\\rtf1\\ansi {\\b bold}\\par}");
    clipboard.SetRichText(rtf, QStringLiteral("bold"));
    EXPECT_TRUE(clipboard.HasFormat(CF_RTF));
    EXPECT_TRUE(clipboard.HasFormat(CF_TEXT));
    EXPECT_EQ(clipboard.RichText(), rtf);
    EXPECT_EQ(clipboard.AsText(), QStringLiteral("bold"));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    EXPECT_EQ(data->data(QStringLiteral("text/rtf")), rtf);
    EXPECT_EQ(data->data(QStringLiteral("application/rtf")), rtf);

    // Rich text another program put there under the other name is read too.
    auto* foreign = new QMimeData;
    foreign->setData(QStringLiteral("application/rtf"), "{\\rtf1 x}");
    QGuiApplication::clipboard()->setMimeData(foreign);
    EXPECT_TRUE(clipboard.HasFormat(CF_RTF));
    EXPECT_FALSE(clipboard.HasFormat(CF_TEXT));
    EXPECT_EQ(clipboard.RichText(), QByteArray("{\\rtf1 x}"));

    clipboard.Clear();
    EXPECT_FALSE(clipboard.HasFormat(CF_TEXT));
    EXPECT_FALSE(clipboard.HasFormat(CF_RTF));
    EXPECT_TRUE(clipboard.AsText().isEmpty());
}

TEST_F(ScriptedDialogs, ALinkTheDesktopsOpenerGivesUpOnSaysSo)
{
    // A stand-in for xdg-open that notes its argument, waits until it is let
    // go and exits as told; it gives up after it started, as xdg-open does
    // when nothing opens a link.
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const QString opener = bin.filePath(QStringLiteral("xdg-open"));
    const auto writeOpener = [&opener](const char* script) {
        QFile file(opener);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(script);
        file.close();
        return QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    ASSERT_TRUE(writeOpener("#!/bin/sh\necho \"$1\" >> \"$0.log\"\nwhile [ ! -e \"$0.go\" ]; do sleep 0.02; done\n"
                            "rm \"$0.go\"\nexit $(cat \"$0.exit\")\n"));
    struct RestorePath {
        QByteArray path = qgetenv("PATH");
        ~RestorePath() { qputenv("PATH", path); }
    } restore;
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + restore.path);
    quint32 now = 1000;
    SetTickCountSource([&now] { return now; });
    struct RestoreTicks {
        ~RestoreTicks() { SetTickCountSource({}); }
    } restoreTicks;
    const auto calls = [&opener] {
        QFile log(opener + QStringLiteral(".log"));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts)
                                             : QStringList();
    };
    const auto waitFor = [](const std::function<bool()>& done) {
        for (int i = 0; i < 250 && !done(); ++i)
            QTest::qWait(20);
        return done();
    };
    const QString go = opener + QStringLiteral(".go");
    const auto letGo = [&go] {
        QFile file(go);
        return file.open(QIODevice::WriteOnly);
    };

    const QString link = QStringLiteral("https://www.example.org/diary/");
    struct Case {
        const char* exitCode;
        bool late; // exits only after the grace period
        bool told;
    };
    const Case cases[] = {
        { "0", false, false },
        { "3", false, true },
        // It opened the page and waited for the browser, which quit with an
        // error long after.
        { "3", true, false },
    };
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exitCode + std::string(c.late ? " late" : ""));
        fScripted.Clear();
        if (c.told)
            fScripted.AnswerMessageDlg(mrOk);
        QFile exit(opener + QStringLiteral(".exit"));
        ASSERT_TRUE(exit.open(QIODevice::WriteOnly));
        exit.write(c.exitCode);
        exit.close();
        if (!c.late) {
            ASSERT_TRUE(letGo());
        }
        EXPECT_TRUE(OpenLink(link)) << "handed over";
        ++run;
        ASSERT_TRUE(waitFor([&] { return calls().size() == run; }));
        EXPECT_EQ(calls().last(), link);
        if (c.late) {
            now += ShellOpenGraceMs + 1;
            ASSERT_TRUE(letGo());
        }
        if (c.told) {
            ASSERT_TRUE(waitFor([&] { return !fScripted.Calls().isEmpty(); }));
            EXPECT_EQ(fScripted.Calls().first().Text, QStringLiteral("\"%1\" could not be opened.").arg(link));
            EXPECT_EQ(fScripted.Calls().first().DlgType, mtError);
        } else {
            ASSERT_TRUE(waitFor([&] { return !QFile::exists(go); })) << "the opener ended";
            QTest::qWait(300);
            EXPECT_TRUE(fScripted.Calls().isEmpty());
        }
    }

    // An opener that cannot even be started is told of at once.
    ASSERT_TRUE(writeOpener("#!/nonexistent/sh\n"));
    fScripted.Clear();
    fScripted.AnswerMessageDlg(mrOk);
    EXPECT_FALSE(OpenLink(link));
    ASSERT_EQ(fScripted.Calls().size(), 1);
    EXPECT_EQ(fScripted.Calls().first().Text, QStringLiteral("\"%1\" could not be opened.").arg(link));
}

TEST(Shell, HandlerInjectionAndTargets)
{
    QStringList opened;
    SetShellHandler([&opened](const QString& target) {
        opened << target;
        return target != QStringLiteral("fail");
    });
    EXPECT_TRUE(ShellOpen(QStringLiteral("mailto:me@example.org")));
    EXPECT_TRUE(ShellOpen(QStringLiteral("/tmp/export.rtf")));
    EXPECT_FALSE(ShellOpen(QStringLiteral("fail")));
    SetShellHandler({});
    EXPECT_EQ(opened,
        (QStringList {
            QStringLiteral("mailto:me@example.org"), QStringLiteral("/tmp/export.rtf"), QStringLiteral("fail") }));

    const QUrl mail = ShellTargetUrl(QStringLiteral("mailto:me@example.org"));
    EXPECT_EQ(mail.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(mail.path(), QStringLiteral("me@example.org"));
    EXPECT_EQ(ShellTargetUrl(QStringLiteral("https://example.org/a b")).host(), QStringLiteral("example.org"));
    EXPECT_EQ(ShellTargetUrl(QStringLiteral("www.example.org")), QUrl(QStringLiteral("http://www.example.org")));
    const QUrl file = ShellTargetUrl(QStringLiteral("/tmp/my notes.rtf"));
    EXPECT_TRUE(file.isLocalFile());
    EXPECT_EQ(file.toLocalFile(), QStringLiteral("/tmp/my notes.rtf"));
    EXPECT_EQ(ShellTargetUrl(QStringLiteral("notes.rtf")).toLocalFile(),
        QDir::current().absoluteFilePath(QStringLiteral("notes.rtf")));
}

TEST(Shell, DesktopFolderFallsBackToHome)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QByteArray savedHome = qgetenv("HOME");
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/.config")));
    const QString withoutDesktop = DesktopDirectory();
    QDir(home.path()).mkdir(QStringLiteral("Desktop"));
    const QString withDesktop = DesktopDirectory();
    qputenv("HOME", savedHome);
    if (savedConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
    EXPECT_EQ(withoutDesktop, home.path());
    EXPECT_EQ(withDesktop, home.path() + QStringLiteral("/Desktop"));
}

TEST(PrinterService, PrintsPagesToPdf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fileName = dir.filePath(QStringLiteral("out.pdf"));
    auto printer = TPrinterService::CreatePdf(fileName, 300);
    ASSERT_TRUE(printer->PrintsToPdf());
    EXPECT_EQ(printer->Resolution(), 300);
    const QSize physical = printer->PhysicalPageSize();
    const QPoint offset = printer->PhysicalOffset();
    const QSize page = printer->PageSize();
    // A4 or Letter at 300 dpi, the printable area inside the page.
    EXPECT_GT(physical.width(), 2400);
    EXPECT_GT(physical.height(), 3200);
    EXPECT_GE(offset.x(), 0);
    EXPECT_GE(offset.y(), 0);
    EXPECT_LE(offset.x() + page.width(), physical.width());
    EXPECT_LE(offset.y() + page.height(), physical.height());

    SetPrinter(printer.get());
    EXPECT_EQ(&Printer(), printer.get());
    SetPrinter(nullptr);

    EXPECT_THROW(printer->NewPage(), EPrinter);
    printer->Title = QStringLiteral("Diary");
    printer->BeginDoc();
    EXPECT_TRUE(printer->Printing());
    EXPECT_EQ(printer->PageNumber(), 1);
    EXPECT_THROW(printer->BeginDoc(), EPrinter);
    printer->Canvas()->drawText(100, 100, QStringLiteral("first page"));
    printer->NewPage();
    EXPECT_EQ(printer->PageNumber(), 2);
    printer->Canvas()->drawRect(0, 0, page.width() - 1, page.height() - 1);
    printer->EndDoc();
    EXPECT_FALSE(printer->Printing());
    EXPECT_EQ(printer->Canvas(), nullptr);

    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(CountPages(pdf), 2);
}

TEST(PrinterService, NoFileNoJob)
{
    auto printer = TPrinterService::CreatePdf(QString());
    EXPECT_THROW(printer->BeginDoc(), EPrinter);
    EXPECT_FALSE(printer->Printing());

    // A printer dropped while printing leaves no half-written job behind.
    QTemporaryDir dir;
    auto dropped = TPrinterService::CreatePdf(dir.filePath(QStringLiteral("x.pdf")));
    dropped->BeginDoc();
    dropped->Canvas()->drawText(10, 10, QStringLiteral("x"));
    dropped.reset();
}
