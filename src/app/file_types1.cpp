#include "app/file_types1.h"

#include "framework/class_record.h"

namespace FileTypes1 {

fw::ModuleProperty<fw::FileType> pSysex;

void Initialize() {
    pSysex.set(fw::Cast<fw::FileType>(fw::RuntimeNewObject(fw::FileType::Record())));
    pSysex.get()->Name("Prophet 600 Patch");
    pSysex.get()->Extensions(".syx");
    pSysex.get()->MacType("");
    pSysex.get()->MacCreator("");
    pSysex.get()->Operator_Convert();
}

fw::Ref<fw::FileType> Sysex() { return pSysex.get(); }

} // namespace FileTypes1
