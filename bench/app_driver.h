#pragma once

#include "framework/ref.h"
#include "framework/runtime.h"

#include <string>
#include <vector>

class QMimeData;
class QWidget;
class Window1;

namespace bench {

// The real program, in this process and offscreen: started as main starts it, short of the event loop, and
// driven as a user would drive it.
class AppUnderTest {
public:
    AppUnderTest();
    ~AppUnderTest();
    AppUnderTest(const AppUnderTest&) = delete;
    AppUnderTest& operator=(const AppUnderTest&) = delete;

    void addPatches(const std::vector<std::string>& paths);
    int rowCount() const;
    // Clicks the merge button and answers the save dialog with the path; the time until the click returns.
    double clickMerge(const std::string& outputPath);
    // Drags the data over the patch list and drops it there; the time until the drop has been handled.
    double drop(const QMimeData& data);
    // Lets the window finish showing and laying out, as it would be idle before a user acts.
    void settle();

private:
    QWidget* controlWidget(const std::string& name) const;

    // The offscreen platform, before the run that reads it.
    struct OffscreenPlatform {
        OffscreenPlatform();
    } m_platform;
    fw::Runtime m_runtime; // ends the run after the window reference below is let go
    fw::Ref<Window1> m_window;
};

} // namespace bench
