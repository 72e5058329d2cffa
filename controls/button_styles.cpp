#include "controls/button_styles.h"

#include "platform/gui/bitmap.h"

#include <algorithm>

std::optional<TLbColorStyleColors> GetColorStyleColors(TLbColorStyle style)
{
    switch (style) {
    case lcsCustom: return std::nullopt;
    case lcsGold:
        return TLbColorStyleColors { 0x0000C0C0, 0x0000FFFF, 0x00008080, clNone, 0x0000DFDF, false, bsModern };
    case lcsChrome: return TLbColorStyleColors { 0x00C0C0C0, 0x00FFFFFF, 0x00808080, clNone, clNone, false, bsModern };
    case lcsBlue: return TLbColorStyleColors { 0x00FF8000, 0x00FFFF00, 0x00FF0000, clNone, clNone, false, bsModern };
    case lcsRed: return TLbColorStyleColors { 0x000000FF, 0x00C0C0FF, 0x000000C0, clNone, clNone, false, bsModern };
    case lcsUltraFlat1:
        return TLbColorStyleColors { clBtnFace, 0x00B59284, 0x00B59284, 0x00B59284, 0x00DED3D6, true, bsNormal };
    case lcsUltraFlat2:
        return TLbColorStyleColors { clBtnFace, 0x00000000, 0x00000000, 0x0024DABC, 0x008CF6E4, true, bsNormal };
    case lcsUltraFlatXP:
        // The shadow is ...85, one step off the light colour, as the preset has always been.
        return TLbColorStyleColors { 0x00D1D8DB, 0x00B59284, 0x00B59285, 0x00B59285, 0x00D2BDB6, true, bsNormal };
    case lcsAqua: return TLbColorStyleColors { 0x00ECCE94, 0x00FCE6D4, 0x00000000, clNone, clNone, false, bsModern };
    case lcsDefault: return TLbColorStyleColors { clBtnFace, 0x00FFFFFF, 0x00808080, clNone, clNone, false, bsNormal };
    }
    return std::nullopt;
}

