// The serial line settings: their text, the device-control block of
// Windows 98/Me and where each system keeps them.
#include <cstring>

#include "install/SerialSettings.h"
#include "support/SimMachine.h"

using install::SerialSettings;
using testing_support::SimMachineTest;

namespace {

SerialSettings settings(int baud, char parity, int bits, double stop, char flow, const char* port = "COM1:") {
    SerialSettings s;
    s.port = port;
    s.baudRate = baud;
    s.parity = parity;
    s.dataBits = bits;
    s.stopBits = stop;
    s.flowControl = flow;
    return s;
}

const char* const kClassKey = "System\\CurrentControlSet\\Services\\Class\\Ports\\";

}  // namespace

TEST(SerialSettingsTextTest, FormatsEveryValue) {
    EXPECT_EQ(install::serialSettingsText(settings(9600, 'n', 8, 1.0, 'p')), "9600,n,8,1,p");
    EXPECT_EQ(install::serialSettingsText(settings(19200, 'e', 7, 1.5, 'x')), "19200,e,7,1.5,x");
    EXPECT_EQ(install::serialSettingsText(settings(115200, 's', 8, 2.0, 'p')), "115200,s,8,2,p");
    EXPECT_EQ(install::serialSettingsText(settings(300, 'm', 5, 1.0, ' ')), "300,m,5,1, ");
}

TEST(SerialDcbTest, OddParityOneAndAHalfStopBitsXonXoff) {
    DCB dcb = install::serialDcb(settings(9600, 'o', 8, 1.5, 'x'));
    EXPECT_EQ(dcb.DCBlength, 28u);
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.StopBits, ONE5STOPBITS);
    EXPECT_EQ(dcb.Parity, ODDPARITY);
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.fParity, 1u);
    EXPECT_EQ(dcb.fErrorChar, 1u);
    EXPECT_EQ(dcb.fOutX, 1u);
    EXPECT_EQ(dcb.fInX, 1u);
    EXPECT_EQ(dcb.XonChar, 17);
    EXPECT_EQ(dcb.XoffChar, 19);
    EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
    EXPECT_EQ(dcb.fRtsControl, 0u);
}

TEST(SerialDcbTest, HardwareFlowAndSpaceParity) {
    DCB dcb = install::serialDcb(settings(4800, 's', 7, 2.0, 'p'));
    EXPECT_EQ(dcb.Parity, SPACEPARITY);
    EXPECT_EQ(dcb.fParity, 1u);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_EQ(dcb.fOutxCtsFlow, 1u);
    EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_ENABLE));
    EXPECT_EQ(dcb.fOutX, 0u);
}

TEST(SerialDcbTest, NoParityNoFlowAndUnknownLettersSetNothing) {
    DCB none = install::serialDcb(settings(9600, 'n', 8, 1.0, ' '));
    DCB unknown = install::serialDcb(settings(9600, 'q', 8, 3.0, 'z'));
    for (const DCB& dcb : {none, unknown}) {
        EXPECT_EQ(dcb.Parity, NOPARITY);
        EXPECT_EQ(dcb.fParity, 0u);
        EXPECT_EQ(dcb.fErrorChar, 0u);
        EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
        EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
        EXPECT_EQ(dcb.fOutX, 0u);
        EXPECT_EQ(dcb.XonChar, 0);
    }
}

class SerialSettingsNtTest : public SimMachineTest {};

TEST_F(SerialSettingsNtTest, TheTextGoesUnderThePortsKeyWithoutABroadcast) {
    install::writeSerialSettingsNt(settings(19200, 'e', 7, 1.5, 'x', "COM2:"));
    EXPECT_EQ(sim.registry().getString(HKEY_LOCAL_MACHINE,
                                       "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", "COM2:"),
              "19200,e,7,1.5,x");
    EXPECT_TRUE(sim.desktop().broadcasts().empty());
}

TEST_F(SerialSettingsNtTest, AMissingPortsKeyIsNotCreated) {
    sim.registry().removeTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports");
    install::writeSerialSettingsNt(settings(9600, 'n', 8, 1.0, 'p'));
    EXPECT_FALSE(sim.registry().exists(HKEY_LOCAL_MACHINE,
                                       "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports"));
}

class SerialSettings98Test : public SimMachineTest {
protected:
    SerialSettings98Test() : SimMachineTest(os::sim::Machine::windows98()) {
        // Class keys 0000 parallel, 0001 and 0002 serial, 0003 missing.
        for (int i = 0; i < 3; ++i)
            sim.registry().setValue(HKEY_LOCAL_MACHINE, kClassKey + std::string("000") + std::to_string(i),
                                    "PortSubClass", REG_BINARY, {static_cast<BYTE>(i == 0 ? 0 : 1)});
    }
    bool hasDcb(int i) {
        os::sim::Registry::Value value;
        return sim.registry().getValue(HKEY_LOCAL_MACHINE, kClassKey + std::string("000") + std::to_string(i),
                                       "DCB", &value);
    }
};

TEST_F(SerialSettings98Test, PortOneGoesToTheFirstSerialClassKey) {
    SerialSettings s = settings(9600, 'o', 8, 1.5, 'x');
    install::writeSerialSettings98(1, s);
    os::sim::Registry::Value value;
    ASSERT_TRUE(sim.registry().getValue(HKEY_LOCAL_MACHINE, kClassKey + std::string("0001"), "DCB", &value));
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_NONE));
    DCB expected = install::serialDcb(s);
    ASSERT_EQ(value.data.size(), 28u);
    EXPECT_EQ(std::memcmp(value.data.data(), &expected, 28), 0);
    EXPECT_FALSE(hasDcb(0));
    EXPECT_FALSE(hasDcb(2));
}

TEST_F(SerialSettings98Test, PortTwoGoesToTheSecondSerialClassKey) {
    install::writeSerialSettings98(2, settings(9600, 'n', 8, 1.0, 'p', "COM2:"));
    EXPECT_FALSE(hasDcb(1));
    EXPECT_TRUE(hasDcb(2));
}

TEST_F(SerialSettings98Test, EveryPortGetsItsWinIniEntryBroadcastAndFlush) {
    install::writeSerialSettings98(3, settings(2400, 'n', 8, 1.0, ' ', "COM3:"));
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(hasDcb(i));
    // The blank of "no flow control" is written; reading it back would trim it.
    EXPECT_NE(read(sim.machine().windowsDirectory + "\\win.ini").find("COM3:=2400,n,8,1, \r\n"),
              std::string::npos);
    ASSERT_EQ(sim.desktop().broadcasts().size(), 1u);
    const auto& broadcast = sim.desktop().broadcasts()[0];
    EXPECT_TRUE(broadcast.notify);
    EXPECT_EQ(broadcast.window, HWND_BROADCAST);
    EXPECT_EQ(broadcast.message, static_cast<UINT>(WM_WININICHANGE));
    EXPECT_EQ(broadcast.text, "Ports");
    auto writes = sim.calls("WriteProfileStringA");
    EXPECT_EQ(writes.size(), 2u) << "the entry, then the flush";
}
