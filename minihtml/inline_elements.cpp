#include "minihtml/inline_elements.h"

#include "minihtml/engine.h"

#include "platform/gui/forms.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>

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

void aText::Update()
{
    aVisTag::Update();
    TextStyle = aHtml->currentState.TextStyle;
    if (!Visible) {
        Width = Height = 0;
        return;
    }
    Width = aHtml->GetWidth(Text, *Font);
    Height = aHtml->GetHeight(Text, *Font);
}

void aText::Draw(TCanvas& aCanvas)
{
    if (!Visible)
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
    aCanvas.Rectangle(Left, Top + Height - LineHeight, Left + Width, Top + Height);
    DrawWordText(aCanvas, Left, Top, Text, TextStyle, Font->Size());
    if (!Selected)
        return;
    aCanvas.Font()->Assign(*Font);
    aCanvas.Font()->SetColor(aHtml->Color);
    SolidColors(aCanvas, clActiveCaption, clActiveCaption);
    if (SelStop == SelStart) {
        DrawWordText(aCanvas, Left, Top, Text, TextStyle, Font->Size());
    } else {
        const int from = std::max(1, SelStart);
        const QString part = Text.mid(from - 1, SelStop - from + 1);
        DrawWordText(aCanvas, SelStart == -1 ? Left : SelStartX, Top, part, TextStyle, Font->Size());
    }
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
    aVisTag::Update();
    if (!Visible) {
        Width = Height = 0;
        return;
    }
    Width = aHtml->GetWidth(Text, *Font);
    Height = aHtml->GetHeight(Text, *Font);
}

void aSpace::Draw(TCanvas& aCanvas)
{
    if (!Visible)
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
    // Only an underlined run draws its blanks; elsewhere the background shows.
    if (Font->Style().Contains(fsUnderline))
        aCanvas.TextOut(Left, Top, Text);
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
    path.replace(QStringLiteral("%app%"), programFolder, Qt::CaseInsensitive);
    const qsizetype open = path.indexOf(u'%');
    if (open >= 0) {
        const qsizetype close = path.indexOf(u'%', open + 1);
        if (close >= 0) {
            // Environment names keep their case: they are case-sensitive here.
            const QString name = path.mid(open + 1, close - open - 1);
            path.replace(u'%' + name + u'%', qEnvironmentVariable(name.toLocal8Bit().constData()), Qt::CaseInsensitive);
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

void aPicture::Draw(TCanvas& aCanvas)
{
    if (!Visible || Cache.isEmpty() || fImage.isNull())
        return;
    const bool isResource = Protocol.compare(QStringLiteral("res"), Qt::CaseInsensitive) == 0;
    aCanvas.SetCopyMode(cmSrcCopy);
    if (isResource) {
        aCanvas.DrawImage(QRect(Left, Top, fImage.width(), fImage.height()), fImage, fImage.rect());
    } else if (!fHasWidth && !fHasHeight) {
        const QRect part = QRect(0, 0, Width, Height) & fImage.rect();
        aCanvas.DrawImage(QRect(Left, Top, part.width(), part.height()), fImage, part);
    } else {
        aCanvas.DrawImage(QRect(Left, Top, Width, Height), fImage, fImage.rect());
    }
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
    if (!Visible)
        return;
    aCanvas.Font()->Assign(*Font);
    if (Selected)
        SolidColors(aCanvas, clActiveCaption, BackGroundColor);
    else
        SolidColors(aCanvas, BackGroundColor, clBlack);
    if (noshade)
        aCanvas.Brush()->SetColor(clGray);
    const int engineWidth = aHtml->width;
    const int m = (engineWidth - rwidth) / 2;
    aCanvas.Rectangle(m, Top + 5, engineWidth + Left - m - 5, Top + 5 + size);
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

void aLISTag::Draw(TCanvas& aCanvas)
{
    if (!Visible)
        return;
    aCanvas.Font()->Assign(*Font);
    if (BackGroundColor == clNone)
        BackGroundColor = aHtml->Color;
    SolidColors(aCanvas, BackGroundColor, BackGroundColor);
    if (Selected) {
        aCanvas.Font()->SetColor(BackGroundColor);
        SolidColors(aCanvas, clActiveCaption, clActiveCaption);
    }
    aCanvas.Rectangle(Left, Top + Height - LineHeight, Left + Width + 20, Top + Height);
    if (ShowType == QStringLiteral("number")) {
        aCanvas.TextOut(Left + 25, Top, QString::number(Counter) + u'.');
        return;
    }
    aCanvas.Brush()->SetColor(clBlack);
    aCanvas.Brush()->SetStyle(bsSolid);
    const int s = Font->Size();
    const QRect box(Left + 25, Top + 4, s, s);
    if (ShowType.isEmpty() || ShowType == QStringLiteral("round"))
        aCanvas.Ellipse(box);
    else if (ShowType == QStringLiteral("square") || ShowType == QStringLiteral("disk"))
        aCanvas.Rectangle(box);
}
