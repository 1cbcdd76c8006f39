#pragma once

#include <string>
#include <vector>

namespace fw {

// The platform's registry of file types, in this process: what a filter text such as "Prophet 600 Patch"
// means to the file chooser and to a list that accepts dropped files.
void registerFileType(const std::string& name, const std::string& macCreator, const std::string& macType,
                      const std::string& extensions);
void deregisterFileType(const std::string& name);

struct RegisteredFileType {
    std::string name;
    std::string macCreator;
    std::string macType;
    std::string extensions;
    int registrations = 0; // over the run, so a second registration shows
};
// The registration under a name, or null when none stands.
const RegisteredFileType* findFileType(const std::string& name);

// The chooser's filter for a filter text: "Name (*.ext)" for a registered type, every file otherwise.
std::string chooserFilterOf(const std::string& filterText);
// Whether a file name (bytes, as on disk) ends in one of the type's extensions, without regard to case.
bool fileTypeMatches(const std::string& typeName, const std::string& fileName);
// Withdraws every registration when the run ends: the platform's registry lasts no longer than the program.
void forgetFileTypes();

} // namespace fw
