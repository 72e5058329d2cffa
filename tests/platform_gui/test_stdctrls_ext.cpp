// Panels, bevels, images, timers, the list view, page control and tab set,
// and actions linked to controls and menu items.
#include "test_stdctrls_fixture.h"

#include "platform/gui/actnlist.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QTabBar>
#include <QTreeWidget>

namespace {

// A page control whose pages cover the whole client area below the tabs.
class BorderlessPages : public TPageControl {
public:
    using TPageControl::TPageControl;
    void WndProc(TMessage& Message) override
    {
        TPageControl::WndProc(Message);
        if (Message.Msg == TCM_ADJUSTRECT) {
            auto* r = reinterpret_cast<QRect*>(Message.LParam);
            *r = QRect(0, r->top() - 4, ClientWidth(), ClientHeight() - (r->top() - 4));
        }
    }
};

void WaitUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QTest::qWait(5);
}

} // namespace

// --- panel and bevel ---

using StdPanel = StdFixture;

TEST_F(StdPanel, BevelsAreDrawnWithTheButtonColours)
{
    MakeForm();
    auto* panel = Add<TPanel>(0, 0, 40, 30);
    QImage image = Render(panel);
    ExpectPixels(image,
        { { 0, 0, clBtnHighlight }, { 0, 28, clBtnHighlight }, { 39, 29, clBtnShadow }, { 39, 0, clBtnShadow },
            { 1, 1, clBtnFace } });

    // Lowered outer bevel two wide, a border of 3 in the face colour, a raised inner bevel.
    panel->SetColor(clSilver);
    panel->SetBevelOuter(bvLowered);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    panel->SetBevelInner(bvRaised);
    image = Render(panel);
    ExpectPixels(image,
        { { 1, 1, clBtnShadow }, { 38, 28, clBtnHighlight }, { 3, 3, clSilver }, { 5, 5, clBtnHighlight },
            { 6, 6, clBtnHighlight }, { 33, 23, clBtnShadow }, { 20, 15, clSilver } });
}

TEST_F(StdPanel, AlignedChildrenStayInsideBevelsAndBorder)
{
    MakeForm();
    auto* panel = Add<TPanel>(0, 0, 100, 80);
    panel->SetBorderWidth(4);
    auto* child = new TPanel(form);
    child->SetParent(panel);
    child->SetAlign(alClient);
    EXPECT_EQ(child->BoundsRect(), QRect(5, 5, 90, 70));
    panel->SetBevelInner(bvLowered);
    EXPECT_EQ(child->BoundsRect(), QRect(6, 6, 88, 68));
    panel->SetBevelOuter(bvNone);
    panel->SetBevelInner(bvNone);
    panel->SetBorderStyle(bsSingle);
    EXPECT_EQ(child->BoundsRect(), QRect(6, 6, 88, 68));
    EXPECT_EQ(panel->BorderWidth(), 4);
}

