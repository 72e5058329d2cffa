#include "minihtml_fixture.h"

#include "minihtml/inline_elements.h"

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
            n += (image.pixel(x, y) & 0xFFFFFF) == Rgb(c);
    return n;
}
