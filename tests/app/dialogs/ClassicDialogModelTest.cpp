#include "app/dialogs/ClassicDialogModel.h"

#include <algorithm>
#include <gtest/gtest.h>

#include "render/RecordingModule.h"

namespace vesta {
namespace {

bool lists(const std::vector<std::string>& names, const std::string& name) {
    return std::count(names.begin(), names.end(), name) == 1;
}

// A second driver with a software device, a "Hardware" device after it, and
// modes of every kind: 15 bits, 5:4, 16:9.
void addSecondDriver(RenderModule& module) {
    auto driver = std::make_unique<RenderDriver>();
    driver->description = "Display 1";
    for (const char* name : {"Software", "Hardware T&L", "REF"}) {
        auto device = std::make_unique<RenderDevice>();
        device->name = device->description = name;
        device->modes = {{1280, 1024, 32, 0},
                         {1280, 720, 16, 1},
                         {800, 600, 15, 2},
                         {800, 600, 32, 3},
                         {720, 576, 32, 4}};
        driver->devices.push_back(std::move(device));
    }
    module.AddDriver(std::move(driver));
}

TEST(ClassicDialogModelTest, ListsOnly4By3ModesOfSixteenOrThirtyTwoBitsUnlessAllModesAreAsked) {
    RecordingModule module;
    addSecondDriver(module);
    ClassicDialogModel filtered(module, false);
    filtered.ChooseDriver(1);
    EXPECT_EQ(filtered.Modes(),
              (std::vector<std::string>{"800x600x32", "320x240x32", "320x240x16"}));

    ClassicDialogModel all(module, true);
    all.ChooseDriver(1);
    // 720x576x32 was a mode already: listed once; 15 bits never.
    EXPECT_EQ(all.Modes(),
              (std::vector<std::string>{"1280x1024x32", "1280x720x16", "800x600x32", "720x576x32",
                                        "320x240x32", "320x240x16", "720x576x16"}));
}

TEST(ClassicDialogModelTest, ChoosesFirstDriverLastHardwareDeviceAnd640x480x32) {
    RecordingModule module;
    addSecondDriver(module);
    ClassicDialogModel model(module, false);
    EXPECT_EQ(model.Drivers(), (std::vector<std::string>{"Recording", "Display 1"}));
    EXPECT_EQ(model.DeviceIndex(), 0);
    EXPECT_EQ(model.Modes()[model.ModeIndex()], "640x480x32");

    model.ChooseDriver(1);
    EXPECT_EQ(model.Devices(), (std::vector<std::string>{"Software", "Hardware T&L", "REF"}));
    EXPECT_EQ(model.DeviceIndex(), 1);
    // No 640x480x32 there: the first mode.
    EXPECT_EQ(model.ModeIndex(), 0);
}

TEST(ClassicDialogModelTest, ExtraModesJoinEachDeviceOnceHoweverOftenItIsListed) {
    RecordingModule module;
    ClassicDialogModel model(module, true);
    for (int refill = 0; refill < 3; ++refill) {
        model.ChooseDriver(0);
        model.ChooseDevice(0);
    }
    const RenderDevice& device = *module.GetDriver(0).devices[0];
    EXPECT_EQ(device.modes.size(), 6u + 4u);
    for (const char* name : {"320x240x32", "320x240x16", "720x576x16", "720x576x32"}) {
        EXPECT_TRUE(lists(model.Modes(), name)) << name;
    }
}

TEST(ClassicDialogModelTest, CommitSelectsTheChosenDriverDeviceAndMode) {
    RecordingModule module;
    addSecondDriver(module);
    ClassicDialogModel model(module, true);
    model.ChooseDriver(1);
    model.ChooseDevice(2);
    model.ChooseMode(3);
    model.ChooseMode(99);  // out of range: kept
    model.Commit();
    ASSERT_NE(module.GetSelectedVideoMode(), nullptr);
    EXPECT_EQ(module.GetSelectedDriver(), &module.GetDriver(1));
    EXPECT_EQ(module.GetSelectedDevice()->name, "REF");
    EXPECT_EQ(module.GetSelectedVideoMode()->width, 720);
    EXPECT_EQ(module.GetSelectedVideoMode()->height, 576);
}

}  // namespace
}  // namespace vesta
