// Romanising a Chinese name: one three-character name per call with the table loaded, in both name
// orders in interleaved rounds; and the time the table takes to load, the first time and again.
//   bench_pinyin [rounds]     (default 201 rounds of 1,000 calls each)
#include "pinyin/pinyin.h"
#include "pinyin/pinyin_table.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kCallsPerRound = 1000;
volatile qsizetype g_sink = 0; // keeps the calls from being optimised away

struct Figures
{
    double median = 0;
    double min = 0;
    double max = 0;
};

Figures summarise(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    const double median = n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    return {median, samples.front(), samples.back()};
}

// Microseconds per call over one round of calls.
double timeRound(QStringView name, NameOrder order)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kCallsPerRound; ++i)
        g_sink = g_sink + proposeRomanisedName(name, order).size();
    return double(timer.nsecsElapsed()) / 1000.0 / kCallsPerRound;
}

double timeLoad()
{
    QElapsedTimer timer;
    timer.start();
    const PinyinTable table = PinyinTable::load();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    g_sink = g_sink + table.characterCount();
    return ms;
}

void print(const char *what, const Figures &f, const char *unit)
{
    std::printf("| %s | %.2f %s | %.2f %s | %.2f %s |\n", what, f.median, unit, f.min, unit, f.max, unit);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 201;

    QElapsedTimer first;
    first.start();
    const PinyinTable &table = PinyinTable::shared();
    const double firstLoadMs = double(first.nsecsElapsed()) / 1e6;

    const QString name = QStringLiteral("曾国藩");
    std::vector<double> surnameFirst;
    std::vector<double> givenFirst;
    timeRound(name, NameOrder::SurnameFirst); // warm the caches
    for (int round = 0; round < rounds; ++round) {
        surnameFirst.push_back(timeRound(name, NameOrder::SurnameFirst));
        givenFirst.push_back(timeRound(name, NameOrder::GivenNameFirst));
    }
    std::vector<double> loads;
    for (int round = 0; round < 21; ++round)
        loads.push_back(timeLoad());

    const Figures a = summarise(surnameFirst);
    const Figures b = summarise(givenFirst);
    std::printf("%lld characters, %lld surnames; %d rounds of %d calls\n\n",
                static_cast<long long>(table.characterCount()), static_cast<long long>(table.surnameCount()), rounds,
                kCallsPerRound);
    std::printf("| figure | median | min | max |\n|---|---|---|---|\n");
    print("曾国藩 → \"Zeng Guofan\", per call", a, "µs");
    print("曾国藩 → \"Guofan Zeng\", per call", b, "µs");
    print("load the table again (21 loads)", summarise(loads), "ms");
    std::printf("| first use: load the table | %.2f ms | | |\n", firstLoadMs);
    std::printf("\nratio of the medians, given name first / surname first: %.2f\n", b.median / a.median);
    return 0;
}
