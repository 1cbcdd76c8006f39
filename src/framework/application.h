#pragma once

#include "object.h"

namespace fw {

class ClassRecord;
class MenuBar;

// The application object. The program derives its own class and registers one instance.
class Application : public Object {
public:
    static const ClassRecord& Record();

    Ref<fw::MenuBar> MenuBar() const;
    void MenuBar(Ref<fw::MenuBar> menuBar);

protected:
    Application();
    ~Application() override;

private:
    Ref<fw::MenuBar> m_menuBar;
};

// Keeps the program's application object for the rest of the run.
void RuntimeRegisterAppObject(const Ref<Application>& application);
void releaseApplicationObject();

} // namespace fw
