// The cost of HIDDevice per exchange against a bare loop that calls the same
// backend (the virtual device at zero latency) directly, in the same run.
//   bench_exchange [exchanges per round]

#include "BenchSupport.h"

#include "device/HIDDevice.h"
#include "device/Protocol.h"
#include "sim/VirtualBus.h"

#include <QCoreApplication>

namespace {

constexpr int kRounds = 11;

unsigned char g_request[protocol::kBufferSize] = {0x01, 0x13, 0x04, 0x00, 0x10, 0x00, 0x01};

double throughHidDevice(HIDDevice& device, sim::VirtualDevice& virt, int n)
{
    unsigned char answer[protocol::kBufferSize];
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i) {
        device.write(g_request, protocol::kFamily2ReportLength);
        device.readTimeout(answer, protocol::kFamily2ReportLength, 100);
        if (i % 1000 == 999)
            virt.clearTrace();
    }
    return double(t.nsecsElapsed()) / n / 1000.0;
}

double bareLoop(sim::VirtualDevice& virt, int n)
{
    const HidBackend& hid = hidBackend();
    HidBackend::Handle h = hid.open(protocol::kFamily2Ids.vendor, protocol::kFamily2Ids.product, nullptr);
    unsigned char answer[protocol::kBufferSize];
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i) {
        hid.write(h, g_request, protocol::kFamily2ReportLength);
        hid.readTimeout(h, answer, protocol::kFamily2ReportLength, 100);
        if (i % 1000 == 999)
            virt.clearTrace();
    }
    const double us = double(t.nsecsElapsed()) / n / 1000.0;
    hid.close(h);
    return us;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 20000;
    sim::VirtualBus::instance().install();
    sim::VirtualDevice& virt = sim::VirtualBus::instance().plug(2, *models::modelByName("Vantor-D5"));
    HIDDevice::init();
    HIDDevice device;
    device.open(protocol::kFamily2Ids.vendor, protocol::kFamily2Ids.product);

    std::vector<double> tool, bare, ratio;
    std::printf("%-6s %18s %18s %8s\n", "round", "HIDDevice us/exch", "bare loop us/exch", "ratio");
    for (int r = 0; r < kRounds; ++r) {
        // Alternate the order so that neither side always runs on a warm cache.
        double a, b;
        if (r % 2) {
            b = bareLoop(virt, n);
            a = throughHidDevice(device, virt, n);
        } else {
            a = throughHidDevice(device, virt, n);
            b = bareLoop(virt, n);
        }
        tool.push_back(a);
        bare.push_back(b);
        ratio.push_back(a / b);
        std::printf("%-6d %18.3f %18.3f %8.3f\n", r + 1, a, b, a / b);
    }
    const double mt = bench::median(tool), mb = bench::median(bare), mr = bench::median(ratio);
    std::printf("summary: %d exchanges x %d rounds; median HIDDevice %.3f us, bare %.3f us per exchange; "
                "median ratio %.3f (goal <= 1.05); HIDDevice's own cost %.3f us\n",
                n, kRounds, mt, mb, mr, mt - mb);
    device.close();
    HIDDevice::exit();
    return 0;
}
