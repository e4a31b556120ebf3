#pragma once
// --replay: a HID backend that serves a recording (Recording.h) as the
// device. Each request the tool writes must equal the next recorded one,
// byte for byte, and gets the recorded answer, timeout or error; opens,
// device lists and plug events follow the recording. A request that departs
// from it ends the replay: from then on the device is gone, and the
// departure says which request differed and how. Nothing is ever sent to a
// real device.

#include "Recording.h"

#include <QString>

#include <functional>

namespace recording {

// Installs the replay as the HID backend (before HIDDevice::init). With
// keepTiming every call takes as long as it took when recorded.
void startReplay(const Recording& recording, const QString& fileName, bool keepTiming);

// Empty while the replay follows the recording; else what ended it.
QString replayDeparture();
// Called once, from the thread that departed, with the departure's text.
void setDepartureHandler(std::function<void(const QString&)> handler);

}  // namespace recording
