#include "framework/class_record.h"
#include "framework/event_binding.h"
#include "framework/listbox.h"
#include "framework/push_button.h"
#include "framework/runtime.h"
#include "framework/window.h"

#include <QApplication>
#include <QMainWindow>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

constexpr fw::Size kDesign{300, 200};

// Records the construction hooks as they run, and whether the window was on screen at the time.
class TestWindow : public fw::Window {
public:
    static const fw::ClassRecord& Record() {
        return fw::RegisterClass("TestWindow", &fw::Window::Record(), [] { return new TestWindow; });
    }

    std::function<void(TestWindow&)> createControls;
    std::vector<std::string> calls;
    std::vector<fw::Ref<fw::Control>> opened;
    int closes = 0;

    void ListOpen() { opened.push_back(fw::RuntimeSwapSelfAndMe<fw::Listbox>()); }
    void ButtonOpen() { opened.push_back(fw::RuntimeSwapSelfAndMe<fw::PushButton>()); }

protected:
    void Layout() override {
        record("Layout");
        SetProperty("Width", kDesign.width);
        SetProperty("Height", kDesign.height);
        SetProperty("Visible", true);
    }
    void CreateControls() override {
        record("CreateControls");
        if (createControls)
            createControls(*this);
    }
    void AddMenuHandlers(const fw::Ref<fw::Window>& window) override {
        EXPECT_EQ(window.get(), this);
        record("AddMenuHandlers");
    }
    void Event_Close() override { ++closes; }

private:
    void record(const std::string& hook) { calls.push_back(hook + (widget()->isVisible() ? " shown" : "")); }
};

fw::Ref<TestWindow> constructWindow(std::function<void(TestWindow&)> createControls = {}) {
    auto window = fw::Cast<TestWindow>(fw::RuntimeNewObject(TestWindow::Record()));
    window->createControls = std::move(createControls);
    window->Construct();
    return window;
}

// Locks are given as letters: "LTRB" locks all four sides.
fw::Ref<fw::RectControl> addControl(fw::Window& window, const fw::ClassRecord& controlClass,
                                    const std::string& name, fw::Rect place, std::string_view locks = "",
                                    std::int32_t tabIndex = 0) {
    fw::Ref<fw::Object> object = window.New(controlClass);
    auto control = fw::Cast<fw::RectControl>(object);
    control->Construct();
    window.AddControl(object, name);
    for (auto [property, letter] :
         {std::pair{"LockLeft", 'L'}, {"LockTop", 'T'}, {"LockRight", 'R'}, {"LockBottom", 'B'}})
        control->SetProperty(property, locks.find(letter) != std::string_view::npos);
    for (auto [property, value] : {std::pair{"Left", place.left},
                                   {"Top", place.top},
                                   {"Width", place.width},
                                   {"Height", place.height},
                                   {"TabIndex", tabIndex}})
        control->SetProperty(property, value);
    return control;
}

fw::Rect boundsOf(const fw::Window& window, const std::string& name) {
    return fw::Cast<fw::RectControl>(window.ControlByName(name))->bounds();
}

// Resizes the Qt window as a user would, and lets the content area follow.
void resizeContent(fw::Window& window, int width, int height) {
    window.widget()->resize(width, height);
    QApplication::processEvents();
    ASSERT_EQ(window.contentWidget()->size(), QSize(width, height));
}

// The runtime keeps every constructed window; they must go while the Qt application still exists.
class WindowTest : public ::testing::Test {
protected:
    void TearDown() override { fw::RuntimeExit(); }
};

TEST_F(WindowTest, ConstructionRaisesTheHooksInOrderBeforeShowingThenOpensEachControl) {
    fw::Ref<fw::RectControl> list, button;
    auto window = constructWindow([&](TestWindow& w) {
        list = addControl(w, fw::Listbox::Record(), "List", {10, 20, 150, 100}, "");
        button = addControl(w, fw::PushButton::Record(), "Button", {200, 150, 80, 30});
        fw::InstallInstanceEventHandler(*list, "Open", fw::MakeDelegate(w, &TestWindow::ListOpen, "( "));
        fw::InstallInstanceEventHandler(*button, "Open", fw::MakeDelegate(w, &TestWindow::ButtonOpen, "( "));
    });

    EXPECT_EQ(window->calls, (std::vector<std::string>{"Layout", "CreateControls", "AddMenuHandlers"}));
    EXPECT_EQ(window->opened, (std::vector<fw::Ref<fw::Control>>{list, button}));
    EXPECT_TRUE(window->widget()->isVisible());
    EXPECT_EQ(fw::GetImplicitWindow("TestWindow"), fw::Ref<fw::Window>(window));
}

