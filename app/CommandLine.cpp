#include "app/CommandLine.h"

#include <cstdlib>
#include <vector>

#include "config/AsciiCase.h"

namespace app {
namespace {

// Splits as the C runtime does: blanks separate arguments, double quotes
// group, and a quote inside an argument may be written as two.
std::vector<std::string> splitArguments(const std::string& line) {
    std::vector<std::string> arguments;
    std::string current;
    bool quoted = false, any = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                current += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
            any = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (any) arguments.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any) arguments.push_back(current);
    return arguments;
}

// A value out of a list of words, by its place; -1 when it is none of them.
int choice(const std::string& value, std::initializer_list<const char*> words) {
    int index = 0;
    for (const char* word : words) {
        if (config::equalIgnoringCase(value, word)) return index;
        ++index;
    }
    return -1;
}

class Parser {
public:
    explicit Parser(const std::string& line) : arguments_(splitArguments(line)) {}
    CommandLine parse();

private:
    bool invalid(const std::string& why) {
        result_.action = CommandLine::kInvalid;
        result_.error = why;
        return false;
    }
    bool value(const std::string& option, std::string* out) {
        if (next_ >= arguments_.size()) return invalid(option + " needs a value");
        *out = arguments_[next_++];
        return true;
    }
    bool option(const std::string& name);

    std::vector<std::string> arguments_;
    size_t next_ = 0;
    CommandLine result_;
    bool usage_ = false, onlyLog_ = true;
};

bool Parser::option(const std::string& name) {
    std::string text;
    if (name != "log") onlyLog_ = false;
    if (name == "?" || name == "help") {
        usage_ = true;
    } else if (name == "quiet") {
        result_.quiet = true;
    } else if (name == "accepteula") {
        result_.acceptEula = true;
    } else if (name == "default") {
        result_.defaultPrinter = true;
    } else if (name == "raster") {
        result_.raster = true;
    } else if (name == "restart") {
        result_.restart = true;
    } else if (name == "model" || name == "port" || name == "log") {
        if (!value("/" + name, &text)) return false;
        if (text.empty()) return invalid("/" + name + " needs a value");
        (name == "model" ? result_.model : name == "port" ? result_.port : result_.logFile) = text;
    } else if (name == "category") {
        if (!value("/category", &text)) return false;
        result_.category = choice(text, {"receipt", "ticket", "label", "embedded"});
        if (result_.category < 0) return invalid("/category takes receipt, ticket, label or embedded");
    } else if (name == "mode") {
        if (!value("/mode", &text)) return false;
        int mode = choice(text, {"advanced", "typical"});
        if (mode < 0) return invalid("/mode takes typical or advanced");
        result_.installMode = mode;
    } else if (name == "baud") {
        if (!value("/baud", &text)) return false;
        char* end = nullptr;
        long rate = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || rate <= 0 || rate > 4000000)
            return invalid("/baud takes a rate in bits per second");
        result_.baudRate = static_cast<int>(rate);
    } else if (name == "databits") {
        if (!value("/databits", &text)) return false;
        int bits = choice(text, {"5", "6", "7", "8"});
        if (bits < 0) return invalid("/databits takes 5, 6, 7 or 8");
        result_.dataBits = 5 + bits;
    } else if (name == "parity") {
        if (!value("/parity", &text)) return false;
        int parity = choice(text, {"none", "even", "odd", "mark", "space"});
        if (parity < 0) return invalid("/parity takes none, even, odd, mark or space");
        result_.parity = "neoms"[parity];
    } else if (name == "stopbits") {
        if (!value("/stopbits", &text)) return false;
        int bits = choice(text, {"1", "1.5", "2"});
        if (bits < 0) return invalid("/stopbits takes 1, 1.5 or 2");
        result_.stopBits = 1.0 + 0.5 * bits;
    } else if (name == "flow") {
        if (!value("/flow", &text)) return false;
        int flow = choice(text, {"none", "xonxoff", "hardware"});
        if (flow < 0) return invalid("/flow takes none, xonxoff or hardware");
        result_.flowControl = " xp"[flow];
    } else if (name == "usbid") {
        if (!value("/usbid", &text)) return false;
        int change = choice(text, {"keep", "change"});
        if (change < 0) return invalid("/usbid takes change or keep");
        result_.changeUsbId = change == 1;
    } else {
        return invalid("unknown option /" + name);
    }
    return true;
}

CommandLine Parser::parse() {
    while (next_ < arguments_.size()) {
        const std::string& argument = arguments_[next_++];
        if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) {
            invalid("unexpected argument " + argument);
            return result_;
        }
        if (!option(config::lowerAscii(argument.substr(1)))) return result_;
    }
    if (usage_) {
        result_.action = CommandLine::kUsage;
    } else if (result_.quiet) {
        result_.action = CommandLine::kQuiet;
        if (result_.model.empty()) invalid("/quiet needs /model");
        else if (result_.port.empty()) invalid("/quiet needs /port");
    } else if (!onlyLog_) {
        // Options that answer the wizard's questions make sense only when
        // nobody is there to answer them.
        invalid("these options need /quiet");
    }
    return result_;
}

}  // namespace

CommandLine parseCommandLine(const std::string& line) { return Parser(line).parse(); }

const char* commandLineUsage() {
    return "setup.exe installs the printer driver with its wizard, or unattended:\r\n"
           "\r\n"
           "setup.exe /quiet /accepteula /model NAME /port PORT|auto\r\n"
           "    [/category receipt|ticket|label|embedded] [/mode typical|advanced]\r\n"
           "    [/default] [/raster] [/baud N] [/databits 5|6|7|8]\r\n"
           "    [/parity none|even|odd|mark|space] [/stopbits 1|1.5|2]\r\n"
           "    [/flow none|xonxoff|hardware] [/usbid change|keep] [/restart] [/log FILE]\r\n"
           "\r\n"
           "/port auto takes the port the wizard would preselect. Without /accepteula a disc\r\n"
           "that shows a licence agreement does not install. A quiet installation logs\r\n"
           "every step, by default to %TEMP%\\PrinterDriverSetup.log.\r\n"
           "\r\n"
           "Exit codes: 0 installed; 3010 installed, restart needed; 1603 installation\r\n"
           "failed; 1633 system or model not supported; 1618 another copy running;\r\n"
           "87 invalid command line.";
}

}  // namespace app