TColor MixHotTrackColor(TColor color, TColor hotTrackColor, int hotTrackStep)
{
    // System colours are resolved first: their codes are no channel values.
    const TColor a = ColorToRGB(color), b = ColorToRGB(hotTrackColor);
    const double s = std::clamp(hotTrackStep, 0, 8) / 8.0;
    const auto mix = [s](int ca, int cb) { return qRound(ca * (1.0 - s) + cb * s); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

void FillGradient(TCanvas& canvas, TColor fromColor, TColor toColor, int left, int bottom, int right, int top)
{
    // A face only a few pixels high gives no room: nothing to fill.
    const int span = bottom - top;
    if (span <= 0 || right <= left)
        return;
    const TColor from = ColorToRGB(fromColor), to = ColorToRGB(toColor);
    const auto step = [](int a, int b, int i) { return a + qRound(i * (b - a) / 31.0); };
    for (int i = 0; i < 32; ++i) {
        const int y0 = top + i * span / 31;
        const int y1 = std::min(bottom, y0 + span / 31 + 1);
        const TColor band = RGB(step(GetRValue(from), GetRValue(to), i), step(GetGValue(from), GetGValue(to), i),
            step(GetBValue(from), GetBValue(to), i));
        canvas.FillSolidRect(Rect(left, y0, right, y1), band);
    }
}

namespace {

unsigned AlignmentFlag(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    case taLeftJustify: break;
    }
    return DT_LEFT;
}

// The size of a text broken into lines of width; an empty text takes no room.
QSize MeasureText(TCanvas& canvas, const QString& text, int width, unsigned flags)
{
    if (text.isEmpty())
        return QSize();
    QRect r(0, 0, width, 0);
    DrawText(canvas, text, r, flags | DT_CALCRECT);
    return r.size();
}

int LineWidth(TCanvas& canvas, const QString& text)
{
    return MeasureText(canvas, text, 0, DT_SINGLELINE).width();
}

} // namespace

TLbFaceLayout LayoutLbButtonFace(TCanvas& canvas, const TLbButtonFace& f)
{
    TLbFaceLayout L;
    const int W = f.Width, H = f.Height;
    L.Pressed = f.Enabled && f.Down;
    L.Shift = L.Pressed && f.Style != bsEncarta ? 1 : 0;
    const int shift = L.Shift;

    L.FaceColor = ColorToRGB(f.Color);
    if (f.Enabled && f.HotTrackColor != clNone)
        L.FaceColor = MixHotTrackColor(f.Color, f.HotTrackColor, f.HotTrackStep);
    if (L.Pressed && f.ColorWhenDown != clNone)
        L.FaceColor = ColorToRGB(f.ColorWhenDown);

    // The canvas gets its own copy of the font: a bold pressed face must not
    // change the font of the button.
    if (f.Font)
        canvas.Font()->Assign(*f.Font);
    if (L.Pressed && f.Style == bsEncarta)
        canvas.Font()->SetStyle(canvas.Font()->Style() | fsBold);

    // A strip too narrow for its image count, or of no width, has no image.
    int gw = 0, gh = 0;
    if (f.Glyph && !f.Glyph->Empty() && f.NumGlyphs > 0) {
        gw = f.Glyph->Width() / f.NumGlyphs;
        gh = f.Glyph->Height();
        if (gw <= 0)
            gw = gh = 0;
    }
    L.GlyphSize = QSize(gw, gh);
    if (gw > 0) {
        int index = 0;
        if (f.Hovered && f.NumGlyphs > 3)
            index = 3;
        if (L.Pressed && f.NumGlyphs > 2)
            index = 2;
        if (!f.Enabled && f.NumGlyphs > 1)
            index = 1;
        L.GlyphIndex = index;
    }

    const bool vertical = f.Layout == blGlyphTop || f.Layout == blGlyphBottom;
    int w = W - 8;
    if (f.Style != bsShape && !vertical && gw > 0)
        w = W - gw - 12;
    w = std::max(0, w);

    const unsigned align = f.Style == bsShape ? DT_CENTER : AlignmentFlag(f.Alignment);
    L.TextFlags = DT_WORDBREAK | align;
    QString caption = f.Caption;
    if (!f.WordWrap)
        while (!caption.isEmpty() && LineWidth(canvas, caption) > w)
            caption.chop(1);
    L.Caption = caption;
    const QSize text = MeasureText(canvas, caption, w, L.TextFlags);
    const int th = text.height(), tw = text.width();

    if (f.Style == bsShape) {
        L.GlyphPos = QPoint((W - gw) / 2, (H - gh) / 2);
        L.TextRect = Rect(shift, (H - th) / 2 + shift, W, H);
        return L;
    }

    const auto glyphLeftByAlignment = [&](int leftValue, int rightValue, int centreValue) {
        switch (f.Alignment) {
        case taLeftJustify: return leftValue;
        case taRightJustify: return rightValue;
        case taCenter: break;
        }
        return centreValue;
    };

    int textLeft = shift + 4, textTop = 0, glyphLeft = 0, glyphTop = 0;
    if (vertical) {
        const int total = gh > 0 ? gh + th + 4 : th;
        const int e = (H - total) / 2;
        if (f.Layout == blGlyphTop) {
            glyphTop = e + shift;
            textTop = e + gh + shift;
        } else {
            textTop = e + shift;
            glyphTop = e + th + shift;
        }
        glyphLeft = glyphLeftByAlignment(shift + 4, W + shift - gw - 4, (W - gw) / 2 + shift);
    } else {
        textTop = (H - th) / 2 + shift;
        glyphTop = (H - gh) / 2 + shift;
        const int t = caption.isEmpty() ? 0 : tw + 4;
        if (f.Layout == blGlyphRight) {
            glyphLeft = textLeft + t;
            if (!f.WordWrap)
                glyphLeft = glyphLeftByAlignment(textLeft + t, W + shift - gw - 4, (W - gw) / 2 + shift + t / 2);
        } else {
            if (gw > 0)
                textLeft += gw + 4;
            glyphLeft = shift + 4;
            if (!f.WordWrap)
                glyphLeft = glyphLeftByAlignment(shift + 4, W + shift - gw - t - 4, (W - gw) / 2 + shift - t / 2);
        }
    }
    L.TextRect = Rect(textLeft, textTop, textLeft + w, textTop + th);
    L.GlyphPos = QPoint(glyphLeft, glyphTop);
    return L;
}

namespace {

// One image of the strip, its bottom-left pixel colour transparent.
void DrawGlyphImage(TCanvas& canvas, const TBitmap& strip, int x, int y, int offset, int height, int width)
{
    TBitmap image;
    image.SetImage(strip.Image().copy(offset, 0, width, height));
    image.SetTransparent(true);
    canvas.Draw(x, y, image);
}

void DrawDropDownMark(TCanvas& canvas, int x, int y)
{
    TBitmap arrow;
    try {
        arrow.LoadFromResourceName(QStringLiteral("LBARROW"));
    } catch (const EResNotFound&) {
        return; // without the program's pictures the face goes without its mark
    }
    arrow.SetTransparent(true);
    canvas.Draw(x, y, arrow);
}

} // namespace

void PaintLbButtonFace(TCanvas& canvas, const TLbButtonFace& f)
{
    const int W = f.Width, H = f.Height;
    if (W <= 0 || H <= 0)
        return;
    const TLbFaceLayout L = LayoutLbButtonFace(canvas, f);
    const TColor light = ColorToRGB(f.LightColor), shadow = ColorToRGB(f.ShadowColor);

    if (f.Style == bsShape) {
        canvas.FillSolidRect(QRect(0, 0, W, H), clLbTransparent);
    } else if (!f.Transparent) {
        if (f.Style == bsModern) {
            const int middle = H / 4 + L.Shift;
            FillGradient(canvas, light, L.FaceColor, 2, middle, W - 2, 2);
            FillGradient(canvas, L.FaceColor, light, 2, H - 1, W - 2, middle);
        } else {
            canvas.FillSolidRect(QRect(0, 0, W, H), L.FaceColor);
        }
    }
    canvas.Brush()->SetStyle(bsClear);

    TPen* pen = canvas.Pen();
    pen->SetStyle(psSolid);
    pen->SetWidth(1);
    pen->SetMode(pmCopy);
    const bool framed = (f.Enabled && (!f.Flat || f.Hovered || L.Pressed)) || (!f.Enabled && !f.Flat);
    switch (f.Style) {
    case bsNormal:
    case bsEncarta:
        if (framed) {
            pen->SetColor(L.Pressed ? shadow : light);
            canvas.MoveTo(0, H - 1);
            canvas.LineTo(0, 0);
            canvas.LineTo(W - 1, 0);
            pen->SetColor(L.Pressed ? light : shadow);
            canvas.LineTo(W - 1, H - 1);
            canvas.LineTo(0, H - 1);
        }
        break;
    case bsOld:
        if (framed) {
            pen->SetColor(shadow);
            if (L.Pressed)
                canvas.Polyline({ QPoint(1, H - 3), QPoint(1, 1), QPoint(W - 2, 1) });
            else
                canvas.Polyline({ QPoint(W - 2, 0), QPoint(W - 2, H - 2), QPoint(0, H - 2) });
            pen->SetColor(L.Pressed ? cl3DDkShadow : light);
            canvas.MoveTo(0, H - 1);
            canvas.LineTo(0, 0);
            canvas.LineTo(W - 1, 0);
            pen->SetColor(L.Pressed ? light : cl3DDkShadow);
            canvas.LineTo(W - 1, H - 1);
            canvas.LineTo(-1, H - 1);
        }
        break;
    case bsModern:
        pen->SetColor(L.Pressed ? shadow : L.FaceColor);
        canvas.Rectangle(1, 1, W - 1, H - 1);
        pen->SetColor(shadow);
        canvas.RoundRect(0, 0, W, H, 6, 6);
        break;
    case bsShape: break;
    }

    const bool hasImage = L.GlyphIndex >= 0;
    const auto drawGlyph = [&] {
        if (hasImage)
            DrawGlyphImage(canvas, *f.Glyph, L.GlyphPos.x(), L.GlyphPos.y(), L.GlyphIndex * L.GlyphSize.width(),
                L.GlyphSize.height(), L.GlyphSize.width());
    };
    if (f.Style == bsShape) {
        drawGlyph();
        DrawText(canvas, L.Caption, L.TextRect, L.TextFlags);
    } else {
        if (!f.Enabled)
            canvas.Font()->SetColor(0x00808080);
        DrawText(canvas, L.Caption, L.TextRect, L.TextFlags);
        drawGlyph();
    }

    if (f.HasPopup)
        DrawDropDownMark(canvas, W - 11, H / 2 - 1);
}

int AssignLbGlyph(TBitmap& glyph, const TBitmap* value)
{
    glyph.Assign(value);
    return value && glyph.Height() > 0 ? glyph.Width() / glyph.Height() : 0;
}

bool SetLbHover(bool over, bool& cursorOnButton, int& hotTrackStep, TColor hotTrackColor, bool useHotTrackFont)
{
    cursorOnButton = over;
    hotTrackStep = over ? 8 : 0;
    return hotTrackColor != clNone && !useHotTrackFont;
}
