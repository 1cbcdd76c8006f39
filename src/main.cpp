#include "framework/runtime.h"
#include "startup/startup.h"

int main() {
    fw::Runtime runtime;
    RegisterClasses();
    Main();
    return runtime.Exit();
}