TEST_F(StdPanel, BevelShapes)
{
    MakeForm();
    auto* bevel = Add<TBevel>(0, 0, 20, 10);
    QImage image = Render(bevel);
    ExpectPixels(image,
        { { 0, 0, clBtnShadow }, { 18, 0, clBtnShadow }, { 19, 0, clBtnHighlight }, { 0, 9, clBtnShadow },
            { 19, 9, clBtnHighlight } });
    bevel->SetShape(bsTopLine);
    bevel->SetStyle(bsRaised);
    image = Render(bevel);
    EXPECT_EQ(Px(image, 10, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(Px(image, 10, 1), Rgb(clBtnShadow));
    EXPECT_EQ(Px(image, 10, 2), Px(image, 10, 5));
    bevel->SetShape(bsFrame);
    bevel->SetStyle(bsLowered);
    image = Render(bevel);
    ExpectPixels(
        image, { { 0, 0, clBtnShadow }, { 1, 1, clBtnHighlight }, { 18, 8, clBtnShadow }, { 19, 9, clBtnHighlight } });
}

// --- image ---

using StdImage = StdFixture;

TEST_F(StdImage, CanvasDrawingPersistsInThePicture)
{
    MakeForm();
    auto* image = Add<TImage>(10, 10, 40, 30);
    TCanvas* canvas = image->Canvas();
    canvas->Brush()->SetColor(clRed);
    canvas->FillRect(QRect(0, 0, 20, 30));
    TBitmap* bitmap = image->Picture()->Bitmap();
    EXPECT_EQ(bitmap->Width(), 40);
    EXPECT_EQ(bitmap->Height(), 30);
    EXPECT_EQ(bitmap->Image().pixel(5, 5) & 0xFFFFFF, Rgb(clRed));
    const QImage shown = Render(form);
    EXPECT_EQ(Px(shown, 15, 15), Rgb(clRed));
    EXPECT_EQ(Px(shown, 40, 15), Rgb(clWhite));

    image->Picture()->SetGraphic(nullptr);
    TRasterGraphic png;
    png.SetImage(QImage(4, 4, QImage::Format_ARGB32_Premultiplied));
    image->Picture()->SetGraphic(&png);
    EXPECT_THROW(image->Canvas(), EInvalidGraphicOperation);
}

TEST_F(StdImage, StretchCenterProportionalAndAutoSize)
{
    MakeForm(200, 200);
    auto* image = Add<TImage>(0, 0, 100, 100);
    TBitmap bitmap(20, 10);
    bitmap.Canvas()->Brush()->SetColor(clBlue);
    bitmap.Canvas()->FillRect(QRect(0, 0, 20, 10));
    image->Picture()->SetGraphic(&bitmap);
    EXPECT_EQ(image->DestRect(), QRect(0, 0, 20, 10));
    image->SetCenter(true);
    EXPECT_EQ(image->DestRect(), QRect(40, 45, 20, 10));
    image->SetStretch(true);
    EXPECT_EQ(image->DestRect(), QRect(0, 0, 100, 100));
    image->SetProportional(true);
    EXPECT_EQ(image->DestRect(), QRect(0, 25, 100, 50));
    const QImage shown = Render(form);
    EXPECT_EQ(Px(shown, 50, 30), Rgb(clBlue));
    EXPECT_EQ(Px(shown, 50, 20), Rgb(clYellow));
    image->SetAutoSize(true);
    EXPECT_EQ(image->BoundsRect(), QRect(0, 0, 20, 10));
}

TEST_F(StdImage, TransparentPictureShowsTheParent)
{
    MakeForm(50, 50);
    auto* image = Add<TImage>(0, 0, 20, 20);
    TBitmap bitmap(20, 20);
    bitmap.Canvas()->Brush()->SetColor(clFuchsia);
    bitmap.Canvas()->FillRect(QRect(0, 0, 20, 20));
    bitmap.Canvas()->Brush()->SetColor(clGreen);
    bitmap.Canvas()->FillRect(QRect(5, 5, 5, 5));
    image->Picture()->SetGraphic(&bitmap);
    EXPECT_EQ(Px(Render(form), 15, 15), Rgb(clFuchsia));
    image->SetTransparent(true);
    const QImage shown = Render(form);
    EXPECT_EQ(Px(shown, 15, 15), Rgb(clYellow));
    EXPECT_EQ(Px(shown, 7, 7), Rgb(clGreen));
}

// --- timer ---

using StdTimer = StdFixture;

TEST_F(StdTimer, FiresChangesIntervalInsideAndReportsExceptions)
{
    TTimer timer;
    timer.SetInterval(5);
    QList<unsigned> intervals;
    timer.OnTimer = [&](TObject* sender) {
        auto* t = static_cast<TTimer*>(sender);
        intervals.append(t->Interval());
        t->SetInterval(10);
        if (intervals.size() == 3)
            throw EConvertError(QStringLiteral("bad tick"));
    };
    WaitUntil([&] { return intervals.size() >= 3; }, 500);
    timer.SetEnabled(false);
    ASSERT_GE(intervals.size(), 3);
    EXPECT_EQ(intervals[0], 5u);
    EXPECT_EQ(intervals[1], 10u);
    EXPECT_EQ(errors, QStringList({ QStringLiteral("bad tick") }));
    const qsizetype fired = intervals.size();
    QTest::qWait(30);
    EXPECT_EQ(intervals.size(), fired);
}

// --- list view ---

using StdListView = StdFixture;

namespace {

TListView* MakeDiaryList(TForm* form)
{
    auto* view = new TListView(form);
    view->SetParent(form);
    view->SetBounds(0, 0, 300, 150);
    view->SetViewStyle(vsReport);
    view->SetRowSelect(true);
    TListColumn* date = view->Columns()->Add();
    date->SetCaption(QStringLiteral("Date"));
    date->SetWidth(110);
    TListColumn* title = view->Columns()->Add();
    title->SetCaption(QStringLiteral("Title"));
    title->SetWidth(150);
    const char16_t* titles[] = { u"beta", u"Alpha", u"gamma" };
    for (int i = 0; i < 3; ++i) {
        TListItem* item = view->Items()->Add();
        item->SetCaption(QStringLiteral("day %1").arg(3 - i));
        item->SubItems()->Add(QString::fromUtf16(titles[i]));
        item->SetData(3 - i);
    }
    return view;
}

QStringList RowTexts(TListView* view, int column)
{
    auto* tree = static_cast<QTreeWidget*>(view->Handle());
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts.append(tree->topLevelItem(i)->text(column));
    return texts;
}

} // namespace

TEST_F(StdListView, ColumnClickSortsWithOnCompareAndKeepsTheSelection)
{
    MakeForm(400, 200);
    TListView* view = MakeDiaryList(form);
    EXPECT_EQ(
        RowTexts(view, 1), QStringList({ QStringLiteral("beta"), QStringLiteral("Alpha"), QStringLiteral("gamma") }));
    int direction = 1;
    int sortColumn = 0;
    view->OnColumnClick = [&](TObject*, TListColumn* column) {
        direction = column->Index() == sortColumn ? -direction : 1;
        sortColumn = column->Index();
        view->AlphaSort();
    };
    view->OnCompare = [&](TObject*, TListItem* a, TListItem* b, qintptr, int& compare) {
        compare = sortColumn == 0 ? int(a->Data() - b->Data())
                                  : a->SubItems()->Strings(0).compare(b->SubItems()->Strings(0), Qt::CaseInsensitive);
        compare *= direction;
    };
    TListItem* gamma = view->Items()->Item(2);
    gamma->SetSelected(true);

    auto* header = static_cast<QTreeWidget*>(view->Handle())->header();
    const int titleX = header->sectionPosition(1) + 20;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(titleX, 5));
    EXPECT_EQ(
        RowTexts(view, 1), QStringList({ QStringLiteral("Alpha"), QStringLiteral("beta"), QStringLiteral("gamma") }));
    EXPECT_EQ(view->Items()->Item(0)->SubItems()->Strings(0), QStringLiteral("Alpha"));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(titleX, 5));
    EXPECT_EQ(
        RowTexts(view, 1), QStringList({ QStringLiteral("gamma"), QStringLiteral("beta"), QStringLiteral("Alpha") }));
    EXPECT_EQ(view->Selected(), gamma);
    EXPECT_EQ(gamma->Index(), 0);

    // A callback sort by data; equal keys keep their order.
    view->CustomSort([](TListItem*, TListItem*, qintptr) { return 0; }, 0);
    EXPECT_EQ(
        RowTexts(view, 1), QStringList({ QStringLiteral("gamma"), QStringLiteral("beta"), QStringLiteral("Alpha") }));
    view->CustomSort([](TListItem* a, TListItem* b, qintptr d) { return int(d * (a->Data() - b->Data())); }, -1);
    EXPECT_EQ(
        RowTexts(view, 0), QStringList({ QStringLiteral("day 3"), QStringLiteral("day 2"), QStringLiteral("day 1") }));
}

