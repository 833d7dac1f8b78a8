// The command line of unattended installations: what each line asks for,
// and the lines that are refused.
#include <gtest/gtest.h>

#include "app/CommandLine.h"

using app::CommandLine;
using app::parseCommandLine;

TEST(CommandLineTest, ValidLinesSayWhatToDo) {
    CommandLine line = parseCommandLine("");
    EXPECT_EQ(line.action, CommandLine::kWizard);
    EXPECT_TRUE(line.logFile.empty());

    line = parseCommandLine("  /LOG \"C:\\My Logs\\setup.log\"  ");
    EXPECT_EQ(line.action, CommandLine::kWizard);
    EXPECT_EQ(line.logFile, "C:\\My Logs\\setup.log");

    for (const char* help : {"/?", "-?", "/help"})
        EXPECT_EQ(parseCommandLine(help).action, CommandLine::kUsage) << help;

    line = parseCommandLine("/quiet /accepteula /model \"RP-80\" /port LPT1:");
    EXPECT_EQ(line.action, CommandLine::kQuiet);
    EXPECT_TRUE(line.acceptEula);
    EXPECT_EQ(line.model, "RP-80");
    EXPECT_EQ(line.port, "LPT1:");
    // What is not given is what the wizard starts with.
    EXPECT_EQ(line.installMode, 1);
    EXPECT_EQ(line.category, -1);
    EXPECT_EQ(line.baudRate, 0);
    EXPECT_EQ(line.dataBits, 8);
    EXPECT_EQ(line.stopBits, 1.0);
    EXPECT_EQ(line.parity, 'n');
    EXPECT_EQ(line.flowControl, 'p');
    EXPECT_EQ(line.raster, -1);
    EXPECT_EQ(line.usbInstallerSeconds, 120);
    EXPECT_FALSE(line.changeUsbId || line.restart || line.defaultPrinter);

    line = parseCommandLine(
        "-QUIET -Model \"KPX-D7 Compact\" -PORT auto /Category Label /mode ADVANCED /default /raster /baud 19200 "
        "/databits 7 /parity Mark /stopbits 1.5 /flow XonXoff /usbid change /usbtimeout 30 /restart /log q.log");
    EXPECT_EQ(line.action, CommandLine::kQuiet);
    EXPECT_FALSE(line.acceptEula);
    EXPECT_EQ(line.model, "KPX-D7 Compact");
    EXPECT_EQ(line.port, "auto");
    EXPECT_EQ(line.category, 2);
    EXPECT_EQ(line.installMode, 0);
    EXPECT_TRUE(line.defaultPrinter && line.changeUsbId && line.restart);
    EXPECT_EQ(line.raster, 1);
    EXPECT_EQ(line.usbInstallerSeconds, 30);
    EXPECT_EQ(line.baudRate, 19200);
    EXPECT_EQ(line.dataBits, 7);
    EXPECT_EQ(line.parity, 'm');
    EXPECT_EQ(line.stopBits, 1.5);
    EXPECT_EQ(line.flowControl, 'x');
    EXPECT_EQ(line.logFile, "q.log");

    EXPECT_EQ(parseCommandLine("/quiet /model M /port COM1: /flow none /parity space").flowControl, ' ');
    EXPECT_EQ(parseCommandLine("/quiet /model M /port COM1: /usbid keep").changeUsbId, false);
    EXPECT_EQ(parseCommandLine("/quiet /model M /port LPT1: /noraster").raster, 0);
    line = parseCommandLine("/uninstall /quiet /model M /category receipt /log r.log");
    EXPECT_EQ(line.action, CommandLine::kRemove);
    EXPECT_EQ(line.port, "");
    EXPECT_EQ(line.category, 0);
    EXPECT_EQ(parseCommandLine("/quiet /model M /port COM1: /uninstall").port, "COM1:");
    line = parseCommandLine("/query /model M /port USB_M_1 /log q.log");
    EXPECT_EQ(line.action, CommandLine::kQuery);
    EXPECT_TRUE(line.quiet) << "a query shows nothing";
    EXPECT_EQ(line.port, "USB_M_1");
    // A value that merely begins like an option is a value.
    EXPECT_EQ(parseCommandLine("/quiet /model -M /port LPT1: /log -setup.log").logFile, "-setup.log");
}

