#include "file_type_registry.h"

#include "ascii_text.h"

#include <algorithm>
#include <map>

namespace fw {
namespace {

struct Entry {
    RegisteredFileType type;
    bool standing = false;
};

// Made on first use, so a type registered during start-up never races the registry's construction, and never
// destroyed, so a type released as late as static destruction can still withdraw its registration.
std::map<std::string, Entry>& registry() {
    static auto* types = new std::map<std::string, Entry>;
    return *types;
}

// The extensions of a type, each with its leading dot, so that ".syx" and "syx" both mean the same files and
// "xsyx" is not taken for one.
std::vector<std::string> extensionsOf(const RegisteredFileType& type) {
    std::vector<std::string> extensions;
    std::size_t start = 0;
    while (start <= type.extensions.size()) {
        const auto end = std::min(type.extensions.find(';', start), type.extensions.size());
        std::string extension(trimmedAscii(std::string_view(type.extensions).substr(start, end - start)));
        start = end + 1;
        if (extension.empty() || extension == ".")
            continue;
        extensions.push_back(extension.front() == '.' ? extension : "." + extension);
    }
    return extensions;
}

} // namespace

void registerFileType(const std::string& name, const std::string& macCreator, const std::string& macType,
                      const std::string& extensions) {
    Entry& entry = registry()[name];
    entry.type.name = name;
    entry.type.macCreator = macCreator;
    entry.type.macType = macType;
    entry.type.extensions = extensions;
    ++entry.type.registrations;
    entry.standing = true;
}

// The entry stays, so that the count of registrations still shows after the type is withdrawn.
void deregisterFileType(const std::string& name) {
    auto found = registry().find(name);
    if (found != registry().end())
        found->second.standing = false;
}

const RegisteredFileType* findFileType(const std::string& name) {
    auto found = registry().find(name);
    if (found == registry().end() || !found->second.standing)
        return nullptr;
    return &found->second.type;
}

std::string chooserFilterOf(const std::string& filterText) {
    const RegisteredFileType* type = findFileType(filterText);
    if (!type)
        return {};
    std::string patterns;
    for (const std::string& extension : extensionsOf(*type))
        patterns += (patterns.empty() ? "*" : " *") + extension;
    if (patterns.empty())
        return {};
    return type->name + " (" + patterns + ")";
}

bool fileTypeMatches(const std::string& typeName, const std::string& fileName) {
    const RegisteredFileType* type = findFileType(typeName);
    if (!type)
        return false;
    const auto extensions = extensionsOf(*type);
    return std::any_of(extensions.begin(), extensions.end(), [&](const std::string& extension) {
        return endsWithIgnoringCase(fileName, extension);
    });
}

void forgetFileTypes() { registry().clear(); }

} // namespace fw
