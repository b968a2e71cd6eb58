// Costs of the world view: drawing the whole world for a new home or size (the plan, the
// painting and the pointer over it), the plan alone, and a pointer move over the drawn world.
#include "geo/locator.h"
#include "geo/ui/map_view.h"
#include "geo/world_plan.h"
#include "widgets/ui/analog_gauge.h"
#include "widgets/ui/gauge_instances.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace vantora;

// One map gauge of the first layout's size (796 x 617) showing the world around JN89XX.
struct WorldFixture {
    TA3nalogGauge gauge;
    MapView view{gauge};

    WorldFixture()
    {
        ConfigureMapGauge(gauge);
        gauge.setObjectName(QStringLiteral("AnalogGauge3"));
        view.LoadImages();
        view.SetCallsign(QStringLiteral("OK1XYZ"));
        view.HomePix(VypLoc(kDefaultHomeLocator));
        gauge.show();
        QApplication::processEvents();
        view.SetZoom(130);
        view.SetTargetLocator(QStringLiteral("PM95UQ"));
    }
};

std::unique_ptr<WorldFixture> g_world;  // destroyed by main() while the application exists

WorldFixture& World()
{
    if (!g_world) g_world = std::make_unique<WorldFixture>();
    return *g_world;
}

void BM_WorldDraw(benchmark::State& state)
{
    WorldFixture& world = World();
    for (auto _ : state) {
        world.view.world().Forget();  // as after a new home or a resize
        world.view.SetZoom(130);
    }
}
BENCHMARK(BM_WorldDraw)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

void BM_WorldPlan(benchmark::State& state)
{
    WorldFixture& world = World();
    const std::optional<WorldOutline>& outline = world.view.world().outline();
    if (!outline) {
        state.SkipWithError("the world outline did not load");
        return;
    }
    const GeoPosition home = VypLoc(kDefaultHomeLocator);
    for (auto _ : state) benchmark::DoNotOptimize(PlanWorld(*outline, home, 796, 617));
}
BENCHMARK(BM_WorldPlan)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

void BM_WorldPointerMove(benchmark::State& state)
{
    WorldFixture& world = World();
    world.view.SetZoom(130);
    const int draws = world.view.world().worldDraws();
    float position = 0;
    for (auto _ : state) {
        position = position >= 359 ? 0 : position + 1;
        world.gauge.setPosition(position);  // one pointer and long-path redraw over the kept world
    }
    if (world.view.world().worldDraws() != draws) state.SkipWithError("a pointer move drew the world again");
}
BENCHMARK(BM_WorldPointerMove)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_world.reset();
    return 0;
}
