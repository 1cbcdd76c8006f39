#include "framework/class_record.h"
#include "framework/property_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records which setters ran, in order, so a test can tell an applied list from a partly applied one.
class Sample : public fw::Object {
public:
    static const fw::ClassRecord& Record() {
        static const fw::ClassRecord& record =
            fw::RegisterClass("PropertyListSample", nullptr, [] { return new Sample; })
                .Declare("Count", fw::PropertyType::Int32, recording("Count"))
                .Declare("Shown", fw::PropertyType::Boolean, recording("Shown"))
                .Declare("Label", fw::PropertyType::String, recording("Label"))
                .Declare("Tint", fw::PropertyType::Color, recording("Tint"));
        return record;
    }

    std::vector<std::string> applied;

private:
    static fw::PropertyDeclaration::Effect recording(std::string name) {
        return [name](fw::Object& object, const fw::PropertyValue&) {
            static_cast<Sample&>(object).applied.push_back(name);
        };
    }
};

fw::Ref<Sample> makeSample() {
    return fw::Cast<Sample>(fw::RuntimeNewObject(Sample::Record()));
}

// The list's wire form, built by hand so the tests do not depend on any list the program carries.
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
std::string byte(std::uint8_t value) {
    return std::string(1, static_cast<char>(value));
}

TEST(PropertyList, AppliesEachTypeThroughItsSetter) {
    const std::string label("a b\0\xff", 5);
    auto sample = makeSample();
    fw::SetProperties(*sample, entry("Count", int32(-66051)) + entry("Shown", byte(1)) +
                                   entry("Label", text(label)) + entry("Tint", "\x01\x80\xff"));

    EXPECT_EQ(sample->applied, (std::vector<std::string>{"Count", "Shown", "Label", "Tint"}));
    EXPECT_EQ(sample->GetProperty("Count"), fw::PropertyValue(std::int32_t{-66051}));
    EXPECT_EQ(sample->GetProperty("Shown"), fw::PropertyValue(true));
    EXPECT_EQ(sample->GetProperty("Label"), fw::PropertyValue(label));
    EXPECT_EQ(sample->GetProperty("Tint"), fw::PropertyValue(fw::Color{0x01, 0x80, 0xff}));
}

TEST(PropertyList, NamesResolveWithoutRegardToCaseAndLaterEntriesTakeEffect) {
    auto sample = makeSample();
    fw::SetProperties(*sample,
                      entry("cOUNT", int32(7)) + entry("LABEL", text("x")) + entry("count", int32(9)));

    EXPECT_EQ(sample->applied, (std::vector<std::string>{"Count", "Label", "Count"}));
    EXPECT_EQ(sample->GetProperty("Count"), fw::PropertyValue(std::int32_t{9}));
    EXPECT_EQ(sample->GetProperty("Label"), fw::PropertyValue(std::string("x")));
}

TEST(PropertyList, MalformedListRaisesNamingClassPropertyAndOffsetAndChangesNothing) {
    struct Case {
        const char* what;
        std::string tail;
        const char* property;
        std::size_t offsetInTail;
    };
    const std::vector<Case> cases = {
        {"unknown name", entry("Colour", "\x01\x02\x03"), "Colour", 0},
        {"name with no space", "Shown", "Shown", 0},
        {"String length cut short", entry("Label", std::string(3, '\0')), "Label", 6},
        {"String bytes cut short", entry("Label", int32(5) + "abc"), "Label", 10},
        {"String length past any end", entry("Label", int32(-1) + "abc"), "Label", 10},
        {"Int32 cut short", entry("Count", "\x01\x02\x03"), "Count", 6},
        {"Color cut short", entry("Tint", "\x01\x02"), "Tint", 5},
        {"Boolean byte 2", entry("Shown", byte(2)) + entry("Count", int32(1)), "Shown", 6},
    };
    const std::string valid = entry("Count", int32(1)) + entry("Label", text("new"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto sample = makeSample();
        sample->SetProperty("Label", std::string("old"));
        sample->applied.clear();
        try {
            fw::SetProperties(*sample, valid + c.tail);
            ADD_FAILURE() << "no exception";
        } catch (const fw::PropertyListException& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("PropertyListSample"), std::string::npos) << message;
            EXPECT_NE(message.find('"' + std::string(c.property) + '"'), std::string::npos) << message;
            EXPECT_TRUE(message.ends_with("byte offset " + std::to_string(valid.size() + c.offsetInTail)))
                << message;
        }
        EXPECT_TRUE(sample->applied.empty());
        EXPECT_EQ(sample->GetProperty("Label"), fw::PropertyValue(std::string("old")));
    }
}

TEST(PropertyList, DecodingReadsExactlyToTheEndOfTheList) {
    EXPECT_TRUE(fw::DecodePropertyList(Sample::Record(), "").empty());

    const std::string buffer = entry("Shown", byte(0)) + entry("Count", int32(258));
    const auto entries = fw::DecodePropertyList(Sample::Record(), buffer);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].declaration->name(), "Count");
    EXPECT_EQ(entries[1].offset, 7u);
    EXPECT_EQ(entries[1].value, fw::PropertyValue(std::int32_t{258}));

    // The bytes past the view exist in memory; a reader that ran on would find a whole list there.
    const std::string_view shortened = std::string_view(buffer).substr(0, buffer.size() - 1);
    EXPECT_THROW(fw::DecodePropertyList(Sample::Record(), shortened), fw::PropertyListException);
    EXPECT_THROW(fw::DecodePropertyList(Sample::Record(), buffer + "C"), fw::PropertyListException);
}

} // namespace