TEST_F(StdListView, SelectionEventsFocusAndClear)
{
    MakeForm(400, 200);
    TListView* view = MakeDiaryList(form);
    QStringList log;
    view->OnSelectItem = [&](TObject*, TListItem* item, bool selected) {
        log.append(item->Caption() + (selected ? QStringLiteral("+") : QStringLiteral("-")));
    };
    int changes = 0;
    view->OnChange = [&](TObject*, TListItem*, TItemChange change) { changes += change == ctState; };
    view->Items()->Item(0)->SetSelected(true);
    view->Items()->Item(1)->SetSelected(true);
    EXPECT_EQ(log, QStringList({ QStringLiteral("day 3+"), QStringLiteral("day 3-"), QStringLiteral("day 2+") }));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(view->Selected(), view->Items()->Item(1));
    EXPECT_EQ(view->SelCount(), 1);

    view->Items()->Item(2)->SetFocused(true);
    EXPECT_EQ(view->ItemFocused(), view->Items()->Item(2));
    EXPECT_EQ(view->Selected(), view->Items()->Item(1));
    view->Items()->Item(2)->MakeVisible(false);
    int doubles = 0;
    view->OnDblClick = [&](TObject*) { ++doubles; };
    auto* tree = static_cast<QTreeWidget*>(view->Handle());
    const QPoint inRow = tree->visualItemRect(tree->topLevelItem(2)).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, inRow);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, inRow);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, inRow);
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(view->Selected(), view->Items()->Item(2));

    // Clearing reports every deletion but no selection change.
    int deletions = 0;
    view->OnDeletion = [&](TObject*, TListItem*) { ++deletions; };
    log.clear();
    view->Items()->Clear();
    EXPECT_EQ(deletions, 3);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(view->Selected(), nullptr);
    EXPECT_EQ(static_cast<QTreeWidget*>(view->Handle())->topLevelItemCount(), 0);
}

