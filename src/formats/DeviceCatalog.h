#pragma once

// The supported mouse models and the USB identities under which each one connects, as
// config.xml lists them. Both lists keep document order.

#include <string>
#include <vector>

namespace quillora {

struct CatalogModel {
    std::u16string name;        // shown on the device list
    int deviceType = 0;         // the model's number everywhere in the program
    std::u16string deviceAttr;  // names its description file and profile database
    std::u16string imagePath;   // device image folder + the `image` value
};

struct CatalogIdentity {
    CatalogModel model;  // the owning model's fields
    int linkKind = 0;    // 0 cable, 1 wireless receiver
    int vendorId = 0;
    int productId = 0;
    std::u16string modelCode;  // the 4-character code the mouse reports; shorter: any mouse
    std::u16string description;
    std::u16string interfaceText;
};

struct DeviceCatalog {
    std::vector<CatalogModel> models;
    std::vector<CatalogIdentity> identities;

    // The model of that device type, or null.
    const CatalogModel* FindModel(int deviceType) const;
};

}  // namespace quillora
