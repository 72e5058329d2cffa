// The spell checker over an entry of 2,000 words whose only unknown word is
// the last, against the full English list of the build: every word is
// looked up before the checker can show anything.
#include "bench_targets.h"

#include "app/spell_check.h"
#include "platform/core/sysutils.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "platform/richtext/rich_edit.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kWords = 2000;

struct SpellBench {
    SpellBench()
    {
        Application()->SetExeName(QStringLiteral(DIARY_ENGLISH_DIC_DIR "/diary"));
        FreeSpellWordLists();
        owner = std::make_unique<TForm>(nullptr);
        body = new TRichEdit(owner.get());
        body->SetParent(owner.get());
        // The first check reads the master list; the figure is of later ones.
        TfrmSpellCheck(owner.get()).LoadWordLists();
        const TStringList& master = SpellWordLists().MasterWordList;
        QString text;
        for (int i = 0; i + 1 < kWords; ++i) {
            text += master.Strings(int(qint64(i) * 7919 % master.Count()));
            text += i % 12 == 11 ? QStringLiteral(".\r\n") : QStringLiteral(" ");
        }
        text += QStringLiteral("qzxvbnm.");
        body->SetText(text);
    }
    ~SpellBench()
    {
        owner.reset();
        FreeSpellWordLists();
        Application()->SetExeName(QString());
    }
    // What the check does before its window shows.
    void FindFirstUnknown()
    {
        TfrmSpellCheck checker(owner.get());
        checker.LoadWordLists();
        checker.CopyRichText(body, checker.reShow);
        checker.iRichPosition = 0;
        if (!checker.FindNextMisspelled() || checker.edUnknown->Text() != QStringLiteral("qzxvbnm"))
            throw Exception(QStringLiteral("the spell bench found the wrong word"));
    }

    std::unique_ptr<TForm> owner;
    TRichEdit* body = nullptr;
};

std::unique_ptr<SpellBench>& BenchHolder()
{
    static std::unique_ptr<SpellBench> bench;
    return bench;
}

SpellBench& Bench()
{
    if (!BenchHolder())
        BenchHolder() = std::make_unique<SpellBench>();
    return *BenchHolder();
}

void BM_SpellFirstUnknownOf2000Words(benchmark::State& state)
{
    Bench();
    for (auto _ : state)
        Bench().FindFirstUnknown();
}
BENCHMARK(BM_SpellFirstUnknownOf2000Words)->Unit(benchmark::kMillisecond)->Iterations(3);

const int kChecks = RegisterTargetCheck([] {
    const double ms = BestMilliseconds(5, [] { Bench().FindFirstUnknown(); });
    PrintFigure("Spell check of a 2,000-word entry to its first unknown word", ms, 50, "ms");
    BenchHolder().reset();
});

} // namespace
