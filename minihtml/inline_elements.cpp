#include "minihtml/inline_elements.h"

#include "minihtml/engine.h"
#include "minihtml/printer.h"

#include "platform/gui/forms.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Larger picture files are not read: they cannot be a label's picture, and
// a link to a device or a huge file must not stall the layout.
constexpr qint64 kMaxPictureFileSize = qint64(64) << 20;

// Sets pen and brush to one solid colour.
void SolidColors(TCanvas& canvas, TColor brush, TColor pen)
{
    canvas.Brush()->SetColor(brush);
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Pen()->SetColor(pen);
    canvas.Pen()->SetStyle(psSolid);
    canvas.Pen()->SetWidth(1);
}

int AttributeSize(const QString& text, int fallback)
{
    int v = 0;
    // Negative sizes mean nothing; huge ones would only waste memory.
    return HtmlTryStrToInt(text, v) ? qBound(0, v, aPicture::MaxSize) : fallback;
}

} // namespace

bool HasDrawableInk(const TCanvas& canvas, const QString& text)
{
    constexpr int far = 10000;
    const QRect ink = canvas.FontMetrics().boundingRect(text);
    return std::abs(ink.x()) < far && std::abs(ink.y()) < far;
}

void DrawWordText(TCanvas& canvas, int x, int y, const QString& text, TTextStyle style, int fontSize)
{
    QString shown = text;
    shown.remove(QStringLiteral("\r\n"));
    int top = y;
    if (style != isNormal) {
        const int half = fontSize / 2;
        canvas.Font()->SetSize(std::max(1, half));
        top = style == isSubScript ? y + half : y - half;
    }
    if (HasDrawableInk(canvas, shown))
        canvas.TextOut(x, top, shown);
}

// ---------------------------------------------------------------------------

aText::aText(TQzMiniHtml2* html, const QString& Tag1)
    : aVisTag(html, Tag1)
    , Text(Tag1)
{
}

aText::aText(TQzMiniHtml2* html)
    : aText(html, QString())
{
}

void aText::Update()
{
    Measure(nullptr);
}

void aText::UpdatePrinter(TDummyPrinter& prt)
{
    Measure(&prt);
}

void aText::Measure(TDummyPrinter* prt)
{
    aVisTag::Update();
    TextStyle = aHtml->currentState.TextStyle;
    if (!Visible) {
        Width = Height = 0;
        return;
    }
    Width = prt ? PrinterTextWidth(*prt, Text, *Font) : aHtml->GetWidth(Text, *Font);
    Height = aHtml->GetHeight(Text, *Font);
}

void aText::SelectedPart(int& first, int& count, int& fromX, int& toX) const
{
    const int n = int(Text.size());
    // The range keeps its first and last character, so one character has
    // SelStart == SelStop; only no range at all (-1) means the whole word.
    if (SelStart < 1 || n == 0) {
        first = 0;
        count = n;
        fromX = Left;
        toX = Left + Width;
        return;
    }
    first = std::min(SelStart, n) - 1;
    count = std::clamp(SelStop, first + 1, n) - first;
    fromX = SelStartX;
    toX = SelStopX;
}

void aText::Draw(TCanvas& aCanvas)
{
    if (!Shows())
        return;
    aCanvas.Font()->Assign(*Font);
    const TColor color = LinkAwareColor();
    if (color != FontColor)
        aCanvas.Font()->SetStyle(aCanvas.Font()->Style() | fsUnderline);
    aCanvas.Font()->SetColor(color);
    if (BackGroundColor == clNone)
        BackGroundColor = HtmlTransparentColor;
    // The pen takes the background too: an outline in the transparent colour
    // would cut see-through lines into coloured paragraphs.
    SolidColors(aCanvas, BackGroundColor, BackGroundColor);
    aCanvas.Rectangle(LineBox());
    DrawWordText(aCanvas, Left, Top, Text, TextStyle, Font->Size());
    if (!Selected)
        return;
    aCanvas.Font()->Assign(*Font);
    aCanvas.Font()->SetColor(aHtml->Color);
    SolidColors(aCanvas, clActiveCaption, clActiveCaption);
    int first = 0, count = 0, fromX = 0, toX = 0;
    SelectedPart(first, count, fromX, toX);
    DrawWordText(aCanvas, fromX, Top, Text.mid(first, count), TextStyle, Font->Size());
}

