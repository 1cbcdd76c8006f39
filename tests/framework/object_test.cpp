#include "framework/class_record.h"
#include "framework/object.h"
#include "framework/window.h"

#include <gtest/gtest.h>

namespace {

// Counts its own destruction, so a test sees exactly when the last reference went.
class Probe : public fw::Object {
public:
    explicit Probe(int& destroyed) : m_destroyed(destroyed) {}
    ~Probe() override { ++m_destroyed; }

private:
    int& m_destroyed;
};

class Plain : public fw::Object {};

const fw::ClassRecord& baseRecord() {
    static const fw::ClassRecord& record = fw::RegisterClass("ObjectTestBase", nullptr, [] {
                                               return new Plain;
                                           }).Declare("Alpha", fw::PropertyType::Int32);
    return record;
}

const fw::ClassRecord& derivedRecord() {
    static const fw::ClassRecord& record = fw::RegisterClass("ObjectTestDerived", &baseRecord(), [] {
                                               return new Plain;
                                           }).Declare("Beta", fw::PropertyType::String);
    return record;
}

TEST(Ref, LastReleaseDestroysTheObjectAndNilIsHarmlessUntilUsed) {
    int destroyed = 0;
    auto first = fw::MakeRef<Probe>(destroyed);
    fw::Ref<fw::Object> copy = first;
    fw::Ref<fw::Object> moved = std::move(copy);
    first = nullptr;
    copy = nullptr;
    EXPECT_EQ(destroyed, 0);
    moved = nullptr;
    EXPECT_EQ(destroyed, 1);

    EXPECT_THROW(moved->className(), fw::NilObjectException);
    EXPECT_THROW(*first, fw::NilObjectException);
}

TEST(Cast, PassesNilAndTheRightClassButRaisesForAnother) {
    EXPECT_EQ(fw::Cast<fw::Window>(fw::Ref<fw::Object>()), nullptr);
    int destroyed = 0;
    fw::Ref<fw::Object> probe = fw::MakeRef<Probe>(destroyed);
    EXPECT_EQ(fw::Cast<Probe>(probe).get(), probe.get());
    EXPECT_THROW(fw::Cast<fw::Window>(probe), fw::IllegalCastException);
}

TEST(ClassRecord, KnowsItsAncestryAndFindsPropertiesAcrossBasesWithoutRegardToCase) {
    const fw::ClassRecord& derived = derivedRecord();
    EXPECT_EQ(derived.name(), "ObjectTestDerived");
    EXPECT_EQ(derived.base(), &baseRecord());
    EXPECT_TRUE(derived.IsA(derived));
    EXPECT_TRUE(derived.IsA(baseRecord()));
    EXPECT_FALSE(baseRecord().IsA(derived));

    ASSERT_NE(derived.FindProperty("aLPHA"), nullptr);
    EXPECT_EQ(derived.FindProperty("aLPHA")->name(), "Alpha");
    EXPECT_EQ(derived.FindProperty("BETA")->type(), fw::PropertyType::String);
    EXPECT_EQ(baseRecord().FindProperty("Beta"), nullptr);
}

TEST(ClassRecord, RegisteringANameAgainYieldsTheFirstRecord) {
    const fw::ClassRecord& first = baseRecord();
    const fw::ClassRecord& again = fw::RegisterClass("ObjectTestBase", &derivedRecord(), {});
    EXPECT_EQ(&again, &first);
    EXPECT_EQ(again.base(), nullptr);
    EXPECT_NE(fw::RuntimeNewObject(again), nullptr) << "the first factory is kept";
    EXPECT_EQ(fw::FindRegisteredClass("ObjectTestBase"), &first);
}

TEST(ClassRecord, ObjectsKnowTheirRecordAndCheckPropertyNamesAndTypes) {
    fw::Ref<fw::Object> object = fw::RuntimeNewObject(derivedRecord());
    EXPECT_EQ(object->className(), "ObjectTestDerived");
    EXPECT_EQ(object->GetProperty("alpha"), fw::PropertyValue(std::int32_t{0}));
    object->SetProperty("ALPHA", std::int32_t{42});
    EXPECT_EQ(object->GetProperty("Alpha"), fw::PropertyValue(std::int32_t{42}));
    EXPECT_THROW(object->SetProperty("Beta", true), fw::IllegalCastException);
    EXPECT_THROW(object->SetProperty("Gamma", true), fw::PropertyListException);
}

} // namespace
