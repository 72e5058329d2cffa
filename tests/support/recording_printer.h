#pragma once

// A printer for the mini HTML engine that writes every call down as a line
// of text, for the printing tests to compare and the label's fuzz target to
// print through. Text is three quarters of its font size wide per
// character, so printer layouts differ from the screen's (and fall on
// fractions).

#include "minihtml/printer.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

class RecordingPrinter : public TDummyPrinter {
public:
    RecordingPrinter()
        : TDummyPrinter(nullptr)
    {
    }

    void Init() override { Calls.append(QStringLiteral("Init")); }
    void Save() override { Calls.append(QStringLiteral("Save")); }
    float GetWidth(const QString& Text) override
    {
        QString shown = Text;
        shown.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
        Calls.append(QStringLiteral("GetWidth ") + shown);
        return float(Text.size()) * fFontSize * 0.75f;
    }
    void PicOut(float x, float y, float width, float height, const QImage& Picture) override
    {
        Calls.append(QStringLiteral("PicOut %1 %2x%3").arg(Point(x, y)).arg(width).arg(height));
        Pictures.append(Picture);
    }
    void TextOut(float x, float y, const QString& Text) override
    {
        Calls.append(QStringLiteral("TextOut %1 ").arg(Point(x, y)) + Text);
    }
    void DrawLine(float x1, float y1, float x2, float y2) override
    {
        Calls.append(QStringLiteral("DrawLine %1 %2").arg(Point(x1, y1), Point(x2, y2)));
    }
    void Rectangle(float x1, float y1, float x2, float y2) override
    {
        Calls.append(QStringLiteral("Rectangle %1 %2").arg(Point(x1, y1), Point(x2, y2)));
    }
    void Ellipse(float x1, float y1, float x2, float y2) override
    {
        Calls.append(QStringLiteral("Ellipse %1 %2").arg(Point(x1, y1), Point(x2, y2)));
    }
    void SetFont(const TFont& Font) override
    {
        fFontSize = Font.Size();
        QString styles;
        const std::pair<TFontStyle, QChar> letters[]
            = { { fsBold, u'b' }, { fsItalic, u'i' }, { fsUnderline, u'u' }, { fsStrikeOut, u's' } };
        for (const auto& [style, letter] : letters)
            if (Font.Style().Contains(style))
                styles += letter;
        Calls.append(QStringLiteral("SetFont %1 %2 %3%4")
                         .arg(Font.Name())
                         .arg(Font.Size())
                         .arg(styles.isEmpty() ? QString() : styles + u' ', Colour(Font.Color())));
    }
    void SetPenColor(TColor Color) override { Calls.append(QStringLiteral("Pen ") + Colour(Color)); }
    void SetBrushColor(TColor Color) override { Calls.append(QStringLiteral("Brush ") + Colour(Color)); }

    static QString Point(float x, float y) { return QStringLiteral("%1,%2").arg(x).arg(y); }
    static QString Colour(TColor c) { return c == clNone ? QStringLiteral("none") : ColorToHtml(c); }

    QStringList Calls;
    QList<QImage> Pictures;

private:
    int fFontSize = 8;
};
