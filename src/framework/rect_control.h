#pragma once

#include "control.h"

#include <cstdint>
#include <string>
#include <vector>

class QWidget;

namespace fw {

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// A control with a place in its window. It follows the window's content area by its lock flags: locked on
// both sides of an axis it stretches with the window, locked on the far side only it moves, otherwise it
// stays.
class RectControl : public Control {
public:
    static const ClassRecord& Record();

    // The control's constructor: makes its widget inside the window that allocated it.
    void Construct();

    // Where the control stands now, in the window's content area.
    Rect bounds() const;
    std::int32_t tabIndex() const;

    // Accepts drops of files of the named file type; such a drop raises "DropObject".
    void AcceptFileDrop(const std::string& fileTypeName);
    const std::vector<std::string>& acceptedFileTypes() const { return m_acceptedFileTypes; }

    // Moves the control for a content area of the given size, from where it was placed.
    void followContentArea(Size contentSize);
    // Sets one edge or extent, taken as of the current content area.
    void placeAt(std::int32_t Rect::*field, std::int32_t value);

protected:
    RectControl() = default;
    // The widget that takes drops; a scrolling control takes them on its viewport.
    virtual QWidget* dropTarget() const;

private:
    // Where the anchoring rule puts the control in a content area of the given size; sizes may be negative.
    Rect anchored(Size contentSize) const;
    bool lock(const char* name) const;

    Rect m_placed;           // as the design values set it
    Size m_contentAtPlacing; // the window's content area when it was placed
    std::vector<std::string> m_acceptedFileTypes;
};

} // namespace fw
