// Inputs the fuzzer found, kept as named cases: each must load, draw and
// take mouse events without crashing or allocating without bound.
#include "minihtml_fixture.h"

#include "minihtml/inline_elements.h"

#include "platform/core/ansi.h"

using Hostile = EngineTest;

// A word of one tab: Qt reports its ink 100000 pixels away, and a glyph
// layer sized to reach it took gigabytes.
TEST_F(Hostile, FuzzTabOnlyWord)
{
    e->width = 120;
    Load(AnsiToString(QByteArrayLiteral("\t")));
    Load(QStringLiteral("<u>\t</u><a href=x>\t\t</a>\u0700\u0701<input type=submit value=\"\t\">"));
    EXPECT_TRUE(HasDrawableInk(*e->CacheBitmap->Canvas(), QStringLiteral("a\u0700")));
    EXPECT_FALSE(HasDrawableInk(*e->CacheBitmap->Canvas(), QStringLiteral("\t")));
    EXPECT_EQ(e->CacheBitmap->Width(), 120);
}

// Words before an "=" each start a new, ever longer attribute name: time and
// memory grew with the square of the tag's length.
TEST(HostileAttributes, CountAndNameLengthAreBounded)
{
    const THtmlAttributes blanks = TQzMiniHtml2::Extractvariables(
        QStringLiteral(" ") + QStringLiteral("a ").repeated(2000) + QStringLiteral("=b"));
    EXPECT_LE(blanks.Count(), 256);
    for (int i = 0; i < blanks.Count(); ++i)
        EXPECT_LE(blanks.Name(i).size(), 256);
    QString many;
    for (int i = 0; i < 300; ++i)
        many += QStringLiteral(" n%1=v").arg(i);
    const THtmlAttributes capped = TQzMiniHtml2::Extractvariables(many);
    EXPECT_EQ(capped.Count(), 256);
    EXPECT_EQ(capped.Value(QStringLiteral("n255")), QStringLiteral("v"));
}
