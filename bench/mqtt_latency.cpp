// Report-to-subscriber latency through an MQTT broker, for bench/report: the MQTT bridge with a
// station whose rotator 1 reports a new position every --interval-ms (as the unit's reports
// arrive while it turns, at most 10 a second per topic, so the rate limit holds nothing back),
// and a subscriber of its own on rotator1/azimuth. Each sample is the time from the station's
// "changed" (what the program emits when a report has been decoded) to the subscriber's receipt
// of that value, both on this process's steady clock.
//   mqtt_latency --port 1883 [--samples 200] [--interval-ms 150]
// Prints "n=200 p50_ms=1.23 p99_ms=4.56 max_ms=7.89".

#include "mqtt/ui/mqtt_bridge.h"

#include <QCoreApplication>
#include <QTimer>

#include <mosquitto.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr char kPrefix[] = "bench/latency";

class BenchStation : public vantora::StationControl {
public:
    vantora::StationSnapshot snapshot;
    void CommandsFrom(const vantora::CommandOrigin&) override {}
    bool EnterTargetText(std::string_view) override { return false; }
    bool GoPreset(int) override { return false; }
    void SetTracking(vantora::TrackingChoice) override {}
    void Jog(vantora::JogDirection, bool) override {}
    vantora::StationSnapshot Snapshot() const override { return snapshot; }
    void SetTarget(int, int, int) override {}
    void Stop() override {}
    void Park() override {}
    void TrackingOff() override {}
    bool GoToLocator(std::string_view) override { return false; }
    int BeamAzimuth() const override { return snapshot.rotator1.position; }
    int Elevation() const override { return 0; }
};

struct Received {
    std::mutex mutex;
    std::map<std::string, Clock::time_point> at;  // payload -> first receipt
};

void OnMessage(mosquitto*, void* data, const mosquitto_message* message)
{
    auto* received = static_cast<Received*>(data);
    const auto now = Clock::now();
    const std::string payload(static_cast<const char*>(message->payload), message->payloadlen);
    std::lock_guard lock(received->mutex);
    received->at.emplace(payload, now);
}

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    std::size_t rank = static_cast<std::size_t>(p * static_cast<double>(values.size()));
    if (static_cast<double>(rank) < p * static_cast<double>(values.size()))
        ++rank;
    return values[std::min(values.size(), std::max<std::size_t>(rank, 1)) - 1];
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int port = 0;
    int samples = 200;
    int intervalMs = 150;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--port"))
            port = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--samples"))
            samples = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--interval-ms"))
            intervalMs = std::atoi(argv[i + 1]);
    }
    if (port <= 0 || samples <= 0 || intervalMs <= 0) {
        std::fprintf(stderr, "usage: mqtt_latency --port N [--samples N] [--interval-ms N]\n");
        return 2;
    }

    mosquitto_lib_init();
    Received received;
    mosquitto* subscriber = mosquitto_new(nullptr, true, &received);
    mosquitto_message_callback_set(subscriber, OnMessage);
    const std::string topic = std::string(kPrefix) + "/rotator1/azimuth";
    if (mosquitto_connect(subscriber, "127.0.0.1", port, 30) != MOSQ_ERR_SUCCESS
        || mosquitto_subscribe(subscriber, nullptr, topic.c_str(), 0) != MOSQ_ERR_SUCCESS
        || mosquitto_loop_start(subscriber) != MOSQ_ERR_SUCCESS) {
        std::fprintf(stderr, "mqtt_latency: no broker on port %d\n", port);
        return 1;
    }

    BenchStation station;
    station.snapshot.callsign = "BENCH";
    vantora::StationEvents events;
    vantora::MqttBridge bridge(station, events);
    vantora::MqttSettings settings;
    settings.enabled = true;
    settings.host = "127.0.0.1";
    settings.port = port;
    settings.topic = kPrefix;
    bridge.apply(settings);

    std::map<std::string, Clock::time_point> sent;  // payload -> when the station changed
    int position = 0;
    QTimer tick;
    tick.setInterval(intervalMs);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (bridge.status().state != vantora::MqttState::Connected)
            return;
        if (static_cast<int>(sent.size()) >= samples) {
            tick.stop();
            QTimer::singleShot(1000, &app, &QCoreApplication::quit);  // the last ones arrive
            return;
        }
        position = (position + 1) % 360;
        station.snapshot.rotator1.position = position;
        sent[std::to_string(position)] = Clock::now();
        emit events.changed();
    });
    tick.start();
    QTimer::singleShot(std::max(60000, samples * intervalMs * 3), &app, &QCoreApplication::quit);
    app.exec();

    mosquitto_disconnect(subscriber);
    mosquitto_loop_stop(subscriber, false);
    mosquitto_destroy(subscriber);

    std::vector<double> latencies;
    {
        std::lock_guard lock(received.mutex);
        for (const auto& [payload, at] : sent) {
            const auto found = received.at.find(payload);
            if (found != received.at.end())
                latencies.push_back(std::chrono::duration<double, std::milli>(found->second - at).count());
        }
    }
    if (latencies.empty()) {
        std::fprintf(stderr, "mqtt_latency: nothing arrived (%s)\n", bridge.statusText().toUtf8().constData());
        return 1;
    }
    std::printf("n=%zu p50_ms=%.2f p99_ms=%.2f max_ms=%.2f\n", latencies.size(), Percentile(latencies, 0.5),
                Percentile(latencies, 0.99), *std::max_element(latencies.begin(), latencies.end()));
    return 0;
}