void aText::Print()
{
    TDummyPrinter* prt = PrintTarget();
    if (!prt)
        return;
    TFont font;
    font.Assign(*Font);
    const TColor color = LinkAwareColor();
    if (color != FontColor)
        font.SetStyle(font.Style() | fsUnderline);
    PrintFill(*prt, BackGroundColor, PrintOrigin(), LineBox());
    if (!Selected) {
        PrintWordText(*prt, PrintPos(Left, Top), Text, TextStyle, font, color);
        return;
    }
    int first = 0, count = 0, fromX = 0, toX = 0;
    SelectedPart(first, count, fromX, toX);
    PrintFill(*prt, clActiveCaption, PrintOrigin(), Rect(fromX, Top, toX, Top + Height));
    // Ink does not cover ink: the word goes out in up to three pieces, the
    // selected one in the engine's colour.
    PrintWordText(*prt, PrintPos(Left, Top), Text.left(first), TextStyle, font, color);
    PrintWordText(*prt, PrintPos(fromX, Top), Text.mid(first, count), TextStyle, font, aHtml->Color);
    PrintWordText(*prt, PrintPos(toX, Top), Text.mid(first + count), TextStyle, font, color);
}

void aText::Select(QPoint TopLeft, QPoint BottomRight, bool CheckLeftside, bool CheckRightside)
{
    aVisTag::Select(TopLeft, BottomRight, CheckLeftside, CheckRightside);
    SelStart = SelStop = -1;
    if ((!CheckLeftside && !CheckRightside) || Text.isEmpty())
        return;
    int fromX = TopLeft.x();
    int toX = BottomRight.x();
    // A drag inside one word may run from right to left.
    if (CheckLeftside && CheckRightside && fromX > toX)
        std::swap(fromX, toX);
    const int n = int(Text.size());
    // edge[i] is where character i starts, edge[n] where the word ends.
    std::vector<int> edge(size_t(n) + 1, Left);
    for (int i = 0; i < n; ++i)
        edge[size_t(i) + 1] = edge[size_t(i)] + aHtml->GetWidth(QString(Text[i]), *Font);
    // A character is selected when part of it lies between the checked
    // edges; an edge beyond the word keeps the character nearest to it.
    int first = 0, last = n - 1;
    if (CheckLeftside) {
        first = n - 1;
        for (int i = 0; i < n; ++i)
            if (edge[size_t(i) + 1] > fromX) {
                first = i;
                break;
            }
    }
    if (CheckRightside) {
        last = 0;
        for (int i = n - 1; i >= 0; --i)
            if (edge[size_t(i)] < toX) {
                last = i;
                break;
            }
    }
    last = std::max(last, first);
    SelStart = first + 1;
    SelStop = last + 1;
    SelStartX = edge[size_t(first)];
    SelStopX = edge[size_t(last) + 1];
}

void aText::UnSelect()
{
    Selected = false;
    SelStart = SelStop = -1;
}

// ---------------------------------------------------------------------------

void aSpace::Update()
{
    Measure(nullptr);
}

void aSpace::UpdatePrinter(TDummyPrinter& prt)
{
    Measure(&prt);
}

void aSpace::Measure(TDummyPrinter* prt)
{
    aVisTag::Update();
    if (!Visible) {
        Width = Height = 0;
        return;
    }
    Width = prt ? PrinterTextWidth(*prt, Text, *Font) : aHtml->GetWidth(Text, *Font);
    Height = aHtml->GetHeight(Text, *Font);
}

