#include "minihtml_fixture.h"

#include "minihtml/inline_elements.h"

#include <algorithm>
#include <cstdlib>

QStringList EngineTest::Kinds() const
{
    QStringList kinds;
    for (int i = 0; i < e->TagCount(); ++i) {
        if (auto* word = dynamic_cast<aText*>(e->Tags(i)))
            kinds.append(u'"' + word->Text + u'"');
        else
            kinds.append(e->Tags(i)->ClassName());
    }
    return kinds;
}

aText* EngineTest::Word(const QString& text) const
{
    for (int i = 0; i < e->TagCount(); ++i)
        if (auto* word = dynamic_cast<aText*>(e->Tags(i)); word && word->Text == text)
            return word;
    ADD_FAILURE() << "no word " << text.toStdString();
    // A stand-in, so that the failing test goes on instead of crashing.
    static aText* missing = new aText(nullptr, QStringLiteral("<missing>"));
    return missing;
}

int EngineTest::Count(const QImage& image, const QRect& r, TColor c)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += Seen(image.pixel(x, y)) == Rgb(c);
    return n;
}

int CountNear(const QImage& image, const QRect& r, TColor c, int tolerance)
{
    const QColor want = ToQColor(c);
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            n += std::abs(qRed(p) - want.red()) <= tolerance && std::abs(qGreen(p) - want.green()) <= tolerance
                && std::abs(qBlue(p) - want.blue()) <= tolerance;
        }
    return n;
}

double Between(QRgb c, QRgb a, QRgb b)
{
    const int d[3] = { qRed(b) - qRed(a), qGreen(b) - qGreen(a), qBlue(b) - qBlue(a) };
    const int v[3] = { qRed(c) - qRed(a), qGreen(c) - qGreen(a), qBlue(c) - qBlue(a) };
    const double length = double(d[0]) * d[0] + double(d[1]) * d[1] + double(d[2]) * d[2];
    const double t = std::clamp((v[0] * d[0] + v[1] * d[1] + v[2] * d[2]) / length, 0.0, 1.0);
    for (int k = 0; k < 3; ++k)
        if (std::abs(v[k] - t * d[k]) > 3)
            return -1;
    return t;
}