TEST(CommandLineTest, InvalidLinesAreRefusedWithTheirReason) {
    struct Row {
        const char* line;
        const char* reason;  // a part of the reason given
        bool quiet;          // nothing may be shown
    } rows[] = {
        {"/quiet /port LPT1:", "/model", true},
        {"/quiet /model M", "/port", true},
        {"/quiet /model", "needs a value", true},
        {"/quiet /model \"\" /port LPT1:", "needs a value", true},
        {"/quiet /model M /port LPT1: /mode fast", "/mode", true},
        {"/quiet /model M /port LPT1: /category printer", "/category", true},
        {"/quiet /model M /port LPT1: /baud fast", "/baud", true},
        {"/quiet /model M /port LPT1: /baud 0", "/baud", true},
        {"/quiet /model M /port LPT1: /baud 9600x", "/baud", true},
        {"/quiet /model M /port LPT1: /databits 9", "/databits", true},
        {"/quiet /model M /port LPT1: /parity maybe", "/parity", true},
        {"/quiet /model M /port LPT1: /stopbits 3", "/stopbits", true},
        {"/quiet /model M /port LPT1: /flow rts", "/flow", true},
        {"/quiet /model M /port LPT1: /usbid swap", "/usbid", true},
        {"/quiet /model M /port LPT1: /silent", "unknown option", true},
        {"/quiet /model M /port LPT1: extra", "unexpected argument", true},
        // Quiet wherever it stands, also after what is wrong.
        {"/model M /port LPT1: /frobnicate /accepteula /quiet", "unknown option", true},
        {"setup /quiet", "unexpected argument", true},
        {"/quiet /?", "/?", true},
        {"-Quiet /help", "/?", true},
        {"/quiet /model /port LPT1:", "/model needs a value", true},
        {"/quiet /model M /port", "/port needs a value", true},
        {"/quiet /model M /model N /port LPT1:", "/model is given more than once", true},
        {"/quiet /quiet /model M /port LPT1:", "/quiet is given more than once", true},
        {"/? /help", "/help is given more than once", false},
        {"/quiet /model M /port LPT1: /raster /noraster", "exclude each other", true},
        {"/quiet /model M /port LPT1: /usbtimeout 0", "/usbtimeout", true},
        {"/model M /port LPT1:", "need /quiet", false},
        {"/uninstall /model M", "need /quiet", false},
        {"/uninstall /quiet /port LPT1:", "/uninstall needs /model", true},
        {"/uninstall /quiet /model M /default", "/default does not go with /uninstall", true},
        {"/uninstall /quiet /model M /port auto", "/uninstall takes the port", true},
        {"/query /quiet /model M", "/quiet does not go with /query", true},
        {"/query /uninstall /model M", "/uninstall does not go with /query", true},
        {"/query /model M /accepteula", "/accepteula does not go with /query", true},
        {"/query /port LPT1:", "/query needs /model", true},
        {"/query /model M /port auto", "/query takes the port", true},
        {"/model M /frobnicate /query", "unknown option", true},
        {"/log", "needs a value", false},
        {"setup", "unexpected argument", false},
        {"/", "unexpected argument", false},
    };
    for (const Row& row : rows) {
        CommandLine line = parseCommandLine(row.line);
        EXPECT_EQ(line.action, CommandLine::kInvalid) << row.line;
        EXPECT_NE(line.error.find(row.reason), std::string::npos) << row.line << ": " << line.error;
        EXPECT_EQ(line.quiet, row.quiet) << row.line;
    }
}
