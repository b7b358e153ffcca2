#pragma once
// Sound output devices, routing by device id, and the system volume.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class QObject;

namespace media {

// The program's id of a sound output device: a stable non-zero 31-bit hash of the system's device
// id; 0 is the default device.
using DeviceId = int32_t;

struct OutputDevice {
    QString name;  // shown to the user
    QString info;  // the system's device id as text
    DeviceId id;
};

// The sound output devices, in the system's order; empty without a sound server. The list is read
// once and kept current as the system's devices change; a lost connection to the sound server
// is made again here.
std::vector<OutputDevice> outputDevices();

// Before a Play or Preview: connects to the sound server again if the connection was lost, and
// forgets devices that went away, so a device or server that has come back sounds again.
// Devices are never replaced while they play: a lost device stays silent until then.
void refreshOutputs();

// The id the program uses for a system device id: non-zero, 31 bits, the same on every run.
DeviceId deviceIdFor(const QByteArray& systemId);

// True for 0 (the default device, while there is one) and for the id of a present device.
// A track routed to an id that is not available sounds nowhere: it plays on silently and never
// falls back to another device.
bool routeAvailable(DeviceId id);

// Called on the UI thread whenever a player starts sounding a track whose route is not
// available, with that route's id, so the program can tell the user.
void setUnavailableRouteHandler(std::function<void(DeviceId id)> handler);

// Called on the UI thread when a device goes away while tracks are sounding on it (unplugged,
// or the sound server stopped), with its id and name. Those tracks play on silently.
void setDeviceLostHandler(std::function<void(DeviceId id, const QString& name)> handler);

// The system output volume 0..1 of the default PulseAudio sink; without a server, a value kept
// in this process. Values outside 0..1 are clamped, NaN is ignored.
double systemVolume();
void setSystemVolume(double v);
// Neither waits for the sound server: systemVolume() is the last value known, and handlers
// registered here run on the UI thread when the server's answer or a change made elsewhere
// arrives. A handler ends when its context object is destroyed.
void onSystemVolumeChanged(QObject* context, std::function<void(double volume)> handler);

namespace testing {

// For the latency benchmark: the device's queued output when a player's first sound was mixed.
struct FirstSound {
    bool sounded = false;
    int64_t mixedAtNs = 0;     // steady clock
    double queuedSeconds = 0;  // sound ahead of it in the device's buffer
};

}  // namespace testing

}  // namespace media