TEST_F(StdListView, SmallImagesInRowsAndHeader)
{
    MakeForm(400, 200);
    TListView* view = MakeDiaryList(form);
    TImageList images(8, 8);
    TBitmap red(8, 8);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(QRect(0, 0, 8, 8));
    images.Add(&red, nullptr);
    view->SetSmallImages(&images);
    view->Items()->Item(1)->SetImageIndex(0);
    view->Columns()->Items(0)->SetImageIndex(0);
    auto* tree = static_cast<QTreeWidget*>(view->Handle());
    EXPECT_FALSE(tree->headerItem()->icon(0).isNull());
    EXPECT_TRUE(tree->headerItem()->icon(1).isNull());
    const QImage shown = tree->viewport()->grab().toImage();
    const QRect row0 = tree->visualItemRect(tree->topLevelItem(0));
    const QRect row1 = tree->visualItemRect(tree->topLevelItem(1));
    EXPECT_EQ(Count(shown, row0, clRed), 0);
    EXPECT_EQ(Count(shown, row1, clRed), 64);
    view->SetSmallImages(nullptr);
}

// --- page control and tab set ---

using StdPages = StdFixture;

TEST_F(StdPages, SwitchingPagesInCodeAndByTheUser)
{
    MakeForm(300, 200);
    auto* pages = Add<TPageControl>(0, 0, 300, 200);
    TTabSheet* sheets[3];
    for (int i = 0; i < 3; ++i) {
        sheets[i] = new TTabSheet(form);
        sheets[i]->SetPageControl(pages);
        sheets[i]->SetCaption(QStringLiteral("Page %1").arg(i));
    }
    QStringList log;
    bool allow = true;
    pages->OnChanging = [&](TObject*, bool& a) {
        log.append(QStringLiteral("changing"));
        a = allow;
    };
    pages->OnChange = [&](TObject*) { log.append(QStringLiteral("change")); };
    EXPECT_EQ(pages->ActivePage(), sheets[0]);
    pages->SetActivePageIndex(2);
    EXPECT_TRUE(sheets[2]->Visible());
    EXPECT_FALSE(sheets[0]->Visible());
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(sheets[1]->BoundsRect(), pages->DisplayRect());

    auto* bar = pages->Handle()->findChild<QTabBar*>();
    ASSERT_NE(bar, nullptr);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_EQ(log, QStringList({ QStringLiteral("changing"), QStringLiteral("change") }));
    allow = false;
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_EQ(bar->currentIndex(), 1);

    // Hidden tabs: the page stays reachable in code; a deleted page hands over.
    sheets[0]->SetTabVisible(false);
    EXPECT_EQ(bar->count(), 2);
    EXPECT_EQ(sheets[1]->TabIndex(), 0);
    pages->SetActivePage(sheets[0]);
    EXPECT_TRUE(sheets[0]->Visible());
    delete sheets[0];
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
}

TEST_F(StdPages, AdjustedPageRectangleWithoutTabs)
{
    MakeForm(300, 200);
    auto* pages = new BorderlessPages(form);
    pages->SetParent(form);
    pages->SetBounds(0, 0, 200, 100);
    auto* sheet = new TTabSheet(form);
    sheet->SetPageControl(pages);
    EXPECT_EQ(sheet->BoundsRect().left(), 0);
    EXPECT_EQ(sheet->BoundsRect().width(), 200);
    sheet->SetTabVisible(false);
    EXPECT_EQ(sheet->BoundsRect(), QRect(0, 0, 200, 100));
    pages->SetBounds(0, 0, 250, 120);
    EXPECT_EQ(sheet->BoundsRect(), QRect(0, 0, 250, 120));
}

