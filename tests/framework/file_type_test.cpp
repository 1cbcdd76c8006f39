#include "framework/class_record.h"
#include "framework/file_type.h"
#include "framework/file_type_registry.h"

#include <gtest/gtest.h>

namespace {

// Each case registers under its own name: the registry lives as long as the process.
fw::Ref<fw::FileType> makeType(const std::string& name, const std::string& extensions) {
    auto type = fw::New<fw::FileType>();
    type->Name(name);
    type->MacCreator("WRNF");
    type->MacType("P600");
    type->Extensions(extensions);
    return type;
}

TEST(FileType, RegistersOnceWithItsFinalValuesHoweverOftenConverted) {
    auto type = makeType("Once Type", ".syx");
    EXPECT_FALSE(fw::RuntimeFindFileType("Once Type"));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(type->Operator_Convert(), "Once Type");
    const fw::RegisteredFileType* registered = fw::RuntimeFindFileType("Once Type");
    ASSERT_TRUE(registered);
    EXPECT_TRUE(type->registered());
    EXPECT_EQ(registered->registrations, 1);
    EXPECT_EQ(registered->macCreator, "WRNF");
    EXPECT_EQ(registered->macType, "P600");
    EXPECT_EQ(registered->extensions, ".syx");
}

TEST(FileType, ChangingAValueOrDestroyingTheTypeWithdrawsItsRegistration) {
    auto type = makeType("Changed Type", ".syx");
    type->Operator_Convert();
    type->Extensions(".mid");
    EXPECT_FALSE(type->registered());
    EXPECT_FALSE(fw::RuntimeFindFileType("Changed Type"));
    type->Operator_Convert();
    EXPECT_EQ(fw::RuntimeFindFileType("Changed Type")->extensions, ".mid");
    EXPECT_EQ(fw::RuntimeFindFileType("Changed Type")->registrations, 2);
    type = nullptr;
    EXPECT_FALSE(fw::RuntimeFindFileType("Changed Type"));
}

TEST(FileTypeRegistry, ChooserFilterListsThePatternsOfARegisteredTypeOnly) {
    fw::RuntimeRegisterFileType("Chooser Type", "", "", ".syx");
    fw::RuntimeRegisterFileType("Two Extensions", "", "", ".syx;.SYX");
    EXPECT_EQ(fw::FileTypeChooserFilter("Chooser Type"), "Chooser Type (*.syx)");
    EXPECT_EQ(fw::FileTypeChooserFilter("Two Extensions"), "Two Extensions (*.syx *.SYX)");
    EXPECT_EQ(fw::FileTypeChooserFilter("Never Registered"), "");
    EXPECT_EQ(fw::FileTypeChooserFilter(""), "");
    fw::RuntimeDeregisterFileType("Chooser Type");
    EXPECT_EQ(fw::FileTypeChooserFilter("Chooser Type"), "");
}

TEST(FileTypeRegistry, MatchingIgnoresCaseButNeedsTheExtensionAtTheEnd) {
    fw::RuntimeRegisterFileType("Match Type", "", "", ".mid;.syx");
    EXPECT_TRUE(fw::FileTypeMatches("Match Type", "patch.syx"));
    EXPECT_TRUE(fw::FileTypeMatches("Match Type", "PATCH.SYX"));
    EXPECT_TRUE(fw::FileTypeMatches("Match Type", "caf\xE9.Syx"));
    EXPECT_FALSE(fw::FileTypeMatches("Match Type", "x.syx.txt"));
    EXPECT_FALSE(fw::FileTypeMatches("Match Type", "xsyx"));
    EXPECT_FALSE(fw::FileTypeMatches("Never Registered", "patch.syx"));
}

} // namespace
