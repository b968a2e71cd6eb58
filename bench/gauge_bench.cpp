// Redraw costs of the gauges: the map's pointer over the map image, a whole rotator dial face,
// painting a map view at both ends of the Europe zoom range, and changing between them.
#include "geo/locator.h"
#include "geo/ui/map_view.h"
#include "widgets/ui/analog_gauge.h"
#include "widgets/ui/gauge_instances.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace vantora;

// One shown map gauge with the embedded images loaded, shared by the map benchmarks.
struct MapFixture {
    TA3nalogGauge gauge;
    MapView view{gauge};

    MapFixture()
    {
        ConfigureMapGauge(gauge);
        gauge.setObjectName(QStringLiteral("AnalogGauge3"));
        view.LoadImages();
        view.SetCallsign(QStringLiteral("OK1XYZ"));
        view.HomePix(VypLoc(kDefaultHomeLocator));
        gauge.show();
        QApplication::processEvents();
        view.SetZoom(100);
    }
};

// Made on first use and destroyed by main() while the application still exists: widgets must
// not outlive it.
std::unique_ptr<MapFixture> g_map;

MapFixture& Map()
{
    if (!g_map)
        g_map = std::make_unique<MapFixture>();
    return *g_map;
}

void BM_MapRedrawArrow(benchmark::State& state)
{
    MapFixture& map = Map();
    map.view.SetZoom(100);
    float position = 0;
    for (auto _ : state) {
        position = position >= 359 ? 0 : position + 1;
        map.gauge.setPosition(position);  // one pointer redraw, painted at once
    }
    state.counters["frames"] = map.gauge.frames();
}
BENCHMARK(BM_MapRedrawArrow)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

void BM_DialRedrawFace(benchmark::State& state)
{
    TA3nalogGauge dial;
    ConfigureRotatorDial(dial, false);
    dial.show();
    QApplication::processEvents();
    for (auto _ : state) dial.RedrawFace();
}
BENCHMARK(BM_DialRedrawFace)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

void BM_MapSetZoom(benchmark::State& state)
{
    MapFixture& map = Map();
    const int zoom = static_cast<int>(state.range(0));
    for (auto _ : state) map.view.SetZoom(zoom);
}
BENCHMARK(BM_MapSetZoom)->Arg(0)->Arg(100)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

// A view of another part of the map each time: the part shown is decoded anew (the view keeps
// only what it shows), so this is what a zoom menu choice or a window resize costs.
void BM_MapZoomChange(benchmark::State& state)
{
    MapFixture& map = Map();
    int zoom = 0;
    for (auto _ : state) {
        zoom = zoom == 0 ? 100 : 0;
        map.view.SetZoom(zoom);
    }
}
BENCHMARK(BM_MapZoomChange)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_map.reset();
    return 0;
}
