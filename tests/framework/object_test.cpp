#include "framework/class_record.h"
#include "framework/property_list.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

class Sample : public fw::Object {
public:
    static const fw::ClassRecord& Record() {
        static const fw::ClassRecord& record =
            fw::RegisterClass("ObjectTestSample", nullptr, [] { return new Sample; })
                .declare("Count", fw::PropertyType::Int32)
                .declare("Shown", fw::PropertyType::Boolean)
                .declare("Label", fw::PropertyType::String)
                .declare("Tint", fw::PropertyType::Color);
        return record;
    }
    Sample() { ++alive; }
    ~Sample() override { --alive; }

    static inline int alive = 0;
};

TEST(Ref, LastReleaseDestroysTheObjectAndUsingNilRaises) {
    auto first = fw::New<Sample>();
    fw::Ref<fw::Object> copy = first;
    first = nullptr;
    EXPECT_EQ(Sample::alive, 1);
    copy = nullptr;
    EXPECT_EQ(Sample::alive, 0);
    EXPECT_THROW(copy->className(), fw::NilObjectException);
}

// Each name, a space, then a big-endian 32-bit number, a byte, a counted string or three colour bytes.
TEST(PropertyList, AppliesEachTypeInOrderWithNamesInAnyCase) {
    auto sample = fw::New<Sample>();
    fw::SetProperties(
        *sample,
        "Count \xFF\xFE\xFD\xFDSHOWN \x01label \0\0\0\x05ok\0\xff!count \0\0\0\x09Tint \x01\x80\xff"s);

    EXPECT_EQ(sample->property("Count"), fw::PropertyValue(std::int32_t{9}));
    EXPECT_EQ(sample->property("Shown"), fw::PropertyValue(true));
    EXPECT_EQ(sample->property("Label"), fw::PropertyValue("ok\0\xff!"s));
    EXPECT_EQ(sample->property("Tint"), fw::PropertyValue(fw::Color{0x01, 0x80, 0xff}));
}

} // namespace
