#pragma once

// Finding the catalogued mice and keeping one model selected: the first fill of the
// link's supported identities, the re-enumeration and the refresh that tasks 1 to 3
// run on the worker, and the rule that picks the model to select.

#include <functional>

#include "device/DeviceContext.h"
#include "device/ModelLoading.h"

namespace quillora {

// Interface texts of the device state panel.
inline constexpr int kTextNoDevice = 50;
inline constexpr int kTextConnectedByCable = 51;
inline constexpr int kTextConnectedByReceiver = 52;

// The start of a run (window thread, before the worker starts): the link learns every
// catalogued identity, every tile starts offline, and `initialDeviceType` is stored as
// the model to select.
void FillSupportedDevices(DeviceContext& context, int initialDeviceType);

// The model a refresh selects: the stored one when it has an online interface, else the
// first catalogued model that has one, else the stored one (a stored number that names
// no catalogued model counts as the first catalogued model).
int ChooseSelectedModel(const DeviceCatalog& catalog, int stored,
                        const std::function<bool(int deviceType)>& available);

// First half of tasks 1 and 2: supported identities afresh, every interface closed and
// opened again, the stored model's description and database loaded.
ModelLoad ReEnumerate(DeviceContext& context);

struct RefreshResult {
    int selectedKind = -1;  // GetSelectedKind after the refresh
    bool databaseSwitched = false;
};

// Enumerates again, sets the tiles from what answered, selects a model (stored as
// "DeviceType", its description loaded) and sets the home area to match.
RefreshResult RefreshDevices(DeviceContext& context);

}  // namespace quillora
