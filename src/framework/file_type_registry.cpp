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

// A function-local registry, so a type registered during start-up never races the registry's construction.
std::map<std::string, Entry>& registry() {
    static std::map<std::string, Entry> types;
    return types;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The extensions of a type, each with its leading dot, so that ".syx" and "syx" both mean the same files and
// "xsyx" is not taken for one.
std::vector<std::string> extensionsOf(const RegisteredFileType& type) {
    std::vector<std::string> extensions;
    std::size_t start = 0;
    while (start <= type.extensions.size()) {
        const auto end = std::min(type.extensions.find(';', start), type.extensions.size());
        std::string extension = trimmed(type.extensions.substr(start, end - start));
        start = end + 1;
        if (extension.empty() || extension == ".")
            continue;
        extensions.push_back(extension.front() == '.' ? extension : "." + extension);
    }
    return extensions;
}

} // namespace

void RuntimeRegisterFileType(const std::string& name, const std::string& macCreator,
                             const std::string& macType, const std::string& extensions) {
    Entry& entry = registry()[name];
    entry.type.name = name;
    entry.type.macCreator = macCreator;
    entry.type.macType = macType;
    entry.type.extensions = extensions;
    ++entry.type.registrations;
    entry.standing = true;
}

// The entry stays, so that the count of registrations still shows after the type is withdrawn.
void RuntimeDeregisterFileType(const std::string& name) {
    auto found = registry().find(name);
    if (found != registry().end())
        found->second.standing = false;
}

const RegisteredFileType* RuntimeFindFileType(const std::string& name) {
    auto found = registry().find(name);
    if (found == registry().end() || !found->second.standing)
        return nullptr;
    return &found->second.type;
}

std::string FileTypeChooserFilter(const std::string& filterText) {
    const RegisteredFileType* type = RuntimeFindFileType(filterText);
    if (!type)
        return {};
    std::string patterns;
    for (const std::string& extension : extensionsOf(*type))
        patterns += (patterns.empty() ? "*" : " *") + extension;
    if (patterns.empty())
        return {};
    return type->name + " (" + patterns + ")";
}

bool FileTypeMatches(const std::string& typeName, const std::string& fileName) {
    const RegisteredFileType* type = RuntimeFindFileType(typeName);
    if (!type)
        return false;
    const auto extensions = extensionsOf(*type);
    return std::any_of(extensions.begin(), extensions.end(), [&](const std::string& extension) {
        return EndsWithIgnoringCase(fileName, extension);
    });
}

} // namespace fw
