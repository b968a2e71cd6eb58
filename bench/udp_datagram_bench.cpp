// What one UDP datagram costs the program to read: the literal go-to datagrams of N1MM Logger+
// and of a PstRotator client, and the worst shapes a sender can choose (junk, opening tags that
// never close, one repeated tag prefix) at the largest size the inputs take (4096 bytes; larger
// datagrams are dropped unread) and at the largest UDP carries (65507 bytes).
#include "net/n1mm_datagram.h"
#include "net/pst_datagram.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace vantora;

class NullStation : public RemoteStation {
public:
    void SetTarget(int, int, int) override {}
    void Stop() override {}
    void Park() override {}
    void TrackingOff() override {}
    bool GoToLocator(std::string_view) override { return false; }
    int BeamAzimuth() const override { return 123; }
    int Elevation() const override { return 0; }
};

std::string Repeated(const std::string& part, std::size_t size)
{
    std::string text;
    while (text.size() + part.size() <= size)
        text += part;
    return text;
}

std::string Datagram(int shape, std::size_t size, bool pst)
{
    switch (shape) {
    case 0:
        return pst ? "<PST><AZIMUTH>123.400000.2</AZIMUTH></PST>"
                   : "<N1MMRotor><rotor>NAME</rotor><goazi>123.4</goazi><offset>10.0</offset>"
                     "<bidirectional>0</bidirectional><freqband>14.0</freqband></N1MMRotor>";
    case 1: {
        std::string junk(size, '\0');
        for (std::size_t i = 0; i < junk.size(); ++i)
            junk[i] = static_cast<char>(i * 7919 % 256);
        return junk;
    }
    case 2:
        return (pst ? "<PST>" : "<N1MMRotor>") + Repeated(pst ? "<AZIMUTH><ELEVATION>" : "<goazi><rotor>", size);
    default:
        return (pst ? "<PST>" : "<N1MMRotor>") + Repeated(pst ? "<AZIMUT" : "<goaz", size);
    }
}

void BM_N1mmDatagram(benchmark::State& state)
{
    NullStation station;
    N1mmHandler handler(station);
    const std::string datagram = Datagram(static_cast<int>(state.range(0)), static_cast<std::size_t>(state.range(1)), false);
    for (auto _ : state)
        benchmark::DoNotOptimize(handler.OnDatagram(datagram, "name"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * datagram.size()));
}
BENCHMARK(BM_N1mmDatagram)->ArgsProduct({{0, 1, 2, 3}, {4096, 65507}})->ArgNames({"shape", "bytes"});

void BM_PstDatagram(benchmark::State& state)
{
    NullStation station;
    PstHandler handler(station);
    const std::string datagram = Datagram(static_cast<int>(state.range(0)), static_cast<std::size_t>(state.range(1)), true);
    for (auto _ : state)
        benchmark::DoNotOptimize(handler.OnDatagram(datagram));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * datagram.size()));
}
BENCHMARK(BM_PstDatagram)->ArgsProduct({{0, 1, 2, 3}, {4096, 65507}})->ArgNames({"shape", "bytes"});

}  // namespace

BENCHMARK_MAIN();