TEST_F(StdPages, TabSetAsksBeforeChangingAndClicksAfter)
{
    MakeForm();
    auto* tabs = Add<TTabSet>(0, 0, 200, 24);
    tabs->Tabs()->Add(QStringLiteral(" Diary"));
    tabs->Tabs()->Add(QStringLiteral(" Notes "));
    QStringList log;
    bool allow = true;
    tabs->OnChange = [&](TObject*, int newTab, bool& a) {
        log.append(QStringLiteral("change %1").arg(newTab));
        a = allow;
    };
    tabs->OnClick = [&](TObject*) { log.append(QStringLiteral("click")); };
    tabs->SetTabIndex(1);
    EXPECT_EQ(log, QStringList({ QStringLiteral("change 1"), QStringLiteral("click") }));
    allow = false;
    auto* bar = static_cast<QTabBar*>(tabs->Handle());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_EQ(tabs->TabIndex(), 1);
    EXPECT_EQ(bar->currentIndex(), 1);
    allow = true;
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_EQ(tabs->TabIndex(), 0);
    EXPECT_EQ(log.size(), 5);
    tabs->SetTabIndex(1);
    tabs->Tabs()->Delete(1);
    EXPECT_EQ(tabs->TabIndex(), 0);
    EXPECT_THROW(tabs->SetTabIndex(3), EListError);
}

// --- actions ---

using StdActions = StdFixture;

TEST_F(StdActions, ControlsFollowTheActionAndRunItWhenClicked)
{
    MakeForm();
    auto* action = new TAction(form);
    action->SetCaption(QStringLiteral("&Browse"));
    action->SetHint(QStringLiteral("List all entries"));
    int runs = 0;
    TComponent* runBy = nullptr;
    action->OnExecute = [&](TObject* sender) {
        ++runs;
        runBy = static_cast<TCustomAction*>(sender)->ActionComponent();
    };
    auto* panel = Add<TPanel>(0, 0);
    SetControlAction(panel, action);
    EXPECT_EQ(ControlAction(panel), action);
    EXPECT_EQ(panel->Caption(), QStringLiteral("&Browse"));
    EXPECT_EQ(panel->Hint(), QStringLiteral("List all entries"));
    panel->Click();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(runBy, panel);
    EXPECT_EQ(action->ActionComponent(), nullptr);

    action->SetCaption(QStringLiteral("Search"));
    action->SetEnabled(false);
    EXPECT_EQ(panel->Caption(), QStringLiteral("Search"));
    EXPECT_FALSE(panel->Enabled());
    EXPECT_FALSE(action->Execute());
    EXPECT_EQ(runs, 1);

    // A control with its own handler keeps it; caption only if it had none.
    auto* label = Add<TLabel>(0, 50);
    label->SetCaption(QStringLiteral("Mine"));
    int own = 0;
    label->OnClick = [&](TObject*) { ++own; };
    action->SetEnabled(true);
    SetControlAction(label, action);
    EXPECT_EQ(label->Caption(), QStringLiteral("Mine"));
    label->Click();
    EXPECT_EQ(own, 1);
    EXPECT_EQ(runs, 1);

    // The control goes first, then the action: neither is told of the other.
    delete panel;
    action->SetCaption(QStringLiteral("After"));
    EXPECT_EQ(label->Caption(), QStringLiteral("After"));
    delete action;
    EXPECT_EQ(ControlAction(label), nullptr);
}

TEST_F(StdActions, MenuItemsListsAndAutoCheck)
{
    TActionList list(nullptr);
    TAction action(nullptr);
    action.SetActionList(&list);
    action.SetCaption(QStringLiteral("Next Month"));
    action.SetShortCut(ShortCut(VK_NEXT, 0));
    action.SetAutoCheck(true);
    int own = 0, updates = 0;
    action.OnExecute = [&](TObject*) { ++own; };
    action.OnUpdate = [&](TObject*) { ++updates; };
    TPopupMenu menu(nullptr);
    auto* item = new TMenuItem(nullptr);
    menu.Items()->Add(item);
    SetMenuItemAction(item, &action);
    EXPECT_EQ(item->Caption(), QStringLiteral("Next Month"));
    EXPECT_EQ(item->ShortCut(), TShortCut(VK_NEXT));
    item->Click();
    EXPECT_EQ(own, 1);
    EXPECT_EQ(updates, 1);
    EXPECT_TRUE(action.Checked());
    EXPECT_TRUE(item->Checked());

    // The list answers first and may handle the action itself.
    list.OnExecute = [](TCustomAction*, bool& handled) { handled = true; };
    EXPECT_TRUE(action.Execute());
    EXPECT_EQ(own, 1);
    EXPECT_EQ(list.ActionCount(), 1);
    SetMenuItemAction(item, nullptr);
    EXPECT_EQ(MenuItemAction(item), nullptr);
    action.SetCaption(QStringLiteral("Unlinked"));
    EXPECT_EQ(item->Caption(), QStringLiteral("Next Month"));
}

