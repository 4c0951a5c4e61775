#include "formats/AppConfig.h"

#include <algorithm>

#include "app/Decimal.h"
#include "formats/AttributeValues.h"
#include "formats/XmlReading.h"

namespace quillora {

const CatalogModel* DeviceCatalog::FindModel(int deviceType) const {
    for (const CatalogModel& model : models) {
        if (model.deviceType == deviceType)
            return &model;
    }
    return nullptr;
}

std::string ConfigFilePath(const std::string& applicationFolder) {
    return applicationFolder + "config.xml";
}

StartupConfig ReadStartupConfig(const std::string& configPath) {
    StartupConfig config;
    XmlDocument document;
    if (!OpenXmlFile(document, configPath, u"config")) {
        return config;
    }
    config.loaded = true;
    document.EnterElement();
    if (document.FindElement(u"language.info")) {
        config.hasLanguages = true;
        config.defaultLanguage = DecimalToInt(document.GetAttribute(u"default_lan"));
        document.EnterElement();
        while (document.FindElement(u"lan")) {
            const int language = DecimalToInt(document.GetAttribute(u"value"));
            if (std::find(config.languages.begin(), config.languages.end(), language) ==
                config.languages.end()) {
                config.languages.push_back(language);
            }
        }
        document.LeaveElement();
    }
    if (document.FindElement(u"software")) {
        config.hasSoftware = true;
        config.productKeyName = document.GetAttribute(u"caption");
    }
    return config;
}

CatalogConfig ReadCatalogConfig(const std::string& configPath,
                                const std::u16string& deviceImageFolder) {
    CatalogConfig config;
    XmlDocument document;
    if (!OpenXmlFile(document, configPath, u"config")) {
        return config;
    }
    config.loaded = true;
    document.EnterElement();
    if (document.FindElement(u"device")) {
        document.EnterElement();
        while (document.FindElement(u"mouse")) {
            CatalogModel model;
            model.name = document.GetAttribute(u"name");
            model.deviceType = DecimalToInt(document.GetAttribute(u"device_type"));
            model.deviceAttr = document.GetAttribute(u"device_attr");
            model.imagePath = deviceImageFolder + document.GetAttribute(u"image");
            config.catalog.models.push_back(model);
            document.EnterElement();
            while (document.FindElement(u"mode")) {
                CatalogIdentity identity;
                identity.model = model;
                identity.linkKind = DecimalToInt(document.GetAttribute(u"value"));
                identity.description = document.GetAttribute(u"desc");
                identity.vendorId = HexToInt(document.GetAttribute(u"vid"));
                identity.productId = HexToInt(document.GetAttribute(u"pid"));
                identity.modelCode = document.GetAttribute(u"dev_id");
                identity.interfaceText = document.GetAttribute(u"hid_interface");
                config.catalog.identities.push_back(std::move(identity));
            }
            document.LeaveElement();
        }
        document.LeaveElement();
    }
    if (document.FindElement(u"software")) {
        SoftwareInfo& software = config.software;
        software.found = true;
        software.caption = document.GetAttribute(u"caption");
        software.version = document.GetAttribute(u"version");
        document.EnterElement();
        if (document.FindElement(u"website"))
            software.websiteUrl = document.GetAttribute(u"url");
        if (document.FindElement(u"feedback")) {
            software.feedbackUrl = document.GetAttribute(u"url");
        }
        if (document.FindElement(u"qa"))
            software.questionsUrl = document.GetAttribute(u"url");
        if (document.FindElement(u"upgrade"))
            software.updateUrl = document.GetAttribute(u"url");
        document.LeaveElement();
    }
    return config;
}

}  // namespace quillora