TEST_F(WindowTest, ClosingTheQtWindowRaisesCloseOnce) {
    auto window = constructWindow();
    window->widget()->close();
    QApplication::processEvents();
    EXPECT_EQ(window->closes, 1);
    EXPECT_FALSE(window->widget()->isVisible());
}

TEST_F(WindowTest, TabOrderFollowsTabIndexRatherThanCreationOrder) {
    auto window = constructWindow([](TestWindow& w) {
        addControl(w, fw::PushButton::Record(), "A", {0, 0, 10, 10}, "", 2);
        addControl(w, fw::PushButton::Record(), "B", {0, 20, 10, 10}, "", 1);
        addControl(w, fw::PushButton::Record(), "C", {0, 40, 10, 10}, "", 0);
    });
    auto widget = [&](const char* name) { return window->ControlByName(name)->widget(); };
    EXPECT_EQ(widget("C")->nextInFocusChain(), widget("B"));
    EXPECT_EQ(widget("B")->nextInFocusChain(), widget("A"));
}

class Anchoring : public WindowTest {
protected:
    void SetUp() override {
        window = constructWindow([](TestWindow& w) {
            addControl(w, fw::PushButton::Record(), "Stretch", {10, 20, 100, 50}, "LTRB");
            addControl(w, fw::PushButton::Record(), "Far", {180, 120, 60, 30}, "RB");
            addControl(w, fw::PushButton::Record(), "Near", {30, 40, 50, 20}, "LT");
            addControl(w, fw::PushButton::Record(), "Unlocked", {60, 70, 40, 10});
        });
        QApplication::processEvents();
    }

    fw::Ref<TestWindow> window;
};

TEST_F(Anchoring, StartsAtTheDesignSizeWithControlsAtTheirDesignPlaces) {
    EXPECT_EQ(window->contentWidget()->size(), QSize(kDesign.width, kDesign.height));
    EXPECT_EQ(window->GetProperty("Width"), fw::PropertyValue(kDesign.width));
    EXPECT_EQ(window->GetProperty("Height"), fw::PropertyValue(kDesign.height));
    EXPECT_EQ(boundsOf(*window, "Stretch"), (fw::Rect{10, 20, 100, 50}));
    EXPECT_EQ(boundsOf(*window, "Far"), (fw::Rect{180, 120, 60, 30}));
}

TEST_F(Anchoring, BothSidesStretchFarSideMovesOtherwiseStays) {
    resizeContent(*window, 360, 240);
    EXPECT_EQ(boundsOf(*window, "Stretch"), (fw::Rect{10, 20, 160, 90}));
    EXPECT_EQ(boundsOf(*window, "Far"), (fw::Rect{240, 160, 60, 30}));
    EXPECT_EQ(boundsOf(*window, "Near"), (fw::Rect{30, 40, 50, 20}));
    EXPECT_EQ(boundsOf(*window, "Unlocked"), (fw::Rect{60, 70, 40, 10}));
}

TEST_F(Anchoring, ShrinkingBelowGivesSizeZeroAndGrowingBackRestoresExactly) {
    resizeContent(*window, 150, 100);
    EXPECT_EQ(boundsOf(*window, "Stretch"), (fw::Rect{10, 20, 0, 0}));
    EXPECT_EQ(boundsOf(*window, "Far"), (fw::Rect{30, 20, 60, 30}));

    for (int round = 0; round < 3; ++round) {
        resizeContent(*window, 170 + round * 7, 90 + round * 13);
        resizeContent(*window, kDesign.width, kDesign.height);
    }
    EXPECT_EQ(boundsOf(*window, "Stretch"), (fw::Rect{10, 20, 100, 50}));
    EXPECT_EQ(boundsOf(*window, "Far"), (fw::Rect{180, 120, 60, 30}));
}

TEST_F(Anchoring, PlaceSetAfterAResizeIsTakenAsOfTheCurrentContentArea) {
    resizeContent(*window, 360, 240);
    auto stretch = fw::Cast<fw::RectControl>(window->ControlByName("Stretch"));
    auto far = fw::Cast<fw::RectControl>(window->ControlByName("Far"));
    stretch->SetProperty("Width", 120);
    far->SetProperty("Left", 200);
    EXPECT_EQ(stretch->bounds(), (fw::Rect{10, 20, 120, 90}));
    EXPECT_EQ(far->bounds(), (fw::Rect{200, 160, 60, 30}));

    resizeContent(*window, kDesign.width, kDesign.height);
    EXPECT_EQ(stretch->bounds(), (fw::Rect{10, 20, 60, 50}));
    EXPECT_EQ(far->bounds(), (fw::Rect{140, 120, 60, 30}));
}

} // namespace