void aSpace::Draw(TCanvas& aCanvas)
{
    if (!Shows())
        return;
    aCanvas.Font()->Assign(*Font);
    // The underline of a blank has the colour of the words beside it.
    aCanvas.Font()->SetColor(FontColor);
    const TColor stateBackground = aHtml->currentState.BackGroundColor;
    if (BackGroundColor == clNone)
        BackGroundColor = stateBackground;
    SolidColors(aCanvas, BackGroundColor, stateBackground);
    if (Selected) {
        aCanvas.Font()->SetColor(BackGroundColor);
        SolidColors(aCanvas, clActiveCaption, clActiveCaption);
    }
    if (!TargetURL.isEmpty()) {
        aCanvas.Font()->SetColor(LinkAwareColor());
        aCanvas.Font()->SetStyle(aCanvas.Font()->Style() | fsUnderline);
    }
    if (HasInk())
        aCanvas.TextOut(Left, Top, Text);
}

void aSpace::Print()
{
    TDummyPrinter* prt = PrintTarget();
    if (!prt || !HasInk())
        return;
    TColor color = FontColor;
    if (Selected) {
        PrintFill(*prt, clActiveCaption, PrintOrigin(), QRect(Left, Top, Width, Height));
        color = BackGroundColor == clNone ? aHtml->currentState.BackGroundColor : BackGroundColor;
    }
    if (!TargetURL.isEmpty())
        color = LinkAwareColor();
    PrintWordText(*prt, PrintPos(Left, Top), Text, isNormal, *Font, color);
}

// ---------------------------------------------------------------------------

QString HtmlProgramFolder()
{
    QString folder = QFileInfo(Application()->ExeName()).absolutePath();
    if (!folder.endsWith(QDir::separator()) && !folder.endsWith(u'/'))
        folder += QDir::separator();
    return folder;
}

TPictureSource ResolvePictureSource(const QString& src, const QString& programFolder)
{
    TPictureSource result;
    qsizetype start = 0;
    const qsizetype colon = src.indexOf(u':');
    if (colon >= 0) {
        result.Protocol = src.left(colon);
        start = colon + 1;
    }
    while (start < src.size() - 1 && src[start] == u'/')
        ++start;
    const QString rest = src.mid(start);
    const QString protocol = result.Protocol.toLower();
    QString path;
    if (protocol == QStringLiteral("file")) {
        path = rest;
        path.replace(u'|', u':');
        if (QDir::separator() == u'\\')
            path.replace(u'/', u'\\');
        else if (!path.contains(u':'))
            path.prepend(u'/'); // "file:///home/x" names an absolute path
    } else if (protocol == QStringLiteral("res")) {
        path = rest;
    } else {
        path = src;
    }
    path = ReplaceText(path, QStringLiteral("%app%"), programFolder);
    const qsizetype open = path.indexOf(u'%');
    if (open >= 0) {
        const qsizetype close = path.indexOf(u'%', open + 1);
        if (close >= 0) {
            // Environment names keep their case: they are case-sensitive here.
            const QString name = path.mid(open + 1, close - open - 1);
            path = ReplaceText(path, u'%' + name + u'%', qEnvironmentVariable(name.toLocal8Bit().constData()));
        }
    }
    result.Cache = path;
    return result;
}

QString aPicture::GetHtml() const
{
    QString text = QStringLiteral("<img src=\"") + PictureURL + u'"';
    if (fHasWidth)
        text += QStringLiteral(" width=\"") + fWidthText + u'"';
    if (fHasHeight)
        text += QStringLiteral(" height=\"") + fHeightText + u'"';
    return text + u'>';
}

void aPicture::SetHtml(const THtmlAttributes& commands)
{
    PictureURL = commands.RawValue(QStringLiteral("src"));
    fHasWidth = commands.Has(QStringLiteral("width"));
    fWidthText = commands.Value(QStringLiteral("width"));
    fHasHeight = commands.Has(QStringLiteral("height"));
    fHeightText = commands.Value(QStringLiteral("height"));
}