// --- every control on one form ---

using StdDemo = StdFixture;

TEST_F(StdDemo, EveryControlRendersOnOneForm)
{
    MakeForm(520, 340);
    form->SetColor(clBtnFace);
    auto* label = Add<TLabel>(10, 10);
    label->SetCaption(QStringLiteral("&Label with accelerator"));
    auto* edit = Add<TEdit>(10, 30);
    edit->SetText(QStringLiteral("An edit"));
    auto* memo = Add<TMemo>(10, 60, 185, 70);
    memo->Lines()->Add(QStringLiteral("A memo"));
    memo->Lines()->Add(QStringLiteral("second line"));
    auto* check = Add<TCheckBox>(10, 140);
    check->SetCaption(QStringLiteral("&Check box"));
    check->SetChecked(true);
    auto* group = Add<TGroupBox>(10, 165, 185, 70);
    group->SetCaption(QStringLiteral("Group"));
    for (int i = 0; i < 2; ++i) {
        auto* radio = new TRadioButton(form);
        radio->SetParent(group);
        radio->SetBounds(10, 20 + 22 * i, 150, 17);
        radio->SetCaption(QStringLiteral("Radio %1").arg(i + 1));
        radio->SetChecked(i == 0);
    }
    auto* combo = Add<TComboBox>(10, 245);
    combo->SetStyle(csDropDownList);
    combo->Items()->SetText(QStringLiteral("Combo item\r\nother\r\n"));
    combo->SetItemIndex(0);
    auto* listBox = Add<TListBox>(10, 275, 185, 55);
    listBox->Items()->SetText(QStringLiteral("List box\r\nsecond\r\n"));
    listBox->SetItemIndex(1);
    auto* panel = Add<TPanel>(210, 10, 300, 41);
    panel->SetCaption(QStringLiteral("Panel"));
    panel->SetBevelInner(bvLowered);
    auto* bevel = Add<TBevel>(210, 60, 300, 4);
    bevel->SetShape(bsTopLine);
    auto* image = Add<TImage>(470, 70, 40, 40);
    image->Canvas()->Brush()->SetColor(clTeal);
    image->Canvas()->Ellipse(0, 0, 40, 40);
    TListView* view = MakeDiaryList(form);
    view->SetBounds(210, 70, 250, 110);
    view->SetGridLines(true);
    view->Items()->Item(1)->SetSelected(true);
    auto* pages = Add<TPageControl>(210, 190, 300, 100);
    for (const char16_t* caption : { u"First", u"Second" }) {
        auto* sheet = new TTabSheet(form);
        sheet->SetPageControl(pages);
        sheet->SetCaption(QString::fromUtf16(caption));
    }
    auto* onPage = new TLabel(form);
    onPage->SetParent(pages->Pages(0));
    onPage->SetBounds(8, 8, 100, 17);
    onPage->SetCaption(QStringLiteral("On the first page"));
    auto* tabs = Add<TTabSet>(210, 300, 300, 24);
    tabs->Tabs()->SetText(QStringLiteral("Diary\r\nNotes\r\n"));
    tabs->SetTabIndex(0);

    ShowForm();
    view->SetFocus();
    const QImage shown = Render(form);
    ASSERT_EQ(shown.size(), QSize(520, 340));
    const QString path = qEnvironmentVariable("STD_DEMO_PNG");
    if (!path.isEmpty())
        shown.save(path);
    // Bevels, the focused list's selected row, the check box on its parent's colour.
    EXPECT_EQ(Px(shown, 210, 10), Rgb(clBtnHighlight));
    EXPECT_EQ(Px(shown, 509, 50), Rgb(clBtnShadow));
    EXPECT_GT(Count(shown, QRect(210, 70, 250, 110), clHighlight), 100);
    EXPECT_EQ(Px(shown, 100, 150), Rgb(clBtnFace));
    EXPECT_GT(Count(shown, QRect(470, 70, 40, 40), clTeal), 500);
}
