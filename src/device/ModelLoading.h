#pragma once

// Making a catalogued model the open one: its profile database becomes the store's
// connection and its description the one the pages show. Only the worker runs this,
// between tasks or inside one, so no task ever finds the database switched under it.

#include "device/DeviceContext.h"

namespace quillora {

struct ModelLoad {
    bool found = false;             // the catalogue has the model
    bool databaseSwitched = false;  // another database is open now
};

// Finds the model, keeps its name and attribute as the open model, opens its database
// in the data folder (closing the previous one; the same model's stays open), merges
// its description into the holder and tells the view.
ModelLoad LoadModelDescription(DeviceContext& context, int deviceType);

}  // namespace quillora