void aPicture::Update()
{
    aVisTag::Update();
    const TPictureSource source = ResolvePictureSource(PictureURL, HtmlProgramFolder());
    Protocol = source.Protocol;
    Cache = source.Cache;
    if (!Visible) {
        Width = Height = 0;
        return;
    }
    const bool isResource = Protocol.compare(QStringLiteral("res"), Qt::CaseInsensitive) == 0;
    fImage = QImage();
    try {
        if (isResource) {
            fImage = FindResourceBitmap(Cache.toUpper());
        } else {
            const QFileInfo info(Cache);
            if (!Cache.isEmpty() && info.isFile() && info.size() > 0 && info.size() <= kMaxPictureFileSize) {
                TPicture picture;
                picture.LoadFromFile(Cache);
                if (picture.Graphic())
                    fImage = picture.Graphic()->ToImage();
            }
        }
    } catch (const Exception&) {
        // A missing or unreadable picture leaves an empty area of the usual size.
        fImage = QImage();
    }
    if (!fImage.isNull()) {
        // "Converted to a bitmap": opaque, transparent parts on white.
        QImage opaque(fImage.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, fImage);
        painter.end();
        fImage = opaque;
    }
    const int naturalWidth = fImage.isNull() ? MissingSize : fImage.width();
    const int naturalHeight = fImage.isNull() ? MissingSize : fImage.height();
    // An attribute that is no number: the picture's own size for a resource, else 0.
    const bool ownSize = isResource && !fImage.isNull();
    Height = fHasHeight ? AttributeSize(fHeightText, ownSize ? naturalHeight : 0) : naturalHeight;
    Width = fHasWidth ? AttributeSize(fWidthText, ownSize ? naturalWidth : 0) : naturalWidth;
}

void aPicture::Placement(QRect& dest, QRect& source) const
{
    const bool isResource = Protocol.compare(QStringLiteral("res"), Qt::CaseInsensitive) == 0;
    if (isResource) {
        source = fImage.rect();
        dest = QRect(Left, Top, fImage.width(), fImage.height());
    } else if (!fHasWidth && !fHasHeight) {
        source = QRect(0, 0, Width, Height) & fImage.rect();
        dest = QRect(Left, Top, source.width(), source.height());
    } else {
        source = fImage.rect();
        dest = QRect(Left, Top, Width, Height);
    }
}

bool aPicture::Shows() const
{
    return Visible && !Cache.isEmpty() && !fImage.isNull();
}

void aPicture::Draw(TCanvas& aCanvas)
{
    if (!Shows())
        return;
    QRect dest, source;
    Placement(dest, source);
    aCanvas.SetCopyMode(cmSrcCopy);
    aCanvas.DrawImage(dest, fImage, source);
}

void aPicture::Print()
{
    TDummyPrinter* prt = PrintTarget();
    if (!prt)
        return;
    QRect dest, source;
    Placement(dest, source);
    if (dest.isEmpty())
        return;
    const QPointF at = PrintPos(dest.x(), dest.y());
    prt->PicOut(float(at.x()), float(at.y()), float(dest.width()), float(dest.height()),
        source == fImage.rect() ? fImage : fImage.copy(source));
}

// ---------------------------------------------------------------------------

QString aHorizontalRule::GetHtml() const
{
    QString text = QStringLiteral("<hr size=\"%1\"").arg(size);
    if (variables.Has(QStringLiteral("width")))
        text += QStringLiteral(" width=\"") + variables.Value(QStringLiteral("width")) + u'"';
    if (noshade)
        text += QStringLiteral(" noshade");
    return text + u'>';
}

void aHorizontalRule::SetHtml(const THtmlAttributes& commands)
{
    // Thicker than a screen is of no use, and the height must stay positive.
    size = commands.Has(QStringLiteral("size"))
        ? qBound(0, HtmlStrToIntDef(commands.Value(QStringLiteral("size")), 4), 1000)
        : 4;
    noshade = commands.Has(QStringLiteral("noshade"));
}

void aHorizontalRule::Update()
{
    aVisTag::Update();
    // Without a width the rule spans the area (the "100%" of an empty value).
    rwidth = ParseHtmlSize(aHtml->width, variables.Value(QStringLiteral("width")), aHtml->width);
    if (!Visible) {
        Width = Height = 0;
        return;
    }
    Height = size + 20;
    Width = aHtml->width;
}

