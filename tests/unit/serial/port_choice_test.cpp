// The port-layer rules over a fixed port list: which port a transfer uses, the
// line settings it runs with, the port dialog's selections and typed paths.
#include "serial/port_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/texts/port_texts.h"

namespace korvex::serial {
namespace {

class FixedPorts : public PortSource {
public:
    std::vector<PortEntry> entries;
    std::vector<PortEntry> systemPorts() override { return entries; }
};

PortEntry plain(const std::string& path) { return {path, false}; }
PortEntry usb(const std::string& path) { return {path, true}; }

// ---------------------------------------------------------------- transfer preparation

struct PrepareCase {
    const char* name;
    std::vector<PortEntry> system;
    std::vector<std::string> added;
    int portIndexBefore;
    bool chosenBefore;
    int portIndexAfter;
    bool chosenAfter;
};

class PrepareForTransfer : public ::testing::TestWithParam<PrepareCase> {};

TEST_P(PrepareForTransfer, PicksALoneUsbAdapterAndResetsTheLine) {
    const PrepareCase& c = GetParam();
    FixedPorts source;
    source.entries = c.system;
    SerialPorts state;
    state.addedPorts = c.added;
    state.settings.portIndex = c.portIndexBefore;
    state.settings.settingsChosen = c.chosenBefore;
    // Whatever the dialog showed before, the transfer runs at 19200 8N1.
    state.settings.baudIndex = kBaud115200Index;
    state.settings.parityIndex = 2;
    state.settings.dataBitsIndex = 1;
    state.settings.stopBitsIndex = 1;

    prepareForTransfer(state, source);

    EXPECT_EQ(state.settings.portIndex, c.portIndexAfter);
    EXPECT_EQ(state.settings.settingsChosen, c.chosenAfter);
    EXPECT_EQ(lineSettingsOf(state.settings), (LineSettings{19200, 8, Parity::None, 1}));
}

INSTANTIATE_TEST_SUITE_P(Cases, PrepareForTransfer, ::testing::Values(
    PrepareCase{"LoneUsbAdapterIsPicked", {plain("/dev/ttyS0"), usb("/dev/ttyUSB0")}, {}, 0, false, 1, true},
    PrepareCase{"LoneUsbAdapterOverridesAnEarlierChoice",
                {plain("/dev/ttyS0"), plain("/dev/ttyS1"), usb("/dev/ttyACM0")}, {}, 1, true, 2, true},
    PrepareCase{"TwoUsbAdaptersKeepTheChoice", {usb("/dev/ttyUSB0"), usb("/dev/ttyUSB1")}, {}, 1, false, 1, false},
    PrepareCase{"NoUsbAdapterKeepsTheChoice", {plain("/dev/ttyS0"), plain("/dev/ttyS1")}, {}, 1, true, 1, true},
    PrepareCase{"AddedPortsComeFirst", {usb("/dev/ttyUSB0")}, {"/dev/pts/3"}, 0, false, 1, true},
    PrepareCase{"AddedPortKeepsTheSystemsUsbIdentity", {plain("/dev/ttyS0"), usb("/dev/ttyUSB0")},
                {"/dev/ttyUSB0"}, 1, false, 0, true},
    PrepareCase{"EmptyListChangesNothing", {}, {}, 3, false, 3, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PortLists, AddedPortsAreListedOnceAndUsbAdaptersBeyondTwentyFourAreNotCounted) {
    std::vector<PortEntry> system;
    for (int i = 0; i < 30; ++i) system.push_back(usb("/dev/ttyUSB" + std::to_string(i)));
    system.push_back(plain("/dev/pts/7"));
    const PortLists lists = buildPortLists({"/dev/pts/7", "/dev/pts/7", "/dev/ttyACM0"}, system);
    ASSERT_EQ(lists.ports.size(), 32u);
    EXPECT_EQ(lists.ports[0], "/dev/pts/7");
    EXPECT_EQ(lists.ports[1], "/dev/ttyACM0");
    EXPECT_EQ(lists.ports[2], "/dev/ttyUSB0");
    ASSERT_EQ(lists.usbPositions.size(), kMaxUsbPorts);
    EXPECT_EQ(lists.usbPositions.front(), 2u);
    EXPECT_EQ(lists.usbPorts().back(), "/dev/ttyUSB23");
}

// ---------------------------------------------------------------- baud defaults

struct KindCase {
    const char* name;
    int kind;
    int enumeratedBaud;   // after an enumeration
    int firstDialogBaud;  // first dialog construction, starting from index 3
};

class BaudDefault : public ::testing::TestWithParam<KindCase> {};

TEST_P(BaudDefault, FollowsTheKind) {
    const KindCase& c = GetParam();
    FixedPorts source;
    SerialPorts state;
    state.settings.baudIndex = 3;
    enumerateSerialPorts(state, source, c.kind);
    EXPECT_EQ(state.settings.baudIndex, c.enumeratedBaud);

    SerialSettings settings;
    settings.baudIndex = 3;
    applyFirstDialogBaudDefault(settings, c.kind);
    EXPECT_EQ(settings.baudIndex, c.firstDialogBaud);
    EXPECT_FALSE(settings.baudDefaultPending);
    // Only the first construction of the run applies it.
    settings.baudIndex = 1;
    applyFirstDialogBaudDefault(settings, c.kind);
    EXPECT_EQ(settings.baudIndex, 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, BaudDefault, ::testing::Values(
    KindCase{"DeviceNet", 0, 6, 6}, KindCase{"ShortProfibus", 1, 6, 6}, KindCase{"FourSubnets", 2, 7, 7},
    KindCase{"Profibus", 3, 6, 6}, KindCase{"EtherNetIp", 4, 6, 3}, KindCase{"ModbusSlaveVariant", 5, 6, 3},
    KindCase{"UserConfigVariant", 6, 6, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BaudDefault, FourSubnetGatewayRunsAtTheDialogsRateOnlyWhenTheDialogIsShown) {
    FixedPorts source;
    source.entries = {plain("/dev/ttyS0"), plain("/dev/ttyS1")};
    SerialPorts state;

    // First transfer: no port chosen yet, so the dialog shows and stores what it
    // shows, the kind's 115200 (its baud box is disabled).
    prepareForTransfer(state, source);
    ensureSettingsChosen(state, [&] {
        const PortDialogView view = openPortDialog(state, source, 2);
        acceptPortDialog(state, {view.portSelection, "", view.baudIndex, view.parityIndex, view.dataBitsIndex,
                                 view.stopBitsIndex});
    });
    EXPECT_EQ(lineSettingsOf(state.settings).baudRate, 115200);

    // Next transfer: no dialog, 19200.
    prepareForTransfer(state, source);
    bool dialogShown = false;
    ensureSettingsChosen(state, [&] { dialogShown = true; });
    EXPECT_FALSE(dialogShown);
    EXPECT_EQ(lineSettingsOf(state.settings).baudRate, 19200);
}

TEST(LineSettings, IndexesStandForTheirListEntries) {
    SerialSettings s;
    s.baudIndex = 4;
    s.parityIndex = 3;
    s.dataBitsIndex = 3;
    s.stopBitsIndex = 1;
    EXPECT_EQ(lineSettingsOf(s), (LineSettings{4800, 5, Parity::Mark, 2}));
    // Indexes outside their lists take the first entry; any stop index but 0 is two.
    s = SerialSettings{};
    s.baudIndex = 8;
    s.parityIndex = -1;
    s.dataBitsIndex = 9;
    s.stopBitsIndex = 5;
    EXPECT_EQ(lineSettingsOf(s), (LineSettings{300, 8, Parity::None, 2}));
    EXPECT_EQ(baudRateEntries()[7].text, "115200");
    EXPECT_EQ(parityEntries()[4].text, "Space");
}

// ---------------------------------------------------------------- index bounds and the dialog

class ChosenPort : public ::testing::Test {
protected:
    FixedPorts source;
    SerialPorts state;

    void SetUp() override {
        source.entries = {plain("/dev/ttyS0"), plain("/dev/ttyS1"), usb("/dev/ttyUSB0"), usb("/dev/ttyUSB1")};
        enumerateSerialPorts(state, source, 3);
        state.settings.portIndex = 3;
        state.settings.settingsChosen = true;
    }
};

TEST_F(ChosenPort, AnIndexPastAShrunkenListResetsToTheFirstPortAndAsksAgain) {
    // Both adapters unplugged: no lone adapter to pick, and index 3 names nothing.
    source.entries = {plain("/dev/ttyS0"), plain("/dev/ttyS1")};
    prepareForTransfer(state, source);
    EXPECT_FALSE(chosenPortName(state).has_value());
    int dialogs = 0;
    ensureSettingsChosen(state, [&] { ++dialogs; });
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(state.settings.portIndex, 0);
    EXPECT_EQ(chosenPortName(state), "/dev/ttyS0");
}

TEST_F(ChosenPort, CancelStillMarksTheSettingsChosen) {
    state.settings.settingsChosen = false;
    int dialogs = 0;
    ensureSettingsChosen(state, [&] { ++dialogs; });  // closed with Cancel: nothing stored
    ensureSettingsChosen(state, [&] { ++dialogs; });
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(state.settings.settingsChosen);
    EXPECT_EQ(state.settings.portIndex, 3);
}

TEST_F(ChosenPort, TheDialogSelectsTheFirstPortForAnIndexPastTheList) {
    state.settings.portIndex = 9;
    const PortDialogView view = openPortDialog(state, source, 3);
    EXPECT_EQ(view.ports.size(), 4u);
    EXPECT_EQ(view.portSelection, 0);
    EXPECT_EQ(state.settings.portIndex, 0);
}

TEST_F(ChosenPort, OkWithNoPortListedKeepsThePreviousChoice) {
    source.entries.clear();
    const PortDialogView view = openPortDialog(state, source, 3);
    EXPECT_EQ(view.portSelection, -1);
    EXPECT_TRUE(acceptPortDialog(state, {-1, "", 6, 0, 0, 0}));
    EXPECT_EQ(state.settings.portIndex, 3);
    EXPECT_FALSE(chosenPortName(state).has_value());
}

TEST_F(ChosenPort, ANegativeIndexOpensTheFirstPort) {
    state.settings.portIndex = -4;
    EXPECT_EQ(chosenPortName(state), "/dev/ttyS0");
}

TEST_F(ChosenPort, ATypedPathIsAddedChosenAndKeptAcrossEnumerations) {
    const std::string byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    openPortDialog(state, source, 3);
    ASSERT_TRUE(acceptPortDialog(state, {1, "  " + byId + " ", 6, 0, 0, 0}));
    EXPECT_EQ(chosenPortName(state), byId);

    prepareForTransfer(state, source);  // two adapters: the typed choice stays
    EXPECT_EQ(chosenPortName(state), byId);
    EXPECT_EQ(state.lists.ports.front(), byId);

    // A typed name of a listed port selects it without adding it again.
    ASSERT_TRUE(acceptPortDialog(state, {0, "/dev/ttyS1", 6, 0, 0, 0}));
    EXPECT_EQ(chosenPortName(state), "/dev/ttyS1");
    EXPECT_EQ(state.addedPorts.size(), 1u);
}

TEST_F(ChosenPort, AnUnusableTypedTextStoresNothing) {
    state.settings.settingsChosen = false;
    EXPECT_FALSE(acceptPortDialog(state, {0, "dev/ttyS0", 7, 1, 1, 1}));
    EXPECT_EQ(state.settings.portIndex, 3);
    EXPECT_EQ(state.settings.baudIndex, 6);
    EXPECT_FALSE(state.settings.settingsChosen);
    EXPECT_TRUE(state.addedPorts.empty());
}

// ---------------------------------------------------------------- typed paths and USB identity

struct TypedCase {
    const char* name;
    std::string typed;
    std::optional<std::string> path;
};

class TypedPath : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypedPath, IsADevicePathOrNothing) { EXPECT_EQ(typedDevicePath(GetParam().typed), GetParam().path); }

INSTANTIATE_TEST_SUITE_P(Cases, TypedPath, ::testing::Values(
    TypedCase{"AbsolutePath", "/dev/ttyUSB0", "/dev/ttyUSB0"},
    TypedCase{"ById", "/dev/serial/by-id/usb-Prolific-if00-port0", "/dev/serial/by-id/usb-Prolific-if00-port0"},
    TypedCase{"Blanks", " \t/dev/pts/4 ", "/dev/pts/4"},
    TypedCase{"BareName", "ttyACM0", "/dev/ttyACM0"},
    TypedCase{"Empty", "   ", std::nullopt},
    TypedCase{"RelativeWithFolder", "dev/ttyS0", std::nullopt},
    TypedCase{"ControlCharacter", "/dev/tty\x01S0", std::nullopt},
    TypedCase{"TooLong", "/" + std::string(1024, 'a'), std::nullopt},
    TypedCase{"LongestAccepted", "/" + std::string(1023, 'a'), "/" + std::string(1023, 'a')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PortPathList, SplitsAtColonsAndSkipsEmptyAndRepeatedParts) {
    EXPECT_EQ(portPathsFromList("/dev/pts/3::/dev/pts/4:/dev/pts/3:ttyUSB1:"),
              (std::vector<std::string>{"/dev/pts/3", "/dev/pts/4", "/dev/ttyUSB1"}));
    EXPECT_TRUE(portPathsFromList("").empty());
    EXPECT_TRUE(portPathsFromList(":::").empty());
}

struct UsbCase {
    const char* name;
    bool vendor;
    bool product;
    const char* deviceTree;
    bool usb;
};

class UsbIdentity : public ::testing::TestWithParam<UsbCase> {};

TEST_P(UsbIdentity, NeedsBothIdentifiersOrAUsbBus) {
    const UsbCase& c = GetParam();
    EXPECT_EQ(isUsbIdentity(c.vendor, c.product, c.deviceTree), c.usb);
}

INSTANTIATE_TEST_SUITE_P(Cases, UsbIdentity, ::testing::Values(
    UsbCase{"VendorAndProduct", true, true, "", true},
    UsbCase{"VendorOnly", true, false, "/sys/devices/pnp0/00:04/tty/ttyS0", false},
    UsbCase{"UsbBusInTree", false, false, "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/ttyUSB0", true},
    UsbCase{"BuiltInUart", false, false, "/sys/devices/platform/serial8250/tty/ttyS1", false},
    UsbCase{"UsbOnlyInsideAName", false, false, "/sys/devices/platform/myusb0/tty/ttyS2", false},
    UsbCase{"PseudoTerminal", false, false, "", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvex::serial
