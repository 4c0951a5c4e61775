#pragma once

// Test-local scan of the XML files we ship in data/, not a reader of their format: it
// drops the comments and collects the attributes of elements by pattern, enough to
// check our own files. The program reads them with XmlDocument only.

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace quillora {

inline const std::string kShippedAppFolder = std::string(QUILLORA_SOURCE_DIR) + "/data/";

inline std::string ReadShippedFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The file's text with its comments removed.
inline std::string ShippedXmlWithoutComments(const std::filesystem::path& file) {
    return std::regex_replace(ReadShippedFile(file), std::regex("<!--[\\s\\S]*?-->"),
                              std::string());
}

using ScannedElement = std::map<std::string, std::string>;

// The attributes of every start tag named `element`, in document order.
inline std::vector<ScannedElement> ScanElements(const std::filesystem::path& file,
                                                const std::string& element) {
    const std::string text = ShippedXmlWithoutComments(file);
    const std::regex tag("<" + std::regex_replace(element, std::regex("\\."), "\\.") +
                         "(\\s[^>]*)?/?>");
    const std::regex attribute("([A-Za-z_][A-Za-z0-9_.-]*)=\"([^\"]*)\"");
    std::vector<ScannedElement> elements;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), tag);
         it != std::sregex_iterator(); ++it) {
        ScannedElement attributes;
        const std::string inner = (*it)[1].str();
        for (auto a = std::sregex_iterator(inner.begin(), inner.end(), attribute);
             a != std::sregex_iterator(); ++a) {
            attributes[(*a)[1].str()] = (*a)[2].str();
        }
        elements.push_back(std::move(attributes));
    }
    return elements;
}

// One attribute of every `element` that has it.
inline std::vector<std::string> ScanAttribute(const std::filesystem::path& file,
                                              const std::string& element,
                                              const std::string& attribute) {
    std::vector<std::string> values;
    for (const ScannedElement& e : ScanElements(file, element)) {
        if (const auto it = e.find(attribute); it != e.end()) {
            values.push_back(it->second);
        }
    }
    return values;
}

// Offset of the first start tag named `element`, or npos.
inline size_t FirstTagOffset(const std::string& text, const std::string& element) {
    std::smatch m;
    const std::regex tag("<" + std::regex_replace(element, std::regex("\\."), "\\.") + "[\\s/>]");
    if (!std::regex_search(text, m, tag)) {
        return std::string::npos;
    }
    return static_cast<size_t>(m.position(0));
}

}  // namespace quillora
