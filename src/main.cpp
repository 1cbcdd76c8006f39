#include "app/startup.h"
#include "framework/runtime.h"

#include <cstdlib>

int main() {
    fw::RuntimeInit();
    RegisterClasses();
    Main();
    ReleaseModuleObjects();
    std::exit(fw::RuntimeExit());
}
