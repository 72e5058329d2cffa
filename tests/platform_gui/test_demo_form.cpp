// A demo form with windowless and windowed controls, rendered without a
// window to a PNG a person can open. Run under a real X server (xvfb-run with
// QT_QPA_PLATFORM=xcb and DIARY_DEMO_SCREEN=1), the same form is shown in a
// window and its screenshot is compared with the render.
#include "platform/gui/bitmap.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/grids.h"
#include "platform/gui/stdctrls.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <iostream>

namespace {

QString SourceRoot()
{
    return QFileInfo(QString::fromUtf8(__FILE__)).absoluteDir().filePath(QStringLiteral("../.."));
}

// A windowless star badge drawn with the canvas, over the skin.
class Badge : public TGraphicControl
{
public:
    using TGraphicControl::TGraphicControl;
    void Paint() override
    {
        Canvas()->Brush()->SetColor(RGB(250, 214, 90));
        Canvas()->Pen()->SetColor(RGB(120, 80, 0));
        Canvas()->Ellipse(0, 0, Width(), Height());
        Canvas()->Brush()->SetStyle(bsClear);
        Canvas()->Font()->SetStyle(fsBold);
        QRect r = ClientRect();
        DrawText(*Canvas(), QStringLiteral("7"), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
};

struct DemoForm {
    TForm* form;
    TImage* skin;
    TPanel* panel;
    TLabel* overSkin;
    TEdit* edit;
    TCheckBox* check;
    TComboBox* combo;
    TListView* list;
    TDrawGrid* grid;
    Badge* badge;
};

DemoForm MakeDemoForm()
{
    DemoForm d{};
    d.form = new TForm(nullptr);
    d.form->SetBorderStyle(bsSingle);
    d.form->SetCaption(QStringLiteral("Control gallery"));
    d.form->SetClientSize(560, 380);
    d.form->Font()->SetName(QStringLiteral("Arial"));
    d.form->Font()->SetHeight(-12);

    d.skin = new TImage(d.form);
    d.skin->SetParent(d.form);
    d.skin->SetAlign(alClient);
    d.skin->SetStretch(true);
    d.skin->Picture()->LoadFromFile(SourceRoot() + QStringLiteral("/resources/store/skin04.jpg"));

    d.overSkin = new TLabel(d.form);
    d.overSkin->SetParent(d.form);
    d.overSkin->SetTransparent(true);
    d.overSkin->Font()->SetColor(clWhite);
    d.overSkin->Font()->SetHeight(-21);
    d.overSkin->Font()->SetStyle(fsBold);
    d.overSkin->SetCaption(QStringLiteral("Tuesday, 8 December 2026"));
    d.overSkin->SetBounds(16, 12, 300, 26);

    d.badge = new Badge(d.form);
    d.badge->SetParent(d.form);
    d.badge->SetBounds(500, 10, 40, 40);

    d.panel = new TPanel(d.form);
    d.panel->SetParent(d.form);
    d.panel->SetBounds(16, 50, 250, 150);
    d.panel->SetBevelInner(bvLowered);
    d.panel->SetCaption(QString());

    auto* title = new TLabel(d.form);
    title->SetParent(d.panel);
    title->SetCaption(QStringLiteral("&Title:"));
    title->SetBounds(10, 12, 40, 16);
    d.edit = new TEdit(d.form);
    d.edit->SetParent(d.panel);
    d.edit->SetBounds(60, 8, 175, 21);
    d.edit->SetText(QStringLiteral("A walk by the sea"));
    title->SetFocusControl(d.edit);

    d.check = new TCheckBox(d.form);
    d.check->SetParent(d.panel);
    d.check->SetCaption(QStringLiteral("Search the &full text"));
    d.check->SetBounds(10, 40, 200, 17);
    d.check->SetChecked(true);

    d.combo = new TComboBox(d.form);
    d.combo->SetParent(d.panel);
    d.combo->SetStyle(csDropDownList);
    d.combo->Items()->Add(QStringLiteral("My diary"));
    d.combo->Items()->Add(QStringLiteral("Travel notes"));
    d.combo->SetItemIndex(0);
    d.combo->SetBounds(10, 66, 225, 21);

    auto* bevel = new TBevel(d.form);
    bevel->SetParent(d.panel);
    bevel->SetShape(bsTopLine);
    bevel->SetBounds(10, 100, 225, 2);

    auto* hint = new TLabel(d.form);
    hint->SetParent(d.panel);
    hint->SetWordWrap(true);
    hint->SetAutoSize(false);
    hint->SetBounds(10, 108, 225, 34);
    hint->SetCaption(QStringLiteral("Windowless labels wrap inside their bounds and paint over the panel."));

    d.list = new TListView(d.form);
    d.list->SetParent(d.form);
    d.list->SetViewStyle(vsReport);
    d.list->SetRowSelect(true);
    d.list->SetBounds(280, 50, 264, 150);
    d.list->Columns()->Add()->SetCaption(QStringLiteral("Date"));
    d.list->Columns()->Items(0)->SetWidth(90);
    d.list->Columns()->Add()->SetCaption(QStringLiteral("Title"));
    d.list->Columns()->Items(1)->SetWidth(160);
    const char* rows[][2] = {{"01/12/2026", "First snow"}, {"03/12/2026", "Concert"}, {"08/12/2026", "A walk by the sea"}};
    for (const auto& row : rows) {
        TListItem* item = d.list->Items()->Add();
        item->SetCaption(QString::fromLatin1(row[0]));
        item->SubItems()->Add(QString::fromLatin1(row[1]));
    }

    d.grid = new TDrawGrid(d.form);
    d.grid->SetParent(d.form);
    d.grid->SetBounds(16, 214, 250, 150);
    d.grid->SetColCount(7);
    d.grid->SetRowCount(6);
    d.grid->SetFixedCols(0);
    d.grid->SetFixedRows(1);
    d.grid->SetDefaultColWidth(34);
    d.grid->SetDefaultRowHeight(23);
    d.grid->SetScrollBars(ssNone);
    d.grid->OnDrawCell = [g = d.grid](TObject*, int col, int row, QRect rect, TGridDrawState) {
        static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
        const QString text = row == 0 ? QString::fromLatin1(days[col]) : QString::number((row - 1) * 7 + col + 1);
        g->Canvas()->Brush()->SetStyle(bsClear);
        DrawText(*g->Canvas(), text, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    };

    d.form->DoCreate();
    return d;
}

QString OutputPath(const QString& name)
{
    return QDir::current().absoluteFilePath(name);
}

} // namespace

TEST(DemoForm, RendersEveryControlWithoutAWindow)
{
    DemoForm d = MakeDemoForm();
    d.form->Show(); // offscreen: nothing appears, but the widgets are visible to render
    QApplication::processEvents();
    auto bitmap = d.form->RenderToBitmap();
    const QImage& image = bitmap->Image();
    ASSERT_EQ(image.size(), QSize(560, 380));
    const QString path = OutputPath(QStringLiteral("demo_form.png"));
    ASSERT_TRUE(image.save(path));
    std::cout << "demo form rendered to " << path.toStdString() << std::endl;

    // The skin fills the form where nothing covers it.
    const QColor skinCorner = image.pixelColor(540, 370);
    EXPECT_LT(skinCorner.lightness(), 120);
    // The panel's raised outer bevel: highlight on top, shadow at the bottom.
    EXPECT_EQ(image.pixel(16 + 5, 50) & 0xFFFFFF, ToQColor(clBtnHighlight).rgb() & 0xFFFFFF);
    EXPECT_EQ(image.pixel(16 + 5, 50 + 149) & 0xFFFFFF, ToQColor(clBtnShadow).rgb() & 0xFFFFFF);
    // The transparent label leaves the skin visible between its letters.
    EXPECT_LT(image.pixelColor(16 + 298, 12 + 24).lightness(), 120);
    // The badge is windowless and yellow inside its ring.
    EXPECT_EQ(image.pixel(508, 22) & 0xFFFFFF, QColor(250, 214, 90).rgb() & 0xFFFFFF);
    delete d.form;
}

TEST(DemoForm, ShowsTheSameInARealWindow)
{
    if (qEnvironmentVariableIsEmpty("DIARY_DEMO_SCREEN") || QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs an X server: xvfb-run with QT_QPA_PLATFORM=xcb DIARY_DEMO_SCREEN=1";
    DemoForm d = MakeDemoForm();
    d.form->SetPosition(poScreenCenter);
    d.form->Show();
    QTest::qWait(800);
    const QImage rendered = d.form->RenderToBitmap()->Image();
    const QPoint origin = d.form->Handle()->mapToGlobal(QPoint(0, 0));
    const QImage screen = QGuiApplication::primaryScreen()
                              ->grabWindow(0, origin.x(), origin.y(), rendered.width(), rendered.height())
                              .toImage()
                              .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(screen.size(), rendered.size());
    screen.save(OutputPath(QStringLiteral("demo_form_screen.png")));
    rendered.save(OutputPath(QStringLiteral("demo_form.png")));
    int differing = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x) {
            const QColor a = screen.pixelColor(x, y), b = rendered.pixelColor(x, y);
            if (std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) > 24)
                ++differing;
        }
    std::cout << differing << " of " << screen.width() * screen.height() << " pixels differ" << std::endl;
    EXPECT_LT(differing, screen.width() * screen.height() / 100);
    delete d.form;
}
