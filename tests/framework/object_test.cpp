#include "framework/class_record.h"
#include "framework/property_list.h"

#include <gtest/gtest.h>

namespace {

// Tells of its own destruction and records the setters that ran, so a partly applied list shows.
class Sample : public fw::Object {
public:
    static const fw::ClassRecord& Record() {
        static const fw::ClassRecord& record =
            fw::RegisterClass("ObjectTestSample", nullptr, [] { return new Sample; })
                .declare("Count", fw::PropertyType::Int32, recording("Count"))
                .declare("Shown", fw::PropertyType::Boolean, recording("Shown"))
                .declare("Label", fw::PropertyType::String, recording("Label"))
                .declare("Tint", fw::PropertyType::Color, recording("Tint"));
        return record;
    }
    ~Sample() override {
        if (destroyed)
            *destroyed = true;
    }

    bool* destroyed = nullptr;
    std::vector<std::string> applied;

private:
    static fw::PropertyDeclaration::Effect recording(std::string name) {
        return [name](fw::Object& object, const fw::PropertyValue&) {
            static_cast<Sample&>(object).applied.push_back(name);
        };
    }
};

// The list's wire form, built by hand rather than taken from the program's lists.
std::string entry(std::string_view name, std::string_view value) {
    return std::string(name) + ' ' + std::string(value);
}
std::string int32(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    return {static_cast<char>(bits >> 24), static_cast<char>(bits >> 16), static_cast<char>(bits >> 8),
            static_cast<char>(bits)};
}
std::string text(std::string_view bytes) {
    return int32(static_cast<std::int32_t>(bytes.size())) + std::string(bytes);
}

TEST(Ref, LastReleaseDestroysTheObjectAndUsingNilRaises) {
    bool destroyed = false;
    auto first = fw::New<Sample>();
    first->destroyed = &destroyed;
    fw::Ref<fw::Object> copy = first;
    first = nullptr;
    EXPECT_FALSE(destroyed);
    copy = nullptr;
    EXPECT_TRUE(destroyed);

    EXPECT_THROW(copy->className(), fw::NilObjectException);
    EXPECT_THROW(*first, fw::NilObjectException);
}

TEST(PropertyList, AppliesEachTypeInOrderWithNamesInAnyCase) {
    const std::string label("a b\0\xff", 5);
    auto sample = fw::New<Sample>();
    fw::SetProperties(*sample, entry("Count", int32(-66051)) + entry("SHOWN", "\x01") +
                                   entry("label", text(label)) + entry("Tint", "\x01\x80\xff") +
                                   entry("count", int32(9)));

    EXPECT_EQ(sample->applied, (std::vector<std::string>{"Count", "Shown", "Label", "Tint", "Count"}));
    EXPECT_EQ(sample->property("Count"), fw::PropertyValue(std::int32_t{9}));
    EXPECT_EQ(sample->property("Shown"), fw::PropertyValue(true));
    EXPECT_EQ(sample->property("Label"), fw::PropertyValue(label));
    EXPECT_EQ(sample->property("Tint"), fw::PropertyValue(fw::Color{0x01, 0x80, 0xff}));
}

TEST(PropertyList, MalformedListRaisesNamingClassPropertyAndOffsetAndChangesNothing) {
    const std::string valid = entry("Count", int32(1)) + entry("Label", text("new"));
    for (const auto& [tail, property, offsetInTail] :
         std::vector<std::tuple<std::string, std::string, std::size_t>>{
             {entry("Colour", "\x01\x02\x03"), "Colour", 0},
             {entry("Label", int32(-1) + "abc"), "Label", 10},
             {entry("Shown", "\x02") + entry("Count", int32(1)), "Shown", 6}}) {
        SCOPED_TRACE(property);
        auto sample = fw::New<Sample>();
        try {
            fw::SetProperties(*sample, valid + tail);
            ADD_FAILURE() << "no exception";
        } catch (const fw::PropertyListException& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("ObjectTestSample"), std::string::npos) << message;
            EXPECT_NE(message.find('"' + property + '"'), std::string::npos) << message;
            EXPECT_TRUE(message.ends_with("byte offset " + std::to_string(valid.size() + offsetInTail)))
                << message;
        }
        EXPECT_TRUE(sample->applied.empty());
    }
}

} // namespace