void aHorizontalRule::Draw(TCanvas& aCanvas)
{
    if (!Shows())
        return;
    aCanvas.Font()->Assign(*Font);
    TColor brush, pen;
    QRect bar;
    Look(brush, pen, bar);
    SolidColors(aCanvas, brush, pen);
    aCanvas.Rectangle(bar);
}

void aHorizontalRule::Look(TColor& brush, TColor& pen, QRect& bar) const
{
    brush = Selected ? clActiveCaption : BackGroundColor;
    pen = Selected ? BackGroundColor : clBlack;
    if (noshade)
        brush = clGray;
    const int engineWidth = aHtml->width;
    const int m = (engineWidth - rwidth) / 2;
    bar = Rect(m, Top + 5, engineWidth + Left - m - 5, Top + 5 + size);
}

void aHorizontalRule::Print()
{
    TDummyPrinter* prt = PrintTarget();
    if (!prt)
        return;
    TColor brush, pen;
    QRect bar;
    Look(brush, pen, bar);
    prt->SetBrushColor(PrinterColor(brush));
    prt->SetPenColor(PrinterColor(pen));
    PrintRectangle(*prt, PrintOrigin(), bar);
}

// ---------------------------------------------------------------------------

void aLISTag::Update()
{
    aVisTag::Update();
    ShowType = aHtml->currentState.ListItemShowType;
    aHtml->currentState.AddTag(this);
    if (!Visible) {
        Width = Height = 0;
        return;
    }
    Width = 50;
    Height = aHtml->GetHeight(QStringLiteral("Test"), *Font);
}

aLISTag::TMarker aLISTag::Marker() const
{
    if (ShowType == QStringLiteral("number"))
        return Number;
    if (ShowType.isEmpty() || ShowType == QStringLiteral("round"))
        return Round;
    if (ShowType == QStringLiteral("square") || ShowType == QStringLiteral("disk"))
        return Square;
    return NoMarker;
}

QPoint aLISTag::NumberPos() const
{
    return QPoint(Left + 25, Top);
}

QRect aLISTag::MarkerBox() const
{
    const int s = Font->Size();
    return QRect(Left + 25, Top + 4, s, s);
}

void aLISTag::Draw(TCanvas& aCanvas)
{
    if (!Shows())
        return;
    aCanvas.Font()->Assign(*Font);
    if (BackGroundColor == clNone)
        BackGroundColor = aHtml->Color;
    SolidColors(aCanvas, BackGroundColor, BackGroundColor);
    if (Selected) {
        aCanvas.Font()->SetColor(BackGroundColor);
        SolidColors(aCanvas, clActiveCaption, clActiveCaption);
    }
    aCanvas.Rectangle(LineBox(20));
    const TMarker marker = Marker();
    if (marker == Number) {
        const QPoint at = NumberPos();
        aCanvas.TextOut(at.x(), at.y(), QString::number(Counter) + u'.');
        return;
    }
    aCanvas.Brush()->SetColor(clBlack);
    aCanvas.Brush()->SetStyle(bsSolid);
    if (marker == Round)
        aCanvas.Ellipse(MarkerBox());
    else if (marker == Square)
        aCanvas.Rectangle(MarkerBox());
}

void aLISTag::Print()
{
    TDummyPrinter* prt = PrintTarget();
    if (!prt)
        return;
    const TColor background = BackGroundColor == clNone ? aHtml->Color : BackGroundColor;
    const TColor box = Selected ? clActiveCaption : background;
    PrintFill(*prt, box, PrintOrigin(), LineBox(20));
    const TMarker marker = Marker();
    if (marker == Number) {
        const QPoint at = NumberPos();
        // The font object's own colour: the state never sets it.
        PrintWordText(*prt, PrintPos(at.x(), at.y()), QString::number(Counter) + u'.', isNormal, *Font,
            Selected ? background : Font->Color());
        return;
    }
    prt->SetBrushColor(ColorToRGB(clBlack));
    prt->SetPenColor(PrinterColor(box));
    if (marker == Round)
        PrintEllipse(*prt, PrintOrigin(), MarkerBox());
    else if (marker == Square)
        PrintRectangle(*prt, PrintOrigin(), MarkerBox());
}
